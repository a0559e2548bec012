#include "ui/qt/HistoryWindow.h"
#include "ui/qt/Windows.h"

#include "model/GameRecord.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QShortcut>
#include <QTableWidget>
#include <QVBoxLayout>

namespace cardovia::qt {

namespace {

QPointer<HistoryWindow> open;

const QSize kSmallestSize(480, 260);
const QSize kFirstSize(640, 400);

enum Column { kDate, kYours, kThaddocks, kTarget, kResult, kHands, kColumns };

QTableWidgetItem* Cell(const QString& text, bool number) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    item->setTextAlignment((number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    return item;
}

QTableWidgetItem* Cell(int number) {
    return Cell(QString::number(number), true);
}

QString Count(int n, const char* one, const char* many) {
    return QStringLiteral("%1 %2").arg(n).arg(n == 1 ? one : many);
}

}  // namespace

HistoryWindow::HistoryWindow(QWidget* parent)
    : QWidget(parent, Qt::Window),
      table_(new QTableWidget(0, kColumns, this)),
      note_(new QLabel(this)),
      close_(new QPushButton(QStringLiteral("Close"), this)) {
    setObjectName(QStringLiteral("frmHistory"));
    setWindowTitle(QStringLiteral("Game History"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_QuitOnClose, false);

    table_->setHorizontalHeaderLabels(
        {"Date", "Your total", "Thaddock's total", "Target", "Result", "Hands"});
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setTabKeyNavigation(false);
    table_->setAlternatingRowColors(true);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table_->horizontalHeader()->setSectionResizeMode(kDate, QHeaderView::Stretch);
    table_->setAccessibleName(QStringLiteral("Finished games, newest first"));
    note_->setWordWrap(true);

    close_->setDefault(true);
    connect(close_, &QPushButton::clicked, this, &QWidget::close);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);

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

void HistoryWindow::Refresh() {
    const HistoryFile history = ReadHistory(HistoryPath());
    const int games = static_cast<int>(history.games.size());
    int won = 0;
    table_->clearContents();
    table_->setRowCount(games);
    for (int row = 0; row < games; ++row) {
        const HistoryEntry& game = history.games[games - 1 - row];
        won += game.won;
        table_->setItem(row, kDate, Cell(QString::fromStdString(game.when), false));
        table_->setItem(row, kYours, Cell(game.player));
        table_->setItem(row, kThaddocks, Cell(game.thaddock));
        table_->setItem(row, kTarget, Cell(game.target));
        table_->setItem(row, kResult, Cell(game.won ? "Won" : "Lost", false));
        table_->setItem(row, kHands, Cell(game.hands));
    }
    QString note = games == 0 ? QStringLiteral("No finished games yet.")
                              : QStringLiteral("%1: won %2, lost %3.")
                                    .arg(Count(games, "game", "games"))
                                    .arg(won)
                                    .arg(games - won);
    if (history.damaged > 0) {
        note += QStringLiteral(" %1 skipped.")
                    .arg(Count(history.damaged, "damaged line was", "damaged lines were"));
    }
    note_->setText(note);
    if (games > 0) table_->setCurrentCell(0, kDate);
}

HistoryWindow* HistoryWindow::Open() {
    if (open) {
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
