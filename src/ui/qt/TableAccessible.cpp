#include "ui/qt/TableAccessible.h"

#include "ui/qt/TableView.h"

#include <QPointer>
#include <QWidget>
#include <QWindow>

namespace cardovia::qt {

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

// One object below the table: a group, a card, a meld, a panel's text or
// button. It holds only its key; its words are looked up afresh.
class TableNodeAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
  public:
    TableNodeAccessible(TableView* view, std::string key) : view_(view), key_(std::move(key)) {}

    bool isValid() const override { return Entry() != nullptr; }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return view_ ? view_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* childAt(int x, int y) const override {
        const auto* e = Entry();
        if (!e) return nullptr;
        QAccessibleInterface* found = nullptr;
        for (const std::string& key : e->children) {
            QAccessibleInterface* child = Table()->Node(key);
            if (child && child->rect().contains(x, y)) found = child;  // the last lies in front
        }
        return found;
    }
    QAccessibleInterface* parent() const override {
        const auto* e = Entry();
        if (!e) return nullptr;
        if (e->parentKey.empty()) return Table();
        return Table()->Node(e->parentKey);
    }
    QAccessibleInterface* child(int index) const override {
        const auto* e = Entry();
        if (!e || index < 0 || index >= static_cast<int>(e->children.size())) return nullptr;
        return Table()->Node(e->children[static_cast<std::size_t>(index)]);
    }
    int childCount() const override {
        const auto* e = Entry();
        return e ? static_cast<int>(e->children.size()) : 0;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        const auto* e = Entry();
        if (!e) return -1;
        for (std::size_t i = 0; i < e->children.size(); ++i) {
            if (Table()->Node(e->children[i]) == child) return static_cast<int>(i);
        }
        return -1;
    }
    QString text(QAccessible::Text t) const override {
        const auto* e = Entry();
        if (!e) return {};
        if (t == QAccessible::Name) return Q(e->object->name);
        if (t == QAccessible::Description) return Q(e->object->description);
        return {};
    }
    void setText(QAccessible::Text, const QString&) override {}
    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ActionInterface && PressableButton()) {
            return static_cast<QAccessibleActionInterface*>(this);
        }
        return nullptr;
    }
    // A panel's button (Carry On, the target's O.K, Hand Help's Finished)
    // answers a reader's press as it answers a click.
    QStringList actionNames() const override {
        return PressableButton() ? QStringList{pressAction()} : QStringList{};
    }
    void doAction(const QString& name) override {
        const Button* button = PressableButton();
        if (!button || name != pressAction()) return;
        button->Click();
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }
    QRect rect() const override {
        const auto* e = Entry();
        if (!e) return {};
        if (e->object->control) return Table()->ScreenRect(*e->object->control);
        QRect all;
        for (int i = 0; i < childCount(); ++i) all = all.united(child(i)->rect());
        return all;
    }
    QAccessible::Role role() const override {
        const auto* e = Entry();
        switch (e ? e->object->role : AccessibleRole::Group) {
            case AccessibleRole::Card:
                return QAccessible::ListItem;
            case AccessibleRole::Text:
                return QAccessible::StaticText;
            case AccessibleRole::Button:
                return QAccessible::Button;
            case AccessibleRole::Group:
                break;
        }
        return QAccessible::Grouping;
    }
    QAccessible::State state() const override {
        QAccessible::State s;
        const auto* e = Entry();
        if (!e) {
            s.invalid = true;
            return s;
        }
        const Control* c = e->object->control;
        const AccessibleRole r = e->object->role;
        s.readOnly = r == AccessibleRole::Text;
        s.focusable = r == AccessibleRole::Card || r == AccessibleRole::Button;
        s.focused = c && c->focused;
        s.invisible = c && !c->visible;
        return s;
    }

  private:
    const Button* PressableButton() const {
        const auto* e = Entry();
        if (!e || e->object->role != AccessibleRole::Button || !e->object->control) return nullptr;
        const Control* c = e->object->control;
        if (c->kind != ControlKind::Button || !c->visible) return nullptr;
        const auto* button = static_cast<const Button*>(c);
        return button->Click ? button : nullptr;
    }
    TableAccessible* Table() const {
        return view_ ? static_cast<TableAccessible*>(QAccessible::queryAccessibleInterface(view_))
                     : nullptr;
    }
    const TableAccessible::Entry* Entry() const {
        TableAccessible* table = Table();
        return table ? table->Find(key_) : nullptr;
    }
    QPointer<TableView> view_;
    std::string key_;
};

QAccessibleInterface* Factory(const QString&, QObject* object) {
    if (auto* view = dynamic_cast<TableView*>(object)) return new TableAccessible(view);
    return nullptr;
}

}  // namespace

TableAccessible::TableAccessible(TableView* view) : QAccessibleWidget(view, QAccessible::Pane) {}

TableAccessible::~TableAccessible() = default;

