#include "ui/qt/MessageDialog.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QRadialGradient>
#include <QScreen>

#include <algorithm>

namespace cardovia::qt {

namespace {

// The dialog is laid out in twips and shown at 15 twips a pixel; Qt's logical
// pixels then carry it onto high-density screens.
constexpr int kTwipsPerPixel = 15;

constexpr int kWindowWidth = 4500;
constexpr int kHeightBesideMessage = 1140;  // title strip, margins and the button row
constexpr int kBorderInset = 15;
constexpr int kTitleLeft = 45;
constexpr int kTitleTop = 60;
constexpr int kTitleHeight = 300;
constexpr int kMessageLeft = 90;
constexpr int kMessageTop = 450;
constexpr int kMessageWidth = 3375;
constexpr int kPictureLeft = 3900;
constexpr int kPictureSize = 510;
constexpr int kButtonWidth = 1275;
constexpr int kButtonHeight = 300;
constexpr int kButtonsAboveBottom = 90;
constexpr int kPairHalfGap = 23;  // two buttons: each stands this far from the centre
constexpr int kTrioGap = 45;      // three buttons: the space between neighbours

// The pictures are drawn on a 32-unit square, centred in their box.
constexpr qreal kArtUnits = 32;

constexpr int kTextPixels = 12;  // 9 points at 96 dots an inch

const QColor kBackground(0, 0, 255);
const QColor kTitleBack(0, 0, 64);
const QColor kTitleText(255, 255, 255);
const QColor kMessageText(128, 255, 255);
const QColor kLight(240, 240, 240);
const QColor kDark(128, 128, 128);
const QColor kFace(212, 208, 200);  // the same grey as the buttons on the table
const QColor kCaptionText(0, 0, 0);
// The keyboard's place on a face: a dotted black ring this many pixels inside
// its edge, between the bevel and the caption (descenders included).
const QColor kFocusRing(0, 0, 0);
constexpr int kRingInset = 2;

int Px(int twips) {
    return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel;
}

// Sides are converted one by one rather than edge by edge, so the three
// buttons always come out the same size.
QRect ToPixels(const QRect& twips) {
    return QRect(Px(twips.x()), Px(twips.y()), Px(twips.width()), Px(twips.height()));
}

QFont DialogFont(bool bold) {
    QFont font = QApplication::font();
    font.setPixelSize(kTextPixels);
    font.setBold(bold);
    return font;
}

// A raised (or, while pressed, sunken) edge one pixel wide around `r`: light
// along the top and left, dark along the bottom and right, swapped when sunken.
// Filled rectangles rather than lines, so the edge stays crisp at any scale.
void BevelEdges(QPainter& p, const QRect& r, bool sunken) {
    const QColor& topLeft = sunken ? kDark : kLight;
    const QColor& bottomRight = sunken ? kLight : kDark;
    p.fillRect(QRect(r.left(), r.top(), r.width(), 1), topLeft);
    p.fillRect(QRect(r.left(), r.top(), 1, r.height()), topLeft);
    p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), bottomRight);
    p.fillRect(QRect(r.right(), r.top(), 1, r.height()), bottomRight);
}

// ---- the three pictures, drawn on the 32-unit square ----

QPainterPath Heart(QPointF centre, qreal size) {
    const qreal h = size / 2;
    QPainterPath path;
    path.moveTo(centre.x(), centre.y() + h);
    path.cubicTo(centre.x() - size, centre.y() - h * 0.2, centre.x() - h * 0.6,
                 centre.y() - h * 1.4, centre.x(), centre.y() - h * 0.45);
    path.cubicTo(centre.x() + h * 0.6, centre.y() - h * 1.4, centre.x() + size,
                 centre.y() - h * 0.2, centre.x(), centre.y() + h);
    return path;
}

