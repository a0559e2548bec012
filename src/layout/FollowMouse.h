#pragma once
// The drag follower: moves one control with the pointer, keeping the distance
// it had from the pointer when following began, so it never jumps.

#include "ui/Form.h"
#include "ui/Platform.h"

namespace cardovia {

class clsObjectFollowMouse {
  public:
    void SetObject(Control* control);
    Control* Object() const { return object_; }
    // The timer whose ticks move the control: interval 1 ms, disabled.
    void SetTimer(Timer* timer);
    void SetEnabled(bool on);
    bool Enabled() const { return enabled_; }
    // One tick: the control follows the pointer.
    void Tick();

  private:
    Control* object_ = nullptr;
    Timer* timer_ = nullptr;
    bool enabled_ = false;
    PointTwips start_;
    int startLeft_ = 0;
    int startTop_ = 0;
};

// The one follower. A new game gives it a fresh start (see ResetFollowMouse).
inline clsObjectFollowMouse FollowMouse;

}  // namespace cardovia
