// Cardovia: two-handed Canasta against Thaddock.

#include "app/CommandLine.h"
#include "app/Locations.h"
#include "app/SingleInstance.h"
#include "flow/GameLoop.h"
#include "flow/Handlers.h"
#include "flow/KeptHand.h"
#include "flow/Startup.h"
#include "ui/Form.h"
#include "ui/Thinking.h"
#include "ui/qt/QtPlatform.h"
#include "ui/qt/TableWindow.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QStandardPaths>
#include <QTimer>

#include <cstdio>

namespace {

// The theme's icon when the desktop has one by our name, otherwise our own files.
QIcon WindowIcon(const std::string& iconDirectory) {
    const QDir theme(QString::fromStdString(iconDirectory));
    const QString file =
        QStringLiteral("/apps/%1.png").arg(QLatin1String(cardovia::app::kApplicationId));
    QIcon files;
    for (const QString& size : theme.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString path = theme.filePath(size + file);
        if (QFileInfo::exists(path)) files.addFile(path);
    }
    return QIcon::fromTheme(QLatin1String(cardovia::app::kApplicationId), files);
}

}  // namespace

int main(int argc, char** argv) {
    if (const auto exitCode = cardovia::app::HandleCommandLine(argc, argv, CARDOVIA_VERSION)) {
        return *exitCode;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName("cardovia");
    QApplication::setApplicationVersion(CARDOVIA_VERSION);
    QGuiApplication::setDesktopFileName(QLatin1String(cardovia::app::kApplicationId));

    const cardovia::app::Locations locations = cardovia::app::ChooseLocations(
        QCoreApplication::applicationDirPath().toStdString(), CARDOVIA_INSTALLED_DATA,
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation).toStdString());
    cardovia::app::UseLocations(locations);
    // Before any of the player's files is read: a second copy ends without touching them.
    cardovia::app::SingleInstance instance(
        QString::fromStdString(cardovia::app::PlayerFileDirectory().string()));
    switch (instance.ClaimDirectory()) {
        case cardovia::app::SingleInstance::Claim::Play:
            break;
        case cardovia::app::SingleInstance::Claim::OtherShown:
            return 0;
        case cardovia::app::SingleInstance::Claim::OtherSilent:
            std::fputs(cardovia::app::kAlreadyRunning, stderr);
            return cardovia::app::kAlreadyRunningExitCode;
    }
    QApplication::setWindowIcon(WindowIcon(locations.iconDirectory));

    cardovia::qt::QtPlatform platform;
    cardovia::InstallPlatform(&platform);
    // Thaddock's and the Hint's searches run beside the window, never freezing it.
    cardovia::ThinkOnAWorker = true;
    cardovia::TableForm& form = cardovia::Frmtable();
    cardovia::ConnectHandlers();
    cardovia::qt::TableWindow window(form);
    platform.SetWindow(&window);
    window.show();
    instance.ShowOnRequest(&window);
    cardovia::Form_Load();
    // A hand kept on disk is taken up where it was left as soon as the window is up.
    if (cardovia::HandIsKept()) {
        QTimer::singleShot(0, &window, [] {
            if (cardovia::KeptHandReadable()) cardovia::ResumeKeptGame();
        });
    }
    return QApplication::exec();
}
