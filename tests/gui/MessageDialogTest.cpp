// The game's message dialog, driven with the mouse the way a player answers it.

#include "ui/qt/MessageDialog.h"
#include "ui/qt/QtPlatform.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <functional>
#include <string>
#include <utility>

namespace cardovia::qt {
namespace {

constexpr int kTwipsPerPixel = 15;

DialogRequest Request(std::string message, std::string caption0, std::string caption1,
                      std::string caption2, i16 picture = 3, std::string title = "Notice") {
    return DialogRequest{
        std::move(message), std::move(caption0), std::move(caption1), std::move(caption2), picture,
        std::move(title)};
}

// Runs the dialog modally. `whileShown` is called once it is on screen and is
// expected to answer it; a watchdog ends a dialog nobody answers, so a fault
// fails the test instead of hanging it.
int RunAnswering(const std::function<int()>& run, const std::function<void()>& whileShown) {
    QTimer::singleShot(0, whileShown);
    bool answered = true;
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&answered] {
        answered = false;
        if (auto* dialog = qobject_cast<MessageDialog*>(QApplication::activeModalWidget())) {
            dialog->done(-1);
        }
    });
    watchdog.start(5000);
    const int clicked = run();
    EXPECT_TRUE(answered) << "the dialog was still open after 5 s";
    return clicked;
}

int RunAnswering(MessageDialog& dialog, const DialogRequest& request,
                 const std::function<void()>& whileShown) {
    return RunAnswering([&] { return dialog.Run(request); }, whileShown);
}

void Click(MessageDialog& dialog, int button) {
    QTest::mouseClick(dialog.Button(button), Qt::LeftButton);
}

// Twips of the layout become whole pixels, so a widget may stand up to one
// pixel from the exact place.
void ExpectPlacedAt(const QWidget* widget, const QRect& twips) {
    const QRect px = widget->geometry();
    EXPECT_NEAR(px.x() * kTwipsPerPixel, twips.x(), kTwipsPerPixel);
    EXPECT_NEAR(px.y() * kTwipsPerPixel, twips.y(), kTwipsPerPixel);
    EXPECT_NEAR(px.width() * kTwipsPerPixel, twips.width(), kTwipsPerPixel);
    EXPECT_NEAR(px.height() * kTwipsPerPixel, twips.height(), kTwipsPerPixel);
}

void ExpectButtonsWhereTheLayoutSays(const MessageDialog& dialog) {
    const MessageDialogLayout& layout = dialog.Layout();
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE("button " + std::to_string(i));
        EXPECT_EQ(!dialog.Button(i)->isHidden(), layout.shown[i]);
        if (layout.shown[i]) ExpectPlacedAt(dialog.Button(i), layout.buttons[i]);
    }
}

int CentreTwice(const QRect& r) {
    return 2 * r.left() + r.width();
}

TEST(MessageDialog, OneButtonStandsCentredAtTheBottomAndAnswersZero) {
    MessageDialog dialog;
    const DialogRequest request = Request("The game is saved.", "O.K", "", "");
    dialog.Prepare(request);

    const MessageDialogLayout& layout = dialog.Layout();
    EXPECT_EQ(layout.window.width(), 4500);
    EXPECT_TRUE(layout.shown[0]);
    EXPECT_FALSE(layout.shown[1]);
    EXPECT_FALSE(layout.shown[2]);
    EXPECT_NEAR(CentreTwice(layout.buttons[0]), layout.window.width(), 1);
    EXPECT_EQ(layout.buttons[0].size(), QSize(1275, 300));
    EXPECT_EQ(layout.buttons[0].bottom() + 1, layout.window.height() - 90);
    ExpectButtonsWhereTheLayoutSays(dialog);
    EXPECT_EQ(dialog.Button(0)->Caption(), "O.K");

    // Centred on the screen, at 15 twips a pixel.
    EXPECT_EQ(dialog.size(), QSize(300, layout.window.height() / kTwipsPerPixel));
    const QPoint screenCentre = QGuiApplication::primaryScreen()->availableGeometry().center();
    EXPECT_LE((dialog.geometry().center() - screenCentre).manhattanLength(), 1);

    const int clicked = RunAnswering(dialog, request, [&] {
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_TRUE(dialog.isModal());
        Click(dialog, 0);
    });
    EXPECT_EQ(clicked, 0);
    EXPECT_FALSE(dialog.isVisible());
}

