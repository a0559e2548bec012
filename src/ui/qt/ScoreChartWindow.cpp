#include "ui/qt/ScoreChartWindow.h"
#include "ui/qt/Windows.h"

#include "model/GameRecord.h"
#include "model/Settings.h"

#include <QFontMetrics>
#include <QKeySequence>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QShortcut>

#include <algorithm>
#include <cmath>
#include <vector>

namespace cardovia::qt {

namespace {

QPointer<ScoreChartWindow> open;

const QSize kSmallestSize(520, 360);
const QSize kFirstSize(680, 440);
constexpr int kPad = 10;
constexpr int kTickLength = 5;
constexpr double kMarkerRadius = 3.5;

const QColor kAxisColour(60, 60, 60);
const QColor kGridColour(225, 225, 225);
const QColor kZeroColour(160, 160, 160);
const QColor kTargetColour(90, 120, 60);
const QColor kNoteColour(110, 110, 110);

// A round step of at least `raw`: 1, 2 or 5 (or 2.5 above ten) times a power of ten.
int RoundStep(double raw) {
    if (raw <= 1) return 1;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 2.5, 5.0, 10.0}) {
        const double step = m * power;
        if (step >= raw && std::floor(step) == step) return static_cast<int>(step);
    }
    return static_cast<int>(10 * power);
}

struct Scale {
    int low = 0;
    int high = 0;
    int step = 1;
};

// Round ticks covering min(0, lowest total) to max(target, highest total), about
// one every `spacing` pixels of `pixels`.
Scale PointsScale(const std::vector<HandTotals>& totals, int target, int pixels, int spacing) {
    int low = 0;
    int high = std::max(target, 1);
    for (const HandTotals& t : totals) {
        low = std::min({low, t.player, t.thaddock});
        high = std::max({high, t.player, t.thaddock});
    }
    const int ticks = std::max(2, pixels / std::max(spacing, 1));
    Scale scale;
    scale.step = RoundStep(double(high - low) / ticks);
    scale.low = static_cast<int>(std::floor(double(low) / scale.step)) * scale.step;
    scale.high = static_cast<int>(std::ceil(double(high) / scale.step)) * scale.step;
    return scale;
}

// Every `step` hands, so that the hand numbers under the axis do not run together.
int HandStep(int hands, int pixels, int labelWidth) {
    if (hands <= 0) return 1;
    const double perHand = double(pixels) / hands;
    for (int power = 1;; power *= 10) {
        for (int m : {1, 2, 5}) {
            if (m * power * perHand >= labelWidth || m * power >= hands) return m * power;
        }
    }
}

// A square of half-side `half`, or a circle of about the same area.
void DrawMarker(QPainter& p, QPointF at, bool square, double half = kMarkerRadius) {
    if (square) {
        p.drawRect(QRectF(at.x() - half, at.y() - half, 2 * half, 2 * half));
    } else {
        p.drawEllipse(at, half + 0.5, half + 0.5);
    }
}

// A legend entry: a short stretch of line with its marker, then the text.
int DrawKey(QPainter& p, int x, int midY, const QColor& colour, bool square, const QString& text) {
    p.setPen(QPen(colour, 2));
    p.setBrush(colour);
    p.drawLine(x, midY, x + 22, midY);
    DrawMarker(p, QPointF(x + 11, midY), square);
    const QFontMetrics fm = p.fontMetrics();
    p.setPen(kAxisColour);
    p.drawText(QPoint(x + 28, midY + (fm.ascent() - fm.descent()) / 2), text);
    return 28 + fm.horizontalAdvance(text);
}

QString Summary() {
    const int hands = static_cast<int>(GameTotals.size());
    QString text = QStringLiteral("Score chart, %1 hand%2").arg(hands).arg(hands == 1 ? "" : "s");
    if (hands > 0) {
        text += QStringLiteral(": you %1, Thaddock %2")
                    .arg(GameTotals.back().player)
                    .arg(GameTotals.back().thaddock);
    }
    return text + QStringLiteral(", target %1").arg(GameTotalsTarget);
}

QString EachHand() {
    if (GameTotals.empty()) return QStringLiteral("No hands finished yet.");
    QStringList hands;
    for (std::size_t i = 0; i < GameTotals.size(); ++i) {
        hands << QStringLiteral("Hand %1: you %2, Thaddock %3.")
                     .arg(i + 1)
                     .arg(GameTotals[i].player)
                     .arg(GameTotals[i].thaddock);
    }
    return hands.join(' ');
}

}  // namespace

ScoreChartWindow::ScoreChartWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("frmScoreChart"));
    setWindowTitle(QStringLiteral("Score Chart"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_QuitOnClose, false);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);
    setMinimumSize(kSmallestSize);
    resize(kFirstSize);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
    Refresh();
}

void ScoreChartWindow::Refresh() {
    version_ = GameTotalsVersion;
    setAccessibleName(Summary());
    setAccessibleDescription(EachHand());
    update();
}

ScoreChartWindow* ScoreChartWindow::Open() {
    if (!open) open = new ScoreChartWindow;
    if (open->version_ != GameTotalsVersion) open->Refresh();
    return BringToFront(open.data());
}

ScoreChartWindow* ScoreChartWindow::Current() {
    return open;
}

void ScoreChartWindow::CloseIfOpen() {
    if (open) open->close();
}

void ScoreChartWindow::FollowGame() {
    if (open && open->version_ != GameTotalsVersion) open->Refresh();
}

