#include "ui/qt/AboutBox.h"
#include "ui/qt/Windows.h"

#include <QFile>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QPushButton>
#include <QRadialGradient>
#include <QSysInfo>
#include <QVBoxLayout>

namespace cardovia::qt {

namespace {

// The about box once built; it lives, hidden between showings, until the
// window it belongs to goes.
QPointer<AboutBox> theBox;

constexpr int kLogoPixels = 112;
constexpr qreal kTitleScale = 2.2;

// A value of an os-release line without its quotes; inside double quotes a
// backslash takes the next character literally.
QString Unquote(const QString& value) {
    if (value.size() < 2) return value;
    const QChar quote = value.front();
    if ((quote != u'"' && quote != u'\'') || value.back() != quote) return value;
    const QString inner = value.mid(1, value.size() - 2);
    if (quote == u'\'') return inner;
    QString plain;
    for (qsizetype i = 0; i < inner.size(); ++i) {
        if (inner[i] == u'\\' && i + 1 < inner.size()) ++i;
        plain += inner[i];
    }
    return plain;
}

// The logo is drawn on a unit square; the painter is scaled to the target.
constexpr qreal kCardWidth = 0.30;
constexpr qreal kCardHeight = kCardWidth * 96.0 / 71.0;
constexpr qreal kCardCorner = 0.028;
const QPointF kFanPivot(0.5, 0.86);
constexpr qreal kFanReach = 0.64;  // from the pivot to the far end of a fanned card

void PaintBaize(QPainter& painter) {
    QRadialGradient felt(QPointF(0.5, 0.42), 0.75);
    felt.setColorAt(0.0, QColor(0x35, 0x9a, 0x5e));
    felt.setColorAt(1.0, QColor(0x0f, 0x4d, 0x2b));
    painter.setPen(QPen(QColor(0x0a, 0x33, 0x1d), 0.012));
    painter.setBrush(felt);
    painter.drawRoundedRect(QRectF(0.006, 0.006, 0.988, 0.988), 0.16, 0.16);
}

void PaintCardShape(QPainter& painter, const QRectF& card, const QColor& face) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 70));
    painter.drawRoundedRect(card.translated(0.010, 0.012), kCardCorner, kCardCorner);
    painter.setPen(QPen(QColor(0x70, 0x70, 0x70), 0.005));
    painter.setBrush(face);
    painter.drawRoundedRect(card, kCardCorner, kCardCorner);
}

// A card of the fan seen from the back: a coloured panel with a lighter lattice
// inside a white margin.
void PaintCardBack(QPainter& painter, const QRectF& card, const QColor& colour) {
    PaintCardShape(painter, card, Qt::white);
    const QRectF panel = card.adjusted(0.02, 0.02, -0.02, -0.02);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawRoundedRect(panel, kCardCorner / 2, kCardCorner / 2);
    painter.save();
    painter.setClipRect(panel);
    painter.setPen(QPen(colour.lighter(150), 0.006));
    const qreal step = 0.045;
    for (qreal d = -panel.height(); d < panel.width(); d += step) {
        painter.drawLine(QPointF(panel.left() + d, panel.top()),
                         QPointF(panel.left() + d + panel.height(), panel.bottom()));
        painter.drawLine(QPointF(panel.left() + d + panel.height(), panel.top()),
                         QPointF(panel.left() + d, panel.bottom()));
    }
    painter.restore();
}

void PaintDiamond(QPainter& painter, const QPointF& centre, qreal half) {
    const QPointF points[4] = {centre + QPointF(0, -half), centre + QPointF(half * 0.72, 0),
                               centre + QPointF(0, half), centre + QPointF(-half * 0.72, 0)};
    painter.drawPolygon(points, 4);
}

// The front card: a bold C drawn as an open ring, round a small diamond, with a
// diamond in two corners.
void PaintFrontCard(QPainter& painter, const QRectF& card) {
    PaintCardShape(painter, card, QColor(0xfd, 0xfb, 0xf5));
    const QColor red(0xc3, 0x17, 0x2c);
    const QPointF centre = card.center();
    const qreal radius = card.width() * 0.30;
    const QRectF ring(centre.x() - radius, centre.y() - radius, radius * 2, radius * 2);
    QPainterPath c;
    c.arcMoveTo(ring, 48);
    c.arcTo(ring, 48, 264);
    QPen stroke(red, card.width() * 0.17, Qt::SolidLine, Qt::RoundCap);
    painter.setPen(stroke);
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(c);
    painter.setPen(Qt::NoPen);
    painter.setBrush(red);
    PaintDiamond(painter, centre, card.width() * 0.10);
    const qreal pip = card.width() * 0.07;
    PaintDiamond(painter, card.topLeft() + QPointF(pip * 1.6, pip * 1.9), pip);
    PaintDiamond(painter, card.bottomRight() - QPointF(pip * 1.6, pip * 1.9), pip);
}

}  // namespace

