// The help text as shipped, the help window beside the game and the about box.

#include "model/PlayerFile.h"
#include "ui/qt/AboutBox.h"
#include "ui/qt/HelpWindow.h"
#include "ui/qt/QtPlatform.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <filesystem>

namespace cardovia::qt {
namespace {

// Read from the source tree, so the tests see the file that is edited.
const std::filesystem::path kDataDir =
    std::filesystem::path(__FILE__).parent_path().parent_path().parent_path() / "data";

QByteArray HelpBytes() {
    QFile file(QString::fromStdString((kDataDir / "help.txt").string()));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << "data/help.txt is missing";
    return file.readAll();
}

TEST(HelpText, IsPlainTextOfSevenUnderlinedSectionsEndingWithEnjoyCanasta) {
    const QByteArray bytes = HelpBytes();
    EXPECT_GE(bytes.size(), 8500);
    EXPECT_LE(bytes.size(), 10000);
    for (const char c : bytes)
        EXPECT_TRUE(c == '\t' || c == '\n' || (c >= 0x20 && c < 0x7f)) << int(c);
    // A heading is a tab-indented line, underlined on the next by a tab and as many = signs.
    const QStringList lines = QString::fromLatin1(bytes).split(u'\n');
    QStringList headings;
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        if (!lines[i].startsWith(u'\t')) continue;
        EXPECT_EQ(lines[i + 1], "\t" + QString(lines[i].size() - 1, u'='))
            << lines[i].toStdString();
        headings << lines[i++].mid(1);
    }
    EXPECT_EQ(headings,
              (QStringList{"General Information", "The Deck and Deal", "Overview of the game",
                           "First Moves", "Melding", "Going Out", "The Interface"}));
    EXPECT_TRUE(bytes.contains("Thaddock") && bytes.contains("Cardovia"));
    EXPECT_TRUE(bytes.endsWith("\nEnjoy Canasta\n"));
}

TEST(HelpWindow, OpensBesideTheGameWithTheTextAndCloseUnloadsIt) {
    const std::string saved = DataDirectory;
    DataDirectory = kDataDir.string();
    QtPlatform platform;
    // Should it wait to be closed, a watchdog closes it so the test fails instead of hanging.
    QTimer::singleShot(2000, [] { HelpWindow::CloseIfOpen(); });
    platform.ShowHelp();
    QPointer<HelpWindow> window = HelpWindow::Current();
    ASSERT_TRUE(window && window->isVisible()) << "the help window waited to be closed";
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(window->windowTitle(), "Canasta Help");
    EXPECT_TRUE(window->Text()->isReadOnly());
    EXPECT_EQ(window->Text()->toPlainText().toStdString(), HelpBytes().toStdString());
    EXPECT_EQ(HelpWindow::Open(), window) << "a second showing reuses the open window";
    QTest::mouseClick(window->CloseButton(), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
    // Without the file, one line says so.
    QTemporaryDir empty;
    DataDirectory = empty.path().toStdString();
    const QString shown = HelpWindow::Open()->Text()->toPlainText();
    EXPECT_TRUE(shown.contains("could not be found") && !shown.contains(u'\n'))
        << shown.toStdString();
    HelpWindow::CloseIfOpen();
    DataDirectory = saved;
}

TEST(AboutBox, TheFirstShowingIsModalLaterOnesAreNotAndOkOnlyHidesIt) {
    delete AboutBox::Current();
    bool wasModal = false;
    QTimer::singleShot(0, [&] {
        wasModal = QApplication::activeModalWidget() == AboutBox::Current();
        QTest::mouseClick(AboutBox::Current()->OkButton(), Qt::LeftButton);
    });
    QtPlatform platform;
    platform.ShowAbout();
    QPointer<AboutBox> box = AboutBox::Current();
    EXPECT_TRUE(wasModal);
    ASSERT_TRUE(box);
    EXPECT_FALSE(box->isVisible());
    QTimer::singleShot(2000, [] { AboutBox::Current()->hide(); });  // should it wait
    platform.ShowAbout();
    EXPECT_EQ(AboutBox::Current(), box);
    EXPECT_TRUE(box->isVisible()) << "the second showing waited to be dismissed";
    EXPECT_EQ(box->findChild<QLabel*>("lblVersion")->text(), "Version 2.0.7");
    EXPECT_EQ(box->findChild<QLabel*>("lblPlatform")->text(), PlatformName());
    QTest::mouseClick(box->OkButton(), Qt::LeftButton);
    EXPECT_FALSE(box->isVisible());
    delete AboutBox::Current();
}

TEST(AboutBox, ThePlatformIsTheSystemsPrettyNameQuotedOrNot) {
    QTemporaryDir dir;
    const auto named = [&](const char* content) {
        const QString path = dir.filePath("os-release");
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
        file.close();
        return PlatformName({path});
    };
    EXPECT_EQ(named("NAME=\"Debian\"\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n"),
              "Debian GNU/Linux 12 (bookworm)");
    EXPECT_EQ(named("PRETTY_NAME='Arch Linux'\n"), "Arch Linux");
    EXPECT_EQ(named("ID=x\nPRETTY_NAME=Gentoo\n"), "Gentoo");
    EXPECT_EQ(named("PRETTY_NAME=\"Say \\\"hi\\\" \\\\ OS\"\n"), "Say \"hi\" \\ OS");
}

}  // namespace
}  // namespace cardovia::qt
