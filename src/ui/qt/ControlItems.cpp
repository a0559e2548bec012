#include "ui/qt/ControlItems.h"

#include "ui/qt/CardArt.h"
#include "ui/qt/Colours.h"
#include "ui/qt/Glide.h"

#include "model/Preferences.h"

#include <QGraphicsScene>
#include <QGraphicsSceneMouseEvent>
#include <QPainter>
#include <QStyleOptionGraphicsItem>

#include <cmath>

namespace cardovia::qt {

namespace {

constexpr int kBevelTwips = 15;
// The Hint's mark: a gold frame along the card's edges, inside the face except
// on the left, where it reaches out over the card below. It stays clear of the
// corner indexes (which start 24 twips in from the sides and 51 from the top
// and bottom), so the marked card reads as well as any other. Being drawn on
// the card, it is hidden with it: of a card in the hand it frames just the
// strip its neighbour leaves uncovered.
const QColor kHintGold(0xf0, 0xb4, 0x00);
constexpr qreal kHintOutsideTwips = 30;    // out past the left edge
constexpr qreal kHintSideTwips = 18;       // in from either side
constexpr qreal kHintTopBottomTwips = 42;  // in from the top and the bottom
constexpr qreal kHintOuterRadius = 68;     // the card's own corners
constexpr qreal kHintInnerRadius = 24;
// The keyboard's place on a button of a panel: a dotted ring inside the bevel,
// as on the message box's buttons.
constexpr qreal kFocusInsetTwips = 60;
constexpr qreal kFocusPenTwips = 15;
constexpr int kTextMarginTwips = 45;
constexpr int kFrameCaptionTwips = 150;
const QColor kLight(240, 240, 240);
const QColor kDark(128, 128, 128);

i16 ButtonOf(Qt::MouseButton b) {
    switch (b) {
        case Qt::LeftButton:
            return 1;
        case Qt::RightButton:
            return 2;
        case Qt::MiddleButton:
            return 4;
        default:
            return 0;
    }
}

i16 ShiftOf(Qt::KeyboardModifiers m) {
    i16 shift = 0;
    if (m & Qt::ShiftModifier) shift |= 1;
    if (m & Qt::ControlModifier) shift |= 2;
    if (m & Qt::AltModifier) shift |= 4;
    return shift;
}

// Captions mark their access key with '&'; the mark itself is not drawn.
QString Displayed(const std::string& caption) {
    QString text = QString::fromStdString(caption);
    QString out;
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) {
            ++i;
        }
        out += text[i];
    }
    return out;
}

QFont FontOf(int pixelTwips, bool bold) {
    QFont font;
    font.setPixelSize(pixelTwips);
    font.setBold(bold);
    return font;
}

void RaisedEdges(QPainter* p, const QRectF& r, bool sunken) {
    const QColor topLeft = sunken ? kDark : kLight;
    const QColor bottomRight = sunken ? kLight : kDark;
    p->setPen(QPen(topLeft, kBevelTwips * 2));
    p->drawLine(r.topLeft(), r.topRight());
    p->drawLine(r.topLeft(), r.bottomLeft());
    p->setPen(QPen(bottomRight, kBevelTwips * 2));
    p->drawLine(r.bottomLeft(), r.bottomRight());
    p->drawLine(r.topRight(), r.bottomRight());
}

}  // namespace

// ---- ControlItem ----

ControlItem::ControlItem(Control* control, QGraphicsItem* parent)
    : QGraphicsItem(parent), control_(control) {}

QRectF ControlItem::boundingRect() const {
    return QRectF(0, 0, control_->width, control_->height);
}

void ControlItem::Sync() {
    const Control& c = *control_;
    if (c.width != width_ || c.height != height_) {
        prepareGeometryChange();
        width_ = c.width;
        height_ = c.height;
    }
    if (c.left != left_ || c.top != top_) {
        MoveTo(QPointF(c.left, c.top), visible_ == 1 && c.visible);
        left_ = c.left;
        top_ = c.top;
    }
    if (c.z != z_) {
        setZValue(static_cast<qreal>(c.z));
        z_ = c.z;
    }
    if (static_cast<int>(c.visible) != visible_) {
        // A card hidden mid-glide is put at its place, so it never reappears
        // somewhere stale.
        if (!c.visible) MoveTo(QPointF(c.left, c.top), false);
        setVisible(c.visible);
        visible_ = c.visible;
    }
    if (c.toolTip != toolTip_) {
        setToolTip(QString::fromStdString(c.toolTip));
        toolTip_ = c.toolTip;
    }
    if (ContentChanged()) update();
}