QString PlatformName(const QStringList& candidates) {
    for (const QString& path : candidates) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) continue;
        while (!file.atEnd()) {
            const QString line = QString::fromUtf8(file.readLine()).trimmed();
            static const QString key = QStringLiteral("PRETTY_NAME=");
            if (!line.startsWith(key)) continue;
            const QString name = Unquote(line.mid(key.size())).trimmed();
            if (!name.isEmpty()) return name;
        }
    }
#ifdef Q_OS_LINUX
    return QStringLiteral("Linux");
#else
    return QSysInfo::prettyProductName();
#endif
}

void PaintLogo(QPainter& painter, const QRectF& target) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(target.topLeft());
    painter.scale(target.width(), target.height());
    PaintBaize(painter);

    // Four backs fanned out behind the front card, alternately blue and red.
    const QRectF fanned(-kCardWidth / 2, -kFanReach, kCardWidth, kCardHeight);
    const qreal angles[4] = {-42, -21, 21, 42};
    const QColor backs[4] = {QColor(0x1d, 0x3f, 0x8f), QColor(0x9b, 0x1b, 0x30),
                             QColor(0x9b, 0x1b, 0x30), QColor(0x1d, 0x3f, 0x8f)};
    for (int i = 0; i < 4; ++i) {
        painter.save();
        painter.translate(kFanPivot);
        painter.rotate(angles[i]);
        PaintCardBack(painter, fanned, backs[i]);
        painter.restore();
    }
    const QRectF front(0.5 - kCardWidth * 0.56, kFanPivot.y() - kFanReach - 0.02, kCardWidth * 1.12,
                       kCardHeight * 1.12);
    PaintFrontCard(painter, front);
    painter.restore();
}

LogoPicture::LogoPicture(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("imgLogo"));
    setFixedSize(kLogoPixels, kLogoPixels);
}

QSize LogoPicture::sizeHint() const {
    return QSize(kLogoPixels, kLogoPixels);
}

void LogoPicture::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    PaintLogo(painter, QRectF(rect()));
}

AboutBox::AboutBox(QWidget* parent)
    : QDialog(parent),
      productName_(new QLabel(QString::fromLatin1(kProductName))),
      version_(new QLabel(QString::fromLatin1(kVersionText))),
      platform_(new QLabel(PlatformName())),
      ok_(new QPushButton(QStringLiteral("&O.K"))) {
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(QStringLiteral("About %1").arg(QString::fromLatin1(kProductName)));

    auto* frame = new QFrame;
    frame->setObjectName(QStringLiteral("Frame1"));
    frame->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);

    productName_->setObjectName(QStringLiteral("lblProductName"));
    QFont titleFont = productName_->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * kTitleScale);
    titleFont.setBold(true);
    productName_->setFont(titleFont);
    version_->setObjectName(QStringLiteral("lblVersion"));
    platform_->setObjectName(QStringLiteral("lblPlatform"));
    platform_->setForegroundRole(QPalette::PlaceholderText);
    ok_->setObjectName(QStringLiteral("CmdOK"));
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &QWidget::hide);

    auto* texts = new QVBoxLayout;
    texts->addStretch();
    texts->addWidget(productName_);
    texts->addWidget(version_);
    texts->addSpacing(6);
    texts->addWidget(platform_);
    texts->addStretch();

    auto* content = new QHBoxLayout(frame);
    content->setContentsMargins(18, 16, 28, 16);
    content->setSpacing(20);
    content->addWidget(new LogoPicture);
    content->addLayout(texts);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok_);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(10, 10, 10, 10);
    outer->addWidget(frame);
    outer->addLayout(buttons);
    outer->setSizeConstraint(QLayout::SetFixedSize);
}

AboutBox* AboutBox::Open(QWidget* parent) {
    if (!theBox) {
        theBox = new AboutBox(parent);
        theBox->exec();
        return theBox;
    }
    return BringToFront(theBox.data());
}

AboutBox* AboutBox::Current() {
    return theBox;
}

}  // namespace cardovia::qt
