// The game's message dialog, answered with the mouse, the keyboard and a screen
// reader the way a player answers it.

#include "ui/qt/MessageDialog.h"
#include "ui/qt/QtPlatform.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <functional>
#include <sstream>
#include <vector>

namespace cardovia::qt {
namespace {

// Runs a dialog; `whileShown` answers it once it is up and has the keyboard. A
// watchdog ends one nobody answers, so a fault fails the test instead of
// hanging it.
int RunAnswering(const std::function<int()>& run, const std::function<void()>& whileShown) {
    QTimer::singleShot(0, [whileShown] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            EXPECT_TRUE(QTest::qWaitForWindowActive(modal));
        }
        whileShown();
    });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] {
        if (auto* dialog = qobject_cast<MessageDialog*>(QApplication::activeModalWidget()))
            dialog->done(-1);
    });
    watchdog.start(5000);
    return run();
}

void Click(MessageDialog& dialog, int button) {
    QTest::mouseClick(dialog.Button(button), Qt::LeftButton);
}

// The layout in twips: the window, the title strip, the picture and the buttons that show.
std::string Layout(MessageDialog& dialog, const DialogRequest& request) {
    dialog.Prepare(request);
    const MessageDialogLayout& l = dialog.Layout();
    std::ostringstream out;
    const auto rect = [&out](const QRect& r) {
        out << " " << r.x() << "," << r.y() << " " << r.width() << "x" << r.height();
    };
    out << " " << l.window.width() << "x" << l.window.height();
    rect(l.title);
    rect(l.message);
    rect(l.picture);
    for (int i = 0; i < 3; ++i) {
        if (l.shown[i]) rect(l.buttons[i]);
        // On the screen at 15 twips a pixel, a pixel off at most.
        EXPECT_EQ(dialog.Button(i)->isHidden(), !l.shown[i]);
        if (l.shown[i]) {
            EXPECT_LE(std::abs(dialog.Button(i)->geometry().x() * 15 - l.buttons[i].x()), 15);
        }
    }
    return out.str();
}

TEST(MessageDialog, ButtonsStandCentredAtTheBottomInTwips) {
    MessageDialog dialog;
    EXPECT_EQ(Layout(dialog, {"The game is saved.", "O.K", "", "", 3, "Notice"}),
              " 4500x1350 45,60 4410x300 90,450 3375x210 3900,420 510x510 1612,960 1275x300");
    EXPECT_EQ(Layout(dialog, {"Really Exit?", "Yes-Exit", "No Cancel", "", 2, "Exit"}),
              " 4500x1350 45,60 4410x300 90,450 3375x210 3900,420 510x510 952,960 1275x300 "
              "2273,960 1275x300");
    EXPECT_EQ(Layout(dialog, {"Save first?", "Save", "Don't Save", "Cancel", 3, "Leaving"}),
              " 4500x1350 45,60 4410x300 90,450 3375x210 3900,420 510x510 292,960 1275x300 "
              "1612,960 1275x300 2932,960 1275x300");
    EXPECT_EQ(Layout(dialog, {"Odd request", "First", "", "Third", 3, "Notice"}),
              " 4500x1350 45,60 4410x300 90,450 3375x210 3900,420 510x510 292,960 1275x300 "
              "2932,960 1275x300");
    dialog.Prepare({"Short.", "O.K", "", "", 1, "Game Over"});
    EXPECT_EQ(dialog.TitleStrip()->text(), "   Game Over");
}

TEST(MessageDialog, EachButtonAnswersItsIndexToAClickAndAClosedBoxGivesTheCautiousAnswer) {
    MessageDialog dialog;
    const DialogRequest request{"Really start new game?", "&Yes", "&No", "Later", 3, "Notice"};
    for (int button = 0; button < 3; ++button) {
        EXPECT_EQ(RunAnswering([&] { return dialog.Run(request); },
                               [&] {
                                   EXPECT_TRUE(dialog.isModal());
                                   Click(dialog, button);
                               }),
                  button);
        EXPECT_FALSE(dialog.isVisible());
    }
    // Alt+F4 or the window manager's close: the last button, or a notice's only one.
    for (const auto& [captions, answer] : {std::pair{std::array{"Yes-Exit", "No Cancel", ""}, 1},
                                           std::pair{std::array{"O.K", "", ""}, 0}}) {
        const DialogRequest box{"Leaving", captions[0], captions[1], captions[2], 2, "Exit"};
        EXPECT_EQ(RunAnswering([&] { return dialog.Run(box); },
                               [&] {
                                   QCloseEvent close;
                                   QCoreApplication::sendEvent(&dialog, &close);
                                   EXPECT_TRUE(close.isAccepted());
                               }),
                  answer);
    }
}