// A small court card: a crowned king in a red robe, with a heart pip in two
// corners. Results and good news show it.
void PaintCourtCard(QPainter& p) {
    const QRectF card(5.5, 0.5, 21, 31);
    p.setPen(QPen(QColor(40, 40, 40), 1));
    p.setBrush(QColor(255, 255, 248));
    p.drawRoundedRect(card, 2.5, 2.5);

    const QColor pip(200, 16, 32);
    p.setPen(Qt::NoPen);
    p.setBrush(pip);
    p.drawPath(Heart(QPointF(8.6, 4.0), 3.4));
    p.drawPath(Heart(QPointF(23.4, 28.0), 3.4));

    // The robe first, so the collar and the face sit on top of it.
    QPainterPath robe;
    robe.moveTo(8.5, 29.5);
    robe.lineTo(10.0, 19.5);
    robe.quadTo(16.0, 15.5, 22.0, 19.5);
    robe.lineTo(23.5, 29.5);
    robe.closeSubpath();
    p.setPen(QPen(QColor(110, 0, 10), 0.7));
    p.setBrush(QColor(196, 20, 36));
    p.drawPath(robe);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(236, 184, 40));
    p.drawRect(QRectF(15.0, 19.0, 2.0, 10.5));  // the gold band down the front
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(10.8, 17.3, 10.4, 2.6), 1.2, 1.2);  // ermine collar
    p.setBrush(Qt::black);
    for (const qreal x : {12.6, 16.0, 19.4}) p.drawEllipse(QPointF(x, 18.6), 0.45, 0.45);

    // Beard, then the face above it.
    QPainterPath beard;
    beard.moveTo(12.6, 12.6);
    beard.lineTo(19.4, 12.6);
    beard.quadTo(19.0, 16.4, 16.0, 17.6);
    beard.quadTo(13.0, 16.4, 12.6, 12.6);
    p.setBrush(QColor(120, 72, 30));
    p.drawPath(beard);
    p.setPen(QPen(QColor(150, 100, 60), 0.5));
    p.setBrush(QColor(250, 212, 172));
    p.drawEllipse(QPointF(16.0, 12.2), 3.3, 3.1);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 30, 30));
    p.drawEllipse(QPointF(14.8, 11.8), 0.45, 0.45);
    p.drawEllipse(QPointF(17.2, 11.8), 0.45, 0.45);

    QPolygonF crown;
    crown << QPointF(11.6, 9.6) << QPointF(11.0, 4.6) << QPointF(13.6, 7.0) << QPointF(16.0, 3.2)
          << QPointF(18.4, 7.0) << QPointF(21.0, 4.6) << QPointF(20.4, 9.6);
    p.setPen(QPen(QColor(140, 96, 0), 0.6));
    p.setBrush(QColor(248, 200, 32));
    p.drawPolygon(crown);
    p.setPen(Qt::NoPen);
    p.setBrush(pip);
    p.drawEllipse(QPointF(16.0, 7.9), 0.9, 0.9);
}

// A shaded disc with a thin light ring, so that even the dark blue one stands
// out against the dialog's blue.
void PaintDisc(QPainter& p, const QColor& base, const QColor& highlight) {
    QRadialGradient shade(QPointF(16, 16), 15, QPointF(11.5, 10.5));
    shade.setColorAt(0, highlight);
    shade.setColorAt(1, base);
    p.setPen(QPen(QColor(255, 255, 255, 210), 1.2));
    p.setBrush(shade);
    p.drawEllipse(QPointF(16, 16), 14.6, 14.6);
}

// Serious questions and bad news: a green disc with a question mark.
void PaintQuestion(QPainter& p) {
    PaintDisc(p, QColor(0, 120, 0), QColor(70, 200, 70));
    QPainterPath hook;
    hook.moveTo(11.6, 12.2);
    hook.cubicTo(11.6, 7.0, 20.6, 6.6, 20.6, 11.6);
    hook.cubicTo(20.6, 15.2, 16.0, 15.4, 16.0, 19.2);
    p.setPen(QPen(Qt::white, 3.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(hook);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(16.0, 23.8), 2.0, 2.0);
}

// Questions and notices: a dark blue disc with a letter i.
void PaintNotice(QPainter& p) {
    PaintDisc(p, QColor(0, 0, 110), QColor(60, 70, 190));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(16.0, 8.8), 2.3, 2.3);
    QPainterPath stem;
    stem.addRect(QRectF(14.2, 13.0, 3.6, 10.4));
    stem.addRect(QRectF(12.6, 13.0, 2.0, 1.6));  // the serif on the left at the top
    stem.addRect(QRectF(12.4, 22.2, 7.2, 1.8));  // and the foot
    stem.setFillRule(Qt::WindingFill);
    p.drawPath(stem);
}

// How a screen reader sees a button face: a push button named by its caption,
// whose press answers the message exactly as a click does.
class FaceAccessible : public QAccessibleWidget {
  public:
    explicit FaceAccessible(DialogButtonFace* face)
        : QAccessibleWidget(face, QAccessible::PushButton) {}

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.pressed = Face()->isDown();
        return state;
    }
    QStringList actionNames() const override {
        return QStringList(pressAction()) + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override {
        if (action == pressAction()) {
            Face()->click();
        } else {
            QAccessibleWidget::doAction(action);
        }
    }
    QStringList keyBindingsForAction(const QString& action) const override {
        if (action == pressAction() && !Face()->Mnemonic().isEmpty())
            return {Face()->Mnemonic().toString(QKeySequence::NativeText)};
        return QAccessibleWidget::keyBindingsForAction(action);
    }

  private:
    DialogButtonFace* Face() const { return static_cast<DialogButtonFace*>(widget()); }
};

