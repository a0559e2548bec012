#pragma once
// Statistics > Score Chart: a line chart of both game totals after each hand
// of the game in progress (or the last finished one), with the target score.
// Not modal; while open it follows GameTotals, redrawing only when they change.

#include <QColor>
#include <QWidget>

#include <cstdint>

namespace cardovia::qt {

// The two lines: a dark blue with round markers for the player and a
// red-brown with square ones for Thaddock, apart in lightness as well as hue.
inline const QColor kPlayerLineColour(25, 85, 175);
inline const QColor kThaddockLineColour(175, 75, 20);

class ScoreChartWindow : public QWidget {
  public:
    explicit ScoreChartWindow(QWidget* parent = nullptr);
    // Shows the chart, building it when none is open, and brings it to the front.
    static ScoreChartWindow* Open();
    static ScoreChartWindow* Current();
    static void CloseIfOpen();
    // Redraws the open chart if GameTotals changed since it was drawn.
    static void FollowGame();

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    // Takes in the current totals: the screen reader's summary, and a redraw.
    void Refresh();

    std::uint64_t version_ = 0;
};

}  // namespace cardovia::qt
