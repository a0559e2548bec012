#include "support/TableTest.h"

#include "deck/CardTravel.h"
#include "deck/Dealing.h"
#include "deck/Drawing.h"
#include "deck/Stock.h"
#include "flow/ClearTable.h"
#include "flow/Handlers.h"
#include "flow/KeptHand.h"
#include "flow/Leaving.h"
#include "flow/Menus.h"
#include "flow/Startup.h"
#include "layout/FollowMouse.h"
#include "layout/Hand.h"
#include "layout/RedThreeBoard.h"
#include "model/PlayerFileFormat.h"
#include "opponent/MasterThaddock.h"
#include "opponent/OpponentDiscard.h"
#include "opponent/OpponentMelding.h"
#include "player/Hint.h"
#include "player/HoverHints.h"
#include "player/PlayerMoves.h"
#include "player/SelfPlay.h"
#include "player/TakeBack.h"
#include "rules/DiscardPile.h"
#include "rules/Discarding.h"
#include "rules/MeldTable.h"
#include "rules/MinimumMeld.h"
#include "rules/TakingThePile.h"
#include "scoring/HandScoring.h"
#include "ui/Errors.h"

#include <cstdlib>
#include <fstream>
#include <map>
#include <random>
#include <sstream>

namespace cardovia::testing {

namespace {

std::vector<std::string> Split(const std::string& text, char by) {
    std::vector<std::string> parts;
    std::stringstream in(text);
    for (std::string part; std::getline(in, part, by);) parts.push_back(part);
    return parts;
}

// A script's argument: a card's name, a rank's letter or a number (a side,
// or a rank code: Four to Nine are their own numbers).
int Argument(const std::string& word) {
    if (const int card = CardIndex(word)) return card;
    const std::string ranks = "?A23456789TJQKRX";
    if (word.size() == 1 && std::isalpha(static_cast<unsigned char>(word[0]))) {
        if (ranks.find(word[0]) == std::string::npos)
            throw std::invalid_argument("no rank " + word);
        return static_cast<int>(ranks.find(word[0]));
    }
    return std::stoi(word);
}

// A list of arguments; Ka-Kd names the cards from Ka to Kd in deck order.
std::vector<int> Arguments(const std::string& list, char by) {
    std::vector<int> values;
    for (const std::string& word : Split(list, by)) {
        const auto dash = word.find('-');
        const int first = dash == 2 ? CardIndex(word.substr(0, 2)) : 0;
        const int last = dash == 2 ? CardIndex(word.substr(3)) : 0;
        for (int c = first; first != 0 && last != 0 && c <= last; ++c) values.push_back(c);
        if (first == 0 || last == 0) values.push_back(Argument(word));
    }
    return values;
}

// Lays cards on a side's meld in the order given and books them as the meld
// table would: every card from the first wild card on counts as laid since it.
void BookMeld(int side, int rank, const std::vector<int>& cards) {
    MeldRecord& m = MeldTable[rank];
    for (int c : cards) {
        Cards[c].Location = side == kPlayer ? PlayerMelds : OpponentMelds;
        Cards[c].MeldRank[side] = static_cast<i16>(rank);
        ++m.Count[side];
        m.HasWild[side] = m.HasWild[side] || IsWildIndex(c);
        m.WildCount[side] += IsWildIndex(c);
        m.CountSinceWild[side] += m.HasWild[side];
    }
    m.Melded[side] = true;
    if (m.Count[side] >= 7) HasCanasta[side] = true;
}

void Click(int card, i16 button) {
    PicCards_MouseDown(static_cast<i16>(card), button, 0, 0, 0);
    PicCards_MouseUp(static_cast<i16>(card), button, 0, 0, 0);
}

std::string YesNo(const char* what, bool answer) {
    return std::string(what) + (answer ? " yes" : " no");
}

using Args = std::vector<int>;
// The game's procedures a script may call; an answer is noted in the dump.
const std::map<std::string, std::function<std::string(const Args&)>>& Procedures() {
    static const std::map<std::string, std::function<std::string(const Args&)>> procedures = {
        {"L", [](const Args& a) { return Click(a[0], kLeftButton), ""; }},
        {"R", [](const Args& a) { return Click(a[0], kRightButton), ""; }},
        {"hover",
         [](const Args& a) {
             PicCards_MouseMove(static_cast<i16>(a[0]), 0, 0, 0, 0);
             const Picture& p = Pic(a[0]);
             const int icon = p.mousePointer == Pointer::Custom ? p.mouseIcon : 0;
             return "hover " + CardName(a[0]) + " " + std::to_string(icon) + " " + p.toolTip;
         }},
        {"MoveCardDeck", [](const Args& a) { return MoveCardDeck(a[0], a[1]), ""; }},
        {"StackStock", [](const Args&) { return StackStock(), ""; }},
        {"DealEm", [](const Args& a) { return DealEm(a[0]), ""; }},
        {"TakeCardDeck", [](const Args& a) { return TakeCardDeck(a[0]), ""; }},
        {"EstablishPoints", [](const Args& a) { return EstablishPoints(a[0]), ""; }},
        {"AddWildCard", [](const Args& a) { return AddWildCard(a[0], a[1], a[2]), ""; }},
        {"SortaMeld", [](const Args& a) { return SortaMeld(a[0], a[1]), ""; }},
        {"CheckMeldsComplete",
         [](const Args& a) {
             return CheckMeldsComplete(a[0]), YesNo("MeldsComplete", MeldsComplete);
         }},
        {"CanTakeUpDiscard",
         [](const Args& a) {
             return YesNo("CanTakeUpDiscard", CanTakeUpDiscard(a[0])) + ", " +
                    Frmtable().LblDiscard.caption;
         }},
        {"TakeDiscardPile", [](const Args& a) { return TakeDiscardPile(a[0]), ""; }},
        {"DiscardFrozen", [](const Args& a) { return DiscardFrozen(a[0]), ""; }},
        {"WhatCanBeMelded", [](const Args&) { return WhatCanBeMelded(), ""; }},
        {"DiscardWhatCard", [](const Args&) { return DiscardWhatCard(), ""; }},
        {"MeldCardsHand", [](const Args& a) { return MeldCardsHand(a[0], a[1]), ""; }},
        {"MakeDiscard", [](const Args& a) { return MakeDiscard(a[0], a[1]), ""; }},
        {"SortHand", [](const Args& a) { return SortHand(a[0]), ""; }},
        {"PickUpCard", [](const Args& a) { return PickUpCard(a[0]), ""; }},
        {"GetHandScores", [](const Args& a) { return GetHandScores(a[0]), ""; }},
        {"GetBonusScores", [](const Args& a) { return GetBonusScores(a[0]), ""; }},
        {"GetScoresHand", [](const Args&) { return GetScoresHand(), ""; }},
        {"ClearIt", [](const Args&) { return ClearIt(), ""; }},
        {"Form_Load", [](const Args&) { return Form_Load(), ""; }},
        {"QueryUnload", [](const Args&) { return YesNo("QueryUnload", Form_QueryUnload()); }},
    };
    return procedures;
}

// The form's menu entries and buttons, by name.
std::function<void()> FormCommand(const std::string& name) {
    TableForm& f = Frmtable();
    for (MenuItem* bar : f.MenuBar) {
        if (bar->name == name) return bar->Click;
        for (MenuItem* item : bar->items) {
            if (item->name == name) return item->Click;
        }
    }
    for (Button* b : {&f.cmdNew, &f.cmdSave, &f.CmdTarget, &f.cmdFinished}) {
        if (b->name == name) return b->Click;
    }
    return nullptr;
}

std::string RunLengths(const std::vector<std::int64_t>& waits) {
    std::string out;
    std::int64_t total = 0;
    for (std::size_t i = 0, j = 0; i < waits.size(); i = j) {
        while (j < waits.size() && waits[j] == waits[i]) total += waits[j++];
        out += " " + std::to_string(waits[i]) + (j - i > 1 ? "x" + std::to_string(j - i) : "");
    }
    return out + " = " + std::to_string(total) + " ms";
}

}  // namespace

std::string ThaddockMeldFaults() {
    std::string faults;
    for (int r = 1; r <= kMeldRanks; ++r) {
        const MeldRecord& m = MeldTable[r];
        const int count = m.Count[kOpponent];
        const int wild = m.WildCount[kOpponent];
        if (count == 0) continue;
        if (!MeldOpened[kOpponent]) faults += " melded unopened";
        if (count < 3) faults += " meld of " + std::to_string(count);
        if (wild > 3 || (r != kTwo && wild > count - wild)) faults += " wild over quota";
    }
    return faults;
}

void TableTest::SetUp() {
    std::random_device random;
    dir = std::filesystem::temp_directory_path() /
          ("cardovia-test-" + std::to_string(random()) + "-" + std::to_string(random()));
    std::filesystem::create_directories(dir);
    InstallPlatform(&sys);
    // The searches weigh a fixed number of deals, so what they choose is the
    // same on any machine, however busy.
    HintSamples = kTestSearchDeals;
    MasterSamplesPerChoice = kTestSearchDeals;
    FreshTable();
}

void TableTest::TearDown() {
    HintSamples = MasterSamplesPerChoice = 0;
    InstallPlatform(nullptr);
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
}

void TableTest::FreshTable() {
    FlushKeptHand();  // nothing of the last table's is still on its way to the disk
    notes.clear();
    moves.clear();
    lastFile.clear();
    watching = false;
    hurried.clear();
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        std::filesystem::remove_all(entry.path());
    ResetModel();
    ResetForm();
    FollowMouse = clsObjectFollowMouse{};
    ProgramDirectory = DataDirectory = dir.string();
    UserDataDirectory = (dir / "user").string();
    ConnectHandlers();
    SetUpDeck();
    for (int i = 1; i <= kDeckSize; ++i) Cards[i].Location = Stock;
    StackStock();
    sys.waits.clear();
}

bool TableTest::Set(const std::string& word) {
    const auto eq = word.find('=');
    std::string key = word.substr(0, eq);
    const std::string value = eq == std::string::npos ? "" : word.substr(eq + 1);

    const auto put = [&](int where) {
        for (int c : Arguments(value, ',')) Cards[c].Location = static_cast<i16>(where);
    };
    const auto number = [&] { return static_cast<i16>(std::stoi(value)); };
    if (key.size() == 3 && key[0] == 'm') {
        BookMeld(key[1] - '0', Argument(key.substr(2)), Arguments(value, ','));
        return true;
    }
    // A word for one side ends in its number.
    const int side = key.ends_with('1') || key.ends_with('2') ? key.back() - '0' : 0;
    if (side != 0) key.pop_back();
    const std::map<std::string, std::function<void()>> words = {
        {"open", [&] { MeldOpened[side] = true; }},
        {"canasta", [&] { HasCanasta[side] = true; }},
        {"turn", [] { GameInProgress = PlayerTurn = MustDraw = true; }},
        {"drawn", [] { MustDraw = false, HasDrawn = true; }},
        {"ingame", [] { GameInProgress = true; }},
        {"learn", [] { LearningMode = true; }},
        {"blue", [] { CardBack = true; }},
        {"idle", [] { TableIdle = true; }},
        {"maytake", [] { CanTakePile = true; }},
        {"marked",
         [&] {
             for (int c : Arguments(value, ',')) Pic(c).border = true;
         }},
        {"faildialogs",
         [this] {
             sys.onDialog = [](const DialogRequest&) {
                 throw GameError(5, "Invalid procedure call");
             };
         }},
        {"watch", [this] { watching = true; }},
        {"onwait", [&] { hurried = value; }},
        {"h", [&] { put(side), SortHand(side); }},
        {"r", [&] { put(side == kPlayer ? PlayerRedThrees : OpponentRedThrees); }},
        {"s", [&] { put(Stock); }},
        {"p",
         [&] {
             for (int c : Arguments(value, ','))
                 Cards[c].Location = DiscardPile, TopDiscard = static_cast<i16>(c);
             ShuffleDiscard();
         }},
        {"min", [&] { MinMeld[side] = number(); }},
        {"game", [&] { GameScore[side] = number(); }},
        {"won", [&] { GamesWon = number(); }},
        {"lost", [&] { GamesLost = number(); }},
        {"speed", [&] { SpeedDelay = DelayMs = number(); }},
        {"draws",
         [&] {
             for (int c : Arguments(value, ',')) sys.randomScript.push_back(c / 108.0);
         }},
        {"answers",
         [&] {
             for (int a : Arguments(value, ',')) sys.dialogAnswers.push_back(static_cast<i16>(a));
         }},
    };
    const auto found = words.find(key);
    if (found == words.end()) return false;
    found->second();
    return true;
}

void TableTest::LayOut() {
    StackStock();
    for (int side : {kPlayer, kOpponent}) {
        for (int r = 1; r <= kMeldRanks; ++r) {
            if (MeldTable[r].Melded[side]) SortaMeld(r, side);
        }
        const int board = side == kPlayer ? PlayerRedThrees : OpponentRedThrees;
        if (std::any_of(&Cards[kFirstRedThree], &Cards[kLastRedThree] + 1,
                        [board](const Card& c) { return c.Location == board; })) {
            SortRedThree(side);
            GetBonusScores(side);
        }
    }
    // The situation is set up: from here on the clock, the sounds and the dialogs count.
    sys.waits.clear();
    sys.sounds.clear();
    if (watching) Watch();
    if (!hurried.empty()) {
        sys.onWait = [this, moves = Split(hurried, ',')] {
            for (const std::string& move : moves) Run(move);
        };
    }
}

void TableTest::Watch() {
    const auto shown = [](int i) {
        const Picture& p = Pic(i);
        return std::to_string(p.left) + "," + std::to_string(p.top) +
               (p.image == i ? "" : "=" + std::to_string(p.image)) + (p.visible ? "" : "~") +
               (p.border ? "#" : "");
    };
    auto seen = std::make_shared<std::vector<std::string>>(kDeckSize + 1);
    for (int i = 1; i <= kDeckSize; ++i) (*seen)[i] = shown(i);
    sys.onWait = [this, seen, shown] {
        std::string changed;
        std::int64_t front = 0;  // a moved card brought in front of all others is marked ^
        for (int i = 1; i <= kDeckSize; ++i) front = std::max(front, Pic(i).z);
        for (int i = 1; i <= kDeckSize; ++i) {
            if (shown(i) != (*seen)[i])
                changed += " " + CardName(i) + " " + shown(i) + (Pic(i).z == front ? "^" : "");
            (*seen)[i] = shown(i);
        }
        moves.push_back(changed);
    };
}

std::string TableTest::Play(const std::string& script) {
    std::string out;
    bool setting = false;
    std::istringstream words(script);
    for (std::string word; words >> word;) {
        if (word == "dump") {
            out += Snapshot() + "--\n";
        } else if (Set(word)) {
            setting = true;
        } else {
            if (setting) LayOut();
            setting = false;
            Run(word);
        }
    }
    if (setting) LayOut();
    return out + Snapshot();
}

void TableTest::Run(const std::string& word) {
    const std::vector<std::string> parts = Split(word, ':');
    if (const auto form = FormCommand(parts[0])) return form();
    const auto found = Procedures().find(parts[0]);
    if (found == Procedures().end()) throw std::invalid_argument("no procedure " + word);
    const std::string said =
        found->second(Arguments(word.substr(std::min(word.size(), parts[0].size() + 1)), ':'));
    if (!said.empty()) notes += (notes.empty() ? "" : " | ") + said;
}

std::string TableTest::Line(const std::string& script, const std::string& start) {
    for (const std::string& line : Split(PlayAll({{"", script}}), '\n')) {
        if (line.rfind(start, 0) == 0) return line.substr(start.size());
    }
    return "no " + start;
}

std::string TableTest::Lines(const std::string& dump, const std::vector<std::string>& starts) {
    std::string kept;
    for (const std::string& line : Split(dump, '\n')) {
        for (const std::string& start : starts) {
            if (line.rfind(start, 0) == 0) kept += line + "\n";
        }
    }
    return kept;
}

std::string TableTest::PlayAll(const std::vector<Scenario>& scenarios) {
    std::string out;
    for (const Scenario& s : scenarios) {
        sys = HeadlessPlatform{};
        FreshTable();
        const std::string played = Play(s.script);
        out += "== " + s.title + "\n" + (s.keep.empty() ? played : Lines(played, s.keep));
    }
    return out;
}

std::string TableTest::Snapshot() {
    std::ostringstream out;
    out << notes << (notes.empty() ? "" : "\n") << DumpTable();
    notes.clear();
    for (std::size_t k = 0; k < moves.size() && k < sys.waits.size(); ++k) {
        out << (k == 0 ? "waits: " : " | ") << sys.waits[k] << ":" << moves[k];
    }
    if (!moves.empty()) out << "\n";
    if (!moves.empty()) sys.waits.clear();
    moves.clear();
    std::string events = sys.waits.empty() ? "" : " |" + RunLengths(sys.waits);
    std::map<std::string, int> sounds;
    for (const std::string& s : sys.sounds) {
        const std::filesystem::path path(s);
        ++sounds[path.parent_path() == dir ? path.filename().string() : s];
    }
    for (const auto& [name, n] : sounds)
        events += " | " + name + (n > 1 ? " x" + std::to_string(n) : "");
    if (sys.beeps) events += " | beeps " + std::to_string(sys.beeps);
    if (sys.quitRequested) events += " | quit";
    const std::string file = FileText(dir / kPlayerFileName);
    if (file != lastFile) events += " | file " + file.substr(0, file.find('\r'));
    lastFile = file;
    if (!events.empty()) out << "events:" << events.substr(2) << "\n";
    // The dialogs in the order shown, one line for all; one shown before is named by its title.
    std::vector<std::string> shown;
    for (const DialogRequest& d : sys.dialogs) {
        std::ostringstream text;
        if (d.title == "Learning Message" && d.caption0 == "Continue" && d.caption1.empty() &&
            d.picture == 3) {
            text << "learn \"" << d.message << "\"";
        } else {
            text << "\"" << d.title << "\" \"" << d.message << "\" [" << d.caption0 << "|"
                 << d.caption1 << "|" << d.caption2 << "] " << d.picture;
        }
        const bool again = std::find(shown.begin(), shown.end(), text.str()) != shown.end();
        out << (&d == &sys.dialogs.front() ? "dialogs: " : " | ")
            << (again ? "again \"" + d.title + "\"" : text.str());
        shown.push_back(text.str());
    }
    if (!sys.dialogs.empty()) out << "\n";
    for (const auto& [title, text] : sys.errors) {
        out << "error \"" << title << "\" \"" << text.substr(0, text.find('\r')) << " / "
            << text.substr(text.find('\n') + 1) << "\"\n";
    }
    sys.waits.clear();
    sys.sounds.clear();
    sys.dialogs.clear();
    sys.errors.clear();
    sys.beeps = 0;
    return out.str();
}

void GameTest::SetUp() {
    TableTest::SetUp();
    NewTable();
}

void GameTest::NewTable() {
    sys = HeadlessPlatform{};
    FreshTable();
    handTotals.clear();
    beforePlayer = nullptr;
    atResults = nullptr;
    // Every dialog is answered with its first button, but "Exit" at the end of the game.
    sys.answerDialog = [](const DialogRequest& r) -> i16 { return r.title == "Game Over"; };
    sys.onIdle = [this] {
        EXPECT_EQ(TableFaults(PlayerTurn && MustDraw && !HasDrawn), "");
        const TableForm& f = Frmtable();
        if (f.FramResults.visible && !TableIdle) {
            EXPECT_FALSE(MustDraw) << "a draw is still owed once the hand is scored";
            handTotals.emplace_back(std::stoi(f.PointsTotal[1].caption),
                                    std::stoi(f.PointsTotal[2].caption));
            if (atResults) atResults();
        } else if (beforePlayer && beforePlayer()) {
            return true;
        }
        return SelfPlayStep();
    };
}

void GameTest::PlayFromMenu() {
    Frmtable().MnuNew.Click();
}

std::vector<const DialogRequest*> GameTest::DialogsTitled(const std::string& title) const {
    std::vector<const DialogRequest*> found;
    for (const DialogRequest& d : sys.dialogs) {
        if (d.title == title) found.push_back(&d);
    }
    return found;
}

}  // namespace cardovia::testing
