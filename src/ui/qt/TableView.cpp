#include "ui/qt/TableView.h"

#include "ui/qt/Colours.h"
#include "ui/qt/ControlItems.h"
#include "ui/qt/TableAccessible.h"

#include <QAccessible>
#include <QGraphicsPathItem>
#include <QGraphicsScene>
#include <QMouseEvent>

#include <limits>
#include <unordered_map>

namespace cardovia::qt {

TableView::TableView(TableForm& form, QWidget* parent) : QGraphicsView(parent), form_(form) {
    TableAccessible::Install();
    setAccessibleName(QStringLiteral("Table"));
    auto* scene = new QGraphicsScene(0, 0, kTableWidth, kTableHeight, this);
    scene->setItemIndexMethod(QGraphicsScene::NoIndex);  // cards move all the time
    setScene(scene);
    setBackgroundBrush(FromBgr(kTableGreen).darker(115));
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                   QPainter::SmoothPixmapTransform);
    setViewportUpdateMode(QGraphicsView::SmartViewportUpdate);
    setMouseTracking(true);
    viewport()->setMouseTracking(true);

    std::unordered_map<const Frame*, QGraphicsItem*> frames;
    for (Control* c : form_.Controls) {
        QGraphicsItem* parentItem = nullptr;
        if (c->parent) parentItem = frames.at(c->parent);
        ControlItem* item = nullptr;
        switch (c->kind) {
            case ControlKind::Picture: {
                const auto index = static_cast<int>(static_cast<Picture*>(c) - &form_.PicCards[0]);
                item = new CardItem(index, static_cast<Picture*>(c), &glider_);
                break;
            }
            case ControlKind::Label:
                item = new LabelItem(static_cast<Label*>(c), parentItem);
                break;
            case ControlKind::Frame: {
                auto* frame = new FrameItem(static_cast<Frame*>(c));
                frames[static_cast<Frame*>(c)] = frame;
                item = frame;
                break;
            }
            case ControlKind::Button:
                item = new ButtonItem(static_cast<Button*>(c), parentItem);
                break;
            case ControlKind::ListBox:
                item = new ListItem(static_cast<ListBox*>(c), parentItem);
                break;
            case ControlKind::TextBox:
                item = new TextBoxItem(static_cast<TextBox*>(c), parentItem);
                break;
            case ControlKind::Shape:
                item = new ShapeItem(static_cast<cardovia::Shape*>(c));
                break;
        }
        if (!parentItem) scene->addItem(item);
        items_.push_back(item);
    }
    ring_ = scene->addPath(QPainterPath(), QPen(QColor(0x20, 0x60, 0xff), 40, Qt::DashLine));
    ring_->setZValue(std::numeric_limits<qreal>::max());
    ring_->setAcceptedMouseButtons(Qt::NoButton);
    ring_->hide();
    glider_.onFrame = [this] { PlaceRing(); };
    Sync();
}

void TableView::Sync() {
    for (ControlItem* item : items_) item->Sync();
    PlaceRing();
    ++syncs_;
    if (QAccessible::isActive()) {
        static_cast<TableAccessible*>(QAccessible::queryAccessibleInterface(this))->Announce();
    }
}

QRectF TableView::SceneRectOf(const Control& control) {
    int left = control.left, top = control.top;
    for (const Frame* f = control.parent; f; f = f->parent) left += f->left, top += f->top;
    return QRectF(left, top, control.width, control.height);
}

void TableView::PlaceRing() {
    // The ring goes where its object is drawn, so it travels with a gliding card.
    const ControlItem* focused = nullptr;
    for (const ControlItem* item : items_) {
        const Control& c = *item->control();
        if (c.focused && c.visible && (!c.parent || c.parent->visible)) focused = item;
    }
    const QRectF at = focused ? QRectF(focused->scenePos(), QSizeF(focused->control()->width,
                                                                   focused->control()->height))
                              : QRectF();
    if (at == ringAt_) return;
    ringAt_ = at;
    ring_->setVisible(focused != nullptr);
    QPainterPath path;
    path.addRoundedRect(at.adjusted(-10, -10, 10, 10), 60, 60);
    ring_->setPath(path);
}

QPoint TableView::ViewportPointOf(int leftTwips, int topTwips) const {
    return mapFromScene(QPointF(leftTwips, topTwips));
}

void TableView::resizeEvent(QResizeEvent* event) {
    QGraphicsView::resizeEvent(event);
    fitInView(sceneRect(), Qt::KeepAspectRatio);
}

void TableView::Track(const QPoint& viewportPos) {
    const QPointF p = mapToScene(viewportPos);
    pointer_ = {qRound(p.x()), qRound(p.y())};
}

void TableView::mouseMoveEvent(QMouseEvent* event) {
    Track(event->position().toPoint());
    QGraphicsView::mouseMoveEvent(event);
    // The drag follower moves its card with every pointer move rather than on
    // a fast timer: the card keeps up with the pointer and the idle table
    // costs nothing. What the move changed otherwise is shown first, as usual;
    // the card the tick moves is shown under the pointer at once, never gliding.
    if (form_.Timer1.enabled && form_.Timer1.Tick) {
        Sync();
        form_.Timer1.Tick();
        Glider::Jumps jumps(glider_);
        Sync();
    }
}

void TableView::mousePressEvent(QMouseEvent* event) {
    Track(event->position().toPoint());
    QGraphicsView::mousePressEvent(event);
}

}  // namespace cardovia::qt
