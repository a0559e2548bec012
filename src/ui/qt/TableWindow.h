#pragma once
// The table window: the menu bar, the table and the four-panel status bar, all
// mirrored from the form whenever the event loop is about to wait.

#include <QMainWindow>

#include <array>
#include <vector>

#include "ui/Form.h"

class QAction;
class QLabel;

namespace cardovia::qt {

class Announcer;
class TableView;

class TableWindow : public QMainWindow {
  public:
    explicit TableWindow(TableForm& form);
    TableView* view() const { return view_; }
    // Mirrors the form: caption, menus, status bar and the table's items.
    void Sync();
    QAction* ActionFor(const MenuItem& item) const;
    QLabel* StatusPanel(int panel) const { return panels_[panel]; }
    // Closes without asking (the program ending itself).
    void CloseQuietly();

  protected:
    void closeEvent(QCloseEvent* event) override;
    // Play by keyboard: the table's keys, before the view scrolls or Tab moves the focus.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BuildMenus();
    bool TargetBoxKey(QEvent* event);
    void ShowPanelRing();
    bool MenuEnabled(const MenuItem* entry) const;
    TableForm& form_;
    TableView* view_;
    Announcer* announcer_;
    std::array<QLabel*, 5> panels_{};
    std::vector<std::pair<const MenuItem*, QAction*>> actions_;
    bool quietClose_ = false;
    int ringPanel_ = 0;  // the status panel framed by the ring
};

}  // namespace cardovia::qt
