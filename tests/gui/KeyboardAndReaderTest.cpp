// A whole hand on the real window played with key presses alone, read at every
// turn of the player's through the accessibility interfaces a screen reader
// uses. (The events a reader hears need a real accessibility bus; the reader
// test in tests/reader listens for them.)

#include "model/CardFace.h"
#include "model/Settings.h"
#include "model/Table.h"
#include "player/EnginePlay.h"
#include "player/KeyboardPlay.h"
#include "player/PlayerMoves.h"
#include "support/KeyPlay.h"
#include "support/TableDump.h"
#include "support/WindowTest.h"
#include "ui/Form.h"
#include "ui/qt/TableView.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <map>
#include <set>

namespace cardovia::testing {
namespace {

using KeyboardAndReaderTest = WindowTest;

// Every text of an object and its children, one line each, indented by depth.
void Dump(QAccessibleInterface* a, int depth, std::string& out) {
    out += std::string(2 * static_cast<std::size_t>(depth), ' ') +
           a->text(QAccessible::Name).toStdString();
    if (const QString d = a->text(QAccessible::Description); !d.isEmpty())
        out += " (" + d.toStdString() + ")";
    if (a->state().focused) out += " [focus]";
    out += "\n";
    for (int i = 0; i < a->childCount(); ++i) Dump(a->child(i), depth + 1, out);
}

QAccessibleInterface* Group(QAccessibleInterface* table, const char* name) {
    for (int i = 0; i < table->childCount(); ++i) {
        if (table->child(i)->text(QAccessible::Name) == name) return table->child(i);
    }
    return nullptr;
}

}  // namespace

TEST_F(KeyboardAndReaderTest, KeysAlonePlayAHandAndTheReaderHearsOnlyWhatIsShown) {
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    platform.Seed(5);
    QWidget* view = window->view();
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(view);

    std::set<std::string> faces;
    for (int card = 1; card <= kDeckSize; ++card) faces.insert(FaceName(card));
    auto revealed = [&](QAccessibleInterface* group) {
        std::string text;
        Dump(group, 0, text);
        for (const std::string& face : faces) {
            if (text.find(face) != std::string::npos) return face;
        }
        return std::string{};
    };
    auto key = [&](Qt::Key k) { QTest::keyClick(view, k); };
    // The keys a player presses for each of the table's, sent to the real window.
    const std::map<TableKey, Qt::Key> keys = {
        {TableKey::Left, Qt::Key_Left},       {TableKey::Right, Qt::Key_Right},
        {TableKey::Up, Qt::Key_Up},           {TableKey::Down, Qt::Key_Down},
        {TableKey::NextRow, Qt::Key_Tab},     {TableKey::PreviousRow, Qt::Key_Backtab},
        {TableKey::Activate, Qt::Key_Return}, {TableKey::Secondary, Qt::Key_Delete},
        {TableKey::DrawStock, Qt::Key_S},     {TableKey::TakePile, Qt::Key_P},
        {TableKey::DropWild, Qt::Key_Escape}};
    const KeySender press = [&](TableKey k) {
        key(keys.at(k));
        return true;
    };
    const auto takeBack = [&] { QTest::keyClick(window.get(), Qt::Key_T, Qt::AltModifier); };

    std::string firstTurn, faults;
    int turns = 0, dialogs = 0;
    bool acting = false, carriedOn = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    QTimer driver;
    QObject::connect(&driver, &QTimer::timeout, [&] {
        if (acting) return;
        if (QWidget* modal = QApplication::activeModalWidget()) {
            ++dialogs;  // the game's dialog answers only a click
            for (auto* b : modal->findChildren<QAbstractButton*>()) {
                if (b->isVisible()) return QTest::mouseClick(b, Qt::LeftButton);
            }
            return;
        }
        if (carriedOn || std::chrono::steady_clock::now() > deadline) {
            ProgramEnding = GameAbandoned = true;
            return;
        }
        acting = true;
        if (Frmtable().FramResults.visible && !TableIdle) {
            key(Qt::Key_Return);  // Carry On
            carriedOn = TableIdle;
        } else if (PlayerTurn && GameInProgress && !PlayerMoveInProgress()) {
            if (MustDraw) {
                if (++turns == 1) Dump(table, 0, firstTurn);
                for (const char* hidden : {"Thaddock's hand", "Stock"}) {
                    if (const std::string face = revealed(Group(table, hidden)); !face.empty())
                        faults += std::string(" ") + hidden + " tells " + face + ";";
                }
                QAccessibleInterface* hand = Group(table, "Your hand");
                std::set<std::string> held;
                for (int i = 1; i <= kDeckSize; ++i)
                    if (Cards[i].Location == PlayerHand) held.insert(FaceName(i));
                for (int i = 0; i < hand->childCount(); ++i) {
                    const std::string name = hand->child(i)->text(QAccessible::Name).toStdString();
                    if (!held.count(name.substr(0, name.rfind(", "))))
                        faults += " a hand card is not the player's;";
                }
                if (hand->childCount() != HandCount[kPlayer]) faults += " hand count;";
            }
            PlayStepByKeys(press, takeBack);
        } else if (GameInProgress && !PlayerTurn) {
            // The deal and Thaddock's turn: the player's keys move nothing.
            const int held = HandCount[kPlayer];
            for (Qt::Key k : {Qt::Key_S, Qt::Key_P, Qt::Key_Return, Qt::Key_Delete}) key(k);
            if (HandCount[kPlayer] != held) faults += " a key played outside the player's turn;";
        }
        acting = false;
    });
    driver.start(2);
    QTest::keyClick(window.get(), Qt::Key_F2);  // the game runs inside until the hand is over
    driver.stop();

    EXPECT_TRUE(carriedOn) << "the hand was not played to its results";
    EXPECT_EQ(dialogs, 0);
    EXPECT_GE(turns, 3);
    EXPECT_EQ(faults, "");
    ExpectGolden("reader-first-turn", firstTurn);
}

}  // namespace cardovia::testing

namespace cardovia::testing {

TEST_F(KeyboardAndReaderTest, TheTargetBoxKeepsItsKeysAndAReaderPressesAPanelsButton) {
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QWidget* view = window->view();
    TableForm& f = Frmtable();

    // Typed into the box and answered by Enter; the box's keys never reach the table.
    QTest::keyClick(window.get(), Qt::Key_T, Qt::ControlModifier);
    window->Sync();
    ASSERT_TRUE(f.FramTarget.visible);
    QTest::keyClicks(view, "1200");
    EXPECT_EQ(f.Txtpoints.text, "1200");
    QTimer::singleShot(50, [] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            QTest::keyClick(modal, Qt::Key_Return);
        }
    });
    QTest::keyClick(view, Qt::Key_Return);
    EXPECT_FALSE(f.FramTarget.visible);
    EXPECT_EQ(TargetScore, 1200);

    // Hand Help's Finished answers a reader's press as it answers a click.
    f.MnuHandHelp.Click();
    window->Sync();
    ASSERT_TRUE(f.framHand.visible);
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(view);
    QAccessibleInterface* panel = Group(table, "Some Help with your Hand");
    ASSERT_NE(panel, nullptr);
    QAccessibleInterface* finished = nullptr;
    for (int i = 0; i < panel->childCount(); ++i) {
        if (panel->child(i)->text(QAccessible::Name) == "Finished") finished = panel->child(i);
    }
    ASSERT_NE(finished, nullptr);
    ASSERT_NE(finished->actionInterface(), nullptr);
    finished->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_FALSE(f.framHand.visible);
}

}  // namespace cardovia::testing
