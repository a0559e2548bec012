#include "support/WindowTest.h"


#include "flow/Handlers.h"
#include "flow/KeptHand.h"
#include "flow/Startup.h"
#include "layout/FollowMouse.h"
#include "model/PlayerFileFormat.h"
#include "model/Settings.h"
#include "model/Table.h"
#include "ui/Form.h"
#include "ui/qt/HelpWindow.h"
#include "ui/qt/HistoryWindow.h"
#include "ui/qt/ScoreChartWindow.h"
#include "ui/qt/TableView.h"

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
    FlushKeptHand();
    qt::HelpWindow::CloseIfOpen();
    qt::ScoreChartWindow::CloseIfOpen();
    qt::HistoryWindow::CloseIfOpen();
    window.reset();
    InstallPlatform(nullptr);
    ResetModel();
    std::filesystem::remove_all(dir);
}

}  // namespace cardovia::testing