void ScoreChartWindow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QFontMetrics fm = p.fontMetrics();
    const int line = fm.height();
    const int hands = static_cast<int>(GameTotals.size());
    const int target = GameTotalsTarget;

    // The plot's box: the legend above it, the hand numbers and "Hand" below,
    // "Points" and the point values to its left.
    const int top = kPad + line + kPad + 4;
    const int bottom = height() - (kPad + line + 4 + line + kTickLength);
    const Scale scale = PointsScale(GameTotals, target, bottom - top, 3 * line);
    int valueWidth = 0;
    for (int v = scale.low; v <= scale.high; v += scale.step) {
        valueWidth = std::max(valueWidth, fm.horizontalAdvance(QString::number(v)));
    }
    const int left = kPad + line + 6 + valueWidth + 6 + kTickLength;
    const int handWidth = fm.horizontalAdvance(QString::number(std::max(hands, 1)));
    const int right = width() - std::max(2 * kPad, handWidth / 2 + kPad);
    const QRect plot(QPoint(left, top), QPoint(right, bottom));

    const double span = double(scale.high - scale.low);
    auto yOf = [&](int points) {
        return plot.bottom() - (points - scale.low) * plot.height() / span;
    };
    auto xOf = [&](int hand) {
        return plot.left() + double(hand) * plot.width() / std::max(hands, 1);
    };

    // Point values, with a faint line across at each.
    for (int v = scale.low; v <= scale.high; v += scale.step) {
        const double y = yOf(v);
        p.setPen(QPen(v == 0 ? kZeroColour : kGridColour, 1));
        if (v != scale.low) p.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        p.setPen(kAxisColour);
        p.drawLine(QPointF(plot.left() - kTickLength, y), QPointF(plot.left(), y));
        const QRectF label(plot.left() - kTickLength - 4 - valueWidth, y - line / 2.0, valueWidth,
                           line);
        p.drawText(label, Qt::AlignRight | Qt::AlignVCenter, QString::number(v));
    }
    // Hand numbers.
    const int every = HandStep(hands, plot.width(), handWidth + 2 * line);
    for (int h = every; h <= hands; h += every) {
        const double x = xOf(h);
        p.setPen(kAxisColour);
        p.drawLine(QPointF(x, plot.bottom()), QPointF(x, plot.bottom() + kTickLength));
        p.drawText(QRectF(x - 40, plot.bottom() + kTickLength + 2, 80, line), Qt::AlignCenter,
                   QString::number(h));
    }
    // The axes and their titles.
    p.setPen(QPen(kAxisColour, 1));
    p.drawLine(plot.bottomLeft(), plot.bottomRight());
    p.drawLine(plot.bottomLeft(), plot.topLeft());
    p.drawText(QRect(plot.left(), height() - kPad - line, plot.width(), line), Qt::AlignCenter,
               QStringLiteral("Hand"));
    p.save();
    p.translate(kPad, plot.center().y());
    p.rotate(-90);
    p.drawText(QRect(-plot.height() / 2, 0, plot.height(), line), Qt::AlignCenter,
               QStringLiteral("Points"));
    p.restore();

    // The target, dashed, named above the line at its left end (below it when
    // it runs along the top of the plot).
    const double targetY = yOf(target);
    p.setPen(QPen(kTargetColour, 1.5, Qt::DashLine));
    p.drawLine(QPointF(plot.left(), targetY), QPointF(plot.right(), targetY));
    const QString targetText = QStringLiteral("Target %1").arg(target);
    const bool above = targetY - plot.top() >= line + 2;
    const QRectF targetLabel(plot.left() + 6, above ? targetY - line - 1 : targetY + 2,
                             fm.horizontalAdvance(targetText) + 4, line);
    p.fillRect(targetLabel, QColor(255, 255, 255, 200));
    p.setPen(kTargetColour);
    p.drawText(targetLabel, Qt::AlignCenter, targetText);

    // The two totals from the start of the game (nought each) hand by hand,
    // Thaddock's first so that the player's lies on top where they meet.
    // Smaller markers when the hands are close together, so that they stay apart.
    const double marker = std::clamp(plot.width() / std::max(hands, 1) / 4.0, 2.0, kMarkerRadius);
    auto drawTotals = [&](const QColor& colour, bool square, auto pick) {
        QPainterPath path(QPointF(xOf(0), yOf(0)));
        for (int h = 1; h <= hands; ++h) path.lineTo(xOf(h), yOf(pick(GameTotals[h - 1])));
        p.setPen(QPen(colour, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
        p.setPen(QPen(colour, 1));
        p.setBrush(colour);
        for (int h = 1; h <= hands; ++h) {
            DrawMarker(p, QPointF(xOf(h), yOf(pick(GameTotals[h - 1]))), square, marker);
        }
    };
    if (hands > 0) {
        drawTotals(kThaddockLineColour, true, [](const HandTotals& t) { return t.thaddock; });
        drawTotals(kPlayerLineColour, false, [](const HandTotals& t) { return t.player; });
    } else {
        p.setPen(kNoteColour);
        p.drawText(plot, Qt::AlignCenter, QStringLiteral("No hands finished yet"));
    }

    // The legend, at the top right, with the latest totals.
    const int midY = kPad + line / 2;
    const QString you =
        fm.elidedText(QString::fromStdString(PlayerName), Qt::ElideRight, 12 * line);
    QString youText = you, thaddockText = QStringLiteral("Thaddock");
    if (hands > 0) {
        youText += QStringLiteral(" %1").arg(GameTotals.back().player);
        thaddockText += QStringLiteral(" %1").arg(GameTotals.back().thaddock);
    }
    const int keysWidth =
        28 + fm.horizontalAdvance(youText) + 2 * line + 28 + fm.horizontalAdvance(thaddockText);
    int x = std::max(plot.left(), plot.right() - keysWidth);
    x += DrawKey(p, x, midY, kPlayerLineColour, false, youText) + 2 * line;
    DrawKey(p, x, midY, kThaddockLineColour, true, thaddockText);
}

}  // namespace cardovia::qt