TEST(MessageDialog, TwoButtonsStandEitherSideOfTheCentreAndTheRightOneAnswersOne) {
    MessageDialog dialog;
    const DialogRequest request = Request("Really Exit?", "Yes-Exit", "No Cancel", "", 2, "Exit");
    dialog.Prepare(request);

    const MessageDialogLayout& layout = dialog.Layout();
    const int centre = layout.window.width() / 2;
    EXPECT_TRUE(layout.shown[1]);
    EXPECT_FALSE(layout.shown[2]);
    EXPECT_EQ(layout.buttons[0].right() + 1, centre - 23);
    EXPECT_EQ(layout.buttons[1].left(), centre + 23);
    EXPECT_EQ(layout.buttons[0].top(), layout.buttons[1].top());
    ExpectButtonsWhereTheLayoutSays(dialog);
    // On screen too the pair leaves the centre free between them.
    EXPECT_LT(dialog.Button(0)->geometry().right(), dialog.width() / 2);
    EXPECT_GE(dialog.Button(1)->geometry().left(), dialog.width() / 2);
    EXPECT_EQ(dialog.Button(1)->Caption(), "No Cancel");

    EXPECT_EQ(RunAnswering(dialog, request, [&] { Click(dialog, 1); }), 1);
    EXPECT_EQ(RunAnswering(dialog, request, [&] { Click(dialog, 0); }), 0);
}

TEST(MessageDialog, ThreeButtonsCentreTheMiddleOneAndEachAnswersItsIndex) {
    MessageDialog dialog;
    const DialogRequest request =
        Request("Save the game before leaving?", "Save", "Don't Save", "Cancel", 3, "Leaving");
    dialog.Prepare(request);

    const MessageDialogLayout& layout = dialog.Layout();
    EXPECT_TRUE(layout.shown[1]);
    EXPECT_TRUE(layout.shown[2]);
    EXPECT_NEAR(CentreTwice(layout.buttons[1]), layout.window.width(), 1);
    EXPECT_EQ(layout.buttons[1].left() - (layout.buttons[0].right() + 1), 45);
    EXPECT_EQ(layout.buttons[2].left() - (layout.buttons[1].right() + 1), 45);
    ExpectButtonsWhereTheLayoutSays(dialog);

    // The same window serves one call after another.
    for (int button = 0; button < 3; ++button) {
        SCOPED_TRACE("clicking button " + std::to_string(button));
        EXPECT_EQ(RunAnswering(dialog, request, [&] { Click(dialog, button); }), button);
        EXPECT_FALSE(dialog.isVisible());
    }

    // A following one-button message hides the other two again.
    dialog.Prepare(Request("Target points set", "O.K", "", ""));
    ExpectButtonsWhereTheLayoutSays(dialog);
    EXPECT_TRUE(dialog.Button(1)->isHidden());
    EXPECT_TRUE(dialog.Button(2)->isHidden());

    // A third caption without a second still spreads the row, so that button 2
    // does not land on button 0.
    dialog.Prepare(Request("Odd request", "First", "", "Third"));
    EXPECT_FALSE(dialog.Button(0)->geometry().intersects(dialog.Button(2)->geometry()));
    ExpectButtonsWhereTheLayoutSays(dialog);
}

