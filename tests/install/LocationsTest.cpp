// Where the program looks for its sounds and help text, and where Name.dat goes, run from its
// build and run installed.

#include "app/Locations.h"
#include "model/PlayerFile.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace cardovia::app {
namespace {

namespace fs = std::filesystem;

const fs::path kInstalledData = "../share/cardovia";

class LocationsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        root = fs::temp_directory_path() /
               ("cardovia-locations-" + std::to_string(std::random_device{}()));
        fs::create_directories(root);
        saved = {ProgramDirectory, UserDataDirectory, DataDirectory};
    }
    void TearDown() override {
        ProgramDirectory = saved[0];
        UserDataDirectory = saved[1];
        DataDirectory = saved[2];
        std::error_code ec;
        fs::remove_all(root, ec);
    }
    static void Touch(const fs::path& file) {
        fs::create_directories(file.parent_path());
        std::ofstream(file) << "x";
    }
    // A prefix laid out as an install lays it out.
    fs::path Installed() {
        const fs::path prefix = root / "usr";
        fs::create_directories(prefix / "bin");
        Touch(prefix / "share/cardovia/help.txt");
        return prefix;
    }

    fs::path root;
    std::array<std::string, 3> saved;
};

TEST_F(LocationsTest, FromTheBuildEverythingStaysBesideTheProgram) {
    const fs::path bin = root / "build/bin";
    fs::create_directories(bin);
    Touch(bin / "help.txt");
    // The build draws its icons into share/ beside bin/; that alone is not an install.
    Touch(root / "build/share/icons/hicolor/16x16/apps/io.github.cardovia.Cardovia.png");

    const Locations where = ChooseLocations(bin, kInstalledData, root / "home/cardovia");
    EXPECT_FALSE(where.installed);
    EXPECT_EQ(where.programDirectory, bin.string());
    EXPECT_EQ(where.dataDirectory, bin.string());
    EXPECT_EQ(where.userDataDirectory, (root / "home/cardovia").string());
    EXPECT_EQ(fs::path(where.iconDirectory), root / "build/share/icons/hicolor");

    UseLocations(where);
    EXPECT_EQ(PlayerFilePath(), (bin / "Name.dat").string());
    EXPECT_FALSE(fs::exists(root / "home/cardovia")) << "the build must not touch the home";
}

TEST_F(LocationsTest, AShareDirectoryWithoutTheHelpTextIsNotAnInstall) {
    const fs::path bin = root / "opt/bin";
    fs::create_directories(bin);
    fs::create_directories(root / "opt/share/cardovia");
    EXPECT_FALSE(ChooseLocations(bin, kInstalledData, root / "home").installed);
}

TEST_F(LocationsTest, InstalledTheSoundsAndHelpComeFromTheSharedDataDirectory) {
    const fs::path prefix = Installed();
    const Locations where = ChooseLocations(prefix / "bin", kInstalledData, root / "home");
    EXPECT_TRUE(where.installed);
    EXPECT_EQ(where.dataDirectory, (prefix / "share/cardovia").string());
    EXPECT_TRUE(fs::exists(fs::path(where.dataDirectory) / "help.txt"));
    EXPECT_EQ(where.iconDirectory, (prefix / "share/icons/hicolor").string());
}

TEST_F(LocationsTest, InstalledNameDatGoesToTheUsersDataDirectoryEvenBesideAWritableProgram) {
    const fs::path prefix = Installed();  // a temporary prefix: its bin/ is writable
    const fs::path userData = root / "home/.local/share/cardovia";
    UseLocations(ChooseLocations(prefix / "bin", kInstalledData, userData));

    EXPECT_TRUE(fs::is_directory(userData)) << "created for the first save";
    EXPECT_EQ(PlayerFilePath(), (userData / "Name.dat").string());
    EXPECT_EQ(DataDirectory, (prefix / "share/cardovia").string());

    PlayerRecord record;
    record.name = "Jane";
    EXPECT_FALSE(WritePlayerFile(PlayerFilePath(), record).has_value());
    EXPECT_TRUE(fs::exists(userData / "Name.dat"));
    EXPECT_FALSE(fs::exists(prefix / "bin/Name.dat"));
}

TEST_F(LocationsTest, AUserDataDirectoryThatCannotBeMadeLeavesTheSaveToReportIt) {
    const fs::path prefix = Installed();
    Touch(root / "home");  // a file where the directory should go
    const fs::path userData = root / "home/cardovia";
    EXPECT_NO_THROW(UseLocations(ChooseLocations(prefix / "bin", kInstalledData, userData)));
    EXPECT_EQ(PlayerFilePath(), (userData / "Name.dat").string());
    EXPECT_TRUE(WritePlayerFile(PlayerFilePath(), PlayerRecord{}).has_value());
}

}  // namespace
}  // namespace cardovia::app
