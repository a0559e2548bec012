#include "ui/qt/Glide.h"

#include <algorithm>
#include <chrono>

namespace cardovia::qt {

namespace {

constexpr double kFreeGlideMs = 120;  // a move with no pause after it
constexpr double kMaxGlideMs = 250;   // the longest glide, however long the pause
constexpr int kFrameMs = 16;
constexpr double kDueSlackMs = 2;  // a pause's end and its glides' end may differ by rounding

double NowMs() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

// The program has one table, so one glider; the platform reaches it through here.
Glider* active = nullptr;
double timeScale = 1.0;
std::optional<double> pauseEnd;  // real time the platform's wait ends, while it waits

double Ease(double t) {
    const double rest = 1 - t;
    return 1 - rest * rest * rest;
}

}  // namespace

Glider::Glider() {
    frames_.setInterval(kFrameMs);
    frames_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&frames_, &QTimer::timeout, [this] { Step(NowMs()); });
    active = this;
}

Glider::~Glider() {
    if (active == this) active = nullptr;
}

bool Glider::Glide(QGraphicsItem* item, QPointF to) {
    const double now = NowMs();
    const double length =
        pauseEnd ? std::min(*pauseEnd - now, kMaxGlideMs / timeScale) : kFreeGlideMs / timeScale;
    if (jumps_ > 0 || length < kFrameMs) {
        Forget(item);
        return false;
    }
    const Flight flight{item, item->pos(), to, now, length};
    auto it = std::find_if(flights_.begin(), flights_.end(),
                           [item](const Flight& f) { return f.item == item; });
    if (it != flights_.end()) {
        *it = flight;
    } else {
        flights_.push_back(flight);
    }
    if (!frames_.isActive()) frames_.start();
    return true;
}

void Glider::Forget(const QGraphicsItem* item) {
    std::erase_if(flights_, [item](const Flight& f) { return f.item == item; });
    if (flights_.empty()) frames_.stop();
    if (onFrame) onFrame();
}

void Glider::Step(double now) {
    std::erase_if(flights_, [now](const Flight& f) {
        const double t = (now - f.start) / f.length;
        if (t >= 1) {
            f.item->setPos(f.to);
            return true;
        }
        f.item->setPos(f.from + (f.to - f.from) * Ease(std::max(0.0, t)));
        return false;
    });
    if (flights_.empty()) frames_.stop();
}

void Glider::SetTimeScale(double factor) {
    timeScale = factor;
}

Glider::PauseScope::PauseScope(std::optional<double> realMs) : outer_(pauseEnd) {
    pauseEnd = realMs ? std::optional<double>(NowMs() + *realMs) : std::nullopt;
}

Glider::PauseScope::~PauseScope() {
    // Glides started in the pause were cut to end with it; the game's next move
    // comes now, so they are shown done rather than a frame late.
    if (active && active->Gliding()) active->Step(NowMs() + kDueSlackMs);
    pauseEnd = outer_;
}

}  // namespace cardovia::qt
