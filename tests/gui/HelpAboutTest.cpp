// The help text as shipped, the help window and the about box.

#include "model/PlayerFile.h"
#include "ui/qt/AboutBox.h"
#include "ui/qt/HelpWindow.h"
#include "ui/qt/QtPlatform.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <string>
#include <vector>

namespace cardovia::qt {
namespace {

// The help text is read from the source tree, so the tests see the file that
// is edited, whichever build directory they run from.
const std::filesystem::path kDataDir =
    std::filesystem::path(__FILE__).parent_path().parent_path().parent_path() / "data";

QByteArray HelpBytes() {
    QFile file(QString::fromStdString((kDataDir / "help.txt").string()));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << "data/help.txt is missing";
    return file.readAll();
}

// A heading is a tab-indented line whose next line is a tab followed by = signs.
struct Heading {
    QString text;
    int underlineLength;
};

std::vector<Heading> Headings(const QString& text, QStringList* strayIndented) {
    const QStringList lines = text.split(u'\n');
    std::vector<Heading> headings;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (!lines[i].startsWith(u'\t')) continue;
        const QString next = i + 1 < lines.size() ? lines[i + 1] : QString();
        const bool underlined = next.size() > 1 && next.startsWith(u'\t') &&
                                next.mid(1) == QString(next.size() - 1, u'=');
        if (!underlined) {
            strayIndented->append(lines[i]);
            continue;
        }
        headings.push_back({lines[i].mid(1), static_cast<int>(next.size() - 1)});
        ++i;
    }
    return headings;
}

TEST(HelpText, HasTheSevenSectionsInOrderEachUnderlinedToItsOwnLength) {
    QStringList stray;
    const std::vector<Heading> headings = Headings(QString::fromLatin1(HelpBytes()), &stray);
    const QStringList expected = {
        "General Information", "The Deck and Deal", "Overview of the game",
        "First Moves",         "Melding",           "Going Out",
        "The Interface"};
    QStringList found;
    for (const Heading& heading : headings) {
        found << heading.text;
        EXPECT_EQ(heading.underlineLength, heading.text.size())
            << "underline of \"" << heading.text.toStdString() << "\"";
    }
    EXPECT_EQ(found, expected);
    EXPECT_TRUE(stray.isEmpty()) << "tab-indented line without underline: "
                                 << stray.join(" | ").toStdString();
}

TEST(HelpText, IsPlainAsciiWithUnixLinesOfAboutNineThousandTwoHundredCharacters) {
    const QByteArray bytes = HelpBytes();
    EXPECT_GE(bytes.size(), 8500);
    EXPECT_LE(bytes.size(), 10000);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        ASSERT_TRUE(c == '\t' || c == '\n' || (c >= 0x20 && c < 0x7f))
            << "byte " << int(c) << " at offset " << i;
    }
}

TEST(HelpText, NamesThaddockAndCardoviaAndClosesWithEnjoyCanasta) {
    const QString text = QString::fromLatin1(HelpBytes());
    EXPECT_TRUE(text.contains("Thaddock"));
    EXPECT_TRUE(text.contains("Cardovia"));
    EXPECT_TRUE(text.endsWith("\nEnjoy Canasta\n"));
}

class HelpWindowTest : public ::testing::Test {
  protected:
    void SetUp() override { DataDirectory = kDataDir.string(); }
    void TearDown() override {
        HelpWindow::CloseIfOpen();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        DataDirectory = savedDirectory_;
    }

    // Opens the help window; should it wait for the player, a watchdog closes
    // it again so that the test fails instead of hanging.
    HelpWindow* OpenWithoutWaiting() {
        bool returned = false;
        QTimer watchdog;
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, [&] {
            if (!returned) HelpWindow::CloseIfOpen();
        });
        watchdog.start(2000);
        platform_.ShowHelp();
        returned = true;
        HelpWindow* window = HelpWindow::Current();
        EXPECT_TRUE(window && window->isVisible()) << "the help window waited to be closed";
        return window;
    }

  private:
    QtPlatform platform_;
    std::string savedDirectory_ = DataDirectory;
};

TEST_F(HelpWindowTest, OpensBesideTheGameWithTheHelpTextInItsTextArea) {
    HelpWindow* window = OpenWithoutWaiting();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isWindow());
    EXPECT_FALSE(window->isModal());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(window->windowTitle(), "Canasta Help");

    auto* text = window->findChild<QPlainTextEdit*>("Text1");
    ASSERT_NE(text, nullptr);
    EXPECT_TRUE(text->isReadOnly());
    EXPECT_EQ(text->toPlainText().toStdString(), HelpBytes().toStdString())
        << "the text area shows the file as it stands, tabs included";
    EXPECT_EQ(HelpWindow::Open(), window) << "a second showing reuses the open window";
}