// The dialog is an alert rather than a plain dialog, so that a reader speaks
// the message as soon as it appears, before the focused button.
QAccessibleInterface* AccessibleFor(const QString& className, QObject* object) {
    if (className == QLatin1String(MessageDialog::staticMetaObject.className()))
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::AlertMessage);
    if (className == QLatin1String(DialogButtonFace::staticMetaObject.className()))
        return new FaceAccessible(static_cast<DialogButtonFace*>(object));
    return nullptr;
}

}  // namespace

MessageDialogLayout LayOutMessageDialog(int messageHeight, const std::array<bool, 3>& captioned) {
    MessageDialogLayout layout;
    const int width = kWindowWidth;
    const int height = messageHeight + kHeightBesideMessage;
    layout.window = QSize(width, height);
    layout.title = QRect(kTitleLeft, kTitleTop, width - 2 * kTitleLeft, kTitleHeight);
    layout.message = QRect(kMessageLeft, kMessageTop, kMessageWidth, messageHeight);
    layout.picture = QRect(kPictureLeft, (height - kPictureSize) / 2, kPictureSize, kPictureSize);

    const int top = height - kButtonsAboveBottom - kButtonHeight;
    const int centred = (width - kButtonWidth) / 2;
    std::array<int, 3> left = {centred, centred, centred};
    // A third caption spreads the row even when the second is missing, so that
    // button 2 never lands on button 0.
    if (captioned[2]) {
        left[0] = centred - kTrioGap - kButtonWidth;
        left[2] = centred + kButtonWidth + kTrioGap;
    } else if (captioned[1]) {
        left[0] = width / 2 - kPairHalfGap - kButtonWidth;
        left[1] = width / 2 + kPairHalfGap;
    }
    for (int i = 0; i < 3; ++i) {
        layout.buttons[i] = QRect(left[i], top, kButtonWidth, kButtonHeight);
        // Button 0 is always there, so there is always a way out.
        layout.shown[i] = i == 0 || captioned[i];
    }
    return layout;
}

QString DisplayedCaption(const std::string& caption) {
    const QString text = QString::fromStdString(caption);
    QString shown;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && ++i == text.size()) break;
        shown += text[i];
    }
    return shown;
}

void PaintDialogPicture(QPainter& painter, const QRectF& target, int kind) {
    if (kind < 1 || kind > 3) return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(target.topLeft());
    painter.scale(target.width() / kArtUnits, target.height() / kArtUnits);
    if (kind == 1) PaintCourtCard(painter);
    if (kind == 2) PaintQuestion(painter);
    if (kind == 3) PaintNotice(painter);
    painter.restore();
}

// ---- DialogButtonFace ----

DialogButtonFace::DialogButtonFace(QWidget* parent) : QAbstractButton(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setFont(DialogFont(false));
}

void DialogButtonFace::SetCaption(const std::string& caption) {
    caption_ = DisplayedCaption(caption);
    // Not a shortcut of Qt's own: that one would click a moment later, after
    // the message could already have been answered otherwise.
    mnemonic_ = QKeySequence::mnemonic(QString::fromStdString(caption));
    setAccessibleName(caption_);
    update();
}

void DialogButtonFace::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Up:
        case Qt::Key_Down:
            // Left to the dialog, which knows which faces are shown.
            event->ignore();
            return;
        default:
            QAbstractButton::keyPressEvent(event);
    }
}

