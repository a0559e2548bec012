#include "ui/qt/HistoryWindow.h"

#include <QPointer>

namespace cardovia::qt {

namespace {
QPointer<HistoryWindow> open;
}

HistoryWindow::HistoryWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setAttribute(Qt::WA_DeleteOnClose);
}

HistoryWindow* HistoryWindow::Open() {
    if (!open) open = new HistoryWindow;
    open->show();
    open->raise();
    open->activateWindow();
    return open;
}

HistoryWindow* HistoryWindow::Current() {
    return open;
}

void HistoryWindow::CloseIfOpen() {
    if (open) open->close();
}

}  // namespace cardovia::qt