TEST(MessageDialog, ALongMessageMakesTheWindowTallerWithTheButtonsStillAtTheBottom) {
    MessageDialog dialog;
    dialog.Prepare(Request("Short.", "O.K", "", ""));
    const QSize shortWindow = dialog.size();
    const int oneLine = dialog.Message()->height();

    std::string longMessage;
    for (int i = 0; i < 12; ++i)
        longMessage += "Thaddock takes the discard pile and melds his Kings. ";
    dialog.Prepare(Request(longMessage, "Yes-Exit", "No Cancel", "", 1, "Game Over"));
    const MessageDialogLayout& layout = dialog.Layout();

    EXPECT_GT(dialog.Message()->height(), 4 * oneLine);
    EXPECT_GT(dialog.height(), shortWindow.height());
    EXPECT_EQ(dialog.width(), shortWindow.width());
    // The label is as tall as its wrapped text, and the window grows by as much.
    EXPECT_EQ(dialog.Message()->height(),
              dialog.Message()->heightForWidth(dialog.Message()->width()));
    EXPECT_EQ(layout.window.height(), dialog.Message()->height() * kTwipsPerPixel + 1140);
    EXPECT_EQ(dialog.height(), dialog.Message()->height() + 1140 / kTwipsPerPixel);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(layout.buttons[i].bottom() + 1, layout.window.height() - 90);
        EXPECT_EQ(dialog.Button(i)->geometry().bottom() + 1, dialog.height() - 90 / kTwipsPerPixel);
        EXPECT_GT(dialog.Button(i)->geometry().top(), dialog.Message()->geometry().bottom());
    }
    // The picture stays at the right, halfway down.
    EXPECT_NEAR(2 * layout.picture.top() + layout.picture.height(), layout.window.height(), 1);
    EXPECT_EQ(layout.picture.left(), 3900);
    EXPECT_NEAR(2 * dialog.PictureRect().center().y(), dialog.height(), 2);
}

TEST(MessageDialog, TitleStripShowsTheTitleAfterThreeSpaces) {
    MessageDialog dialog;
    dialog.Prepare(Request("You won this game.", "O.K", "", "", 1, "Game Over"));
    EXPECT_EQ(dialog.TitleStrip()->text(), "   Game Over");
    // It spans the window less a margin on each side, above the message.
    const MessageDialogLayout& layout = dialog.Layout();
    EXPECT_EQ(layout.title, QRect(45, 60, 4500 - 90, 300));
    ExpectPlacedAt(dialog.TitleStrip(), layout.title);
    EXPECT_LT(dialog.TitleStrip()->geometry().bottom(), dialog.Message()->geometry().top());

    // White on dark blue, drawn behind the text.
    const QImage shot = dialog.grab().toImage();
    const QPoint inStrip = dialog.TitleStrip()->geometry().topLeft() + QPoint(1, 1);
    EXPECT_EQ(shot.pixelColor(inStrip), QColor(0, 0, 64));
}

TEST(MessageDialog, KeysAndCloseRequestsLeaveItOpenUntilAClick) {
    MessageDialog dialog;
    const DialogRequest request = Request("Really start new game?", "&Yes", "&No", "", 3);
    const int clicked = RunAnswering(dialog, request, [&] {
        for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space}) {
            QTest::keyClick(&dialog, key);
        }
        // No access keys either, though the captions carry their marks.
        QTest::keyClick(&dialog, Qt::Key_Y, Qt::AltModifier);
        QTest::keyClick(&dialog, Qt::Key_N, Qt::AltModifier);
        QTest::keyClick(&dialog, Qt::Key_F4, Qt::AltModifier);
        EXPECT_TRUE(dialog.isVisible()) << "a key closed the dialog";

        QCloseEvent request;
        QCoreApplication::sendEvent(&dialog, &request);
        EXPECT_FALSE(request.isAccepted());
        EXPECT_FALSE(dialog.close());
        EXPECT_TRUE(dialog.isVisible()) << "a close request closed the dialog";

        Click(dialog, 1);
    });
    EXPECT_EQ(clicked, 1);
}

TEST(MessageDialog, OneSharedWindowAnswersThePlatformAndStaysHiddenBetweenCalls) {
    QtPlatform platform;
    QPointer<MessageDialog> first;
    const auto answer = [](QPointer<MessageDialog>& seen, int button) {
        return [&seen, button] {
            seen = qobject_cast<MessageDialog*>(QApplication::activeModalWidget());
            ASSERT_TRUE(seen);
            Click(*seen, button);
        };
    };
    const DialogRequest request = Request("Game Drawn", "O.K", "Show Stats", "", 1, "Game Over");
    EXPECT_EQ(RunAnswering([&] { return platform.RunMessageDialog(request); }, answer(first, 1)),
              1);
    ASSERT_TRUE(first);
    EXPECT_FALSE(first->isVisible());

    QPointer<MessageDialog> second;
    EXPECT_EQ(RunAnswering([&] { return platform.RunMessageDialog(request); }, answer(second, 0)),
              0);
    EXPECT_EQ(first, second) << "a new window for every message";
}

}  // namespace
}  // namespace cardovia::qt
