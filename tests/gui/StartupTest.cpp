// The real table window right after start-up.

#include "flow/Startup.h"
#include "model/PlayerFile.h"
#include "model/Table.h"
#include "player/FollowMouse.h"
#include "ui/Form.h"
#include "ui/qt/ControlItems.h"
#include "ui/qt/QtPlatform.h"
#include "ui/qt/TableView.h"
#include "ui/qt/TableWindow.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QGraphicsScene>
#include <QLabel>
#include <QMenuBar>
#include <QTest>

#include <filesystem>
#include <map>

namespace cardovia::qt {
namespace {

class StartupTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetModel();
        ResetForm();
        FollowMouse = clsObjectFollowMouse{};
        dir = std::filesystem::temp_directory_path() / "cardovia-gui-startup";
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        ProgramDirectory = DataDirectory = dir.string();
        InstallPlatform(&platform);
        window = std::make_unique<TableWindow>(Frmtable());
        platform.SetWindow(window.get());
        window->show();
        Form_Load();
        QCoreApplication::processEvents();
        window->Sync();
    }
    void TearDown() override {
        window.reset();
        InstallPlatform(nullptr);
        std::filesystem::remove_all(dir);
    }
    std::vector<CardItem*> Cards() const {
        std::vector<CardItem*> cards;
        for (QGraphicsItem* item : window->view()->scene()->items()) {
            if (auto* card = dynamic_cast<CardItem*>(item)) cards.push_back(card);
        }
        return cards;
    }

    QtPlatform platform;
    std::unique_ptr<TableWindow> window;
    std::filesystem::path dir;
};

TEST_F(StartupTest, TheWholeDeckLiesFaceDownInTheStock) {
    const auto cards = Cards();
    ASSERT_EQ(cards.size(), 108u);
    for (CardItem* card : cards) {
        EXPECT_TRUE(card->isVisible());
        EXPECT_EQ(card->shownImage(), 110);
        EXPECT_LT(card->pos().x(), 400);
        EXPECT_LE(card->pos().y(), 240);
    }
    EXPECT_EQ(window->windowTitle(), "Cardovia");
    EXPECT_EQ(window->StatusPanel(2)->text(), " Press F2 or use Menu for new game");
    EXPECT_EQ(StockCount, 108);
}

TEST_F(StartupTest, TheMenuBarCarriesEveryEntryWithItsShortcut) {
    const TableForm& f = Frmtable();
    QStringList bar;
    for (QAction* a : window->menuBar()->actions()) bar << a->text();
    EXPECT_EQ(bar, (QStringList{"Play", "Help", "&Options", "Statistics", "&About", "&TAKE BACK",
                                "&Learning Mode Off"}));
    const std::map<const MenuItem*, std::pair<QString, QString>> expected = {
        {&f.MnuNew, {"New Game", "F2"}},
        {&f.MnuLoad, {"Load Game", "Ctrl+L"}},
        {&f.MnuSave, {"&Save Game", "Ctrl+S"}},
        {&f.MnuExit, {"E&xit Game", "Ctrl+X"}},
        {&f.MnuGenHelp, {"General Help ", "F1"}},
        {&f.MnuHandHelp, {"Hand Help", "F3"}},
        {&f.MnuName, {"Enter Your Name", "Ctrl+E"}},
        {&f.MnuTarget, {"Change Target Score", "Ctrl+T"}},
        {&f.MnuBlue, {"Blue Card Back", "Ctrl+B"}},
        {&f.MnuRed, {"Red Card Back", "Ctrl+R"}},
        {&f.MnuFast, {"Play Quickly", "Ctrl+Q"}},
        {&f.MnuMed, {"Medium Play Speed", "Ctrl+M"}},
        {&f.MnuSlow, {"Slow Play Speed", "Ctrl+W"}},
        {&f.MnuView, {"View Statistics", "Ctrl+V"}},
        {&f.MnuDel, {"Delete Statistics", "Ctrl+D"}},
    };
    for (const auto& [item, want] : expected) {
        QAction* action = window->ActionFor(*item);
        ASSERT_NE(action, nullptr) << item->name;
        EXPECT_EQ(action->text(), want.first);
        EXPECT_EQ(action->shortcut(), QKeySequence(want.second)) << item->name;
    }
    EXPECT_FALSE(window->ActionFor(f.MnuTakeBack)->isEnabled());
    EXPECT_TRUE(window->ActionFor(f.MnuPlay)->isEnabled());
    // While the Play menu is off (a deal), its shortcut keys are off too.
    Frmtable().MnuPlay.enabled = false;
    window->Sync();
    EXPECT_FALSE(window->ActionFor(f.MnuNew)->isEnabled());
    Frmtable().MnuPlay.enabled = true;
    window->Sync();
    EXPECT_TRUE(window->ActionFor(f.MnuNew)->isEnabled());
}

TEST_F(StartupTest, TheTableShowsItsLabelsAndKeepsThePanelsHidden) {
    const TableForm& f = Frmtable();
    EXPECT_EQ(f.LblHeadings[0].caption, "  RedThress");
    EXPECT_EQ(f.LblHeadings[12].caption, " Black 3's");
    EXPECT_FALSE(f.FramResults.visible);
    EXPECT_FALSE(f.FramTarget.visible);
    EXPECT_FALSE(f.framHand.visible);
    EXPECT_TRUE(f.FramScores.visible);
    EXPECT_EQ(f.Shape1.borderColor, 0x00FF00u);
}

TEST_F(StartupTest, TheTableScalesWithTheWindow) {
    window->resize(640, 480);
    QCoreApplication::processEvents();
    const qreal small = window->view()->transform().m11();
    window->resize(1600, 1100);
    QCoreApplication::processEvents();
    const qreal large = window->view()->transform().m11();
    EXPECT_GT(large, small * 2);
    // The whole table stays inside the view.
    const QRectF shown = window->view()->mapFromScene(window->view()->sceneRect()).boundingRect();
    EXPECT_LE(shown.width(), window->view()->viewport()->width() + 1);
    EXPECT_LE(shown.height(), window->view()->viewport()->height() + 1);
}

}  // namespace
}  // namespace cardovia::qt
