// Thaddock's levels and the Hint measured in whole seeded games to the target,
// and the time their choices take. One name=value line per figure.
//
//   strategy_bench [--games N] [--budget-ms B] [--samples S] [--jobs J]
//                  [--only simulator|timing|master|levels]
//
// The strength figures play N games: N/2 deals, each from both seats (Master
// as Thaddock against the engine as the player, then the Hint's follower as
// the player against Expert Thaddock). The search's budget per choice is S
// deals of the unseen cards when S is given (the same on any machine), else B
// milliseconds (the shipping budget when neither is given). The timing
// figures are always taken at the shipping budget, on one thread. --jobs
// plays the strength games in J processes at once (one per core).

#include "flow/Handlers.h"
#include "flow/Menus.h"
#include "layout/FollowMouse.h"
#include "model/PlayerFileFormat.h"
#include "model/Preferences.h"
#include "model/Settings.h"
#include "model/Table.h"
#include "opponent/ExpertThaddock.h"
#include "opponent/MasterThaddock.h"
#include "player/EnginePlay.h"
#include "player/Hint.h"
#include "player/SelfPlay.h"
#include "support/Lockstep.h"
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

#include <sys/wait.h>
#include <unistd.h>

using namespace cardovia;

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::uint64_t kFirstSeed = 20261207;
constexpr double kShippingMasterMs = 150.0;
constexpr double kShippingHintMs = 250.0;
constexpr int kTimingGames = 6;
constexpr int kLockstepGames = 200;

std::vector<double> hintMs;

double Percentile(std::vector<double> v, double q) {
    if (v.empty()) return 0.0;
    std::sort(v.begin(), v.end());
    return v[static_cast<std::size_t>(q * (v.size() - 1))];
}

struct Result {
    int games = 0;
    int wins = 0;  // of the side measured
    long hands = 0;
    long mine = 0;  // points of the side measured
    long theirs = 0;
    Result& operator+=(const Result& r) {
        games += r.games, wins += r.wins, hands += r.hands, mine += r.mine, theirs += r.theirs;
        return *this;
    }
};

// Thaddock's melds as they stand break a rule: laid unopened, short of three,
// or wild cards over their quota. Counted at each of the player's waits.
long thaddockMeldFaults = 0;

void CountThaddockMeldFaults() {
    for (int r = 1; r <= kMeldRanks; ++r) {
        const MeldRecord& m = MeldTable[r];
        const int count = m.Count[kOpponent];
        const int wild = m.WildCount[kOpponent];
        if (count == 0) continue;
        const bool fault = !MeldOpened[kOpponent] || count < 3 || wild > 3 || wild > count - wild;
        thaddockMeldFaults += fault ? 1 : 0;
    }
}

std::filesystem::path BenchDirectory() {
    return std::filesystem::temp_directory_path() /
           ("cardovia-strategy-bench-" + std::to_string(getpid()));
}

// One game from `seed`, with `player` playing the player's side and `level`
// Thaddock's. Answers the player's side's result.
Result PlayGame(std::uint64_t seed, const std::function<bool()>& player, ThaddockLevel level) {
    // A folder of each process's own: the jobs, and other benches, never share files.
    const auto dir = BenchDirectory();
    std::filesystem::create_directories(dir);
    ResetModel();
    ResetForm();
    FollowMouse = clsObjectFollowMouse{};
    HeadlessPlatform sys(seed);
    InstallPlatform(&sys);
    ProgramDirectory = dir.string();
    ConnectHandlers();
    ThaddockPlays = level;
    Result result;
    sys.answerDialog = [](const DialogRequest& r) -> i16 { return r.title == "Game Over"; };
    sys.onIdle = [&] {
        if (Frmtable().FramResults.visible && !TableIdle) ++result.hands;
        if (PlayerTurn && GameInProgress) CountThaddockMeldFaults();
        return player();
    };
    MnuNew_Click();
    result.games = 1;
    result.wins = GamesWon;
    result.mine = GameScore[kPlayer];
    result.theirs = GameScore[kOpponent];
    InstallPlatform(nullptr);
    return result;
}

Result Thaddocks(Result r) {
    r.wins = r.games - r.wins;
    std::swap(r.mine, r.theirs);
    return r;
}

