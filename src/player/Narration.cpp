#include "player/Narration.h"

#include "model/CardFace.h"
#include "model/Settings.h"
#include "model/Table.h"
#include "player/AccessibleTable.h"
#include "player/HandHelp.h"
#include "player/TableObjects.h"
#include "rules/MinimumMeld.h"
#include "ui/Form.h"
#include "ui/Messages.h"
#include "ui/Pacing.h"

#include <algorithm>
#include <array>
#include <deque>
#include <map>
#include <vector>

namespace cardovia {

namespace {

constexpr std::size_t kRepeatLines = 3;    // what Repeat says again
constexpr std::size_t kPendingLimit = 64;  // words no window has taken yet

// Status texts the narration's own line says better, just after them.
constexpr std::array kUnspokenStatuses = {
    "Thaddock is checking if he can Meld",
    "Thaddock is Discarding a card.",
    "Taking two Stock cards.",
};

struct MeldSight {
    int count = 0;
    int wild = 0;
    bool operator==(const MeldSight&) const = default;
};

// What a sighted player sees of the table, in the terms the words are made
// of: the player's own cards, the face-up cards and the counts of the rest.
struct Sight {
    std::vector<int> hand;  // the player's cards, by place
    int theirHand = 0;
    int stock = 0;
    int pile = 0;
    int pileTop = 0;
    std::uint32_t pileFrame = 0;
    std::array<std::array<MeldSight, kMeldRanks + 1>, 3> melds{};
    std::array<std::vector<int>, 3> redThrees;
    int penalty = 0;
    bool results = false;
    std::string status;
    std::string minimum;
};

struct Narrator {
    Sight told;
    bool fresh = true;  // nothing told yet: the first look is taken quietly
    std::deque<std::string> said;
};
Narrator narrator;

Sight Look() {
    Sight s;
    s.hand = CardsAt(PlayerHand);
    s.theirHand = CountAt(OpponentHand);
    s.stock = CountAt(Stock);
    s.pile = CountAt(DiscardPile);
    s.pileTop = s.pile > 0 ? TopDiscard : 0;
    s.pileFrame = Frmtable().Shape1.borderColor;
    for (int side : {kPlayer, kOpponent}) {
        for (int r = 1; r <= kMeldRanks; ++r) {
            s.melds[side][r] = {MeldTable[r].Count[side], MeldTable[r].WildCount[side]};
        }
        s.redThrees[side] = CardsAt(side == kPlayer ? PlayerRedThrees : OpponentRedThrees);
    }
    s.penalty = TakeBackPenalty;
    s.results = Frmtable().FramResults.visible;
    s.status = Frmtable().StatusPanels[2];
    s.minimum = Frmtable().StatusPanels[1];
    return s;
}

std::string Number(int n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

// "the Four of Hearts", "a Joker": a card named as it is spoken of.
std::string The(int card) {
    return "the " + FaceName(card);
}

std::string Joined(const std::vector<std::string>& parts, const char* last = " and ") {
    std::string text;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) text += i + 1 == parts.size() ? last : ", ";
        text += parts[i];
    }
    return text;
}

// Cards told by rank, in the order they lie: "3 Kings, 2 Sevens and a Joker".
std::string ByRank(const std::vector<int>& cards) {
    std::vector<std::pair<int, int>> ranks;  // rank, how many
    for (int card : cards) {
        const int rank = DeckLayout(card).rank;
        auto it = std::find_if(ranks.begin(), ranks.end(),
                               [rank](const auto& r) { return r.first == rank; });
        if (it == ranks.end()) {
            ranks.emplace_back(rank, 1);
        } else {
            ++it->second;
        }
    }
    std::vector<std::string> parts;
    for (const auto& [rank, n] : ranks) {
        const std::string colour =
            rank == kRedThree ? "red " : rank == kBlackThree ? "black " : "";
        parts.push_back(n == 1 ? "a " + colour + RankName(rank, false)
                               : std::to_string(n) + " " + colour + RankName(rank, true));
    }
    return Joined(parts);
}

// The cards of `now` that `was` did not hold.
std::vector<int> Added(const std::vector<int>& was, const std::vector<int>& now) {
    std::vector<int> added;
    for (int card : now) {
        if (std::find(was.begin(), was.end(), card) == was.end()) added.push_back(card);
    }
    return added;
}

int MeldCardCount(const Sight& s, int side) {
    int n = 0;
    for (int r = 1; r <= kMeldRanks; ++r) n += s.melds[side][r].count;
    return n;
}

std::string PileLine(const Sight& s) {
    if (s.pile == 0) return "The pile is empty.";
    return std::string("Pile ") + PileWord(s.pileFrame) + ", " + Number(s.pile, "card", "cards") +
           ".";
}

const char* Who(int side) {
    return side == kPlayer ? "You" : "Thaddock";
}

// The deal: what the player holds and what lies on the table to start with.
void TellDeal(const Sight& now, std::vector<std::string>& lines) {
    std::string line = "New hand. You hold " + Number(static_cast<int>(now.hand.size()), "card",
                                                      "cards");
    line += ", Thaddock " + std::to_string(now.theirHand) + ".";
    if (now.pileTop) line += " " + FaceName(now.pileTop) + " turned up on the pile.";
    lines.push_back(line);
    if (!now.minimum.empty()) lines.push_back(now.minimum + ".");
}

// Cards that came to a hand: a draw, the pile, or a Take Back.
void TellArrivals(const Sight& was, const Sight& now, std::vector<std::string>& lines) {
    const bool pileTaken = was.pile > 0 && now.pile < was.pile &&
                           (now.pile == 0 || now.pileTop != was.pileTop);
    const std::vector<int> added = Added(was.hand, now.hand);
    const bool theirsGrew = now.theirHand > was.theirHand;
    if (pileTaken && (theirsGrew || MeldCardCount(now, kOpponent) > MeldCardCount(was, kOpponent))) {
        lines.push_back("Thaddock took the pile: " + Number(was.pile - now.pile, "card", "cards") +
                        ", " + FaceName(was.pileTop) + " on top.");
        return;
    }
    if (pileTaken) {
        std::string line = "You took the pile: " + Number(was.pile - now.pile, "card", "cards") +
                           ", " + FaceName(was.pileTop) + " on top.";
        if (!added.empty()) line += " Into your hand: " + ByRank(added) + ".";
        lines.push_back(line);
        return;
    }
    if (added.empty()) return;
    if (now.stock < was.stock) {
        std::vector<std::string> faces;
        for (int card : added) faces.push_back(The(card));
        lines.push_back("You drew " + Joined(faces) + ".");
    } else if (MeldCardCount(now, kPlayer) < MeldCardCount(was, kPlayer)) {
        lines.push_back("Taken back to your hand: " + ByRank(added) + ".");
    }
}

void TellRedThrees(const Sight& was, const Sight& now, std::vector<std::string>& lines) {
    for (int side : {kPlayer, kOpponent}) {
        const std::vector<int> laid = Added(was.redThrees[side], now.redThrees[side]);
        if (laid.empty()) continue;
        std::vector<std::string> faces;
        for (int card : laid) faces.push_back(FaceName(card));
        const int n = static_cast<int>(laid.size());
        lines.push_back(std::string(Who(side)) + (side == kPlayer ? " lay " : " lays ") +
                        (n == 1 ? "a red three" : std::to_string(n) + " red threes") + ": " +
                        Joined(faces) + ".");
    }
}

void TellMelds(const Sight& was, const Sight& now, std::vector<std::string>& lines) {
    for (int side : {kPlayer, kOpponent}) {
        for (int r = 1; r <= kMeldRanks; ++r) {
            const MeldSight& a = was.melds[side][r];
            const MeldSight& b = now.melds[side][r];
            if (a == b) continue;
            if (b.count == 0) {
                lines.push_back((side == kPlayer ? std::string("Your ") : "Thaddock's ") +
                                RankName(r, true) + " taken back.");
            } else if (b.count > a.count || b.wild != a.wild) {
                lines.push_back(std::string(Who(side)) + (side == kPlayer ? " meld " : " melds ") +
                                MeldWords(side, r) + ".");
            } else {
                lines.push_back((side == kPlayer ? std::string("Your ") : "Thaddock's ") +
                                MeldWords(side, r) + ".");
            }
        }
    }
}

void TellPile(const Sight& was, const Sight& now, std::vector<std::string>& lines) {
    if (now.pile <= was.pile || now.pileTop == 0) return;
    // A discard is one card from a hand onto the pile; cards taken back from
    // the melds go back onto it too.
    const bool oneMore = now.pile == was.pile + 1 && now.pileTop != was.pileTop;
    const bool mine = std::find(was.hand.begin(), was.hand.end(), now.pileTop) != was.hand.end();
    const bool theirs = now.theirHand == was.theirHand - 1;
    if (oneMore && (mine || theirs)) {
        lines.push_back(std::string(mine ? "You discard " : "Thaddock discards ") +
                        The(now.pileTop) + ". " + PileLine(now));
        return;
    }
    lines.push_back("Back on the pile: " + Number(now.pile - was.pile, "card", "cards") + ". " +
                    PileLine(now));
}

void TellEnding(const Sight& was, const Sight& now, std::vector<std::string>& lines) {
    if (now.penalty > was.penalty) {
        lines.push_back("Take Back penalty: " + std::to_string(now.penalty) + " points.");
    }
    if (!was.hand.empty() && now.hand.empty()) lines.push_back("You go out.");
    if (was.theirHand > 0 && now.theirHand == 0) lines.push_back("Thaddock goes out.");
    if (was.stock > 0 && now.stock == 0) lines.push_back("The stock is empty.");
}

void TellPanels(const Sight& was, const Sight& now, std::vector<std::string>& lines) {
    if (now.minimum != was.minimum && now.minimum == "Minimum Meld Points Met") {
        lines.push_back(now.minimum + ".");
    }
    const bool unspoken =
        std::find(kUnspokenStatuses.begin(), kUnspokenStatuses.end(), now.status) !=
        kUnspokenStatuses.end();
    if (now.status != was.status && !now.status.empty() && !unspoken) {
        lines.push_back(now.status);
    }
    if (now.results && !was.results) {
        // The hand's and the game's totals and the comment; every row of the
        // panel is read where the ring waits on Carry On, and by C.
        const TableForm& f = Frmtable();
        lines.push_back(f.FramResults.caption + ".");
        for (const std::string& line : PanelLines(f.FramResults)) {
            for (const Label* told : {&f.lblTotalP, &f.lblComments, &f.GGrandtotal}) {
                if (!told->caption.empty() && line.rfind(told->caption, 0) == 0) {
                    lines.push_back(line + ".");
                }
            }
        }
    }
}

bool Cleared(const Sight& s) {
    return s.hand.empty() && s.theirHand == 0 && s.pile == 0 && MeldCardCount(s, kPlayer) == 0 &&
           MeldCardCount(s, kOpponent) == 0;
}

std::vector<std::string> Changes(const Sight& was, const Sight& now) {
    std::vector<std::string> lines;
    if (Cleared(now)) {  // the table is cleared for a hand: only its status is told
        TellPanels(was, now, lines);
        return lines;
    }
    if (Cleared(was)) {
        TellDeal(now, lines);
        TellRedThrees(was, now, lines);
        TellPanels(was, now, lines);
        return lines;
    }
    TellArrivals(was, now, lines);
    TellRedThrees(was, now, lines);
    TellMelds(was, now, lines);
    TellPile(was, now, lines);
    TellEnding(was, now, lines);
    TellPanels(was, now, lines);
    return lines;
}

void Keep(const std::string& words) {
    narrator.said.push_back(words);
    while (narrator.said.size() > kRepeatLines) narrator.said.pop_front();
}

void Speak(const std::string& words) {
    std::vector<std::string>& pending = Frmtable().Announcements;
    if (pending.size() >= kPendingLimit) pending.erase(pending.begin());
    pending.push_back(words);
}

// ---- the answers ----

std::string PileAnswer() {
    const Sight s = Look();
    if (s.pile == 0) return "The discard pile is empty.";
    std::string text = "Discard pile: " + FaceName(s.pileTop) + " on top, " +
                       Number(s.pile, "card", "cards") + ", " + PileWord(s.pileFrame) + ".";
    if (!PlayerTurn || !GameInProgress || TableIdle || !MustDraw) return text;
    if (s.pileFrame == FrameColour(PileStates::Blocked)) return text + " You may not take it.";
    // The same analysis the pointer's hint over the pile makes.
    TableForm& f = Frmtable();
    f.lstHeading.items.clear();
    for (int i : {0, 1, 3}) f.lstValue[i].items.clear();
    AnalyseHand();
    return text + (CanTakePile ? " You may take it." : " You may not take it.");
}

std::string ScoresAnswer() {
    const TableForm& f = Frmtable();
    std::string text;
    for (const std::string& line : PanelLines(f.FramScores)) text += line + ". ";
    return text + "Target " + std::to_string(TargetScore) + ".";
}

std::string MinimumAnswer() {
    const int minimum = MinimumForTotal(GameScore[kPlayer]);
    if (MeldOpened[kPlayer]) {
        return "Minimum Meld Points Met: your minimum of " + std::to_string(minimum) + " is met.";
    }
    return "Your minimum is " + std::to_string(minimum) + "; " + std::to_string(MinMeld[kPlayer]) +
           " still to meld.";
}

std::string HandAnswer() {
    const std::vector<int> hand = CardsAt(PlayerHand);
    if (hand.empty()) return "Your hand is empty.";
    return "Your hand, " + Number(static_cast<int>(hand.size()), "card", "cards") + ": " +
           ByRank(hand) + ".";
}

std::string MeldsAnswer(int side) {
    std::vector<std::string> melds;
    for (int card : MeldCards(side)) {
        const int rank = Cards[card].Rank;
        if (MeldTable[rank].Count[side] > 0) melds.push_back(MeldWords(side, rank));
    }
    const std::string whose = side == kPlayer ? "You have" : "Thaddock has";
    if (melds.empty()) return whose + " no melds.";
    return (side == kPlayer ? "Your melds: " : "Thaddock's melds: ") + Joined(melds, "; ") + ".";
}

std::string RedThreesAnswer() {
    std::string text;
    for (int side : {kPlayer, kOpponent}) {
        const std::vector<int> cards =
            CardsAt(side == kPlayer ? PlayerRedThrees : OpponentRedThrees);
        std::vector<std::string> faces;
        for (int card : cards) faces.push_back(FaceName(card));
        text += side == kPlayer ? "Your red threes: " : " Thaddock's red threes: ";
        text += faces.empty() ? "none." : Joined(faces) + ".";
    }
    return text;
}

std::string StockAnswer() {
    const int n = CountAt(Stock);
    return n == 0 ? "The stock is empty." : "Stock: " + Number(n, "card", "cards") + ".";
}

std::string TheirHandAnswer() {
    return "Thaddock holds " + Number(CountAt(OpponentHand), "card", "cards") + ".";
}

std::string RepeatAnswer() {
    if (narrator.said.empty()) return "Nothing said yet.";
    std::string text;
    for (const std::string& line : narrator.said) text += (text.empty() ? "" : " ") + line;
    return text;
}

}  // namespace

