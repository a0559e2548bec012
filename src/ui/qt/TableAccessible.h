#pragma once
// The table on the accessibility bus. The table view's accessible object has
// the game's named groups as its children ("Your hand", "Stock", ...), each
// with its cards, melds or panel texts, worded by the form's DescribeTable.
// Objects keep their identity while they stay in their group, so a screen
// reader's cache holds; the ring's moves are sent as focus events and changed
// names as name-changed events.

#include <QAccessibleWidget>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "ui/Form.h"

namespace cardovia::qt {

class TableView;

class TableAccessible : public QAccessibleWidget {
  public:
    explicit TableAccessible(TableView* view);
    ~TableAccessible() override;

    // Installs the factory that gives every table view this object.
    static void Install();
    // Tells a listening screen reader what changed since the last call: names
    // changed, and the ring's move as a focus event. The words themselves are
    // made afresh whenever the view has synced since they were last made.
    void Announce();

    QString text(QAccessible::Text t) const override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;

    // For the objects below: their words, by key; nullptr once gone.
    struct Entry {
        const AccessibleObject* object = nullptr;
        std::string parentKey;              // empty for a group
        std::vector<std::string> children;  // keys, in order
    };
    const Entry* Find(const std::string& key) const;
    QAccessibleInterface* Node(const std::string& key) const;
    QRect ScreenRect(const Control& control) const;
    TableView* view() const;

  private:
    void Refresh() const;
    std::string FocusedKey() const;
    mutable std::uint64_t seen_ = ~std::uint64_t{0};  // the view's sync they were made at
    mutable std::vector<AccessibleObject> groups_;
    mutable std::map<std::string, Entry> entries_;
    mutable std::vector<std::string> groupKeys_;
    mutable std::map<std::string, QAccessible::Id> nodes_;  // made once, kept till the table goes
    std::string focusedKey_;
    std::map<std::string, std::string> toldNames_;
};

}  // namespace cardovia::qt