void TableAccessible::Install() {
    static const bool installed = [] {
        QAccessible::installFactory(Factory);
        return true;
    }();
    (void)installed;
}

TableView* TableAccessible::view() const {
    return static_cast<TableView*>(widget());
}

void TableAccessible::Refresh() const {
    if (seen_ == view()->syncs()) return;
    seen_ = view()->syncs();
    entries_.clear();
    groupKeys_.clear();
    const TableForm& form = view()->form();
    groups_ = form.DescribeTable ? form.DescribeTable() : std::vector<AccessibleObject>{};
    for (const AccessibleObject& group : groups_) {
        Entry& g = entries_[group.name];
        if (g.object) continue;  // a second group of the same name is not told
        g.object = &group;
        groupKeys_.push_back(group.name);
        for (const AccessibleObject& child : group.children) {
            // A child is known by what it stands for while it stays in its group.
            const std::string key =
                group.name + "/" +
                (!child.key.empty() ? child.key
                 : child.control ? std::to_string(reinterpret_cast<std::uintptr_t>(child.control))
                                 : child.name);
            Entry& c = entries_[key];
            if (c.object) continue;
            c.object = &child;
            c.parentKey = group.name;
            g.children.push_back(key);
        }
    }
}

const TableAccessible::Entry* TableAccessible::Find(const std::string& key) const {
    Refresh();
    const auto it = entries_.find(key);
    return it == entries_.end() ? nullptr : &it->second;
}

QAccessibleInterface* TableAccessible::Node(const std::string& key) const {
    if (!Find(key)) return nullptr;
    auto it = nodes_.find(key);
    if (it == nodes_.end()) {
        // The bus's cache owns the object; it stays valid while its key is on the table.
        const QAccessible::Id id =
            QAccessible::registerAccessibleInterface(new TableNodeAccessible(view(), key));
        it = nodes_.emplace(key, id).first;
    }
    return QAccessible::accessibleInterface(it->second);
}

QRect TableAccessible::ScreenRect(const Control& control) const {
    const QRect inView = view()->mapFromScene(TableView::SceneRectOf(control)).boundingRect();
    return QRect(view()->viewport()->mapToGlobal(inView.topLeft()), inView.size());
}

std::string TableAccessible::FocusedKey() const {
    Refresh();
    for (const auto& [key, entry] : entries_) {
        if (entry.object->control && entry.object->control->focused) return key;
    }
    return {};
}

void TableAccessible::Announce() {
    Refresh();
    for (const auto& [key, entry] : entries_) {
        auto told = toldNames_.find(key);
        if (told != toldNames_.end() && told->second != entry.object->name) {
            if (QAccessibleInterface* node = Node(key)) {
                QAccessibleEvent event(node, QAccessible::NameChanged);
                QAccessible::updateAccessibility(&event);
            }
        }
        toldNames_[key] = entry.object->name;
    }
    const std::string focused = FocusedKey();
    if (focused != focusedKey_) {
        focusedKey_ = focused;
        if (QAccessibleInterface* node = focused.empty() ? nullptr : Node(focused)) {
            QAccessibleEvent event(node, QAccessible::Focus);
            QAccessible::updateAccessibility(&event);
        }
    }
}

QString TableAccessible::text(QAccessible::Text t) const {
    // The keys a player needs, where a reader looks for help on an object.
    if (t == QAccessible::Description) {
        return QStringLiteral(
            "Arrows and Tab move the ring; Enter or Space acts like a left click, Delete like a "
            "right click; S draws two cards, P takes the pile, H gives a hint, Escape lets go of "
            "a wild card. Questions: Y your hand, M your melds, T Thaddock's melds, D the "
            "discard pile, C the scores, N your minimum, R the red threes, K the stock, O "
            "Thaddock's hand, L repeats what was last said.");
    }
    return QAccessibleWidget::text(t);
}

int TableAccessible::childCount() const {
    Refresh();
    return static_cast<int>(groupKeys_.size());
}

QAccessibleInterface* TableAccessible::child(int index) const {
    Refresh();
    if (index < 0 || index >= static_cast<int>(groupKeys_.size())) return nullptr;
    return Node(groupKeys_[static_cast<std::size_t>(index)]);
}

int TableAccessible::indexOfChild(const QAccessibleInterface* child) const {
    for (int i = 0; i < childCount(); ++i) {
        if (this->child(i) == child) return i;
    }
    return -1;
}

QAccessibleInterface* TableAccessible::childAt(int x, int y) const {
    for (int i = childCount() - 1; i >= 0; --i) {
        QAccessibleInterface* group = child(i);
        if (QAccessibleInterface* inside = group->childAt(x, y)) return inside;
    }
    return nullptr;
}

QAccessibleInterface* TableAccessible::focusChild() const {
    const std::string key = FocusedKey();
    return key.empty() ? nullptr : Node(key);
}
}  // namespace cardovia::qt