// One key on the focused widget, as the keyboard delivers it; `held` is an
// auto-repeat of a key pressed before the box opened.
struct Key {
    QKeyCombination key;
    bool held = false;
};

TEST(MessageDialog, TheKeyboardAloneAnswersEveryBox) {
    using Captions = std::array<const char*, 3>;
    const Captions yesNoLater{"&Yes", "&No", "Later"};
    const Captions trio{"Save", "Don't Save", "Cancel"};
    const Captions pair{"New Game", "Exit", ""};
    const Captions gap{"First", "", "Cancel"};
    const Captions exit{"Yes-Exit", "No Cancel", ""};
    const Captions notice{"O.K", "", ""};
    const struct {
        const char* what;
        Captions captions;
        std::vector<Key> keys;
        int answer;
    } cases[] = {
        {"Return answers the first button", notice, {{Qt::Key_Return}}, 0},
        {"keypad Enter too", pair, {{Qt::KeypadModifier | Qt::Key_Enter}}, 0},
        {"Tab then Return", trio, {{Qt::Key_Tab}, {Qt::Key_Return}}, 1},
        {"Right twice comes round", pair, {{Qt::Key_Right}, {Qt::Key_Right}, {Qt::Key_Return}}, 0},
        {"Shift+Tab comes round backwards",
         trio,
         {{Qt::ShiftModifier | Qt::Key_Backtab}, {Qt::Key_Return}},
         2},
        {"Down steps over the missing button", gap, {{Qt::Key_Down}, {Qt::Key_Return}}, 2},
        {"Left then Up", trio, {{Qt::Key_Left}, {Qt::Key_Up}, {Qt::Key_Return}}, 1},
        {"Space presses the focused button", trio, {{Qt::Key_Right}, {Qt::Key_Space}}, 1},
        {"Escape with two buttons", exit, {{Qt::Key_Escape}}, 1},
        {"Escape leaves an Exit that ends the game to the player",
         pair,
         {{Qt::Key_Escape}, {Qt::Key_Return}},
         0},
        {"Escape with three buttons", trio, {{Qt::Key_Right}, {Qt::Key_Escape}}, 2},
        {"Escape with the middle one missing", gap, {{Qt::Key_Escape}}, 2},
        {"Escape on a notice", notice, {{Qt::Key_Escape}}, 0},
        {"Alt+F4 asks to close", pair, {{Qt::AltModifier | Qt::Key_F4}}, 1},
        {"a marked letter", yesNoLater, {{Qt::Key_N}}, 1},
        {"Alt and a marked letter",
         yesNoLater,
         {{Qt::Key_Right}, {Qt::AltModifier | Qt::Key_Y}},
         0},
        {"an unmarked letter does nothing", yesNoLater, {{Qt::Key_L}, {Qt::Key_Return}}, 0},
        {"a held key answers nothing",
         pair,
         {{Qt::Key_Return, true}, {Qt::Key_Right}, {Qt::Key_Return}},
         1},
    };
    MessageDialog dialog;
    for (const auto& c : cases) {
        const auto& [first, second, third] = c.captions;
        EXPECT_EQ(RunAnswering(
                      [&] {
                          return dialog.Run({"Sure?", first, second, third, 2, "Ask"});
                      },
                      [&] {
                          for (const Key& k : c.keys) {
                              QWidget* focus = QApplication::focusWidget();
                              ASSERT_NE(focus, nullptr);
                              if (k.held) {
                                  QKeyEvent repeat(QEvent::KeyPress, k.key.key(),
                                                   k.key.keyboardModifiers(), {}, true);
                                  QCoreApplication::sendEvent(focus, &repeat);
                              } else {
                                  QTest::keyClick(focus, k.key.key(), k.key.keyboardModifiers());
                              }
                          }
                      }),
                  c.answer)
            << c.what;
    }
}

