#include "ui/qt/QtPlatform.h"

#include "ui/qt/AboutBox.h"
#include "ui/qt/Glide.h"
#include "ui/qt/HelpWindow.h"
#include "ui/qt/HistoryWindow.h"
#include "ui/qt/MessageDialog.h"
#include "ui/qt/ScoreChartWindow.h"
#include "ui/qt/TableView.h"
#include "ui/qt/TableWindow.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QDateTime>
#include <QEventLoop>
#include <QFileInfo>
#include <QInputDialog>
#include <QAudioDevice>
#include <QMediaDevices>
#include <QMessageBox>
#include <QSoundEffect>
#include <QTimer>
#include <QUrl>

#include <chrono>
#include <cmath>

namespace cardovia::qt {

QtPlatform::QtPlatform()
    : random_(
          static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count())) {
    clock_.start();
}

QtPlatform::~QtPlatform() = default;

void QtPlatform::SetTimeScale(double factor) {
    timeScale_ = factor;
    Glider::SetTimeScale(factor);
}

void QtPlatform::WaitUntil(const std::function<bool()>& done,
                           const std::function<std::int64_t()>& deadline) {
    if (done()) return;
    // A nested event loop that sleeps until an event or the deadline arrives:
    // the table keeps answering and the process uses no CPU while it waits.
    // The condition is tested each time the loop is about to sleep, that is
    // after every batch of events, and when the deadline timer fires.
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    // A wait that ends while a later one runs inside it (a game started from a
    // key during a pause) can only return once the inner one has: it asks its
    // loop to end once, and from then on sleeps like any other, never waking
    // the thread again at every pass of the inner loop.
    bool ended = false;
    auto check = [&] {
        if (ended) return;
        if (done()) {
            ended = true;
            timer.stop();
            loop.quit();
            return;
        }
        if (deadline) {
            const auto left = std::max<std::int64_t>(0, deadline() - NowMs());
            const auto realLeft =
                static_cast<int>(std::ceil(static_cast<double>(left) / timeScale_));
            if (!timer.isActive() || timer.remainingTime() != realLeft) timer.start(realLeft);
        }
    };
    // The cards moved just before this wait glide through it (see Glide.h).
    std::optional<double> realPause;
    if (deadline) realPause = static_cast<double>(deadline() - NowMs()) / timeScale_;
    const Glider::PauseScope pause(realPause);
    QObject::connect(&timer, &QTimer::timeout, &loop, check);
    auto* dispatcher = QAbstractEventDispatcher::instance();
    const auto hook =
        QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, &loop, check);
    check();
    if (!ended) loop.exec();
    QObject::disconnect(hook);
}

i16 QtPlatform::RunMessageDialog(const DialogRequest& request) {
    return MessageDialog::RunShared(window_, request);
}

void QtPlatform::PlaySound(const std::string& path) {
    // Without an audio device no effect is created at all, so a machine with no
    // sound card neither stalls nor reports anything.
    if (!audioChecked_) {
        audioChecked_ = true;
        haveAudio_ = !QMediaDevices::audioOutputs().isEmpty();
    }
    if (!haveAudio_ || !QFileInfo::exists(QString::fromStdString(path))) return;
    auto& effect = sounds_[path];
    if (!effect) {
        effect = std::make_unique<QSoundEffect>();
        effect->setSource(QUrl::fromLocalFile(QString::fromStdString(path)));
    }
    effect->play();
}

void QtPlatform::Beep() {
    QApplication::beep();
}

bool QtPlatform::AskYesNo(const std::string& title, const std::string& text) {
    return QMessageBox::question(window_, QString::fromStdString(title),
                                 QString::fromStdString(text)) == QMessageBox::Yes;
}

std::string QtPlatform::InputBox(const std::string& title, const std::string& prompt) {
    bool ok = false;
    const QString text =
        QInputDialog::getText(window_, QString::fromStdString(title),
                              QString::fromStdString(prompt), QLineEdit::Normal, QString(), &ok);
    return ok ? text.toStdString() : std::string();
}

void QtPlatform::CriticalError(const std::string& title, const std::string& text) {
    QMessageBox::critical(window_, QString::fromStdString(title), QString::fromStdString(text));
}

double QtPlatform::Random() {
    return std::uniform_real_distribution<double>(0.0, 1.0)(random_);
}

PointTwips QtPlatform::Pointer() {
    return window_ ? window_->view()->Pointer() : PointTwips{};
}

void QtPlatform::ShowHelp() {
    HelpWindow::Open();
}

void QtPlatform::ShowAbout() {
    AboutBox::Open(window_);
}

void QtPlatform::ShowScoreChart() {
    ScoreChartWindow::Open();
}

void QtPlatform::ShowGameHistory() {
    HistoryWindow::Open();
}

std::string QtPlatform::LocalDateTime() {
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")).toStdString();
}

void QtPlatform::Quit() {
    // The dialog, the help window and the table window close; every event loop
    // then returns, so the game unwinds and the program ends.
    HelpWindow::CloseIfOpen();
    ScoreChartWindow::CloseIfOpen();
    HistoryWindow::CloseIfOpen();
    if (window_) window_->CloseQuietly();
    QCoreApplication::exit(0);
}

}  // namespace cardovia::qt
