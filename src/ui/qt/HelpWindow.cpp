#include "ui/qt/HelpWindow.h"
#include "ui/qt/Windows.h"

#include "model/PlayerFileFormat.h"

#include <QFile>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRect>
#include <QResizeEvent>
#include <QShortcut>
#include <QTextDocument>

namespace cardovia::qt {

namespace {

constexpr int kTwipsPerPixel = 15;

constexpr int Px(int twips) {
    return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel;
}

constexpr QRect TwipsRect(int left, int top, int width, int height) {
    return QRect(Px(left), Px(top), Px(width), Px(height));
}

// The window as first shown, in twips: the text area with the same margin all
// round, and the Close button below the middle of it.
const QRect kTextRect = TwipsRect(120, 120, 11412, 9132);
const QRect kCloseRect = TwipsRect(5040, 9360, 1215, 375);
const QSize kClientSize(Px(120 + 11412 + 120), Px(9360 + 375 + 120));
const QSize kSmallestSize(360, 240);

constexpr int kTextPointSize = 10;
constexpr int kTabColumns = 8;
constexpr int kDocumentMargin = 6;

// Only one help window at a time; it disappears when closed.
QPointer<HelpWindow> openWindow;

QFont HelpFont() {
    // A fixed-pitch font, so that the rows of = signs line up exactly under the
    // headings they underline.
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setStyleHint(QFont::TypeWriter);
    if (font.pointSizeF() < kTextPointSize) font.setPointSize(kTextPointSize);
    return font;
}

}  // namespace

QString HelpTextPath() {
    return QString::fromStdString(DataDirectory) + "/help.txt";
}

QString LoadHelpText(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return QStringLiteral("The help text could not be found (looked for %1).").arg(path);
    }
    return QString::fromUtf8(file.readAll());
}

HelpWindow::HelpWindow(const QString& helpPath, QWidget* parent)
    : QWidget(parent, Qt::Window),
      text_(new QPlainTextEdit(this)),
      close_(new QPushButton(QStringLiteral("Close"), this)) {
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(QStringLiteral("Canasta Help"));
    setAttribute(Qt::WA_DeleteOnClose);
    // An open help window never keeps the program running on its own.
    setAttribute(Qt::WA_QuitOnClose, false);

    text_->setObjectName(QStringLiteral("Text1"));
    text_->setReadOnly(true);
    text_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    text_->setFont(HelpFont());
    text_->setTabStopDistance(QFontMetricsF(text_->font()).horizontalAdvance(QLatin1Char(' ')) *
                              kTabColumns);
    text_->document()->setDocumentMargin(kDocumentMargin);
    text_->setPlainText(LoadHelpText(helpPath));

    close_->setObjectName(QStringLiteral("btnClose"));
    close_->setDefault(true);
    connect(close_, &QPushButton::clicked, this, &QWidget::close);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);

    text_->setGeometry(kTextRect);
    close_->setGeometry(kCloseRect);
    setMinimumSize(kSmallestSize);
    resize(kClientSize);
    text_->setFocus();
}

void HelpWindow::resizeEvent(QResizeEvent* event) {
    // The text area takes whatever the window gains or loses; the button keeps
    // its place under the middle of the text.
    const int dx = event->size().width() - kClientSize.width();
    const int dy = event->size().height() - kClientSize.height();
    text_->setGeometry(kTextRect.adjusted(0, 0, dx, dy));
    close_->setGeometry(kCloseRect.translated(dx / 2, dy));
    QWidget::resizeEvent(event);
}

HelpWindow* HelpWindow::Open() {
    if (!openWindow) openWindow = new HelpWindow(HelpTextPath());
    return BringToFront(openWindow.data());
}

HelpWindow* HelpWindow::Current() {
    return openWindow;
}

void HelpWindow::CloseIfOpen() {
    if (openWindow) openWindow->close();
}

}  // namespace cardovia::qt