// The share of wins with its 95% interval (Wilson's); answers the lower bound.
double PrintWins(const char* name, const Result& r) {
    const double n = std::max(1, r.games);
    const double p = r.wins / n;
    const double z = 1.96;
    const double centre = (p + z * z / (2 * n)) / (1 + z * z / n);
    const double half = z * std::sqrt(p * (1 - p) / n + z * z / (4 * n * n)) / (1 + z * z / n);
    std::printf(
        "%s=%.1f (95%% interval %.1f..%.1f, %d of %d games, %.1f hands a game, "
        "mean totals %ld to %ld)\n",
        name, 100 * p, 100 * (centre - half), 100 * (centre + half), r.wins, r.games,
        static_cast<double>(r.hands) / n, r.mine / std::max(1, r.games),
        r.theirs / std::max(1, r.games));
    std::fflush(stdout);
    return 100 * (centre - half);
}

struct Options {
    int games = 200;
    int jobs = 1;
    double budgetMs = 0.0;
    int samples = 0;
    std::string only;
};

Options Read(int argc, char** argv) {
    Options o;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--games") == 0) o.games = std::max(2, std::atoi(argv[i + 1]));
        if (std::strcmp(argv[i], "--budget-ms") == 0) o.budgetMs = std::atof(argv[i + 1]);
        if (std::strcmp(argv[i], "--samples") == 0) o.samples = std::max(0, std::atoi(argv[i + 1]));
        if (std::strcmp(argv[i], "--only") == 0) o.only = argv[i + 1];
        if (std::strcmp(argv[i], "--jobs") == 0) o.jobs = std::max(1, std::atoi(argv[i + 1]));
    }
    return o;
}

void SetBudget(double masterMs, double hintMs, int samples) {
    MasterMsPerChoice = masterMs;
    HintThinkMs = hintMs;
    MasterSamplesPerChoice = HintSamples = samples;
}

void Strength(const Options& o) {
    const double ms = o.budgetMs > 0 ? o.budgetMs : kShippingMasterMs;
    SetBudget(ms, o.budgetMs > 0 ? o.budgetMs : kShippingHintMs, o.samples);
    if (o.samples > 0) {
        std::printf("budget=%d deals of the unseen cards per choice\n", o.samples);
    } else {
        std::printf("budget=%.0f ms per choice (Hint %.0f ms)\n", MasterMsPerChoice, HintThinkMs);
    }
    const int deals = o.games / 2;
    Result masterThaddock;
    Result follower;
    const long refusedBefore = EngineStepsRefused;
    const auto start = Clock::now();
    // Each job plays every J-th deal in a process of its own and sends back its tallies.
    struct Tallies {
        Result thaddock, follower;
        long refused = 0;
        long meldFaults = 0;
    };
    std::vector<int> pipes;
    std::vector<pid_t> children;
    for (int job = 0; job < o.jobs; ++job) {
        int fds[2];
        if (pipe(fds) != 0) return;
        const pid_t child = fork();
        if (child == 0) {
            close(fds[0]);
            Tallies t;
            for (int d = job; d < deals; d += o.jobs) {
                const std::uint64_t seed = kFirstSeed + static_cast<std::uint64_t>(d);
                t.thaddock += Thaddocks(PlayGame(seed, EnginePlayStep, ThaddockLevel::Master));
                t.follower += PlayGame(seed, HintPlayStep, ThaddockLevel::Expert);
            }
            std::filesystem::remove_all(BenchDirectory());
            t.refused = EngineStepsRefused - refusedBefore;
            t.meldFaults = thaddockMeldFaults;
            const ssize_t written = write(fds[1], &t, sizeof t);
            _exit(written == static_cast<ssize_t>(sizeof t) ? 0 : 1);
        }
        close(fds[1]);
        pipes.push_back(fds[0]);
        children.push_back(child);
    }
    long refused = 0;
    long meldFaults = 0;
    for (std::size_t k = 0; k < pipes.size(); ++k) {
        Tallies t;
        if (read(pipes[k], &t, sizeof t) == static_cast<ssize_t>(sizeof t)) {
            masterThaddock += t.thaddock;
            follower += t.follower;
            refused += t.refused;
            meldFaults += t.meldFaults;
        }
        close(pipes[k]);
        waitpid(children[k], nullptr, 0);
    }
    Result both = masterThaddock;
    both += follower;
    const double low = PrintWins("master_vs_expert_win_pct", both);
    std::printf("master_vs_expert_low95=%.1f\n", low);
    PrintWins("master_thaddock_vs_engine_win_pct", masterThaddock);
    PrintWins("hint_follower_vs_expert_win_pct", follower);
    std::printf("search_steps_refused=%ld\nthaddock_meld_faults=%ld\n", refused, meldFaults);
    std::printf("strength_wall_clock_s=%.0f\n",
                std::chrono::duration<double>(Clock::now() - start).count());
    std::fflush(stdout);
}