void DialogButtonFace::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect face = rect();
    const bool sunken = isDown();
    p.fillRect(face, kFace);
    BevelEdges(p, face, sunken);
    // The caption fills the face less the edge; pressed, it moves with the face.
    QRect caption = face.adjusted(1, 1, -1, -1);
    if (sunken) caption.translate(1, 1);
    p.setPen(kCaptionText);
    p.drawText(caption, Qt::AlignCenter | Qt::TextSingleLine, caption_);
    if (hasFocus()) {
        // The ring stays put while the face sinks: moved, it would touch the edge.
        const QRect ring = face.adjusted(kRingInset, kRingInset, -kRingInset - 1, -kRingInset - 1);
        p.setPen(QPen(kFocusRing, 1, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(ring);
    }
}

// ---- MessageDialog ----

MessageDialog::MessageDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint),
      title_(new QLabel(this)),
      message_(new QLabel(this)) {
    setModal(true);
    static const bool accessible = [] {
        QAccessible::installFactory(AccessibleFor);
        return true;
    }();
    (void)accessible;

    title_->setTextFormat(Qt::PlainText);
    title_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    title_->setFont(DialogFont(true));
    title_->setAutoFillBackground(true);
    QPalette titleColours = title_->palette();
    titleColours.setColor(QPalette::Window, kTitleBack);
    titleColours.setColor(QPalette::WindowText, kTitleText);
    title_->setPalette(titleColours);

    message_->setTextFormat(Qt::PlainText);
    message_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    message_->setWordWrap(true);
    message_->setFont(DialogFont(false));
    QPalette messageColours = message_->palette();
    messageColours.setColor(QPalette::WindowText, kMessageText);
    message_->setPalette(messageColours);

    for (int i = 0; i < 3; ++i) {
        buttons_[i] = new DialogButtonFace(this);
        connect(buttons_[i], &QAbstractButton::clicked, this, [this, i] { Answer(i); });
    }
    Prepare(DialogRequest{});
}

int MessageDialog::MessageHeightTwips() const {
    // Like a label that sizes itself: the wrapped text's height, and never
    // less than one line, so an empty message keeps the window's proportions.
    const int pixels =
        std::max(message_->heightForWidth(Px(kMessageWidth)), message_->fontMetrics().height());
    return pixels * kTwipsPerPixel;
}

void MessageDialog::Prepare(const DialogRequest& request) {
    // The game breaks its lines the old way, with a carriage return first.
    QString text = QString::fromStdString(request.message);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(u'\r', u'\n');
    message_->setText(text);

    const std::array<const std::string*, 3> captions = {&request.caption0, &request.caption1,
                                                        &request.caption2};
    std::array<bool, 3> captioned{};
    for (int i = 0; i < 3; ++i) captioned[i] = !captions[i]->empty();
    layout_ = LayOutMessageDialog(MessageHeightTwips(), captioned);

    setFixedSize(Px(layout_.window.width()), Px(layout_.window.height()));
    const QString title = QString::fromStdString(request.title);
    title_->setGeometry(ToPixels(layout_.title));
    title_->setText(QStringLiteral("   ") + title);
    message_->setGeometry(ToPixels(layout_.message));
    // A reader says "alert", the title, the message label and the focused
    // button. The strip is named by the bare title so that Orca knows it for
    // the alert's own name and does not say it twice; the message is not
    // repeated as a description either, which Orca would speak a second time.
    setWindowTitle(title.trimmed());
    setAccessibleName(title.trimmed());
    title_->setAccessibleName(title.trimmed());
    for (int i = 0; i < 3; ++i) {
        buttons_[i]->setDown(false);
        buttons_[i]->SetCaption(*captions[i]);
        buttons_[i]->setGeometry(ToPixels(layout_.buttons[i]));
        buttons_[i]->setVisible(layout_.shown[i]);
    }
    // Every message opens on its first button, wherever the last one was left.
    buttons_[0]->setFocus(Qt::OtherFocusReason);
    picture_ = request.picture;
    CentreOnScreen();
    update();
}

void MessageDialog::CentreOnScreen() {
    QScreen* screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    QRect frame(QPoint(0, 0), size());
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}

i16 MessageDialog::Run(const DialogRequest& request) {
    Prepare(request);
    QApplication::beep();
    // The table window (and this dialog with it) may be destroyed while the
    // player is still looking at the message.
    const QPointer<MessageDialog> alive(this);
    running_ = true;
    const int clicked = exec();
    if (!alive) return 0;
    running_ = false;
    hide();
    return static_cast<i16>(clicked);
}

i16 MessageDialog::RunShared(QWidget* parent, const DialogRequest& request) {
    static QPointer<MessageDialog> shared;
    if (!shared) {
        shared = new MessageDialog(parent);
        // A window must not outlive the application object, parent or not.
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, qApp, [] { delete shared.data(); });
    }
    if (shared->running_) {
        // A message asked while another still waits for its answer (from a
        // timer of the table) gets a window of its own on top of the first.
        MessageDialog nested(parent);
        const i16 answer = nested.Run(request);
        // The keyboard goes back to the message still waiting, whichever
        // window the system would have woken instead.
        if (shared && shared->isVisible()) shared->activateWindow();
        return answer;
    }
    // Kept with the table window the game runs in now, so that it stays above
    // that window and goes with it.
    if (shared->parentWidget() != parent) shared->setParent(parent, shared->windowFlags());
    return shared->Run(request);
}

