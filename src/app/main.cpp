// Cardovia: two-handed Canasta against Thaddock.

#include "flow/Handlers.h"
#include "flow/Startup.h"
#include "model/PlayerFile.h"
#include "ui/Form.h"
#include "ui/qt/QtPlatform.h"
#include "ui/qt/TableWindow.h"

#include <QApplication>
#include <QDir>
#include <QStandardPaths>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("cardovia");

    cardovia::ProgramDirectory = cardovia::DataDirectory =
        QCoreApplication::applicationDirPath().toStdString();
    cardovia::UserDataDirectory =
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation).toStdString();

    cardovia::qt::QtPlatform platform;
    cardovia::InstallPlatform(&platform);
    cardovia::TableForm& form = cardovia::Frmtable();
    cardovia::ConnectHandlers();
    cardovia::qt::TableWindow window(form);
    platform.SetWindow(&window);
    window.show();
    cardovia::Form_Load();
    return QApplication::exec();
}
