#include "app/SingleInstance.h"

#include "ui/qt/Windows.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QPointer>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include <algorithm>

namespace cardovia::app {

namespace {

// The lock lies beside the files it guards, so a copy of the game elsewhere has its own.
constexpr const char* kLockFileName = "Cardovia.lock";

// The second start's request and the running copy's answer, one line each.
constexpr char kShowYourself[] = "show";
constexpr char kShown[] = "shown\n";
constexpr int kLongestLine = 256;

// A socket's path is limited to about a hundred bytes; past that the name goes to Qt's own
// choice of directory.
constexpr int kLongestSocketPath = 100;
constexpr int kRetryConnectMs = 100;

// The running copy listens under a name made from its directory, in the player's own runtime
// directory where other users cannot reach it.
QString ServerNameFor(const QString& directory) {
    const QString canonical = QFileInfo(directory).canonicalFilePath();
    const QByteArray key = (canonical.isEmpty() ? directory : canonical).toUtf8();
    const QString name =
        QStringLiteral("cardovia-") +
        QString::fromLatin1(
            QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex().left(32));
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    const QString path = QDir(runtime).filePath(name);
    return runtime.isEmpty() || path.size() > kLongestSocketPath ? name : path;
}

// A desktop weighs a request to activate a window by the time of the program's last event from
// the window system, and the running copy may have had none for an hour: its request would lose
// to the window the player used since. Setting our own window's role is answered by the window
// system with the time of now; the window asks to be activated once that answer is in.
constexpr const char* kWindowRole = "table";
constexpr int kFreshTimeMs = 50;

// A launcher gives each start a token that lets the window it opens take the focus; the second
// start opens none, so the running copy spends it. Only a plausible token is passed on.
constexpr int kLongestToken = 200;
constexpr const char* kActivationToken = "XDG_ACTIVATION_TOKEN";

bool PlausibleToken(const QByteArray& token) {
    return !token.isEmpty() && token.size() <= kLongestToken &&
           std::all_of(token.begin(), token.end(), [](char c) { return c > ' ' && c < 127; });
}

// Raised and given the keyboard, then any dialog open over it the same, so the player sees the
// question the game is waiting on.
void Show(QWidget* window) {
    qt::BringToFront(window);
    if (QWidget* dialog = QApplication::activeModalWidget(); dialog && dialog != window) {
        qt::BringToFront(dialog);
    }
}

void AnswerCaller(QLocalSocket* caller, QWidget* window) {
    if (!caller->canReadLine()) {
        if (caller->bytesAvailable() > kLongestLine) caller->abort();
        return;
    }
    const QByteArray line = caller->readLine(kLongestLine + 1).trimmed();
    if (line != kShowYourself && !line.startsWith(QByteArray(kShowYourself) + ' ')) {
        caller->disconnectFromServer();
        return;
    }
    const QByteArray token = line.mid(qstrlen(kShowYourself) + 1);
    if (PlausibleToken(token)) qputenv(kActivationToken, token);
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->setWindowRole(QLatin1String(kWindowRole));
    // Sent now, not with the next repaint, so that the answer is in when the timer fires.
    QGuiApplication::sync();
    QTimer::singleShot(kFreshTimeMs, window, [window, answer = QPointer<QLocalSocket>(caller)] {
        Show(window);
        if (!answer) return;
        answer->write(kShown);
        answer->flush();
        answer->disconnectFromServer();
    });
}

}  // namespace

SingleInstance::SingleInstance(const QString& directory)
    : directory_(directory), lock_(QDir(directory).filePath(QLatin1String(kLockFileName))) {
    // A game is played for hours: only a lock whose copy has gone is stale, never an old one.
    lock_.setStaleLockTime(0);
}

SingleInstance::Claim SingleInstance::ClaimDirectory() {
    // The player's data directory may not exist before the first save.
    QDir().mkpath(directory_);
    serverName_ = ServerNameFor(directory_);
    if (lock_.tryLock(0)) return Claim::Play;
    // A directory that cannot hold the lock cannot hold the player's files either, and no copy
    // listens for it.
    if (lock_.error() != QLockFile::LockFailedError) return Claim::Play;
    if (AskRunningCopyToShow()) return Claim::OtherShown;
    return lock_.isLocked() ? Claim::Play : Claim::OtherSilent;
}

bool SingleInstance::AskRunningCopyToShow() {
    const QDeadlineTimer deadline(kAnswerWaitMs);
    const auto remaining = [&deadline] { return static_cast<int>(deadline.remainingTime()); };
    QLocalSocket socket;
    for (;;) {
        socket.connectToServer(serverName_);
        if (socket.waitForConnected(remaining())) break;
        // The running copy may not be listening yet: it takes the lock before it opens its
        // window. Or it may have ended meanwhile, and the directory is free.
        if (deadline.hasExpired()) return false;
        QThread::msleep(kRetryConnectMs);
        if (lock_.tryLock(0)) return false;
    }
    QByteArray request(kShowYourself);
    if (const QByteArray token = qgetenv(kActivationToken); PlausibleToken(token)) {
        request += ' ' + token;
    }
    socket.write(request + '\n');
    if (!socket.waitForBytesWritten(remaining())) return false;
    while (!socket.canReadLine()) {
        if (deadline.hasExpired() || !socket.waitForReadyRead(remaining())) return false;
    }
    return socket.readLine(kLongestLine + 1) == kShown;
}

void SingleInstance::ShowOnRequest(QWidget* window) {
    // Without the lock this copy cannot tell whose name it would listen under.
    if (!lock_.isLocked()) return;
    // A socket left by a killed copy would stop the server listening; the lock says it is stale.
    QLocalServer::removeServer(serverName_);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    // Should listening fail, later starts end saying the game is already running.
    if (!server_.listen(serverName_)) return;
    QObject::connect(&server_, &QLocalServer::newConnection, &server_, [this, window] {
        while (QLocalSocket* caller = server_.nextPendingConnection()) {
            QObject::connect(caller, &QLocalSocket::disconnected, caller, &QObject::deleteLater);
            QObject::connect(caller, &QLocalSocket::readyRead, caller,
                             [caller, window] { AnswerCaller(caller, window); });
            AnswerCaller(caller, window);
        }
    });
}

}  // namespace cardovia::app
