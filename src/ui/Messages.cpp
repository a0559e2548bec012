#include "ui/Messages.h"

#include "model/Settings.h"
#include "model/Table.h"
#include "ui/Form.h"
#include "ui/Platform.h"

#include <utility>

namespace cardovia {

namespace {
std::function<void()> settled;

void Settled() {
    if (settled) settled();
}
}  // namespace

void SetSettleListener(std::function<void()> listener) {
    settled = std::move(listener);
}

void ShowStatus(const std::string& text) {
    SetPanel(2, text);
    Settled();
}

void LearningMessage(const std::string& text) {
    if (!LearningMode) return;
    ShowMessageDialog(text, "Continue", "", "", kPictureNotice, "Learning Message");
}

void ShowMessageDialog(const std::string& message, const std::string& caption0,
                       const std::string& caption1, const std::string& caption2, i16 picture,
                       const std::string& title) {
    // A game that has been given up asks nothing more of the player.
    if (GameAbandoned) return;
    Settled();
    DialogButton = Sys().RunMessageDialog({message, caption0, caption1, caption2, picture, title});
}

}  // namespace cardovia
