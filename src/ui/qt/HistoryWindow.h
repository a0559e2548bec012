#pragma once
// Statistics > Game History: the finished games of History.csv in a table,
// newest first. Not modal; read afresh each time it is opened.

#include <QWidget>

class QLabel;
class QPushButton;
class QTableWidget;

namespace cardovia::qt {

class HistoryWindow : public QWidget {
  public:
    explicit HistoryWindow(QWidget* parent = nullptr);
    // Shows the history, building it when none is open and reading the file
    // again when one is, and brings it to the front.
    static HistoryWindow* Open();
    static HistoryWindow* Current();
    static void CloseIfOpen();

    QTableWidget* Table() const { return table_; }
    // How many games there are, and how many lines of the file were damaged.
    QLabel* Note() const { return note_; }

  private:
    void Refresh();

    QTableWidget* table_;
    QLabel* note_;
    QPushButton* close_;
};

}  // namespace cardovia::qt
