// Which picture each number shows, and the cache of rendered pictures. The drawing itself lives
// beside this file: CardFaces.cpp, CardCourts.cpp, CardJoker.cpp and CardBacks.cpp.

#include "ui/qt/CardArt.h"

#include "model/Preferences.h"
#include "ui/qt/CardArtParts.h"

#include <QCoreApplication>
#include <QPainter>
#include <QtMath>

#include <algorithm>
#include <array>
#include <cstddef>
#include <list>

namespace cardovia::qt {
namespace {

using art::Face;
using art::Rank;
using art::Suit;

// ---------------------------------------------------------------------------------------------
// What each picture number shows.

constexpr int kLastJokerImage = 4;
constexpr int kFirstTwoImage = 5;
constexpr int kFirstBlackThreeImage = 13;
constexpr int kFirstFourImage = 17;
constexpr int kFirstRedThreeImage = 105;
constexpr int kLastFaceImage = 108;
constexpr int kImageCount = kRedBackImage;

// Both packs of the deck are interleaved: every face appears on two consecutive numbers.
constexpr int kCopiesPerFace = 2;
constexpr int kImagesPerFullRank = 8;

Suit SuitInRankRun(int offsetInRun) {
    return static_cast<Suit>(offsetInRun / kCopiesPerFace);
}

Face FaceOf(int image) {
    // A joker has no suit; the one given here is never looked at.
    if (image <= kLastJokerImage) return {Rank::Joker, Suit::Spades};
    if (image < kFirstBlackThreeImage) return {Rank::Two, SuitInRankRun(image - kFirstTwoImage)};
    if (image < kFirstFourImage) {
        const bool firstPair = image - kFirstBlackThreeImage < kCopiesPerFace;
        return {Rank::Three, firstPair ? Suit::Clubs : Suit::Spades};
    }
    if (image < kFirstRedThreeImage) {
        const int offset = image - kFirstFourImage;
        const int rank = static_cast<int>(Rank::Four) + offset / kImagesPerFullRank;
        return {static_cast<Rank>(rank), SuitInRankRun(offset % kImagesPerFullRank)};
    }
    const bool firstPair = image - kFirstRedThreeImage < kCopiesPerFace;
    return {Rank::Three, firstPair ? Suit::Hearts : Suit::Diamonds};
}

// ---------------------------------------------------------------------------------------------
// A card front: the white face, what the face shows and, except on the joker, the corner indexes.

void PaintFront(QPainter& painter, const Face& face) {
    art::PaintBlankCard(painter, art::kFaceWhite);
    switch (face.rank) {
        case Rank::Joker:
            art::PaintJoker(painter);
            return;
        case Rank::Ace:
            art::PaintAce(painter, face.suit);
            break;
        case Rank::Jack:
        case Rank::Queen:
        case Rank::King:
            art::PaintCourt(painter, face);
            break;
        default:
            art::PaintNumberPips(painter, face);
            break;
    }
    art::PaintBothWays(painter, art::kCardCentre, [&] { art::PaintCornerIndex(painter, face); });
}

// ---------------------------------------------------------------------------------------------
// Pixmap cache: one set of pictures per displayed size, most recently used size first. A few
// sizes cover the table's card sizes and a window being resized; older ones are dropped.

constexpr std::size_t kMaxCachedSizes = 6;

struct SizedPictures {
    QSize deviceSize;
    qreal ratio;
    bool fourColour;                                // drawn with Four-Colour Suits
    std::array<QPixmap, kImageCount + 1> pictures;  // indexed by picture number
};

std::list<SizedPictures>& Cache() {
    static std::list<SizedPictures> cache;
    return cache;
}

SizedPictures& PicturesFor(QSize deviceSize, qreal ratio) {
    std::list<SizedPictures>& cache = Cache();
    const auto found = std::find_if(cache.begin(), cache.end(), [&](const SizedPictures& set) {
        return set.deviceSize == deviceSize && qFuzzyCompare(set.ratio, ratio) &&
               set.fourColour == FourColourSuits;
    });
    if (found != cache.end()) {
        cache.splice(cache.begin(), cache, found);
        return cache.front();
    }
    // Pixmaps must not outlive the application, so the cache is emptied as it shuts down; the
    // hook is set again whenever the cache fills anew, in case another application follows.
    if (cache.empty()) qAddPostRoutine([] { Cache().clear(); });
    cache.push_front(SizedPictures{deviceSize, ratio, FourColourSuits, {}});
    while (cache.size() > kMaxCachedSizes) cache.pop_back();
    return cache.front();
}

QPixmap Render(int image, QSize deviceSize, qreal ratio) {
    QPixmap pixmap(deviceSize);
    pixmap.fill(Qt::transparent);
    {
        QPainter painter(&pixmap);
        PaintCard(painter, QRectF(QPointF(0, 0), QSizeF(deviceSize)), image);
    }
    pixmap.setDevicePixelRatio(ratio);
    return pixmap;
}

}  // namespace

void PaintCard(QPainter& painter, const QRectF& target, int image) {
    if (image < 1 || image > kImageCount || target.isEmpty()) return;
    painter.save();
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                           QPainter::SmoothPixmapTransform);
    painter.translate(target.topLeft());
    painter.scale(target.width() / art::kCardWidth, target.height() / art::kCardHeight);
    if (image > kLastFaceImage) {
        art::PaintBack(painter, image);
    } else {
        PaintFront(painter, FaceOf(image));
    }
    painter.restore();
}

QPixmap CardPixmap(int image, QSize deviceSize, qreal devicePixelRatio) {
    if (image < 1 || image > kImageCount || deviceSize.isEmpty() || devicePixelRatio <= 0) {
        return QPixmap();
    }
    QPixmap& slot = PicturesFor(deviceSize, devicePixelRatio).pictures[image];
    if (slot.isNull()) slot = Render(image, deviceSize, devicePixelRatio);
    return slot;
}

}  // namespace cardovia::qt
