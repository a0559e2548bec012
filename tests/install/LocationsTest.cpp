// Where the program finds its sounds and help text, and where Name.dat goes, run from its
// build and run installed.

#include "app/Locations.h"
#include "model/PlayerFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

namespace cardovia::app {
namespace {

namespace fs = std::filesystem;

class LocationsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        root = fs::temp_directory_path() /
               ("cardovia-locations-" + std::to_string(std::random_device{}()));
        Touch(root / "build/bin/help.txt");
        // The build draws its icons into share/ beside bin/; that alone is not an install.
        Touch(root / "build/share/icons/hicolor/16x16/apps/io.github.cardovia.Cardovia.png");
        Touch(root / "usr/bin/cardovia");
        Touch(root / "usr/share/cardovia/help.txt");
        fs::create_directories(root / "opt/bin");
        fs::create_directories(root / "opt/share/cardovia");
    }
    void TearDown() override { fs::remove_all(root); }
    static void Touch(const fs::path& file) {
        fs::create_directories(file.parent_path());
        std::ofstream(file) << "x";
    }
    Locations For(const char* bin, const char* home) const {
        return ChooseLocations(root / bin, "../share/cardovia", root / home);
    }
    fs::path root;
};

TEST_F(LocationsTest, FromTheBuildEverythingStaysBesideTheProgram) {
    const Locations where = For("build/bin", "home/cardovia");
    EXPECT_FALSE(where.installed);
    EXPECT_EQ(where.programDirectory, (root / "build/bin").string());
    EXPECT_EQ(where.dataDirectory, (root / "build/bin").string());
    EXPECT_EQ(fs::path(where.iconDirectory), root / "build/share/icons/hicolor");
    UseLocations(where);
    EXPECT_EQ(PlayerFilePath(), (root / "build/bin/Name.dat").string());
    EXPECT_FALSE(fs::exists(root / "home/cardovia")) << "the build must not touch the home";
    // A share directory without the help text is no install either.
    EXPECT_FALSE(For("opt/bin", "home").installed);
}

TEST_F(LocationsTest, InstalledTheDataIsSharedAndNameDatGoesToTheUsersDataDirectory) {
    const Locations where = For("usr/bin", "home/.local/share/cardovia");
    EXPECT_TRUE(where.installed);
    EXPECT_EQ(where.dataDirectory, (root / "usr/share/cardovia").string());
    EXPECT_EQ(where.iconDirectory, (root / "usr/share/icons/hicolor").string());
    UseLocations(where);  // its bin/ is writable, yet the file goes home
    EXPECT_EQ(PlayerFilePath(), (root / "home/.local/share/cardovia/Name.dat").string());
    EXPECT_FALSE(WritePlayerFile(PlayerFilePath(), PlayerRecord{}).has_value());
    EXPECT_FALSE(fs::exists(root / "usr/bin/Name.dat"));
    // A data directory that cannot be made leaves the save to report it.
    Touch(root / "blocked");
    EXPECT_NO_THROW(UseLocations(For("usr/bin", "blocked/cardovia")));
    EXPECT_TRUE(WritePlayerFile(PlayerFilePath(), PlayerRecord{}).has_value());
}

}  // namespace
}  // namespace cardovia::app
