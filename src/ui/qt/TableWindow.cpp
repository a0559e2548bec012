#include "ui/qt/TableWindow.h"

#include "ui/qt/Announcer.h"
#include "ui/qt/ScoreChartWindow.h"
#include "ui/qt/TableView.h"

#include <QAbstractEventDispatcher>
#include <QAccessible>
#include <QAction>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>

#include <optional>

namespace cardovia::qt {

namespace {
constexpr int kTwipsPerPixel = 15;
constexpr int kStatusPanelWidths[5] = {0, 190, 0, 130, 80};  // panel 2 takes the rest
}  // namespace

TableWindow::TableWindow(TableForm& form)
    : form_(form), view_(new TableView(form, this)), announcer_(new Announcer(this)) {
    setCentralWidget(view_);
    BuildMenus();
    for (int i = 1; i <= 4; ++i) {
        panels_[i] = new QLabel(this);
        panels_[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        if (kStatusPanelWidths[i] > 0) panels_[i]->setMinimumWidth(kStatusPanelWidths[i]);
        statusBar()->addWidget(panels_[i], i == 2 ? 1 : 0);
    }
    resize(kTableWidth / kTwipsPerPixel, kTableHeight / kTwipsPerPixel + 48);
    setMinimumSize(480, 360);
    // The game writes its form between events; whenever the event loop is about
    // to wait, the window catches up with it.
    connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this,
            &TableWindow::Sync);
    // The table's keys reach the game before the view or the window use them.
    view_->installEventFilter(this);
    installEventFilter(this);
    Sync();
}

namespace {

std::optional<TableKey> TableKeyOf(const QKeyEvent& key) {
    const auto mods = key.modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier);
    if (mods != Qt::NoModifier) return std::nullopt;
    switch (key.key()) {
        case Qt::Key_Left:
            return TableKey::Left;
        case Qt::Key_Right:
            return TableKey::Right;
        case Qt::Key_Up:
            return TableKey::Up;
        case Qt::Key_Down:
            return TableKey::Down;
        case Qt::Key_Tab:
            return TableKey::NextRow;
        case Qt::Key_Backtab:
            return TableKey::PreviousRow;
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
            return TableKey::Activate;
        case Qt::Key_Delete:
            return TableKey::Secondary;
        case Qt::Key_S:
            return TableKey::DrawStock;
        case Qt::Key_P:
            return TableKey::TakePile;
        case Qt::Key_Escape:
            return TableKey::DropWild;
        case Qt::Key_D:
            return TableKey::AskPile;
        case Qt::Key_C:
            return TableKey::AskScores;
        case Qt::Key_N:
            return TableKey::AskMinimum;
        case Qt::Key_Y:
            return TableKey::AskHand;
        case Qt::Key_M:
            return TableKey::AskMelds;
        case Qt::Key_T:
            return TableKey::AskTheirMelds;
        case Qt::Key_R:
            return TableKey::AskRedThrees;
        case Qt::Key_K:
            return TableKey::AskStock;
        case Qt::Key_O:
            return TableKey::AskTheirHand;
        case Qt::Key_L:
            return TableKey::RepeatLast;
        default:
            return std::nullopt;
    }
}

}  // namespace

// While the target panel is open its box has the keys, as a text box does:
// Enter answers the panel's O.K, and nothing reaches the table or the menus'
// one-letter keys.
bool TableWindow::TargetBoxKey(QEvent* event) {
    if (!form_.FramTarget.visible || !form_.Txtpoints.visible) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (event->type() == QEvent::ShortcutOverride) {
        const bool typed = !key->text().isEmpty() && key->text().front().isPrint();
        if (typed && (key->modifiers() & ~Qt::ShiftModifier) == Qt::NoModifier) {
            event->accept();  // a letter is typed, not a menu's shortcut
        }
        return false;
    }
    if (event->type() != QEvent::KeyPress) return false;
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        if (form_.CmdTarget.Click) form_.CmdTarget.Click();
        Sync();
        return true;
    }
    return false;
}

