// The strategy engine measured in whole seeded games to the target: how often
// it wins on the player's side against Classic Thaddock, and how long a
// decision takes. One name=value line per figure.

#include "flow/Handlers.h"
#include "flow/Menus.h"
#include "layout/FollowMouse.h"
#include "model/PlayerFileFormat.h"
#include "model/Settings.h"
#include "model/Table.h"
#include "opponent/ExpertThaddock.h"
#include "player/EnginePlay.h"
#include "player/SelfPlay.h"
#include "ui/Form.h"
#include "ui/headless/HeadlessPlatform.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

using namespace cardovia;

namespace {

using Clock = std::chrono::steady_clock;

std::vector<double> hintMs;

// The engine's steps on the player's side; the first decision of each turn is
// timed as the Hint would be.
bool TimedEngineStep() {
    if (PlayerTurn && GameInProgress && MustDraw && !HasDrawn) {
        const auto start = Clock::now();
        (void)PlayerNextStep();
        hintMs.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    return EnginePlayStep();
}

double Percentile(std::vector<double> v, double q) {
    if (v.empty()) return 0.0;
    std::sort(v.begin(), v.end());
    return v[static_cast<std::size_t>(q * (v.size() - 1))];
}

struct Result {
    int games = 0;
    int playerWins = 0;
    long hands = 0;
    long playerPoints = 0;
    long opponentPoints = 0;
};

Result PlayGames(int games, std::uint64_t firstSeed, const std::function<bool()>& player,
                 bool expert) {
    const auto dir = std::filesystem::temp_directory_path() / "cardovia-strategy-bench";
    std::filesystem::create_directories(dir);
    Result result;
    for (int g = 0; g < games; ++g) {
        ResetModel();
        ResetForm();
        FollowMouse = clsObjectFollowMouse{};
        HeadlessPlatform sys(firstSeed + static_cast<std::uint64_t>(g));
        InstallPlatform(&sys);
        ProgramDirectory = dir.string();
        ConnectHandlers();
        ThaddockPlaysExpert = expert;
        sys.answerDialog = [](const DialogRequest& r) -> i16 { return r.title == "Game Over"; };
        sys.onIdle = [&] {
            if (Frmtable().FramResults.visible && !TableIdle) ++result.hands;
            return player();
        };
        MnuNew_Click();
        result.playerPoints += GameScore[kPlayer];
        result.opponentPoints += GameScore[kOpponent];
        result.playerWins += GamesWon;
        ++result.games;
        InstallPlatform(nullptr);
    }
    std::filesystem::remove_all(dir);
    return result;
}

// The share of wins with its 95% interval (Wilson's).
void PrintWins(const char* name, const Result& r) {
    const double n = r.games;
    const double p = r.playerWins / n;
    const double z = 1.96;
    const double centre = (p + z * z / (2 * n)) / (1 + z * z / n);
    const double half = z * std::sqrt(p * (1 - p) / n + z * z / (4 * n * n)) / (1 + z * z / n);
    std::printf(
        "%s=%.1f (95%% interval %.1f..%.1f, %d of %d games, %.1f hands a game, "
        "mean totals %ld to %ld)\n",
        name, 100 * p, 100 * (centre - half), 100 * (centre + half), r.playerWins, r.games,
        static_cast<double>(r.hands) / r.games, r.playerPoints / r.games,
        r.opponentPoints / r.games);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    int games = 400;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--games") == 0) games = std::max(1, std::atoi(argv[i + 1]));
    }
    const std::uint64_t seed = 20261207;
    PrintWins("engine_vs_classic_win_pct", PlayGames(games, seed, TimedEngineStep, false));
    // Thaddock's side of the same games: his wins are the player's losses.
    auto thaddock = [](Result r) { return r.playerWins = r.games - r.playerWins, r; };
    PrintWins("classic_vs_selfplay_win_pct", thaddock(PlayGames(games, seed, SelfPlayStep, false)));
    PrintWins("expert_vs_selfplay_win_pct", thaddock(PlayGames(games, seed, SelfPlayStep, true)));
    PrintWins("expert_vs_engine_win_pct", thaddock(PlayGames(games, seed, EnginePlayStep, true)));
    std::printf("hint_p50_ms=%.4f\nhint_p99_ms=%.4f\n", Percentile(hintMs, 0.5),
                Percentile(hintMs, 0.99));
    std::printf("expert_turn_p99_ms=%.4f\n", Percentile(ExpertDecisionMs, 0.99));
    std::printf("engine_steps_refused=%ld\n", EngineStepsRefused);
    return 0;
}