TEST(MessageDialog, AMessageAskedWhileAnotherWaitsIsAnsweredFirstAndTheKeysReturnToTheFirst) {
    const DialogRequest first{"Really start new game?", "New Game", "No Cancel", "", 2, "Notice"};
    const DialogRequest second{"Learning Mode is now off.", "Continue", "", "", 3, "Learning"};
    int nested = -1;
    EXPECT_EQ(
        RunAnswering([&] { return MessageDialog::RunShared(nullptr, first); },
                     [&] {
                         nested = RunAnswering(
                             [&] { return MessageDialog::RunShared(nullptr, second); },
                             [] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape); });
                         auto* shared =
                             qobject_cast<MessageDialog*>(QApplication::activeModalWidget());
                         ASSERT_NE(shared, nullptr);
                         ASSERT_TRUE(QTest::qWaitForWindowActive(shared));
                         QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
                     }),
        0);
    EXPECT_EQ(nested, 0);
}

// True when the face shows the dotted ring: dark dots near its left edge, where
// the caption never reaches and the bevel is only mid grey.
bool Ringed(DialogButtonFace* face) {
    const QImage image = face->grab().toImage();
    const int band = 5 * image.width() / face->width();
    int dark = 0;
    for (int x = 0; x < band; ++x) {
        for (int y = 0; y < image.height(); ++y) dark += qGray(image.pixel(x, y)) < 64;
    }
    return dark > 0;
}

TEST(MessageDialog, AReaderHearsAnAlertAndTheFocusedButtonShowsARing) {
    MessageDialog dialog;
    const DialogRequest request{
        "Save first?\rThe hand is lost otherwise.", "&Save", "Don't Save", "", 2, "Leaving"};
    EXPECT_EQ(
        RunAnswering(
            [&] { return dialog.Run(request); },
            [&] {
                QAccessibleInterface* box = QAccessible::queryAccessibleInterface(&dialog);
                EXPECT_EQ(box->role(), QAccessible::AlertMessage);
                EXPECT_EQ(box->text(QAccessible::Name), "Leaving");
                // Orca speaks the message once, from the label, and skips the strip
                // because it bears the alert's own name.
                EXPECT_EQ(QAccessible::queryAccessibleInterface(dialog.TitleStrip())
                              ->text(QAccessible::Name),
                          "Leaving");
                EXPECT_EQ(QAccessible::queryAccessibleInterface(dialog.Message())
                              ->text(QAccessible::Name),
                          "Save first?\nThe hand is lost otherwise.");
                EXPECT_EQ(box->text(QAccessible::Description), "");
                QAccessibleInterface* save =
                    QAccessible::queryAccessibleInterface(dialog.Button(0));
                EXPECT_EQ(save->role(), QAccessible::PushButton);
                EXPECT_EQ(save->text(QAccessible::Name), "Save");
                EXPECT_TRUE(save->state().focusable);
                EXPECT_TRUE(save->state().focused);
                EXPECT_TRUE(
                    QAccessible::queryAccessibleInterface(dialog.Button(2))->state().invisible);
                auto* actions = save->actionInterface();
                EXPECT_EQ(actions->keyBindingsForAction(actions->pressAction()),
                          QStringList{"Alt+S"});

                EXPECT_TRUE(Ringed(dialog.Button(0)));
                EXPECT_FALSE(Ringed(dialog.Button(1)));
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                EXPECT_FALSE(Ringed(dialog.Button(0)));
                EXPECT_TRUE(Ringed(dialog.Button(1)));

                // The reader's press answers as a click does.
                QAccessible::queryAccessibleInterface(dialog.Button(1))
                    ->actionInterface()
                    ->doAction(QAccessibleActionInterface::pressAction());
            }),
        1);
}

}  // namespace
}  // namespace cardovia::qt
