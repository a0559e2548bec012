#pragma once
// What the program's own windows share.

#include <QWidget>

namespace cardovia::qt {

// Shows a window and brings it in front of the others, with the keyboard's focus.
template <class Window>
Window* BringToFront(Window* window) {
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

}  // namespace cardovia::qt