QRect MessageDialog::PictureRect() const {
    return ToPixels(layout_.picture);
}

int MessageDialog::SafeButton() const {
    for (int i = 2; i > 0; --i) {
        if (layout_.shown[i]) return i;
    }
    return 0;
}

bool MessageDialog::EscapeIsSafe() const {
    // A notice ends the same way whatever closes it; a question's last answer
    // is the cautious one only when it says so ("No Cancel"). Game Over's
    // "Exit" ends the program, so Escape leaves that choice to the player.
    const int last = SafeButton();
    if (last == 0) return true;
    const QString& caption = buttons_[last]->Caption();
    return caption.contains(QLatin1String("No")) || caption.contains(QLatin1String("Cancel"));
}

void MessageDialog::reject() {
    // A close request answers like Escape rather than being refused: the
    // player asked to be rid of the box, and its cautious answer does that.
    Answer(SafeButton());
}

void MessageDialog::Answer(int button) {
    // A press that arrives once the message is gone (a reader's late action)
    // must not answer the next message; a hidden face has nothing to answer.
    if (!isVisible() || !layout_.shown[button]) return;
    done(button);
}

int MessageDialog::FocusedButton() const {
    for (int i = 0; i < 3; ++i) {
        if (focusWidget() == buttons_[i]) return i;
    }
    return -1;
}

void MessageDialog::MoveFocus(int step) {
    int button = FocusedButton();
    if (button < 0) {
        buttons_[0]->setFocus(Qt::TabFocusReason);
        return;
    }
    // Button 0 is always shown, so the walk always ends.
    do {
        button = (button + step + 3) % 3;
    } while (!layout_.shown[button]);
    buttons_[button]->setFocus(step > 0 ? Qt::TabFocusReason : Qt::BacktabFocusReason);
}

bool MessageDialog::focusNextPrevChild(bool next) {
    MoveFocus(next ? 1 : -1);
    return true;
}

void MessageDialog::keyPressEvent(QKeyEvent* event) {
    // Every key stops here: the dialog has no default button of Qt's own.
    event->accept();
    // A key held down since before the message opened repeats into it; the
    // player has not heard the message yet, so a repeat answers nothing.
    const bool held = event->isAutoRepeat();
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (!held && FocusedButton() >= 0) Answer(FocusedButton());
            return;
        case Qt::Key_Escape:
            if (!held && EscapeIsSafe()) reject();
            return;
        case Qt::Key_F4:
            // Alt+F4 reaches us only when no window manager took it first.
            if (!held && event->modifiers() == Qt::AltModifier) reject();
            return;
        case Qt::Key_Left:
        case Qt::Key_Up:
            MoveFocus(-1);
            return;
        case Qt::Key_Right:
        case Qt::Key_Down:
            MoveFocus(1);
            return;
        default:
            break;
    }
    // The marked letter answers alone or with Alt, as in any message box.
    if (held || (event->modifiers() & ~(Qt::AltModifier | Qt::ShiftModifier))) return;
    for (int i = 0; i < 3; ++i) {
        const QKeySequence& mnemonic = buttons_[i]->Mnemonic();
        if (layout_.shown[i] && !mnemonic.isEmpty() && mnemonic[0].key() == event->key()) {
            Answer(i);
            return;
        }
    }
}

void MessageDialog::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), kBackground);

    // Our own raised border: a light rectangle one pixel in, and a dark line
    // along the outer bottom and right edges.
    const int inset = Px(kBorderInset);
    const QRect inner = rect().adjusted(inset, inset, -inset, -inset);
    p.fillRect(QRect(inner.left(), inner.top(), inner.width(), 1), kLight);
    p.fillRect(QRect(inner.left(), inner.top(), 1, inner.height()), kLight);
    p.fillRect(QRect(inner.left(), inner.bottom(), inner.width(), 1), kLight);
    p.fillRect(QRect(inner.right(), inner.top(), 1, inner.height()), kLight);
    p.fillRect(QRect(0, height() - 1, width(), 1), kDark);
    p.fillRect(QRect(width() - 1, 0, 1, height()), kDark);

    const QRectF box = PictureRect();
    const qreal margin = (box.width() - kArtUnits) / 2;
    PaintDialogPicture(p, box.adjusted(margin, margin, -margin, -margin), picture_);
}

}  // namespace cardovia::qt