TEST_F(HelpWindowTest, CloseButtonUnloadsTheWindowAndTheNextShowingBuildsItAgain) {
    QPointer<HelpWindow> first = OpenWithoutWaiting();
    ASSERT_TRUE(first);
    QTest::mouseClick(first->CloseButton(), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull());
    EXPECT_EQ(HelpWindow::Current(), nullptr);

    HelpWindow* second = OpenWithoutWaiting();
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(second->isVisible());
    EXPECT_EQ(second->Text()->toPlainText().left(20), "\tGeneral Information");
}

TEST_F(HelpWindowTest, MissingHelpFileGivesOneLineSayingSo) {
    QTemporaryDir empty;
    DataDirectory = empty.path().toStdString();
    HelpWindow* window = OpenWithoutWaiting();
    ASSERT_NE(window, nullptr);
    const QString shown = window->Text()->toPlainText();
    EXPECT_TRUE(shown.contains("could not be found")) << shown.toStdString();
    EXPECT_FALSE(shown.contains(u'\n'));
}

class AboutBoxTest : public ::testing::Test {
  protected:
    // Each test starts before the about box was ever built.
    void SetUp() override { delete AboutBox::Current(); }
    void TearDown() override { delete AboutBox::Current(); }

    QWidget table;
};

TEST_F(AboutBoxTest, FirstShowingIsModalAndItsOkButtonOnlyHidesIt) {
    bool wasModal = false;
    QTimer answer;  // started before the box opens, so it runs inside its wait
    answer.setSingleShot(true);
    QObject::connect(&answer, &QTimer::timeout, [&] {
        AboutBox* box = AboutBox::Current();
        ASSERT_NE(box, nullptr);
        wasModal = box->isVisible() && QApplication::activeModalWidget() == box;
        QTest::mouseClick(box->OkButton(), Qt::LeftButton);
    });
    answer.start(0);
    QtPlatform platform;
    platform.ShowAbout();
    QPointer<AboutBox> box = AboutBox::Current();
    EXPECT_TRUE(wasModal);
    ASSERT_FALSE(box.isNull());
    EXPECT_FALSE(box->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(box.isNull()) << "O.K hides the box, it does not destroy it";
}

TEST_F(AboutBoxTest, LaterShowingsDoNotBlockAndOkHidesAgain) {
    QTimer answer;
    answer.setSingleShot(true);
    QObject::connect(&answer, &QTimer::timeout,
                     [] { QTest::mouseClick(AboutBox::Current()->OkButton(), Qt::LeftButton); });
    answer.start(0);
    AboutBox* first = AboutBox::Open(&table);

    bool returned = false;
    QTimer watchdog;  // hides a box that waits, so the test fails instead of hanging
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        if (!returned && AboutBox::Current()) AboutBox::Current()->hide();
    });
    watchdog.start(2000);
    AboutBox* again = AboutBox::Open(&table);
    returned = true;
    EXPECT_EQ(again, first);
    EXPECT_TRUE(again->isVisible()) << "the second showing waited to be dismissed";
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    QTest::mouseClick(again->OkButton(), Qt::LeftButton);
    EXPECT_FALSE(again->isVisible());
    EXPECT_EQ(AboutBox::Current(), again);
}

TEST_F(AboutBoxTest, ShowsTitleVersionPlatformLogoInAFrame) {
    AboutBox box(&table);
    auto text = [&](const char* name) {
        auto* label = box.findChild<QLabel*>(name);
        return label ? label->text() : QStringLiteral("<no %1>").arg(name);
    };
    EXPECT_EQ(text("lblProductName"), "Cardovia");
    EXPECT_EQ(text("lblVersion"), "Version 2.0.7");
    EXPECT_EQ(text("lblPlatform"), PlatformName());
    EXPECT_FALSE(text("lblPlatform").isEmpty());
    auto* ok = box.findChild<QPushButton*>("CmdOK");
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->text(), "&O.K");
    auto* frame = box.findChild<QFrame*>("Frame1");
    auto* logo = box.findChild<QWidget*>("imgLogo");
    ASSERT_TRUE(frame && logo);
    EXPECT_TRUE(frame->isAncestorOf(logo));
    EXPECT_TRUE(frame->isAncestorOf(box.findChild<QLabel*>("lblProductName")));
}

class PlatformNameTest : public ::testing::Test {
  protected:
    QString Write(const char* name, const QByteArray& content) {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        return path;
    }
    QTemporaryDir dir;
};

TEST_F(PlatformNameTest, ReadsThePrettyNameQuotedOrNot) {
    EXPECT_EQ(PlatformName({Write("a",
                                  "NAME=\"Debian GNU/Linux\"\n"
                                  "PRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n")}),
              "Debian GNU/Linux 12 (bookworm)");
    EXPECT_EQ(PlatformName({Write("b", "PRETTY_NAME='Arch Linux'\n")}), "Arch Linux");
    EXPECT_EQ(PlatformName({Write("c", "ID=x\nPRETTY_NAME=Gentoo\n")}), "Gentoo");
    EXPECT_EQ(PlatformName({Write("d", "PRETTY_NAME=\"Say \\\"hi\\\" \\\\ OS\"\n")}),
              "Say \"hi\" \\ OS");
}

}  // namespace
}  // namespace cardovia::qt
