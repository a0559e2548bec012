// The launcher icon as a desktop reads it: every standard size at its own size, and the
// scalable file well-formed with every reference resolved.

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

TEST(Icon, EverySizeIsWrittenAtItsSizeAndTheScalableOneResolvesItsReferences) {
    const fs::path share =
        fs::temp_directory_path() / ("cardovia-icons-" + std::to_string(std::random_device{}()));
    ASSERT_TRUE(writeAllIcons(share));
    for (int pixels : {16, 22, 24, 32, 48, 64, 128, 256, 512}) {
        const QImage image(QString::fromStdString(pngPath(share, pixels).string()));
        EXPECT_EQ(image.size(), QSize(pixels, pixels)) << pixels;
        EXPECT_TRUE(image.hasAlphaChannel()) << pixels;
    }
    QFile file(QString::fromStdString(svgPath(share).string()));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    QSet<QString> defined;
    QStringList referenced;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        if (xml.attributes().hasAttribute("id"))
            defined.insert(xml.attributes().value("id").toString());
        for (const auto& attribute : xml.attributes()) {
            if (attribute.value().startsWith(QStringLiteral("url(#"))) {
                referenced << attribute.value().mid(5, attribute.value().size() - 6).toString();
            }
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_FALSE(referenced.isEmpty());
    for (const QString& id : referenced) EXPECT_TRUE(defined.contains(id)) << id.toStdString();
    fs::remove_all(share);
}

}  // namespace
