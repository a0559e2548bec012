// Whole turns in the real window: the player's side is played with synthetic
// mouse presses, drags and right clicks on the card pictures.

#include "flow/Handlers.h"
#include "flow/Leaving.h"
#include "flow/Startup.h"
#include "model/PlayerFile.h"
#include "model/Settings.h"
#include "model/Table.h"
#include "player/FollowMouse.h"
#include "player/PlayerMoves.h"
#include "rules/MinimumMeld.h"
#include "ui/Form.h"
#include "ui/qt/ControlItems.h"
#include "ui/qt/MessageDialog.h"
#include "ui/qt/QtPlatform.h"
#include "ui/qt/TableView.h"
#include "ui/qt/TableWindow.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QGraphicsScene>
#include <QTest>
#include <QTimer>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <functional>

namespace cardovia::qt {
namespace {

// Leaving is recorded rather than carried out, so the test process goes on.
class RecordingPlatform : public QtPlatform {
  public:
    void Quit() override { quit = true; }
    void CriticalError(const std::string&, const std::string& text) override {
        errors.push_back(text);
    }
    bool quit = false;
    std::vector<std::string> errors;
};

class GameWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetModel();
        ResetForm();
        FollowMouse = clsObjectFollowMouse{};
        dir = std::filesystem::temp_directory_path() / "cardovia-gui-game";
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        ProgramDirectory = DataDirectory = dir.string();
        SpeedDelay = 75;
        platform.SetTimeScale(40);
        InstallPlatform(&platform);
        ConnectHandlers();
        window = std::make_unique<TableWindow>(Frmtable());
        platform.SetWindow(window.get());
        window->resize(1024, 740);
        window->show();
        Form_Load();
        SpeedDelay = DelayMs = 75;
    }
    void TearDown() override {
        window.reset();
        InstallPlatform(nullptr);
        std::filesystem::remove_all(dir);
    }

    QWidget* Viewport() const { return window->view()->viewport(); }
    // A point on the visible part of a card's picture.
    QPoint PointOn(int card, int dx = 200, int dy = 700) const {
        const Picture& p = Pic(card);
        return window->view()->ViewportPointOf(p.left + dx, p.top + dy);
    }
    void ClickCard(int card, Qt::MouseButton button) {
        QTest::mouseClick(Viewport(), button, {}, PointOn(card));
    }
    void DragCard(int card) {
        const QPoint from = PointOn(card);
        QTest::mousePress(Viewport(), Qt::LeftButton, {}, from);
        QTest::mouseMove(Viewport(), from + QPoint(-40, -120));
        QTest::mouseRelease(Viewport(), Qt::LeftButton, {}, from + QPoint(-40, -120));
    }