bool TableWindow::eventFilter(QObject* watched, QEvent* event) {
    if ((event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride) &&
        form_.FramTarget.visible) {
        // The box's own keys go to it; the table takes none of them.
        if (TargetBoxKey(event)) return true;
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() != Qt::Key_Tab && key->key() != Qt::Key_Backtab) {
                return QMainWindow::eventFilter(watched, event);
            }
        }
    }
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (const auto tableKey = TableKeyOf(*key); tableKey && form_.Table_KeyPress) {
            form_.Table_KeyPress(*tableKey, key->isAutoRepeat());
            Sync();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TableWindow::BuildMenus() {
    auto makeAction = [this](const MenuItem* item, QWidget* owner) {
        auto* action = new QAction(QString::fromStdString(item->caption), owner);
        if (!item->shortcut.empty()) {
            action->setShortcut(QKeySequence(QString::fromStdString(item->shortcut)));
            action->setShortcutContext(Qt::ApplicationShortcut);
        }
        action->setCheckable(item->checkable);
        action->setChecked(item->checked);
        connect(action, &QAction::triggered, this, [item] {
            if (item->Click) item->Click();
        });
        actions_.emplace_back(item, action);
        return action;
    };
    for (const MenuItem* top : form_.MenuBar) {
        if (top->items.empty()) {
            QAction* action = makeAction(top, this);
            menuBar()->addAction(action);
            continue;
        }
        QMenu* menu = menuBar()->addMenu(QString::fromStdString(top->caption));
        actions_.emplace_back(top, menu->menuAction());
        for (const MenuItem* entry : top->items) menu->addAction(makeAction(entry, menu));
    }
}

QAction* TableWindow::ActionFor(const MenuItem& item) const {
    for (const auto& [menuItem, action] : actions_) {
        if (menuItem == &item) return action;
    }
    return nullptr;
}

bool TableWindow::MenuEnabled(const MenuItem* entry) const {
    for (const MenuItem* top : form_.MenuBar) {
        for (const MenuItem* item : top->items) {
            if (item == entry) return top->enabled;
        }
    }
    return true;
}

void TableWindow::Sync() {
    const QString caption = QString::fromStdString(form_.Caption);
    if (windowTitle() != caption) setWindowTitle(caption);
    for (const auto& [item, action] : actions_) {
        // An entry of a disabled menu is disabled too, so its shortcut key
        // cannot reach it either (the Play menu while cards are dealt).
        const bool enabled = item->enabled && MenuEnabled(item);
        if (action->isEnabled() != enabled) action->setEnabled(enabled);
        if (action->isVisible() != item->visible) action->setVisible(item->visible);
        const QString text = QString::fromStdString(item->caption);
        if (action->text() != text) action->setText(text);
        if (action->isCheckable() && action->isChecked() != item->checked) {
            action->setChecked(item->checked);
        }
    }
    for (int i = 1; i <= 4; ++i) {
        const QString text = QString::fromStdString(form_.StatusPanels[i]);
        if (panels_[i]->text() != text) panels_[i]->setText(text);
    }
    ShowPanelRing();
    if (form_.NarrateAtRest) form_.NarrateAtRest();
    // What happened is spoken before the ring's move is heard: the results
    // before Carry On, the discard before the turn's first object.
    for (const std::string& words : form_.Announcements) {
        announcer_->Say(QString::fromStdString(words));
    }
    form_.Announcements.clear();
    announcer_->Flush();
    view_->Sync();
    ScoreChartWindow::FollowGame();
}

void TableWindow::ShowPanelRing() {
    // The ring on a status panel (the minimum's): the panel is framed in the
    // ring's colour and a reader hears it as the focus.
    if (form_.focusedPanel == ringPanel_) return;
    if (ringPanel_ > 0) panels_[ringPanel_]->setStyleSheet({});
    ringPanel_ = form_.focusedPanel;
    if (ringPanel_ <= 0 || ringPanel_ > 4) return;
    panels_[ringPanel_]->setStyleSheet(QStringLiteral("QLabel { border: 2px dashed #2060ff; }"));
    if (QAccessible::isActive()) {
        QAccessibleEvent focus(panels_[ringPanel_], QAccessible::Focus);
        QAccessible::updateAccessibility(&focus);
    }
}

void TableWindow::CloseQuietly() {
    quietClose_ = true;
    close();
}

void TableWindow::closeEvent(QCloseEvent* event) {
    if (quietClose_ || !form_.QueryUnload || form_.QueryUnload()) {
        event->accept();
    } else {
        event->ignore();
    }
}

}  // namespace cardovia::qt