std::string MeldWords(int side, int rank) {
    const MeldRecord& m = MeldTable[rank];
    const int count = m.Count[side];
    const int wild = m.WildCount[side];
    std::string words = RankName(rank, true) + ": " + Number(count, "card", "cards");
    if (count >= kCanastaSize) words += wild == 0 ? ", pure canasta" : ", mixed canasta";
    if (wild > 0) words += ", " + std::to_string(wild) + " wild";
    return words;
}

void NarrateChanges() {
    const Sight now = Look();
    if (narrator.fresh) {
        narrator.fresh = false;
        narrator.told = now;
        return;
    }
    // Cards still going out to the hands (a Learning Mode box may stop the deal
    // halfway): the deal is told once the first card is turned up.
    if (Cleared(narrator.told) && !Cleared(now) && now.pile == 0 && now.stock > 0) return;
    std::vector<std::string> lines = Changes(narrator.told, now);
    narrator.told = now;
    for (const std::string& line : lines) Announce(line);
}

void NarrateAtRest() {
    if (!Pausing()) NarrateChanges();
}

void ResetNarration() {
    narrator = Narrator{};
}

void Announce(const std::string& words) {
    Keep(words);
    Speak(words);
}

std::string Answer(Question question) {
    switch (question) {
        case Question::Pile:
            return PileAnswer();
        case Question::Scores:
            return ScoresAnswer();
        case Question::Minimum:
            return MinimumAnswer();
        case Question::Hand:
            return HandAnswer();
        case Question::Melds:
            return MeldsAnswer(kPlayer);
        case Question::TheirMelds:
            return MeldsAnswer(kOpponent);
        case Question::RedThrees:
            return RedThreesAnswer();
        case Question::Stock:
            return StockAnswer();
        case Question::TheirHand:
            return TheirHandAnswer();
        case Question::Repeat:
            break;
    }
    return RepeatAnswer();
}

void AskQuestion(Question question) {
    Speak(Answer(question));
}

void ConnectNarration() {
    ResetNarration();
    SetSettleListener(NarrateChanges);
    Frmtable().NarrateAtRest = NarrateAtRest;
}

}  // namespace cardovia
