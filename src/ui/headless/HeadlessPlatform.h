#pragma once
// The platform without a screen: waits advance a virtual clock at once, dialogs
// and boxes are answered from scripts, and everything shown or played is
// recorded so tests can assert on it.

#include <cstdint>
#include <deque>
#include <functional>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "ui/Platform.h"

namespace cardovia {

// A wait that nothing could ever end: the game waits for the player and no
// player hook is installed (or it had nothing to do).
struct HeadlessDeadlock : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class HeadlessPlatform : public Platform {
  public:
    explicit HeadlessPlatform(std::uint64_t seed = 1) : rng_(seed) {}
    void Seed(std::uint64_t seed) { rng_.seed(seed); }

    std::int64_t NowMs() override { return now; }
    void WaitUntil(const std::function<bool()>& done,
                   const std::function<std::int64_t()>& deadline) override;
    i16 RunMessageDialog(const DialogRequest& request) override;
    void PlaySound(const std::string& path) override { sounds.push_back(path); }
    void Beep() override { ++beeps; }
    bool AskYesNo(const std::string& title, const std::string& text) override;
    std::string InputBox(const std::string& title, const std::string& prompt) override;
    void CriticalError(const std::string& title, const std::string& text) override;
    double Random() override;
    void ShowHelp() override { ++helpShown; }
    void ShowAbout() override { ++aboutShown; }
    void ShowScoreChart() override { ++chartShown; }
    void ShowGameHistory() override { ++historyShown; }
    std::string LocalDateTime() override { return "2026-12-07 20:00"; }
    PointTwips Pointer() override { return pointer; }
    void Quit() override { quitRequested = true; }

    // The virtual clock and the length of every timed wait, in order.
    std::int64_t now = 0;
    std::vector<std::int64_t> waits;
    std::int64_t TotalWaited() const;

    std::vector<DialogRequest> dialogs;
    std::deque<i16> dialogAnswers;  // answered in turn; button 0 when none is left
    std::vector<std::string> sounds;
    int beeps = 0;
    std::vector<std::pair<std::string, std::string>> errors;  // title, text
    std::deque<bool> yesNoAnswers;
    std::deque<std::string> inputAnswers;
    std::deque<double> randomScript;  // used before the seeded generator
    PointTwips pointer;
    bool quitRequested = false;
    int helpShown = 0;
    int aboutShown = 0;
    int chartShown = 0;
    int historyShown = 0;

    // Called when the game waits with no deadline (the player's turn, the
    // results panel): it plays the player's side through the same handlers a
    // person would use and answers whether it did anything.
    std::function<bool()> onIdle;
    // Called as each timed wait begins, like events arriving while the game
    // pauses (a click during an animation, a menu command).
    std::function<void()> onWait;
    // Called after each dialog is recorded, before it is answered.
    std::function<void(const DialogRequest&)> onDialog;
    // When set, answers every dialog (in place of dialogAnswers).
    std::function<i16(const DialogRequest&)> answerDialog;

  private:
    std::mt19937_64 rng_;
};

}  // namespace cardovia
