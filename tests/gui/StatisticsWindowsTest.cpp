// The score chart draws both totals and follows the game; the history lists
// the finished games newest first, read on a thread of its own so that no
// file in History.csv's place holds the window up.

#include "model/GameRecord.h"
#include "support/WindowTest.h"
#include "ui/qt/HistoryWindow.h"
#include "ui/qt/ScoreChartWindow.h"

#include <QAbstractItemModel>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QTableView>
#include <QTest>

#include <fstream>

#include <sys/stat.h>

namespace cardovia::testing {
namespace {

namespace fs = std::filesystem;

using StatisticsWindowsTest = WindowTest;

int Pixels(const QImage& image, const QColor& colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) n += image.pixelColor(x, y) == colour;
    }
    return n;
}

// Opens the history and lets its read finish; how long Open() itself took.
qint64 OpenHistory(qt::HistoryWindow*& history) {
    QElapsedTimer clock;
    clock.start();
    history = qt::HistoryWindow::Open();
    const qint64 opened = clock.elapsed();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !history->Reading(); }, 20000));
    return opened;
}

std::string Row(const QTableView* table, int row) {
    QStringList cells;
    for (int column = 0; column < table->model()->columnCount(); ++column) {
        cells << table->model()->index(row, column).data().toString();
    }
    return cells.join(',').toStdString();
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
    qt::HistoryWindow* history = nullptr;
    OpenHistory(history);
    const QTableView* table = history->Table();
    ASSERT_EQ(table->model()->rowCount(), 2);
    EXPECT_EQ(Row(table, 0) + "," + Row(table, 1),
              "2026-12-01 19:05,5120,3880,5000,Won,6,2026-11-30 21:40,3100,5210,5000,Lost,9");
    EXPECT_EQ(table->model()->headerData(2, Qt::Horizontal).toString(), "Thaddock's total");
    EXPECT_EQ(table->currentIndex().row(), 0);
    EXPECT_EQ(history->Note()->text(), "2 games: won 1, lost 1. 1 damaged line was skipped.");

    // Opened again, it reads the file again.
    std::ofstream(dir / kHistoryFileName, std::ios::app)
        << "2026-12-03 10:00,100,5100,5000,lost,3\n";
    OpenHistory(history);
    EXPECT_EQ(Row(history->Table(), 0), "2026-12-03 10:00,100,5100,5000,Lost,3");
}

TEST_F(StatisticsWindowsTest, WhatStandsInTheHistorysPlaceIsToldAndNeverHoldsTheWindowUp) {
    const fs::path path = dir / kHistoryFileName;
    const fs::path outside = dir / "elsewhere.csv";
    std::ofstream(outside) << kHistoryHeader << "\n2026-12-01 19:05,5120,3880,5000,won,6\n";
    const std::string where = path.string() + " could not be read: ";
    const std::pair<std::function<void()>, std::string> cases[] = {
        {[] {}, "No finished games yet."},
        {[&] { std::ofstream(path) << kHistoryHeader << "\n"; }, "No finished games yet."},
        {[&] { ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0); },
         where + "it is a named pipe, not a plain file."},
        {[&] { fs::create_directory(path); }, where + "it is a folder, not a plain file."},
        {[&] { fs::create_symlink(outside, path); },
         where + "it is a symbolic link, which the game does not follow."},
        {[&] { fs::create_symlink("/dev/zero", path); },
         where + "it is a symbolic link, which the game does not follow."},
    };
    for (const auto& [make, note] : cases) {
        fs::remove_all(path);
        make();
        qt::HistoryWindow* history = nullptr;
        EXPECT_LT(OpenHistory(history), 500) << note;
        EXPECT_EQ(history->Note()->text().toStdString(), note);
        EXPECT_EQ(history->Table()->model()->rowCount(), 0) << note;
    }
}

TEST_F(StatisticsWindowsTest, AHistoryOfAMillionGamesOpensAtOnceAndShowsTheNewest) {
    {
        std::ofstream out(dir / kHistoryFileName);
        out << kHistoryHeader << "\n";
        for (int i = 0; i < 1000000; ++i) {
            out << "2026-12-01 19:05," << i << ",3880,5000," << (i % 3 ? "won" : "lost") << ",6\n";
        }
    }
    qt::HistoryWindow* history = nullptr;
    // The window is up before the file is read; the read takes only the file's end.
    EXPECT_LT(OpenHistory(history), 500);
    ASSERT_EQ(history->Table()->model()->rowCount(), kHistoryMostLines);
    EXPECT_EQ(Row(history->Table(), 0), "2026-12-01 19:05,999999,3880,5000,Lost,6");
    EXPECT_EQ(history->Note()->text(),
              "The newest 10000 games: won 6666, lost 3334. Older games stay in the file but are "
              "not shown.");
    // Closed in the middle of a read, the window is gone and the read goes nowhere.
    qt::HistoryWindow::CloseIfOpen();
    ASSERT_TRUE(QTest::qWaitFor([] { return qt::HistoryWindow::Current() == nullptr; }, 2000));
    history = qt::HistoryWindow::Open();
    ASSERT_TRUE(history->Reading());
    delete history;
    QTest::qWait(300);
    EXPECT_EQ(qt::HistoryWindow::Current(), nullptr);
}

}  // namespace
}  // namespace cardovia::testing
