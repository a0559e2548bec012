#pragma once
// Statistics > Score Chart: a line chart of both game totals after each hand
// of the game in progress (or the last finished one), with the target score.
// Not modal; while open it follows GameTotals, redrawing only when they change.

#include <QWidget>

namespace cardovia::qt {

class ScoreChartWindow : public QWidget {
  public:
    explicit ScoreChartWindow(QWidget* parent = nullptr);
    // Shows the chart, building it when none is open, and brings it to the front.
    static ScoreChartWindow* Open();
    static ScoreChartWindow* Current();
    static void CloseIfOpen();
    // Redraws the open chart if GameTotals changed since it was drawn.
    static void FollowGame();
};

}  // namespace cardovia::qt
