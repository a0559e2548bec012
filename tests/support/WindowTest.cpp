#include "support/WindowTest.h"

#include "flow/Handlers.h"
#include "flow/Leaving.h"
#include "flow/Startup.h"
#include "model/PlayerFile.h"
#include "model/Settings.h"
#include "model/Table.h"
#include "player/FollowMouse.h"
#include "ui/Form.h"
#include "ui/qt/HelpWindow.h"
#include "ui/qt/MessageDialog.h"
#include "ui/qt/TableView.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include <cstdlib>

namespace cardovia::testing {

void WindowTest::SetUp() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "cardovia-window-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir = pattern;
    ResetModel();
    ResetForm();
    FollowMouse = clsObjectFollowMouse{};
    ProgramDirectory = DataDirectory = dir.string();
    platform.SetTimeScale(40);
    InstallPlatform(&platform);
    ConnectHandlers();
    window = std::make_unique<qt::TableWindow>(Frmtable());
    platform.SetWindow(window.get());
    window->resize(1024, 740);
    window->show();
    Form_Load();
    SpeedDelay = DelayMs = kFastSpeed;
}

void WindowTest::TearDown() {
    qt::HelpWindow::CloseIfOpen();
    window.reset();
    InstallPlatform(nullptr);
    ResetModel();
    std::filesystem::remove_all(dir);
}

QWidget* WindowTest::Viewport() const {
    return window->view()->viewport();
}

QPoint WindowTest::PointOn(int card) const {
    return window->view()->ViewportPointOf(Pic(card).left + 200, Pic(card).top + 700);
}

void WindowTest::Click(int card, Qt::MouseButton button) {
    QTest::mouseClick(Viewport(), button, {}, PointOn(card));
}

void WindowTest::Drag(int card) {
    const QPoint from = PointOn(card);
    QTest::mousePress(Viewport(), Qt::LeftButton, {}, from);
    QTest::mouseMove(Viewport(), from + QPoint(-40, -120));
    QTest::mouseRelease(Viewport(), Qt::LeftButton, {}, from + QPoint(-40, -120));
}

void WindowTest::RunGame(const std::function<bool()>& step) {
    QTimer driver;
    driver.setInterval(3);
    bool done = false;
    bool stepping = false;
    QElapsedTimer clock;
    clock.start();
    QObject::connect(&driver, &QTimer::timeout, [&] {
        if (auto* dialog = qobject_cast<qt::MessageDialog*>(QApplication::activeModalWidget())) {
            return QTest::mouseClick(dialog->Button(0), Qt::LeftButton);
        }
        if (done || stepping) return;
        stepping = true;
        QTimer::singleShot(0, [&] {
            if (step() || clock.elapsed() > 60000) {
                done = true;
                LetsExit();  // "Quit without saving?" is answered "Yes-Exit"
            }
            stepping = false;
        });
    });
    driver.start();
    window->ActionFor(Frmtable().MnuNew)->trigger();
    EXPECT_EQ(platform.quits, 1);
    EXPECT_LT(clock.elapsed(), 60000);
}

}  // namespace cardovia::testing
