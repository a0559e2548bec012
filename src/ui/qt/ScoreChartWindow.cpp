#include "ui/qt/ScoreChartWindow.h"

#include <QPointer>

namespace cardovia::qt {

namespace {
QPointer<ScoreChartWindow> open;
}

ScoreChartWindow::ScoreChartWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setAttribute(Qt::WA_DeleteOnClose);
}

ScoreChartWindow* ScoreChartWindow::Open() {
    if (!open) open = new ScoreChartWindow;
    open->show();
    open->raise();
    open->activateWindow();
    return open;
}

ScoreChartWindow* ScoreChartWindow::Current() {
    return open;
}

void ScoreChartWindow::CloseIfOpen() {
    if (open) open->close();
}

void ScoreChartWindow::FollowGame() {}

}  // namespace cardovia::qt