void Levels(const Options& o) {
    const double ms = o.budgetMs > 0 ? o.budgetMs : kShippingMasterMs;
    SetBudget(ms, ms, o.samples);
    Result masterVsClassic;
    Result expertVsSelf;
    Result classicVsSelf;
    Result expertVsEngine;
    Result engineVsClassic;
    const int games = std::max(1, o.games / 2);
    for (int g = 0; g < games; ++g) {
        const std::uint64_t seed = kFirstSeed + static_cast<std::uint64_t>(g);
        masterVsClassic += PlayGame(seed, HintPlayStep, ThaddockLevel::Classic);
        engineVsClassic += PlayGame(seed, EnginePlayStep, ThaddockLevel::Classic);
        classicVsSelf += Thaddocks(PlayGame(seed, SelfPlayStep, ThaddockLevel::Classic));
        expertVsSelf += Thaddocks(PlayGame(seed, SelfPlayStep, ThaddockLevel::Expert));
        expertVsEngine += Thaddocks(PlayGame(seed, EnginePlayStep, ThaddockLevel::Expert));
    }
    PrintWins("master_vs_classic_win_pct", masterVsClassic);
    PrintWins("engine_vs_classic_win_pct", engineVsClassic);
    PrintWins("classic_vs_selfplay_win_pct", classicVsSelf);
    PrintWins("expert_vs_selfplay_win_pct", expertVsSelf);
    PrintWins("expert_vs_engine_win_pct", expertVsEngine);
    std::printf("expert_turn_p99_ms=%.4f\n", Percentile(ExpertDecisionMs, 0.99));
}

// Master's turns and Hints at the shipping budget, on this one thread.
void Timing() {
    SetBudget(kShippingMasterMs, kShippingHintMs, 0);
    MasterTurnMs.clear();
    MasterDealsWeighed.clear();
    hintMs.clear();
    auto timedHint = [] {
        if (PlayerTurn && GameInProgress) {
            const auto start = Clock::now();
            (void)HintStep();
            hintMs.push_back(
                std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        }
        return EnginePlayStep();
    };
    for (int g = 0; g < kTimingGames; ++g) {
        PlayGame(kFirstSeed + 7000 + static_cast<std::uint64_t>(g), timedHint,
                 ThaddockLevel::Master);
    }
    std::printf("master_turns_timed=%zu\nmaster_turn_p50_ms=%.1f\nmaster_turn_p99_ms=%.1f\n",
                MasterTurnMs.size(), Percentile(MasterTurnMs, 0.5), Percentile(MasterTurnMs, 0.99));
    std::printf("master_deals_per_choice_p10=%.0f\nmaster_deals_per_choice_p50=%.0f\n",
                Percentile({MasterDealsWeighed.begin(), MasterDealsWeighed.end()}, 0.1),
                Percentile({MasterDealsWeighed.begin(), MasterDealsWeighed.end()}, 0.5));
    std::printf("hints_timed=%zu\nhint_p50_ms=%.1f\nhint_p99_ms=%.1f\n", hintMs.size(),
                Percentile(hintMs, 0.5), Percentile(hintMs, 0.99));
    std::fflush(stdout);
}

// The search's simulator against the game's own procedures, step by step.
void Simulator() {
    const auto start = Clock::now();
    const testing::LockstepResult lockstep = testing::PlayLockstepGames(kFirstSeed, kLockstepGames);
    std::printf("simulator_divergences=%d (%d games, %d hands, %d steps compared, %.1f s)\n",
                lockstep.divergences, lockstep.games, lockstep.hands, lockstep.steps,
                std::chrono::duration<double>(Clock::now() - start).count());
    if (!lockstep.first.empty()) {
        std::printf("simulator_first_divergence=%s\n", lockstep.first.front().Text().c_str());
    }
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    const Options o = Read(argc, argv);
    const auto start = Clock::now();
    if (o.only.empty() || o.only == "simulator") Simulator();
    if (o.only.empty() || o.only == "timing") Timing();
    if (o.only.empty() || o.only == "master") Strength(o);
    if (o.only.empty() || o.only == "levels") Levels(o);
    std::printf("engine_steps_refused=%ld\n", EngineStepsRefused);
    std::printf("wall_clock_s=%.0f\n", std::chrono::duration<double>(Clock::now() - start).count());
    std::filesystem::remove_all(BenchDirectory());
    return 0;
}
