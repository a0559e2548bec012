#pragma once
// Statistics > Game History: the finished games of History.csv in a table,
// newest first. Not modal; read afresh each time it is opened, on a thread of
// its own, so that no history however long (nor a pipe or a device put in its
// place) holds the window up.

#include <QWidget>

#include <memory>

class QLabel;
class QPushButton;
class QTableView;

namespace cardovia {
struct HistoryFile;
}

namespace cardovia::qt {

class HistoryModel;

class HistoryWindow : public QWidget {
  public:
    explicit HistoryWindow(QWidget* parent = nullptr);
    ~HistoryWindow() override;
    // Shows the history, building it when none is open and reading the file
    // again when one is, and brings it to the front.
    static HistoryWindow* Open();
    static HistoryWindow* Current();
    static void CloseIfOpen();

    QTableView* Table() const { return table_; }
    // How many games there are, and how many lines of the file were damaged;
    // or that the file is being read, or why it could not be.
    QLabel* Note() const { return note_; }
    // Whether a read of the file is still under way.
    bool Reading() const { return reading_; }

  private:
    struct Mailbox;
    void Refresh();
    void Show(const HistoryFile& history);

    HistoryModel* model_;
    QTableView* table_;
    QLabel* note_;
    QPushButton* close_;
    std::shared_ptr<Mailbox> mailbox_;
    bool reading_ = false;
    bool readAgain_ = false;
};

}  // namespace cardovia::qt
