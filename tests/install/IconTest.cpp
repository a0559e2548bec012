// Checks the launcher icon the way a desktop sees it: the files read back from disk, each size
// looked at for what a player must recognise, and the scalable file parsed as XML.

#define MAKEICON_NO_MAIN
#include "../../tools/makeicon.cpp"

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QSet>
#include <QXmlStreamReader>

#include <random>

namespace {

namespace fs = std::filesystem;
using namespace cardovia::makeicon;

class IconTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        share = new fs::path(fs::temp_directory_path() /
                             ("cardovia-icons-" + std::to_string(std::random_device{}())));
        ASSERT_TRUE(writeAllIcons(*share));
    }
    static void TearDownTestSuite() {
        std::error_code ec;
        fs::remove_all(*share, ec);
        delete share;
    }
    static QImage Load(int pixels) {
        return QImage(QString::fromStdString(pngPath(*share, pixels).string()));
    }
    static inline fs::path* share = nullptr;
};

bool Reddish(QRgb c) {
    return qRed(c) > 150 && qGreen(c) < 90 && qBlue(c) < 100;
}
bool Pale(QRgb c) {
    return qRed(c) > 200 && qGreen(c) > 200 && qBlue(c) > 190;
}
bool Greenish(QRgb c) {
    return qGreen(c) > qRed(c) + 20 && qGreen(c) > qBlue(c) + 10;
}

TEST_F(IconTest, EveryStandardSizeIsWrittenAtItsOwnSize) {
    for (int pixels : {16, 22, 24, 32, 48, 64, 128, 256, 512}) {
        const QImage image = Load(pixels);
        ASSERT_FALSE(image.isNull()) << pixels;
        EXPECT_EQ(image.size(), QSize(pixels, pixels)) << pixels;
        EXPECT_TRUE(image.hasAlphaChannel()) << pixels;
    }
    EXPECT_TRUE(fs::is_regular_file(svgPath(*share)));
}

// A drawing left at the design's 256 units on a small canvas would show only a corner of the
// baize; drawn at the right scale, every size shows the same picture in the same places.
TEST_F(IconTest, EverySizeShowsTheRedCOnAPaleCardOnGreenBaize) {
    for (int pixels : kPixelSizes) {
        const QImage image = Load(pixels).convertToFormat(QImage::Format_ARGB32);
        const auto at = [&](double x, double y) {
            return image.pixel(static_cast<int>(x * pixels), static_cast<int>(y * pixels));
        };
        EXPECT_EQ(qAlpha(at(0.0, 0.0)), 0) << pixels << ": the rounded corner is clear";
        EXPECT_EQ(qAlpha(at(0.99, 0.99)), 0) << pixels << ": the rounded corner is clear";
        EXPECT_TRUE(Greenish(at(0.5, 0.96))) << pixels << ": baize below the cards";
        const Layout layout = layoutFor(cutFor(pixels));
        const QPointF centre = layout.frontCentre / kDesignSize;
        const double ring = layout.ringRadius / kDesignSize;
        const double ringTop = centre.y() - ring - layout.ringWidth / 2 / kDesignSize;
        const double cardTop = centre.y() - layout.front.height() / 2 / kDesignSize;
        EXPECT_TRUE(Reddish(at(centre.x() - ring, centre.y()))) << pixels << ": the back of the C";
        EXPECT_TRUE(Pale(at(centre.x(), (cardTop + ringTop) / 2))) << pixels << ": above the C";
    }
}

TEST_F(IconTest, TheScalableIconIsWellFormedAndEveryReferenceResolves) {
    QFile file(QString::fromStdString(svgPath(*share).string()));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    QSet<QString> defined;
    QStringList referenced;
    bool sawRoot = false;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        const auto attributes = xml.attributes();
        if (!sawRoot) {
            sawRoot = true;
            EXPECT_EQ(xml.name(), QStringLiteral("svg"));
            EXPECT_EQ(attributes.value("viewBox"), QStringLiteral("0 0 256 256"));
        }
        if (attributes.hasAttribute("id")) defined.insert(attributes.value("id").toString());
        for (const auto& attribute : attributes) {
            const QString value = attribute.value().toString();
            if (value.startsWith("url(#")) referenced << value.mid(5, value.size() - 6);
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_TRUE(sawRoot);
    EXPECT_FALSE(referenced.isEmpty());
    for (const QString& id : referenced) {
        EXPECT_TRUE(defined.contains(id)) << "dangling reference #" << id.toStdString();
    }
}

}  // namespace