void ControlItem::MoveTo(QPointF place, bool) {
    setPos(place);
}

// ---- CardItem ----

CardItem::CardItem(int index, Picture* picture, Glider* glider)
    : ControlItem(picture), index_(index), glider_(glider) {
    setAcceptHoverEvents(true);
    setAcceptedMouseButtons(Qt::LeftButton | Qt::RightButton | Qt::MiddleButton);
}

void CardItem::MoveTo(QPointF place, bool shown) {
    // The item stays where it is drawn, and so where it is clicked, while it glides.
    if (shown && SmoothMotion && glider_ && glider_->Glide(this, place)) return;
    if (glider_) glider_->Forget(this);
    setPos(place);
}

bool CardItem::ContentChanged() {
    const Picture& p = *picture();
    // The hover hints' pointers: the platform's own pointing hand, forbidden
    // sign and closed hand read at once on every desktop.
    const int cursor = p.mousePointer == Pointer::Custom ? p.mouseIcon : 0;
    if (cursor != cursor_) {
        cursor_ = cursor;
        switch (cursor) {
            case 1:
                setCursor(Qt::PointingHandCursor);
                break;
            case 2:
                setCursor(Qt::ForbiddenCursor);
                break;
            case 3:
                setCursor(Qt::ClosedHandCursor);
                break;
            default:
                unsetCursor();
                break;
        }
    }
    // The suits' colours are part of what is drawn: when they change, every card
    // is drawn afresh. (The pixmaps themselves are cached by CardPixmap, per
    // picture and size; that cache has to tell the colours apart too.)
    if (p.image == image_ && p.border == border_ && p.hinted == hinted_ &&
        FourColourSuits == fourColour_)
        return false;
    if (p.hinted != hinted_) prepareGeometryChange();
    image_ = p.image;
    border_ = p.border;
    hinted_ = p.hinted;
    fourColour_ = FourColourSuits;
    return true;
}

QRectF CardItem::boundingRect() const {
    const QRectF card = ControlItem::boundingRect();
    // The mark's reach, and a pixel's width for its softened edge.
    return hinted_ ? card.adjusted(-kHintOutsideTwips - 15, 0, 0, 0) : card;
}

QPainterPath CardItem::shape() const {
    QPainterPath path;
    path.addRect(ControlItem::boundingRect());
    return path;
}

void CardItem::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) {
    const QRectF r = ControlItem::boundingRect();
    if (image_ < 1) return;
    // Drawn from a pixmap made at exactly the displayed size, so the card stays
    // sharp at any window size and on high-density screens.
    const QRectF shown = painter->worldTransform().mapRect(r);
    const qreal dpr = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    const QSize device(std::max(1, qRound(shown.width() * dpr)),
                       std::max(1, qRound(shown.height() * dpr)));
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
    painter->drawPixmap(r, CardPixmap(image_, device, dpr), QRectF(QPointF(0, 0), QSizeF(device)));
    // The chosen wild card's border is drawn over the mark, so both show.
    if (hinted_) {
        QPainterPath mark;
        mark.addRoundedRect(r.adjusted(-kHintOutsideTwips, 0, 0, 0), kHintOuterRadius,
                            kHintOuterRadius);
        QPainterPath face;
        face.addRoundedRect(
            r.adjusted(kHintSideTwips, kHintTopBottomTwips, -kHintSideTwips, -kHintTopBottomTwips),
            kHintInnerRadius, kHintInnerRadius);
        painter->setRenderHint(QPainter::Antialiasing);
        painter->fillPath(mark.subtracted(face), kHintGold);
    }
    if (border_) {
        painter->setPen(QPen(Qt::black, 30));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(r.adjusted(15, 15, -15, -15));
    }
}