    // Runs the game from the menu; `step` is called every few milliseconds
    // while it runs and answers true once the test has seen what it wanted.
    // Each step runs from a timer of its own, as a person's click would: a
    // dialog it opens is answered by the driver, which is never blocked.
    void RunGame(const std::function<bool()>& step) {
        QTimer driver;
        driver.setInterval(3);
        bool done = false;
        bool stepping = false;
        QElapsedTimer clock;
        clock.start();
        QObject::connect(&driver, &QTimer::timeout, [&] {
            if (auto* dialog = qobject_cast<MessageDialog*>(QApplication::activeModalWidget())) {
                QTest::mouseClick(dialog->Button(0), Qt::LeftButton);
                return;
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
        driver.stop();
        EXPECT_TRUE(platform.quit);
        EXPECT_LT(clock.elapsed(), 60000);
    }

    // With CARDOVIA_SHOTS set to a directory, the window is saved there as a
    // PNG at the moments a test names (the README's pictures come from here).
    void Shot(const char* name) const {
        if (const char* shots = std::getenv("CARDOVIA_SHOTS")) {
            window->Sync();
            window->grab().save(QString("%1/%2.png").arg(shots, name));
        }
    }

    static bool PlayersTurnStarts() {
        return PlayerTurn && MustDraw && !HasDrawn && !PlayerMoveInProgress();
    }

    RecordingPlatform platform;
    std::unique_ptr<TableWindow> window;
    std::filesystem::path dir;
};

TEST_F(GameWindowTest, NewGameFromTheMenuDealsOntoTheTable) {
    RunGame([&] {
        if (!PlayersTurnStarts()) return false;
        window->Sync();
        int mine = 0;
        int his = 0;
        for (QGraphicsItem* item : window->view()->scene()->items()) {
            auto* card = dynamic_cast<CardItem*>(item);
            if (!card || !card->isVisible()) continue;
            const int i = card->index();
            if (Cards[i].Location == PlayerHand) {
                ++mine;
                EXPECT_EQ(card->shownImage(), i);
                EXPECT_EQ(card->pos().y(), 8200);
            } else if (Cards[i].Location == OpponentHand) {
                ++his;
                EXPECT_EQ(card->shownImage(), 110);
                EXPECT_EQ(card->pos().y(), 120);
            }
        }
        EXPECT_EQ(mine, HandCount[1]);
        EXPECT_EQ(his, HandCount[2]);
        EXPECT_GE(mine, 15);
        EXPECT_GT(DiscardCount, 0);
        EXPECT_TRUE(window->windowTitle().startsWith("Cardovia - Target Score is "));
        EXPECT_TRUE(window->ActionFor(Frmtable().MnuTakeBack)->isEnabled());
        return true;
    });
    EXPECT_TRUE(platform.errors.empty());
}

TEST_F(GameWindowTest, AHandIsPlayedWithTheMouseToTheResultsPanel) {
    int draws = 0;
    int laid = 0;
    int discards = 0;
    RunGame([&] {
        if (Frmtable().FramResults.visible) {
            Shot("results");
            return true;
        }
        if (!PlayerTurn || PlayerMoveInProgress()) return false;
        if (MustDraw && !HasDrawn) {
            int top = 0;
            for (int i = 1; i <= kDeckSize; ++i) {
                if (Cards[i].Location == Stock) top = i;
            }
            ClickCard(top, Qt::LeftButton);
            ++draws;
            return false;
        }
        if (!HasDrawn) return false;
        if (laid >= 3 && discards >= 2) Shot("hand");
        std::array<int, 16> held{};
        for (int i = 1; i <= kDeckSize; ++i) {
            if (Cards[i].Location == PlayerHand) ++held[Cards[i].Rank];
        }
        // A meld begun is finished first; new melds only when together they
        // meet the minimum.
        EstablishPoints(1);
        const bool mayOpen = MeldOpened[1] || HandMeldPoints[1] >= MinMeld[1];
        auto begun = [](int r) { return r <= kMeldRanks && MeldTable[r].Count[1] > 0; };
        for (int i = 1; i <= kDeckSize; ++i) {
            const int r = Cards[i].Rank;
            if (Cards[i].Location != PlayerHand || IsWildIndex(i) || r == 3 || r == 14) continue;
            const bool wanted = begun(r) || (mayOpen && held[r] >= 3);
            if (wanted && CanMeldFromHandPlayer(i)) {
                DragCard(i);
                if (Cards[i].Location == PlayerMelds) ++laid;
                return false;
            }
        }
        // Throw the lowest lone card, or else the last card of the hand.
        int lone = 0;
        for (int i = kDeckSize; i >= 1; --i) {
            if (Cards[i].Location == PlayerHand && (lone == 0 || held[Cards[i].Rank] == 1))
                lone = i;
        }
        ClickCard(lone, Qt::RightButton);
        if (Cards[lone].Location == DiscardPile) ++discards;
        if (PlayerTurn && HasDrawn) window->ActionFor(Frmtable().MnuTakeBack)->trigger();
        return false;
    });
    EXPECT_TRUE(Frmtable().FramResults.visible || HandCount[1] == 0);
    EXPECT_GT(draws, 0);
    EXPECT_GT(discards, 0);
    EXPECT_FALSE(Frmtable().PointsTotal[1].caption.empty());
    EXPECT_TRUE(platform.errors.empty());
    RecordProperty("laid", laid);
}

}  // namespace
}  // namespace cardovia::qt
