#include "player/HandHelp.h"

#include "model/Settings.h"
#include "model/Table.h"
#include "ui/Errors.h"
#include "ui/Form.h"
#include "ui/Messages.h"

#include <array>
#include <string>

namespace cardovia {

namespace {

// Rank names of the table, by rank code (red threes never appear).
const char* RankName(int rank) {
    static const char* const kNames[16] = {"",       "Aces",   "Twos",   "Threes", "Fours", "Fives",
                                           "Sixes",  "Sevens", "Eights", "Nines",  "Tens",  "Jacks",
                                           "Queens", "Kings",  "",       "Jokers"};
    return kNames[rank];
}

// The table's rows: wild cards and black threes first, then Aces, Fours..Kings.
constexpr int kRowOrder[] = {15, 3, 2, 1, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};

using Held = std::array<int, 16>;

Held HeldCount() {
    Held held{};
    for (int i = 1; i <= kDeckSize; ++i) {
        if (Cards[i].Location == PlayerHand) ++held[Cards[i].Rank];
    }
    return held;
}

// The pile's state as its frame shows it.
PileStates ShownPileState() {
    return static_cast<PileStates>(Frmtable().Shape1.borderColor);
}

void PileHeadings(const Held& held) {
    auto& lines = Frmtable().lstHeading.items;
    const int t = TopDiscard;
    const int topRank = Cards[t].Rank;
    const int topValue = Cards[t].Value;
    const PileStates state = ShownPileState();
    if (state == PileStates::Blocked) {
        lines.push_back(" Discard blocked - cannot take this hand");
        CanTakePile = false;
    }
    if (state == PileStates::Frozen) {
        if (held[topRank] < 2) {
            lines.push_back(" You cannot take the Discard card this turn");
            CanTakePile = false;
        } else {
            CanTakePile = true;
            lines.push_back("You can take Discard - value with cards in hand " +
                            std::to_string((held[topRank] + 1) * topValue));
        }
    }
    if (!MeldOpened[kPlayer]) {
        lines.push_back(" You must meet minimum meld points of " +
                        std::to_string(MinMeld[kPlayer]));
    }
    if (t != 0) {
        lines.push_back(" The Up Discard card is " + Cards[t].CardName + " Points valueue " +
                        std::to_string(topValue));
    }
    if (state == PileStates::Open && t != 0) {
        if (held[topRank] == 1) {
            if (held[kJoker] >= 1) {
                lines.push_back("You can Meld Discard using Joker - points valueue  " +
                                std::to_string(2 * topValue + 50));
                CanTakePile = true;
            } else if (held[kTwo] >= 1) {
                lines.push_back("You can Meld Discard with Two - points valueue " +
                                std::to_string(2 * topValue + 20));
                CanTakePile = true;
            }
        }
        if (topRank >= 1 && topRank <= kMeldRanks && MeldTable[topRank].Count[kPlayer] >= 1) {
            lines.push_back("You can take Discard card and add to Meld started");
            CanTakePile = true;
        }
    }
}

const char* Verdict(int rank, const Held& held) {
    if (rank == kJoker || rank == kTwo) return "Wild cards";
    if (rank == kBlackThree) return "Black Three";
    if (held[rank] >= 3) return "Yes";
    if (MeldTable[rank].Melded[kPlayer]) return "Add Meld";
    if (held[rank] == 2 && held[kTwo] + held[kJoker] >= 1) return "With Wild";
    return "No";
}

void RankRows(const Held& held) {
    TableForm& f = Frmtable();
    for (int rank : kRowOrder) {
        if (held[rank] == 0) continue;
        f.lstValue[0].items.push_back(RankName(rank));
        f.lstValue[1].items.push_back(std::to_string(held[rank]));
        f.lstValue[3].items.push_back(Verdict(rank, held));
    }
}

}  // namespace

void MnuHandHelp_Click() {
    getList();
}

void getList() {
    TableForm& f = Frmtable();
    f.lstHeading.items.clear();
    for (int i : {0, 1, 3}) f.lstValue[i].items.clear();
    AnalyseHand();
    f.framHand.visible = true;
    ZOrder(f.framHand);
}

void cmdFinished_Click() {
    Frmtable().framHand.visible = false;
}

void AnalyseHand() {
    Trap("AnalyseHand", [] {
        const Held held = HeldCount();
        if (!GameInProgress) {
            Frmtable().lstHeading.items.push_back("Come back after deal to see hand details");
            return;
        }
        PileHeadings(held);
        RankRows(held);
        DelayMs = SpeedDelay;
    });
}

}  // namespace cardovia
