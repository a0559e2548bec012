#include "ui/qt/TableView.h"

#include "ui/qt/Colours.h"
#include "ui/qt/ControlItems.h"
#include "ui/qt/TableAccessible.h"

#include <QAccessible>
#include <QGraphicsPathItem>
#include <QGraphicsScene>
#include <QMouseEvent>
#include <QPainterPath>

#include <algorithm>
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

namespace {

// The ring's dashed line lies this far outside its object's own edges; where a
// card in front cuts the object off, it lies this far inside the cut (less on
// a narrow sliver), so it never covers the corner index of the card in front.
constexpr qreal kRingOutside = 10;
constexpr qreal kRingInsideCut = 25;
constexpr qreal kRingRadius = 60;

bool Shown(const Control& c) {
    return c.visible && (!c.parent || c.parent->visible);
}

// Cards and panels are opaque: what lies under them does not show.
bool Covers(const Control& c) {
    if (c.kind == ControlKind::Frame) return true;
    return c.kind == ControlKind::Picture && static_cast<const Picture&>(c).image > 0;
}

// Where a control lies in the stacking of the table's items: a panel's
// controls lie where their panel does.
std::int64_t Stacking(const Control& c) {
    return c.parent ? c.parent->z : c.z;
}

// Cuts `cut` out of the pieces; a piece it overlaps leaves up to four: the
// bands above and below the overlap, and those left and right of it.
void CutOut(std::vector<QRectF>& pieces, const QRectF& cut, std::vector<QRectF>& kept) {
    kept.clear();
    for (const QRectF& p : pieces) {
        const QRectF o = p.intersected(cut);
        if (o.isEmpty()) {
            kept.push_back(p);
            continue;
        }
        if (o.top() > p.top()) kept.emplace_back(p.topLeft(), QPointF(p.right(), o.top()));
        if (o.bottom() < p.bottom())
            kept.emplace_back(QPointF(p.left(), o.bottom()), p.bottomRight());
        if (o.left() > p.left()) kept.emplace_back(QPointF(p.left(), o.top()), o.bottomLeft());
        if (o.right() < p.right()) kept.emplace_back(o.topRight(), QPointF(p.right(), o.bottom()));
    }
    pieces.swap(kept);
}

// One edge of the ring: outside an edge of the object itself, inside a cut.
qreal RingEdge(qreal shown, qreal own, qreal inward, qreal extent) {
    return shown == own ? shown - inward * kRingOutside
                        : shown + inward * std::min(kRingInsideCut, extent / 2);
}

}  // namespace

void TableView::PlaceRing() {
    // The ring is worked out from the places the form gives, and is carried by
    // the item it rings: a gliding card takes it along, already the shape it
    // will have where the card comes to rest, and a frame of a glide costs the
    // ring no more than the scan below.
    ringNext_.clear();
    // Of several objects ringed together (a meld's cards, a row of the score
    // board), the one in front carries the ring, so the others do not hide it.
    ControlItem* holder = nullptr;
    std::int64_t lowest = std::numeric_limits<std::int64_t>::max();
    for (ControlItem* item : items_) {
        const Control& c = *item->control();
        if (!c.focused || !Shown(c)) continue;
        if (!holder || Stacking(c) > Stacking(*holder->control()) ||
            (Stacking(c) == Stacking(*holder->control()) && c.z > holder->control()->z))
            holder = item;
        ringNext_.push_back(SceneRectOf(c));
        lowest = std::min(lowest, Stacking(c));
    }
    const std::size_t objects = ringNext_.size();
    if (objects > 0) {
        QRectF span;
        for (std::size_t i = 0; i < objects; ++i) span |= ringNext_[i];
        for (const ControlItem* item : items_) {
            const Control& c = *item->control();
            if (c.parent || c.z <= lowest || !Shown(c) || !Covers(c)) continue;
            if (const QRectF r = SceneRectOf(c); r.intersects(span)) ringNext_.push_back(r);
        }
    }
    if (holder == ringHolder_ && objects == ringObjects_ && ringNext_ == ringFor_) return;
    ringFor_.swap(ringNext_);
    ringObjects_ = objects;
    ringHolder_ = holder;
    ring_->setVisible(holder != nullptr);
    if (!holder) return;
    ring_->setParentItem(holder);
    ring_->setPath(RingPath().translated(-SceneRectOf(*holder->control()).topLeft()));
}

QPainterPath TableView::RingPath() {
    QPainterPath path;
    QRectF whole;
    for (std::size_t i = 0; i < ringObjects_; ++i) whole |= ringFor_[i];
    if (ringObjects_ > 1) {
        // A meld, or a row of the score board: ringed together, round them all.
        path.addRoundedRect(
            whole.adjusted(-kRingOutside, -kRingOutside, kRingOutside, kRingOutside), kRingRadius,
            kRingRadius);
        return path;
    }
    ringPieces_.assign(1, whole);
    for (std::size_t i = 1; i < ringFor_.size(); ++i) CutOut(ringPieces_, ringFor_[i], ringKept_);
    if (ringPieces_.empty()) ringPieces_.assign(1, whole);  // under others: ringed whole
    if (ringPieces_.size() > 1) {
        // A card partly under one dragged across it: the outline of what shows.
        for (const QRectF& piece : ringPieces_) path.addRect(piece);
        return path.simplified();
    }
    const QRectF& p = ringPieces_.front();
    const QRectF ring(QPointF(RingEdge(p.left(), whole.left(), 1, p.width()),
                              RingEdge(p.top(), whole.top(), 1, p.height())),
                      QPointF(RingEdge(p.right(), whole.right(), -1, p.width()),
                              RingEdge(p.bottom(), whole.bottom(), -1, p.height())));
    path.addRoundedRect(ring, kRingRadius, kRingRadius);
    return path;
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
