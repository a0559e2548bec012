#include "layout/FollowMouse.h"

#include "ui/Platform.h"

namespace cardovia {

namespace {
constexpr int kTickIntervalMs = 1;
}

void clsObjectFollowMouse::SetObject(Control* control) {
    object_ = control;
}

void clsObjectFollowMouse::SetTimer(Timer* timer) {
    timer_ = timer;
    timer_->interval = kTickIntervalMs;
    timer_->enabled = false;
    timer_->Tick = [this] { Tick(); };
}

void clsObjectFollowMouse::SetEnabled(bool on) {
    if (on && object_ == nullptr) {
        // Nothing to follow: say so and leave following off rather than end
        // the program in the middle of a game.
        Sys().CriticalError("basMoveObjectCrossForm Error",
                            "Accessing Routine: Property Let Enabled\r\nNot Able to Access Object "
                            "WINDOWPLACEMENT");
        on = false;
    }
    enabled_ = on;
    if (on) {
        start_ = Sys().Pointer();
        startLeft_ = object_->left;
        startTop_ = object_->top;
    }
    if (timer_ != nullptr) timer_->enabled = on;
}

void clsObjectFollowMouse::Tick() {
    if (!enabled_ || object_ == nullptr) return;
    const PointTwips now = Sys().Pointer();
    object_->Move(startLeft_ + (now.x - start_.x), startTop_ + (now.y - start_.y));
}

}  // namespace cardovia
