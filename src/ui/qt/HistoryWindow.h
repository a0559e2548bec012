#pragma once
// Statistics > Game History: the finished games of History.csv in a table,
// newest first. Not modal; read afresh each time it is opened.

#include <QWidget>

namespace cardovia::qt {

class HistoryWindow : public QWidget {
  public:
    explicit HistoryWindow(QWidget* parent = nullptr);
    static HistoryWindow* Open();
    static HistoryWindow* Current();
    static void CloseIfOpen();
};

}  // namespace cardovia::qt
