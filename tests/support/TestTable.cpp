#include "support/TestTable.h"

#include "model/PlayerFile.h"
#include "player/Hand.h"
#include "player/FollowMouse.h"

#include <fstream>
#include <random>
#include <sstream>

namespace cardovia::testing {

std::string FileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void TableTest::SetUp() {
    ResetModel();
    ResetForm();
    FollowMouse = clsObjectFollowMouse{};
    InstallPlatform(&sys);
    std::random_device rd;
    dir = std::filesystem::temp_directory_path() /
          ("cardovia-test-" + std::to_string(rd()) + std::to_string(rd()));
    std::filesystem::create_directories(dir);
    ProgramDirectory = DataDirectory = dir.string();
    UserDataDirectory = (dir / "user").string();
}

void TableTest::TearDown() {
    InstallPlatform(nullptr);
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
}

void TableTest::AllInStock() {
    SetUpDeck();
    for (int i = 1; i <= kDeckSize; ++i) Cards[i].Location = Stock;
    StockCount = kDeckSize;
}

int TableTest::CountAt(CardLocation where) {
    int n = 0;
    for (int i = 1; i <= kDeckSize; ++i) n += Cards[i].Location == where;
    return n;
}

void PlayersTurnTest::SetUp() {
    TableTest::SetUp();
    AllInStock();
    GameInProgress = true;
    PlayerTurn = true;
    MustDraw = true;
}

void PlayersTurnTest::Hand(std::initializer_list<int> cards) {
    for (int c : cards) Place(c, PlayerHand);
    SortHand(kPlayer);
}

}  // namespace cardovia::testing
