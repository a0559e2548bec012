#include "ui/qt/HistoryWindow.h"
#include "ui/qt/Windows.h"

#include "model/GameRecord.h"

#include <QAbstractTableModel>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QShortcut>
#include <QTableView>
#include <QVBoxLayout>

#include <mutex>
#include <thread>

namespace cardovia::qt {

namespace {

QPointer<HistoryWindow> open;

const QSize kSmallestSize(480, 260);
const QSize kFirstSize(640, 400);

enum Column { kDate, kYours, kThaddocks, kTarget, kResult, kHands, kColumns };

QString Count(int n, const char* one, const char* many) {
    return QStringLiteral("%1 %2").arg(n).arg(n == 1 ? one : many);
}

}  // namespace

// The games newest first, read straight from the list: a table of ten
// thousand games costs no more to show than one of ten.
class HistoryModel : public QAbstractTableModel {
  public:
    using QAbstractTableModel::QAbstractTableModel;

    void SetGames(std::vector<HistoryEntry> games) {
        beginResetModel();
        games_ = std::move(games);
        endResetModel();
    }
    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(games_.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : kColumns;
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= rowCount()) return {};
        const HistoryEntry& game =
            games_[games_.size() - 1 - static_cast<std::size_t>(index.row())];
        if (role == Qt::TextAlignmentRole) {
            const bool number = index.column() != kDate && index.column() != kResult;
            return QVariant::fromValue((number ? Qt::AlignRight : Qt::AlignLeft) |
                                       Qt::AlignVCenter);
        }
        if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole) return {};
        switch (index.column()) {
            case kDate:
                return QString::fromStdString(game.when);
            case kYours:
                return QString::number(game.player);
            case kThaddocks:
                return QString::number(game.thaddock);
            case kTarget:
                return QString::number(game.target);
            case kResult:
                return game.won ? QStringLiteral("Won") : QStringLiteral("Lost");
            case kHands:
                return QString::number(game.hands);
        }
        return {};
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        static const char* const kTitles[] = {"Date",   "Your total", "Thaddock's total",
                                              "Target", "Result",     "Hands"};
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
            section >= kColumns) {
            return QAbstractTableModel::headerData(section, orientation, role);
        }
        return QString::fromLatin1(kTitles[section]);
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override {
        return index.isValid() ? Qt::ItemIsSelectable | Qt::ItemIsEnabled : Qt::NoItemFlags;
    }

  private:
    std::vector<HistoryEntry> games_;
};

// Where a reading thread leaves its history: the window while it stands,
// nothing once it has gone, so that a late read is dropped, never delivered
// to a window that is no more.
struct HistoryWindow::Mailbox {
    std::mutex mutex;
    HistoryWindow* window = nullptr;
};

HistoryWindow::HistoryWindow(QWidget* parent)
    : QWidget(parent, Qt::Window),
      model_(new HistoryModel(this)),
      table_(new QTableView(this)),
      note_(new QLabel(this)),
      close_(new QPushButton(QStringLiteral("Close"), this)),
      mailbox_(std::make_shared<Mailbox>()) {
    mailbox_->window = this;
    setObjectName(QStringLiteral("frmHistory"));
    setWindowTitle(QStringLiteral("Game History"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_QuitOnClose, false);

    table_->setModel(model_);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setTabKeyNavigation(false);
    table_->setAlternatingRowColors(true);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table_->horizontalHeader()->setSectionResizeMode(kDate, QHeaderView::Stretch);
    // Sizing the columns to their contents looks at the first rows only.
    table_->horizontalHeader()->setResizeContentsPrecision(100);
    table_->setAccessibleName(QStringLiteral("Finished games, newest first"));
    note_->setWordWrap(true);
    note_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    close_->setDefault(true);
    connect(close_, &QPushButton::clicked, this, &QWidget::close);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
    // A read still under way when the program ends has nowhere to go.
    connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this, [box = mailbox_] {
        std::lock_guard lock(box->mutex);
        box->window = nullptr;
    });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(close_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table_, 1);
    layout->addWidget(note_);
    layout->addLayout(buttons);

    setMinimumSize(kSmallestSize);
    resize(kFirstSize);
    Refresh();
    table_->setFocus();
}

HistoryWindow::~HistoryWindow() {
    std::lock_guard lock(mailbox_->mutex);
    mailbox_->window = nullptr;
}

void HistoryWindow::Refresh() {
    if (reading_) {
        // Opened again while a read is under way: the file is read afresh after it.
        readAgain_ = true;
        return;
    }
    reading_ = true;
    readAgain_ = false;
    note_->setText(QStringLiteral("Reading the game history..."));
    // The thread holds no pointer of the window's: only the mailbox, which
    // outlives the window when the window goes first.
    std::thread([box = mailbox_, path = HistoryPath()] {
        HistoryFile history = ReadHistory(path);
        std::lock_guard lock(box->mutex);
        if (!box->window) return;
        // Posted while the window is sure to stand; were it to go before the
        // post is handled, the post goes with it.
        QMetaObject::invokeMethod(
            box->window,
            [window = box->window, history = std::move(history)] { window->Show(history); },
            Qt::QueuedConnection);
    }).detach();
}

void HistoryWindow::Show(const HistoryFile& history) {
    reading_ = false;
    if (readAgain_) {
        Refresh();
        return;
    }
    const int games = static_cast<int>(history.games.size());
    int won = 0;
    for (const HistoryEntry& game : history.games) won += game.won;
    model_->SetGames(history.games);
    QString note;
    if (!history.problem.empty()) {
        note = QString::fromStdString(history.problem);
    } else if (games == 0) {
        note = history.older ? QStringLiteral("No finished games in the newest part of the file.")
                             : QStringLiteral("No finished games yet.");
    } else {
        note = QStringLiteral("%1: won %2, lost %3.")
                   .arg(history.older
                            ? QStringLiteral("The newest %1").arg(Count(games, "game", "games"))
                            : Count(games, "game", "games"))
                   .arg(won)
                   .arg(games - won);
        if (history.older) {
            note += QStringLiteral(" Older games stay in the file but are not shown.");
        }
    }
    if (history.damaged > 0) {
        note += QStringLiteral(" %1 skipped.")
                    .arg(Count(history.damaged, "damaged line was", "damaged lines were"));
    }
    note_->setText(note);
    if (games > 0) table_->setCurrentIndex(model_->index(0, kDate));
}

HistoryWindow* HistoryWindow::Open() {
    // A window closed a moment ago is on its way out: a new one takes its place.
    if (open && !open->isHidden()) {
        open->Refresh();
    } else {
        open = new HistoryWindow;
    }
    return BringToFront(open.data());
}

HistoryWindow* HistoryWindow::Current() {
    return open;
}

void HistoryWindow::CloseIfOpen() {
    if (open) open->close();
}

}  // namespace cardovia::qt
