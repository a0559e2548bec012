// A whole hand on the real window played with key presses alone, read at every
// turn of the player's through the accessibility interfaces a screen reader
// uses. (The events a reader hears need a real accessibility bus; the reader
// test in tests/reader listens for them.)

#include "model/CardFace.h"
#include "model/Table.h"
#include "player/EnginePlay.h"
#include "player/KeyboardPlay.h"
#include "player/PlayerMoves.h"
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
    auto focusOn = [&](int card) {
        for (int rows = 0; rows < 5; ++rows) {
            for (int n = 0; n < 2 * kDeckSize; ++n) key(Qt::Key_Left);
            for (int n = 0; n <= kDeckSize; ++n) {
                if (FocusedControl() == &Pic(card)) return true;
                key(Qt::Key_Right);
            }
            key(Qt::Key_Tab);
        }
        return false;
    };

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
            const strategy::Step step = PlayerNextStep();
            using Kind = strategy::Step::Kind;
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
                    if (!held.count(hand->child(i)->text(QAccessible::Name).toStdString()))
                        faults += " a hand card is not the player's;";
                }
                if (hand->childCount() != HandCount[kPlayer]) faults += " hand count;";
            }
            if (step.kind == Kind::TakePile) key(Qt::Key_P);
            if (step.kind == Kind::DrawStock) key(Qt::Key_S);
            if (step.kind == Kind::Lay) {
                for (int card : step.cards) {
                    if (PlayerTurn && focusOn(card)) key(Qt::Key_Return);
                }
            }
            if (step.kind == Kind::AddWild) {
                int onMeld = 0;
                for (int i = 1; i <= kDeckSize && onMeld == 0; ++i) {
                    if (Cards[i].Location == PlayerMelds && Cards[i].Rank == step.rank) onMeld = i;
                }
                if (focusOn(step.cards.front())) key(Qt::Key_Return);
                if (focusOn(onMeld)) key(Qt::Key_Delete);
            }
            if (step.kind == Kind::Discard) {
                if (Pic(step.cards.front()).border) key(Qt::Key_Escape);
                if (focusOn(step.cards.front())) key(Qt::Key_Delete);
            }
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
