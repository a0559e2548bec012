// What a screen reader's user hears: every move of both sides told once, in
// the game's words, and never a card the player cannot see.

#include "model/CardFace.h"
#include "model/Settings.h"
#include "player/KeyboardPlay.h"
#include "player/Narration.h"
#include "support/TableTest.h"
#include "ui/Messages.h"

#include <regex>
#include <set>

namespace cardovia::testing {
namespace {

// A face is hidden when no card showing it lies anywhere the player can see.
bool Hidden(const std::string& face) {
    for (int i = 1; i <= kDeckSize; ++i) {
        const int where = Cards[i].Location;
        if (FaceName(i) == face && where != OpponentHand && where != Stock) return false;
    }
    return true;
}

class Narration : public GameTest {
  protected:
    // Takes each announcement the moment it is made, and checks it then.
    void Listen() {
        SetSettleListener([this] {
            NarrateChanges();
            Take();
        });
        Frmtable().NarrateAtRest = [this] {
            NarrateAtRest();
            Take();
        };
    }
    void Take() {
        for (const std::string& line : Frmtable().Announcements) {
            heard.push_back(line);
            for (int card = 1; card <= kDeckSize; ++card) {
                const std::string face = FaceName(card);
                if (line.find(face) != std::string::npos && Hidden(face)) {
                    leaks += "'" + line + "' names " + face + "; ";
                }
            }
            if (!heard.empty() && heard.size() > 1 && line == heard[heard.size() - 2] &&
                line.rfind("Player", 0) != 0) {
                repeats += "'" + line + "'; ";
            }
        }
        Frmtable().Announcements.clear();
    }
    // What is heard after each step of a scripted turn, one line a step.
    std::string Told(const std::string& setup, const std::vector<std::string>& steps) {
        NewTable();
        Play(setup);
        NarrateChanges();  // the table as it stands is known, not told
        Frmtable().Announcements.clear();
        std::string out = "== " + setup + "\n";
        for (const std::string& step : steps) {
            Play(step);
            NarrateChanges();
            out += step + " ->";
            for (const std::string& line : Frmtable().Announcements) out += " " + line;
            out += "\n";
            Frmtable().Announcements.clear();
        }
        return out;
    }
    std::vector<std::string> heard;
    std::string leaks, repeats;
};

TEST_F(Narration, EveryMoveOfAWholeGameIsToldOnceAndNoHiddenCardIsNamed) {
    // Patterns a hand's narration must hold, and how often each was heard.
    const std::vector<std::pair<std::string, std::regex>> told = {
        {"Thaddock draws", std::regex("^Thaddock (is taking two cards from Stock|took the pile)")},
        {"Thaddock melds", std::regex("^Thaddock melds [A-Z][a-z]+: [0-9]+ cards?")},
        {"Thaddock discards", std::regex("^Thaddock discards the .+\\. Pile (open|frozen|blocked), "
                                         "[0-9]+ cards?\\.$")},
        {"the player draws", std::regex("^You (drew the .+ and the .+|took the pile)")},
        {"the player melds", std::regex("^You meld [A-Z][a-z]+: [0-9]+ cards?")},
        {"the player discards", std::regex("^You discard the .+\\. Pile")},
        {"a new hand", std::regex("^New hand\\. You hold 15 cards, Thaddock 15\\.")},
        {"the results", std::regex("^Total this Hand: Player -?[0-9]+, Thaddock -?[0-9]+\\.$")},
        {"the turn comes back", std::regex("^Player take Discard or click Stock for two cards\\.$")},
    };
    std::string out;
    for (int seed = 1; seed <= 3; ++seed) {
        NewTable();
        Listen();
        heard.clear();
        sys.Seed(static_cast<std::uint64_t>(seed));
        SpeedDelay = DelayMs = kFastSpeed;
        // Learning Mode's boxes stop the game halfway through its steps, the deal too.
        LearningMode = seed == 3;
        PlayFromMenu();
        out += "== seed " + std::to_string(seed) + (LearningMode ? ", Learning Mode" : "") + ": " +
               std::to_string(heard.size()) + " lines\n";
        for (const auto& [what, pattern] : told) {
            const auto n = std::count_if(heard.begin(), heard.end(), [&](const std::string& l) {
                return std::regex_search(l, pattern);
            });
            out += what + (n > 0 ? " told" : " NEVER told") + "\n";
        }
        if (seed == 1) {
            // The first hand as it is heard: its start, and its end with the results.
            const auto end = std::find_if(heard.begin(), heard.end(), [](const std::string& l) {
                return l.rfind("Total Game Points", 0) == 0;
            });
            const auto last = heard.begin() + std::min<std::ptrdiff_t>(end - heard.begin(), 48);
            out += "-- the first hand\n";
            for (auto it = heard.begin(); it <= end && it != heard.end(); ++it) {
                if (it == last) out += "...\n", it = std::max(it, end - 12);
                out += *it + "\n";
            }
        }
    }
    EXPECT_EQ(leaks, "");
    EXPECT_EQ(repeats, "");
    ExpectGolden("narration", out);
}

TEST_F(Narration, QuestionsAreAnsweredFromWhatTheTableShows) {
    std::string out;
    for (const char* script : {
             "turn game1=100 min1=40 h1=Ka,Kb,Kc,7a,2a,Xa h2=5f,6f p=9d,9a r2=Ra DiscardFrozen:1",
             "turn drawn open1 m1K=Ka,Kb,Kc,Kd,Ke,Kf,Kg m1Q=Qa,Qb,Qc,2b m28=8a,8b,8c,Xb h1=4a "
             "r1=Rb DiscardFrozen:1",
         }) {
        NewTable();
        Play(script);
        out += "== " + std::string(script) + "\n";
        for (Question q : {Question::Pile, Question::Scores, Question::Minimum, Question::Hand,
                           Question::Melds, Question::TheirMelds, Question::RedThrees,
                           Question::Stock, Question::TheirHand}) {
            out += Answer(q) + "\n";
        }
    }
    ExpectGolden("questions", out);
}

TEST_F(Narration, TheHintTakeBackAndItsPenaltyAreTold) {
    std::string out;
    out += Told("turn drawn min1=50 h1=Ka,Kb,Kc,7a,9c p=4a,4b",
                {"MnuHint", "L:Ka L:Kb L:Kc", "MnuTakeBack", "MnuHint"});
    out += Told("turn min1=90 h1=Qa,Qb,7a,8b,9c p=5a,Qc",
                {"L:Qc", "MnuTakeBack"});
    ExpectGolden("narrated-turns", out);
}

}  // namespace
}  // namespace cardovia::testing
