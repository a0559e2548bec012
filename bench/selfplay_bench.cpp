// Whole hands played headless with no pauses: the speed of the game's own
// procedures, with the self-playing player on the player's side.

#include "flow/Handlers.h"
#include "flow/Menus.h"
#include "layout/FollowMouse.h"
#include "model/PlayerFileFormat.h"
#include "model/Settings.h"
#include "model/Table.h"
#include "player/SelfPlay.h"
#include "ui/Form.h"
#include "ui/headless/HeadlessPlatform.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

using namespace cardovia;

int main(int argc, char** argv) {
    const int games = argc > 1 ? std::atoi(argv[1]) : 200;
    const auto dir = std::filesystem::temp_directory_path() / "cardovia-selfplay-bench";
    std::filesystem::create_directories(dir);
    long hands = 0;
    long turns = 0;
    long canastas = 0;
    int playerWins = 0;
    const auto start = std::chrono::steady_clock::now();
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
            const TableForm& f = Frmtable();
            if (f.FramResults.visible && !TableIdle) {
                ++hands;
                canastas += PureCanastas[1] + MixedCanastas[1];
            } else if (PlayerTurn && MustDraw) {
                ++turns;
            }
            return SelfPlayStep();
        };
        MnuNew_Click();
        playerWins += GamesWon;
        InstallPlatform(nullptr);
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("games %d, hands %ld, player turns %ld, player won %d\n", games, hands, turns,
                playerWins);
    std::printf("hands per second (no pauses): %.0f\n", hands / seconds);
    std::filesystem::remove_all(dir);
    return 0;
}
