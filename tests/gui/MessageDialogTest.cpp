// The game's message dialog, answered with the mouse the way a player answers it.

#include "ui/qt/MessageDialog.h"
#include "ui/qt/QtPlatform.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <functional>
#include <sstream>

namespace cardovia::qt {
namespace {

// Runs a dialog; `whileShown` answers it once it is up. A watchdog ends one
// nobody answers, so a fault fails the test instead of hanging it.
int RunAnswering(const std::function<int()>& run, const std::function<void()>& whileShown) {
    QTimer::singleShot(0, whileShown);
    QTimer::singleShot(5000, [] {
        if (auto* dialog = qobject_cast<MessageDialog*>(QApplication::activeModalWidget()))
            dialog->done(-1);
    });
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
        if (l.shown[i])
            EXPECT_LE(std::abs(dialog.Button(i)->geometry().x() * 15 - l.buttons[i].x()), 15);
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

TEST(MessageDialog, OnlyAClickAnswersAndEachButtonAnswersItsIndex) {
    MessageDialog dialog;
    const DialogRequest request{"Really start new game?", "&Yes", "&No", "Later", 3, "Notice"};
    for (int button = 0; button < 3; ++button) {
        EXPECT_EQ(
            RunAnswering(
                [&] { return dialog.Run(request); },
                [&] {
                    EXPECT_TRUE(dialog.isModal());
                    for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Space, Qt::Key_Y}) {
                        QTest::keyClick(&dialog, key,
                                        key == Qt::Key_Y ? Qt::AltModifier : Qt::NoModifier);
                    }
                    QCloseEvent close;
                    QCoreApplication::sendEvent(&dialog, &close);
                    EXPECT_FALSE(close.isAccepted());
                    EXPECT_TRUE(dialog.isVisible()) << "a key or a close request closed it";
                    Click(dialog, button);
                }),
            button);
        EXPECT_FALSE(dialog.isVisible());
    }
}

}  // namespace
}  // namespace cardovia::qt
