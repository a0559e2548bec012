// How long keeping the hand on disk takes, at every wait for the player of
// seeded self-played games: on the game's thread (the table copied, compared
// and formatted), and on the writer's (written whole: a temporary file, fsync,
// rename); then read back and checked.

#include "flow/Handlers.h"
#include "flow/KeptHand.h"
#include "flow/Menus.h"
#include "layout/FollowMouse.h"
#include "model/HandFile.h"
#include "model/PlayerFileFormat.h"
#include "model/Preferences.h"
#include "model/Settings.h"
#include "model/Table.h"
#include "player/SelfPlay.h"
#include "ui/Form.h"
#include "ui/headless/HeadlessPlatform.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace cardovia;

namespace {

double Ms(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - since)
        .count();
}

double Percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<std::size_t>(p * static_cast<double>(v.size())))];
}

}  // namespace

int main(int argc, char** argv) {
    const int games = argc > 1 ? std::atoi(argv[1]) : 20;
    const auto dir = std::filesystem::temp_directory_path() / "cardovia-handfile-bench";
    std::filesystem::create_directories(dir);
    std::vector<double> formats, writes, reads;
    std::size_t bytes = 0;
    for (int g = 0; g < games; ++g) {
        ResetModel();
        ResetForm();
        FollowMouse = clsObjectFollowMouse{};
        HeadlessPlatform sys(static_cast<std::uint64_t>(g + 1));
        InstallPlatform(&sys);
        ProgramDirectory = dir.string();
        ConnectHandlers();
        sys.answerDialog = [](const DialogRequest& r) -> i16 { return r.title == "Game Over"; };
        sys.onIdle = [&] {
            if (PlayerTurn && GameInProgress) {
                KeptHand hand{TheTable, ThaddockPlays, false, GameTotals, GameTotalsTarget,
                              {}, false};
                auto start = std::chrono::steady_clock::now();
                const KeptHand copy = hand;
                const bool same = copy == hand;
                const std::string text = FormatKeptHand(copy);
                formats.push_back(Ms(start) + (same ? 0 : 1000));
                start = std::chrono::steady_clock::now();
                WriteWholeFile((dir / "bench-Hand.dat").string(), text);
                writes.push_back(Ms(start));
                bytes = text.size();
                start = std::chrono::steady_clock::now();
                std::ifstream in(dir / "bench-Hand.dat", std::ios::binary);
                const std::string back{std::istreambuf_iterator<char>(in),
                                       std::istreambuf_iterator<char>()};
                if (!ParseKeptHand(back).hand) std::printf("a kept hand did not read back\n");
                reads.push_back(Ms(start));
            }
            return SelfPlayStep();
        };
        MnuNew_Click();
        InstallPlatform(nullptr);
    }
    std::printf("hand_file_bytes=%zu\n", bytes);
    std::printf("hand_saves=%zu\n", writes.size());
    std::printf("hand_save_p50_ms=%.3f\nhand_save_p99_ms=%.3f\nhand_save_max_ms=%.3f\n",
                Percentile(formats, 0.5), Percentile(formats, 0.99), Percentile(formats, 1.0));
    std::printf("hand_disk_write_p50_ms=%.3f\nhand_disk_write_p99_ms=%.3f\n",
                Percentile(writes, 0.5), Percentile(writes, 0.99));
    std::printf("hand_read_p99_ms=%.3f\n", Percentile(reads, 0.99));
    std::filesystem::remove_all(dir);
    return 0;
}
