#pragma once
// How the game talks to the player: the status bar's message panel, the
// learning dialog while Learning Mode is on, and the three-button dialog.

#include <functional>
#include <string>

#include "model/Card.h"

namespace cardovia {

// Picture kinds of the message dialog.
inline constexpr i16 kPictureGoodNews = 1;
inline constexpr i16 kPictureSerious = 2;
inline constexpr i16 kPictureNotice = 3;

// Called each time the game settles on a step it shows the player: a status
// put up, a box about to open. The screen reader's narration listens here.
void SetSettleListener(std::function<void()> listener);

// Puts text into panel 2 of the status bar.
void ShowStatus(const std::string& text);

// While Learning Mode is on, explains a step in a dialog with one "Continue"
// button; otherwise does nothing.
void LearningMessage(const std::string& text);

// Shows the message dialog and waits for a click on one of its buttons; the
// button's index (0, 1 or 2) lands in DialogButton. An empty caption hides its
// button; caption 0 is never empty.
void ShowMessageDialog(const std::string& message, const std::string& caption0,
                       const std::string& caption1, const std::string& caption2, i16 picture,
                       const std::string& title);

}  // namespace cardovia
