#pragma once
// The services the game asks of the platform: waiting while window events are
// handled, the message dialog, sounds, the standard boxes, a clock and the
// random source. The Qt layer implements them for the program; the headless
// layer implements them for tests and self-play.

#include <cstdint>
#include <functional>
#include <string>

#include "model/Card.h"

namespace cardovia {

struct DialogRequest {
    std::string message;
    std::string caption0;
    std::string caption1;
    std::string caption2;
    i16 picture = 3;
    std::string title;
};

struct PointTwips {
    int x = 0;
    int y = 0;
};

class Platform {
  public:
    virtual ~Platform() = default;

    // Milliseconds on a monotonic clock.
    virtual std::int64_t NowMs() = 0;
    // Handles window events, sleeping between them, until done() holds. done()
    // is tested again after each batch of events and, when deadline is given,
    // at the moment it returns at the latest (it is read again after every
    // batch, so a handler may lengthen or shorten the wait).
    virtual void WaitUntil(const std::function<bool()>& done,
                           const std::function<std::int64_t()>& deadline) = 0;
    // Shows the game's message dialog modally; the index of the button clicked.
    virtual i16 RunMessageDialog(const DialogRequest& request) = 0;
    // Starts playing a WAV file and returns at once; a missing or unplayable
    // file is silently ignored.
    virtual void PlaySound(const std::string& path) = 0;
    virtual void Beep() = 0;
    // The platform's standard question box (true = yes) and one-line input box
    // (an empty text when cancelled).
    virtual bool AskYesNo(const std::string& title, const std::string& text) = 0;
    virtual std::string InputBox(const std::string& title, const std::string& prompt) = 0;
    // The standard message box with a critical icon.
    virtual void CriticalError(const std::string& title, const std::string& text) = 0;
    // A uniform random number in [0, 1).
    virtual double Random() = 0;
    // The help window (not modal: the game goes on while it is open) and the
    // about box.
    virtual void ShowHelp() = 0;
    virtual void ShowAbout() = 0;
    // Statistics' two windows, not modal: the chart of GameTotals, which
    // follows the game while open, and the table of History.csv.
    virtual void ShowScoreChart() = 0;
    virtual void ShowGameHistory() = 0;
    // The local date and time, "YYYY-MM-DD HH:MM".
    virtual std::string LocalDateTime() = 0;
    // Where the pointer is, in table twips.
    virtual PointTwips Pointer() = 0;
    // Ends the program once control returns to the event loop.
    virtual void Quit() = 0;
};

Platform& Sys();
void InstallPlatform(Platform* platform);

}  // namespace cardovia
