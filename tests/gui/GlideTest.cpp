// With Smooth Motion a card's picture glides to its new place, while the form
// holds that place at once; the card dragged with the pointer never lags.

#include "layout/FollowMouse.h"
#include "model/Preferences.h"
#include "model/Settings.h"
#include "support/WindowTest.h"
#include "ui/Form.h"
#include "ui/Pacing.h"
#include "ui/qt/ControlItems.h"
#include "ui/qt/TableView.h"

#include <QGraphicsScene>
#include <QMouseEvent>
#include <QTest>
#include <QElapsedTimer>
#include <QTimer>

namespace cardovia::testing {
namespace {

using GlideTest = WindowTest;

// How far `at` lies along the way from `from` to `to`: 0 at the start, 1 at the end.
double Along(QPointF from, QPointF to, QPointF at) {
    const QPointF way = to - from;
    return QPointF::dotProduct(at - from, way) / QPointF::dotProduct(way, way);
}

TEST_F(GlideTest, CardsGlideThroughTheirPausesJumpWhenTheyMustAndFollowTheDrag) {
    platform.SetTimeScale(1);  // pauses in real time, long enough to watch a glide
    window->Sync();
    qt::TableView* view = window->view();
    qt::CardItem* item = nullptr;
    for (QGraphicsItem* i : view->scene()->items()) {
        if (auto* card = dynamic_cast<qt::CardItem*>(i); card && card->index() == 1) item = card;
    }
    ASSERT_TRUE(item);
    Picture& pic = Pic(1);
    const QPointF from = item->pos(), to = from + QPointF(3000, 2000);
    const auto form = [&] { return QPointF(pic.left, pic.top); };
    const auto move = [&](QPointF p, bool sync = true) {
        pic.Move(qRound(p.x()), qRound(p.y()));
        if (sync) window->Sync();
    };
    // Through a pause of 200 ms, on an ease-out curve (as of the last frame, up to 16 ms ago).
    move(to, false);
    double shownShare = -1, easedShare = -1;
    QElapsedTimer clock;
    clock.start();
    QTimer::singleShot(67, [&] {
        const double t = static_cast<double>(clock.elapsed()) / 200;
        easedShare = 1 - (1 - t) * (1 - t) * (1 - t);
        if (form() == to) shownShare = Along(from, to, item->pos());
    });
    DelayMs = 200;
    Pause();
    // Shown as of a frame a little before: short of the curve, yet well past a straight line's 1/3.
    EXPECT_TRUE(shownShare > 0.4 && shownShare < easedShare + 0.02) << shownShare;
    EXPECT_EQ(item->pos(), to);
    // No pause after the move: it glides on its own, and a new place re-aims it from where it is.
    move(from);
    EXPECT_TRUE(QTest::qWaitFor([&] { return item->pos() != to; }, 100));
    const QPointF shown = item->pos();
    EXPECT_TRUE(Along(to, from, shown) > 0 && Along(to, from, shown) < 0.99);
    move(from + QPointF(0, 1000));
    EXPECT_EQ(item->pos(), shown);
    EXPECT_TRUE(QTest::qWaitFor([&] { return item->pos() == form(); }, 400));
    // Jumps: a hidden card, a card shown at its new place, any card without Smooth Motion.
    pic.visible = false;
    move(to);
    pic.visible = true;
    move(from);
    EXPECT_EQ(item->pos(), from);
    SmoothMotion = false;
    move(to);
    SmoothMotion = true;
    EXPECT_EQ(item->pos(), to);
    // Picked up, the card is shown under the pointer after every move of it.
    const auto pointAt = [&](QPointF scene) {
        const QPoint at = view->mapFromScene(scene);
        QMouseEvent event(QEvent::MouseMove, at, view->viewport()->mapToGlobal(at), Qt::NoButton,
                          Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(view->viewport(), &event);
    };
    pointAt(to);
    FollowMouse.SetTimer(&Frmtable().Timer1);
    FollowMouse.SetObject(&pic);
    FollowMouse.SetEnabled(true);
    for (const QPointF step : {QPointF(900, 300), QPointF(2500, 1800)}) {
        pointAt(to + step);
        EXPECT_LT(QLineF(form(), to + step).length(), 40);
        EXPECT_EQ(item->pos(), form());
    }
    FollowMouse.SetEnabled(false);
}

}  // namespace
}  // namespace cardovia::testing
