// Renders every card picture onto one sheet, so the whole deck's artwork can be checked by eye.
// Usage: cardsheet OUT.png [scale]

#include "ui/qt/CardArt.h"

#include <QColor>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QTextStream>

#include <cmath>

namespace {

constexpr int kColumns = 11;
constexpr int kImageCount = cardovia::qt::kRedBackImage;
constexpr int kCardWidth = 71;
constexpr int kCardHeight = 96;
constexpr int kGap = 8;
const QColor kTableGreen{0x0a, 0x6b, 0x2e};

int Usage() {
    QTextStream(stderr) << "usage: cardsheet OUT.png [scale]\n";
    return 2;
}

QImage RenderSheet(qreal scale) {
    const int cardWidth = static_cast<int>(std::lround(kCardWidth * scale));
    const int cardHeight = static_cast<int>(std::lround(kCardHeight * scale));
    const int gap = static_cast<int>(std::lround(kGap * scale));
    const int rows = (kImageCount + kColumns - 1) / kColumns;
    QImage sheet(gap + kColumns * (cardWidth + gap), gap + rows * (cardHeight + gap),
                 QImage::Format_ARGB32_Premultiplied);
    sheet.fill(kTableGreen);
    QPainter painter(&sheet);
    for (int image = 1; image <= kImageCount; ++image) {
        const int index = image - 1;
        const QRectF target(gap + (index % kColumns) * (cardWidth + gap),
                            gap + (index / kColumns) * (cardHeight + gap), cardWidth, cardHeight);
        cardovia::qt::PaintCard(painter, target, image);
    }
    return sheet;
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2 || args.size() > 3) return Usage();
    bool ok = true;
    const qreal scale = args.size() == 3 ? args[2].toDouble(&ok) : 1.0;
    if (!ok || scale <= 0) return Usage();
    if (!RenderSheet(scale).save(args[1])) {
        QTextStream(stderr) << "cardsheet: could not write " << args[1] << '\n';
        return 1;
    }
    return 0;
}