void CardItem::mousePressEvent(QGraphicsSceneMouseEvent* event) {
    event->accept();
    auto& handler = Frmtable().PicCards_MouseDown;
    if (handler) {
        handler(static_cast<i16>(index_), ButtonOf(event->button()), ShiftOf(event->modifiers()),
                static_cast<float>(event->pos().x()), static_cast<float>(event->pos().y()));
    }
}

void CardItem::mouseReleaseEvent(QGraphicsSceneMouseEvent* event) {
    auto& handler = Frmtable().PicCards_MouseUp;
    if (handler) {
        handler(static_cast<i16>(index_), ButtonOf(event->button()), ShiftOf(event->modifiers()),
                static_cast<float>(event->pos().x()), static_cast<float>(event->pos().y()));
    }
}

void CardItem::mouseMoveEvent(QGraphicsSceneMouseEvent* event) {
    auto& handler = Frmtable().PicCards_MouseMove;
    if (handler) {
        i16 buttons = 0;
        if (event->buttons() & Qt::LeftButton) buttons |= 1;
        if (event->buttons() & Qt::RightButton) buttons |= 2;
        handler(static_cast<i16>(index_), buttons, ShiftOf(event->modifiers()),
                static_cast<float>(event->pos().x()), static_cast<float>(event->pos().y()));
    }
}

void CardItem::hoverMoveEvent(QGraphicsSceneHoverEvent* event) {
    auto& handler = Frmtable().PicCards_MouseMove;
    if (handler) {
        handler(static_cast<i16>(index_), 0, ShiftOf(event->modifiers()),
                static_cast<float>(event->pos().x()), static_cast<float>(event->pos().y()));
    }
}

// ---- LabelItem ----

LabelItem::LabelItem(Label* label, QGraphicsItem* parent) : ControlItem(label, parent) {}

bool LabelItem::ContentChanged() {
    const Label& l = *label();
    if (l.caption == caption_ && l.backColor == back_ && l.foreColor == fore_) return false;
    caption_ = l.caption;
    back_ = l.backColor;
    fore_ = l.foreColor;
    return true;
}

void LabelItem::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) {
    const Label& l = *label();
    const QRectF r = boundingRect();
    if (l.backColor != kNoColour) painter->fillRect(r, FromBgr(l.backColor));
    painter->setPen(FromBgr(l.foreColor));
    painter->setFont(FontOf(l.fontTwips, l.bold));
    int flags = l.wrap ? Qt::TextWordWrap : Qt::TextSingleLine;
    flags |= l.align == Align::Centre  ? Qt::AlignHCenter
             : l.align == Align::Right ? Qt::AlignRight
                                       : Qt::AlignLeft;
    flags |= l.wrap ? Qt::AlignTop : Qt::AlignVCenter;
    painter->drawText(r.adjusted(kTextMarginTwips / 3, 0, -kTextMarginTwips / 3, 0), flags,
                      QString::fromStdString(l.caption));
}

// ---- FrameItem ----

FrameItem::FrameItem(Frame* frame) : ControlItem(frame) {
    setAcceptedMouseButtons(Qt::LeftButton | Qt::RightButton);
}

bool FrameItem::ContentChanged() {
    if (frame()->caption == caption_) return false;
    caption_ = frame()->caption;
    return true;
}

void FrameItem::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) {
    const Frame& f = *frame();
    const QRectF r = boundingRect();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(QPen(QColor(60, 60, 60), 15));
    painter->setBrush(FromBgr(f.backColor));
    painter->drawRoundedRect(r.adjusted(8, 8, -8, -8), 60, 60);
    painter->setFont(FontOf(kFrameCaptionTwips, true));
    painter->setPen(QColor(20, 40, 110));
    painter->drawText(QRectF(90, 0, r.width() - 180, 180), Qt::AlignLeft | Qt::AlignVCenter,
                      QString::fromStdString(f.caption));
}

void FrameItem::mousePressEvent(QGraphicsSceneMouseEvent* event) {
    event->accept();
    if (frame()->MouseDown) frame()->MouseDown(ButtonOf(event->button()));
}

void FrameItem::mouseReleaseEvent(QGraphicsSceneMouseEvent* event) {
    if (frame()->MouseUp) frame()->MouseUp(ButtonOf(event->button()));
}

// ---- ButtonItem ----

ButtonItem::ButtonItem(Button* button, QGraphicsItem* parent) : ControlItem(button, parent) {
    setAcceptedMouseButtons(Qt::LeftButton);
}

