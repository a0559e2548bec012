// Frames drawn while cards glide on the real table window. Fifteen cards go
// from the stock to a spread row across the table and back, all at once, each
// move gliding through a 250 ms pause of the game's as a deal's last steps do.
// Every paint of the table's viewport is a frame: the figures are frames per
// second over the glides, the longest gap between two frames (the longest
// frame) and the time the paints themselves took. Needs a display: run it
// under Xvfb with QT_QPA_PLATFORM=xcb (see bench/README.md).
//
//   glide_bench [--rounds N] [WIDTHxHEIGHT ...]   (default 6 rounds, 1600x1000 3840x2160)

#include "model/Card.h"
#include "model/Preferences.h"
#include "model/Settings.h"
#include "model/Table.h"
#include "ui/Form.h"
#include "ui/Pacing.h"
#include "ui/qt/QtPlatform.h"
#include "ui/qt/TableView.h"
#include "ui/qt/TableWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

using namespace cardovia;

namespace {

constexpr int kCards = 15;
constexpr int kPauseMs = 250;

// Times every paint of the viewport: when it began, and how long it took
// (the paint is delivered from inside the filter to time it whole).
class FrameClock : public QObject {
  public:
    explicit FrameClock(QWidget* viewport) : viewport_(viewport) {
        clock_.start();
        viewport->installEventFilter(this);
    }
    double Now() const { return static_cast<double>(clock_.nsecsElapsed()) / 1e6; }
    std::vector<double> starts, costs;  // milliseconds

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != viewport_ || event->type() != QEvent::Paint || inside_) return false;
        inside_ = true;
        const double start = Now();
        QCoreApplication::sendEvent(viewport_, event);
        starts.push_back(start);
        costs.push_back(Now() - start);
        inside_ = false;
        return true;
    }

  private:
    QWidget* viewport_;
    QElapsedTimer clock_;
    bool inside_ = false;
};

struct Figures {
    int glides = 0;
    int frames = 0;
    double seconds = 0;
    double longest = 0;
    double paintSum = 0, paintMax = 0;
    QSize viewport;
};

// One glide of all the cards to their places in `to` through a pause, measured.
void GlideOnce(FrameClock& clock, const std::vector<QPoint>& to, Figures& figures) {
    for (int k = 0; k < kCards; ++k) {
        Picture& pic = Pic(k + 1);
        pic.Move(to[k].x(), to[k].y());
        ZOrder(pic);
    }
    const std::size_t first = clock.starts.size();
    const double start = clock.Now();
    DelayMs = kPauseMs;
    Pause();
    const double end = clock.Now();
    double last = start;
    for (std::size_t i = first; i < clock.starts.size(); ++i) {
        figures.longest = std::max(figures.longest, clock.starts[i] - last);
        last = clock.starts[i];
        figures.paintSum += clock.costs[i];
        figures.paintMax = std::max(figures.paintMax, clock.costs[i]);
    }
    figures.longest = std::max(figures.longest, end - last);
    figures.frames += static_cast<int>(clock.starts.size() - first);
    figures.seconds += (end - start) / 1000;
    ++figures.glides;
}

Figures Measure(int width, int height, int rounds) {
    ResetModel();
    ResetForm();
    SetUpDeck();
    qt::TableWindow window(Frmtable());
    window.resize(width, height);
    window.show();
    while (!window.windowHandle()->isExposed()) QCoreApplication::processEvents();
    // The stock's place, and a row across the table like a hand spread wide.
    std::vector<QPoint> stock, row;
    for (int k = 0; k < kCards; ++k) {
        Picture& pic = Pic(k + 1);
        ShowFace(k + 1);
        pic.visible = true;
        stock.emplace_back(1200 + k * 4, 1500 - k * 4);
        row.emplace_back(900 + k * 700, 5400 + (k % 3) * 300);
        pic.Move(stock[k].x(), stock[k].y());
    }
    window.Sync();
    FrameClock clock(window.view()->viewport());
    DelayMs = 300;
    Pause();  // the first paints, the pixmaps made at this size
    Figures figures;
    figures.viewport = window.view()->viewport()->size();
    for (int r = 0; r < rounds; ++r) {
        GlideOnce(clock, row, figures);
        GlideOnce(clock, stock, figures);
    }
    return figures;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    int rounds = 6;
    std::vector<std::pair<int, int>> sizes;
    for (int i = 1; i < argc; ++i) {
        int w = 0, h = 0;
        if (std::strcmp(argv[i], "--rounds") == 0 && i + 1 < argc) {
            rounds = std::max(1, std::atoi(argv[++i]));
        } else if (std::sscanf(argv[i], "%dx%d", &w, &h) == 2 && w > 0 && h > 0) {
            sizes.emplace_back(w, h);
        } else {
            std::fprintf(stderr, "usage: glide_bench [--rounds N] [WIDTHxHEIGHT ...]\n");
            return 2;
        }
    }
    if (sizes.empty()) sizes = {{1600, 1000}, {3840, 2160}};
    qt::QtPlatform platform;
    InstallPlatform(&platform);
    SmoothMotion = true;
    std::printf("platform %s; %d cards gliding through pauses of %d ms\n",
                qPrintable(QGuiApplication::platformName()), kCards, kPauseMs);
    for (const auto& [w, h] : sizes) {
        const Figures f = Measure(w, h, rounds);
        std::printf(
            "window %4dx%-4d (table %4dx%-4d)  %2d glides  %5.1f frames/s  longest frame %5.1f ms  "
            "paint %4.1f ms mean, %4.1f ms max\n",
            w, h, f.viewport.width(), f.viewport.height(), f.glides, f.frames / f.seconds,
            f.longest, f.paintSum / std::max(1, f.frames), f.paintMax);
    }
    InstallPlatform(nullptr);
    return 0;
}
