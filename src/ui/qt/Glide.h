#pragma once
// Cards glide to the places the game gives them instead of jumping there.
//
// The form always holds the exact places; only the items' drawn positions move.
// A glide runs from where its item is shown now to its new place on an ease-out
// curve. Its length: the game moves cards in steps with a pause after each, and
// the platform tells the glider when such a pause begins and ends (PauseScope),
// so a glide started during a pause ends with it, and lasts 250 ms at most; one
// started outside a pause (a hand sorted at the player's click) lasts 120 ms
// while the game goes on. A new place during a glide re-aims it from where the
// item is then. Both lengths shrink with the platform's time scale like the
// game's pauses do, and a glide shorter than a frame is a jump.
//
// One timer moves every gliding item a frame at a time and stops when the last
// glide ends, so an idle table runs no timer at all.

#include <QGraphicsItem>
#include <QPointF>
#include <QTimer>

#include <functional>
#include <optional>
#include <vector>

namespace cardovia::qt {

class Glider {
  public:
    Glider();
    ~Glider();
    Glider(const Glider&) = delete;
    Glider& operator=(const Glider&) = delete;

    // Starts or re-aims the glide of `item` to `to`. False when the item should
    // jump instead: the glide would be over before a frame is drawn, or the
    // moves being shown now are jumps (see Jumps).
    bool Glide(QGraphicsItem* item, QPointF to);
    // Forgets the glide of `item`, leaving the item where it is drawn.
    void Forget(const QGraphicsItem* item);
    bool Gliding() const { return !flights_.empty(); }
    // Called after every frame of the glides.
    std::function<void()> onFrame;

    // While one lives, every move is a jump (the card dragged with the pointer).
    class Jumps {
      public:
        explicit Jumps(Glider& glider) : glider_(glider) { ++glider_.jumps_; }
        ~Jumps() { --glider_.jumps_; }

      private:
        Glider& glider_;
    };

    // The platform's clock: tests run it faster, and glides shorten alike.
    static void SetTimeScale(double factor);
    // Lives while the platform waits; `realMs` is the real length of the wait,
    // or nothing for a wait with no deadline. When it ends, the glides that
    // were due by then are shown at their places.
    class PauseScope {
      public:
        explicit PauseScope(std::optional<double> realMs);
        ~PauseScope();
        PauseScope(const PauseScope&) = delete;
        PauseScope& operator=(const PauseScope&) = delete;

      private:
        std::optional<double> outer_;
    };

  private:
    struct Flight {
        QGraphicsItem* item;
        QPointF from, to;
        double start, length;  // real milliseconds
    };
    // Shows every glide as it stands at `now`; finished ones end.
    void Step(double now);
    std::vector<Flight> flights_;
    QTimer frames_;
    int jumps_ = 0;
};

}  // namespace cardovia::qt
