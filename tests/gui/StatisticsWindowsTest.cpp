// The score chart draws both totals and follows the game; the history lists
// the finished games newest first.

#include "model/GameRecord.h"
#include "support/WindowTest.h"
#include "ui/qt/HistoryWindow.h"
#include "ui/qt/ScoreChartWindow.h"

#include <QImage>
#include <QLabel>
#include <QTableWidget>

#include <fstream>

namespace cardovia::testing {
namespace {

using StatisticsWindowsTest = WindowTest;

int Pixels(const QImage& image, const QColor& colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) n += image.pixelColor(x, y) == colour;
    }
    return n;
}

TEST_F(StatisticsWindowsTest, TheChartFollowsTheTotalsAndTheHistoryListsTheNewestGameFirst) {
    GameTotals.clear();
    GameTotalsTarget = 5000;
    ++GameTotalsVersion;
    qt::ScoreChartWindow* chart = qt::ScoreChartWindow::Open();
    const int legend = Pixels(chart->grab().toImage(), qt::kPlayerLineColour);
    // Hands finished while it is open reach it when the table follows the game.
    GameTotals = {{120, 80}, {-40, 455}, {1230, 870}};
    ++GameTotalsVersion;
    qt::ScoreChartWindow::FollowGame();
    const QImage image = chart->grab().toImage();
    EXPECT_GT(Pixels(image, qt::kPlayerLineColour), legend + 100);
    EXPECT_GT(Pixels(image, qt::kThaddockLineColour), 100);
    EXPECT_EQ(chart->accessibleName(), "Score chart, 3 hands: you 1230, Thaddock 870, target 5000");

    std::ofstream(dir / kHistoryFileName) << kHistoryHeader << "\n"
                                          << "2026-11-30 21:40,3100,5210,5000,lost,9\n"
                                          << "2026-12-01 19:05,5120,3880,5000,won,6\n"
                                          << "2026-12-02 08:00,51\n";
    qt::HistoryWindow* history = qt::HistoryWindow::Open();
    const QTableWidget* table = history->Table();
    ASSERT_EQ(table->rowCount(), 2);
    QStringList rows;
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < table->columnCount(); ++column) {
            rows << table->item(row, column)->text();
        }
    }
    EXPECT_EQ(rows.join(','),
              "2026-12-01 19:05,5120,3880,5000,Won,6,2026-11-30 21:40,3100,5210,5000,Lost,9");
    EXPECT_EQ(history->Note()->text(), "2 games: won 1, lost 1. 1 damaged line was skipped.");
}

}  // namespace
}  // namespace cardovia::testing