bool ButtonItem::ContentChanged() {
    if (button()->caption == caption_ && button()->focused == focused_) return false;
    caption_ = button()->caption;
    focused_ = button()->focused;
    return true;
}

void ButtonItem::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) {
    const QRectF r = boundingRect();
    painter->fillRect(r, QColor(212, 208, 200));
    RaisedEdges(painter, r.adjusted(kBevelTwips, kBevelTwips, -kBevelTwips, -kBevelTwips),
                pressed_);
    painter->setPen(Qt::black);
    painter->setFont(FontOf(165, false));
    const qreal shift = pressed_ ? kBevelTwips : 0;
    painter->drawText(r.translated(shift, shift), Qt::AlignCenter, Displayed(button()->caption));
    if (focused_) {
        constexpr qreal in = kFocusInsetTwips;
        painter->setPen(QPen(Qt::black, kFocusPenTwips, Qt::DotLine));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(r.adjusted(in, in, -in, -in).translated(shift, shift));
    }
}

void ButtonItem::mousePressEvent(QGraphicsSceneMouseEvent* event) {
    event->accept();
    pressed_ = true;
    update();
}

void ButtonItem::mouseReleaseEvent(QGraphicsSceneMouseEvent* event) {
    pressed_ = false;
    update();
    if (boundingRect().contains(event->pos()) && button()->Click) button()->Click();
}

// ---- ListItem ----

ListItem::ListItem(ListBox* list, QGraphicsItem* parent) : ControlItem(list, parent) {}

bool ListItem::ContentChanged() {
    if (list()->items == items_) return false;
    items_ = list()->items;
    return true;
}

void ListItem::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) {
    const QRectF r = boundingRect();
    painter->fillRect(r, Qt::white);
    painter->setPen(QPen(kDark, 15));
    painter->drawRect(r);
    painter->setFont(FontOf(165, false));
    painter->setPen(Qt::black);
    constexpr qreal kLineTwips = 210;
    qreal y = 30;
    for (const std::string& line : list()->items) {
        if (y + kLineTwips > r.height()) break;
        painter->drawText(QRectF(45, y, r.width() - 60, kLineTwips),
                          Qt::AlignLeft | Qt::AlignVCenter, QString::fromStdString(line));
        y += kLineTwips;
    }
}

// ---- ShapeItem ----

ShapeItem::ShapeItem(Shape* shape) : ControlItem(shape) {
    setAcceptedMouseButtons(Qt::NoButton);
}

bool ShapeItem::ContentChanged() {
    if (shapeRecord()->borderColor == border_) return false;
    border_ = shapeRecord()->borderColor;
    return true;
}

void ShapeItem::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) {
    const Shape& s = *shapeRecord();
    const QRectF r = boundingRect();
    if (s.fillColor != kNoColour) painter->fillRect(r, FromBgr(s.fillColor));
    if (s.borderTwips > 0) {
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(QPen(FromBgr(s.borderColor), s.borderTwips));
        painter->setBrush(Qt::NoBrush);
        const qreal half = s.borderTwips / 2.0;
        painter->drawRoundedRect(r.adjusted(half, half, -half, -half), 60, 60);
    }
}

// ---- TextBoxItem ----

TextBoxItem::TextBoxItem(TextBox* box, QGraphicsItem* parent)
    : ControlItem(box, parent), proxy_(new QGraphicsProxyWidget(this)), edit_(new QLineEdit) {
    QFont font;
    font.setPixelSize(200);
    edit_->setFont(font);
    edit_->setFixedSize(box->width, box->height);
    proxy_->setWidget(edit_);
    QObject::connect(edit_, &QLineEdit::textEdited,
                     [this](const QString& text) { this->box()->text = text.toStdString(); });
}

bool TextBoxItem::ContentChanged() {
    const TextBox& b = *box();
    if (edit_->text().toStdString() != b.text) edit_->setText(QString::fromStdString(b.text));
    if (b.focusRequests != focusRequests_) {
        focusRequests_ = b.focusRequests;
        proxy_->setFocus();
        edit_->setFocus();
        edit_->selectAll();
    }
    return false;
}

}  // namespace cardovia::qt
