#include "support/TableDump.h"

#include "layout/FollowMouse.h"
#include "model/Card.h"
#include "model/Settings.h"
#include "model/Table.h"
#include "ui/Form.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

namespace cardovia::testing {

namespace {

// The first index of each rank in deck order, and the letter that names it.
constexpr int kBandStart[] = {1, 5, 13, 17, 25, 33, 41, 49, 57, 65, 73, 81, 89, 97, 105, 109};
constexpr char kBandLetter[] = "X23456789TJQKAR";
// Rank codes 0..15: Aces, Twos, black threes, Four..King, red threes, Jokers.
constexpr char kRankLetter[] = "?A23456789TJQKRX";

std::string Quote(const std::string& text) {
    std::string shown = "\"";
    for (char c : text) shown += c == '\r' ? "\\r" : c == '\n' ? "\\n" : std::string(1, c);
    return shown + "\"";
}

std::string Colour(std::uint32_t c) {
    return c == kPaleGreen ? "pale"
           : c == kYellow  ? "yellow"
           : c == kOrange  ? "orange"
                           : std::to_string(c);
}

template <class Wanted>
std::vector<int> Where(Wanted wanted) {
    std::vector<int> found;
    for (int i = 1; i <= kDeckSize; ++i) {
        if (wanted(i)) found.push_back(i);
    }
    std::stable_sort(found.begin(), found.end(), [](int a, int b) { return Pic(a).z < Pic(b).z; });
    return found;
}

std::vector<int> At(int where) {
    return Where([where](int i) { return Cards[i].Location == where; });
}

// What a picture shows that it should not: another image, hidden, a border.
std::string Marks(int card, bool faceDown) {
    const Picture& p = Pic(card);
    const int expected = faceDown ? CardBackImage() : card;
    std::string marks;
    if (p.image != expected) marks += "=" + (p.image == card ? "face" : std::to_string(p.image));
    return marks + (p.visible ? "" : "~") + (p.border ? "#" : "");
}

// The cards from back to front with their places as runs: the first card's
// left and top, the step from one card to the next, and what all its
// pictures show that they should not. Without names a run is told by its
// places alone.
std::string Places(const std::vector<int>& cards, bool faceDown, bool names = true) {
    const auto at = [&](std::size_t k) { return std::pair(Pic(cards[k]).left, Pic(cards[k]).top); };
    const auto step = [&](std::size_t k) {
        return std::pair(at(k + 1).first - at(k).first, at(k + 1).second - at(k).second);
    };
    const auto marks = [&](std::size_t k) { return Marks(cards[k], faceDown); };
    std::string out;
    for (std::size_t i = 0, j = 0; i < cards.size(); i = j + 1) {
        j = i + 1 < cards.size() ? i + 1 : i;
        while (j + 1 < cards.size() && step(j) == step(i)) ++j;
        bool same = true;
        for (std::size_t k = i; k <= j; ++k) same = same && marks(k) == marks(i);
        if (!out.empty()) out += " |";
        for (std::size_t k = i; k <= j && names; ++k) {
            out += " " + CardName(cards[k]) + (same ? "" : marks(k));
        }
        out += " @" + std::to_string(at(i).first) + "," + std::to_string(at(i).second);
        if (j > i)
            out += " +" + std::to_string(step(i).first) + "," + std::to_string(step(i).second);
        if (same) out += marks(i);
    }
    return out;
}

// A stock stacked as it should be is told by its count and caption alone.
std::string StockLine(std::ostream& out) {
    const std::vector<int> stock = At(Stock);
    const std::string told =
        "stock " + std::to_string(stock.size()) + " " + Quote(Frmtable().LblStock.caption) +
        (StockCount == static_cast<long>(stock.size()) ? ""
                                                       : " count " + std::to_string(StockCount));
    const std::string run = Places(stock, true, false);
    if (stock.empty() || run == " @120,240 +2,-2" || run == " @120,240") return told;
    out << told << ":" << (run.find('|') == std::string::npos ? run : Places(stock, true)) << "\n";
    return "stock " + std::to_string(stock.size());
}

void PileLine(std::ostream& out) {
    const TableForm& f = Frmtable();
    const std::vector<int> pile = At(DiscardPile);
    const bool fresh = f.LblDiscard.caption.empty() || f.LblDiscard.caption == "Discard";
    if (pile.empty() && TopDiscard == 0 && fresh && PileState == PileStates::Open) return;
    const char* state = PileState == PileStates::Open     ? "open"
                        : PileState == PileStates::Frozen ? "frozen"
                                                          : "blocked";
    out << "pile " << pile.size() << " " << Quote(f.LblDiscard.caption) << " " << state;
    if (f.Shape1.borderColor != FrameColour(PileState))
        out << " frame " << Colour(f.Shape1.borderColor);
    if (TopDiscard != 0) out << " top " << CardName(TopDiscard);
    out << ":" << Places(pile, false) << "\n";
}

void SideLines(std::ostream& out, int side) {
    const TableForm& f = Frmtable();
    const std::vector<int> hand = At(side);
    if (!hand.empty() || HandCount[side] != 0) {
        out << "hand" << side << " " << HandCount[side] << "/" << HandPoints[side] << ":"
            << Places(hand, side == kOpponent) << "\n";
    }
    const int melds = side == kPlayer ? PlayerMelds : OpponentMelds;
    const auto& labels = side == kPlayer ? f.lblMelds : f.lblMeldsC;
    for (int r = 0; r <= 15; ++r) {
        const auto cards = Where(
            [&](int i) { return Cards[i].Location == melds && Cards[i].MeldRank[side] == r; });
        const bool booked = r >= 1 && r <= kMeldRanks;
        const MeldRecord m = booked ? MeldTable[r] : MeldRecord{};
        const bool labelled =
            booked && r != kTwo &&
            (labels[r].visible || !labels[r].caption.empty() || labels[r].backColor != kPaleGreen);
        if (cards.empty() && m.Count[side] + m.WildCount[side] + m.CountSinceWild[side] == 0 &&
            !m.HasWild[side] && !m.Melded[side] && !labelled) {
            continue;
        }
        out << "melds" << side << " " << kRankLetter[r] << " " << m.Count[side] << "/"
            << m.WildCount[side] << "/" << m.CountSinceWild[side]
            << (m.HasWild[side] ? " wild" : "") << (m.Melded[side] ? "" : " unmelded");
        if (labelled) {
            out << " " << Quote(labels[r].caption) << " " << Colour(labels[r].backColor)
                << (labels[r].visible ? "" : " hidden");
        }
        out << ":" << Places(cards, false) << "\n";
    }
    const std::vector<int> board = At(side == kPlayer ? PlayerRedThrees : OpponentRedThrees);
    const Label& points = labels[kRedThree];
    if (!board.empty() || (points.visible && points.caption != "Pts. 0")) {
        out << "red" << side << " " << Quote(points.caption) << (points.visible ? "" : " hidden")
            << ":" << Places(board, false) << "\n";
    }
}

// The figures of both sides, the last evaluation of a hand and the turn's
// flags, non-zero values only.
std::string State() {
    std::ostringstream s;
    for (int side : {kPlayer, kOpponent}) {
        std::ostringstream f;
        f << (MeldOpened[side] ? " opened" : "") << (HasCanasta[side] ? " canasta" : "");
        const std::pair<const char*, int> figures[] = {
            {"game", GameScore[side]},     {"min", MinMeld[side]},
            {"meld", MeldPoints[side]},    {"bonus", HandBonus[side]},
            {"red3", RedThreeCount[side]}, {"red3pts", RedThreePoints[side]},
            {"pure", PureCanastas[side]},  {"mixed", MixedCanastas[side]},
            {"out", OutFirstBonus[side]},  {"penalty", side == kPlayer ? TakeBackPenalty : 0}};
        for (const auto& [name, value] : figures) {
            if (value != 0) f << " " << name << " " << value;
        }
        if (!f.str().empty()) s << " | " << side << ":" << f.str();
    }
    std::string counts;
    std::string may;
    for (int r = 0; r < 16; ++r) {
        if (RankCount[r] != 0)
            counts += std::string(" ") + kRankLetter[r] + ":" + std::to_string(RankCount[r]);
        if (CanMeldRank[r]) may += std::string(" ") + kRankLetter[r];
    }
    if (!counts.empty() || !may.empty() || HandMeldPoints[1] != 0 || HandMeldPoints[2] != 0) {
        s << " | eval" << counts << " may" << may << " points " << HandMeldPoints[1] << "/"
          << HandMeldPoints[2];
    }
    std::string flags;
    const std::pair<bool, const char*> turn[] = {
        {GameInProgress, "game"},          {PlayerTurn, "player-turn"},
        {MustDraw, "must-draw"},           {HasDrawn, "drawn"},
        {CanTakePile, "may-take"},         {TableIdle, "idle"},
        {MeldsComplete, "melds-complete"}, {GameAbandoned, "abandoned"},
        {ProgramEnding, "ending"}};
    for (const auto& [on, name] : turn) flags += on ? std::string(" ") + name : "";
    if (FollowMouse.Enabled()) flags += " dragging";
    if (SelectedWild != 0) flags += " chosen " + CardName(SelectedWild);
    if (DelayMs != SpeedDelay) flags += " delay " + std::to_string(DelayMs);
    if (SpeedDelay != kMediumSpeed) flags += " speed " + std::to_string(SpeedDelay);
    if (LearningMode) flags += " learning";
    if (CardBack) flags += " blue-backs";
    if (NextCardX[1] != 0 || NextCardX[2] != 0) {
        flags += " next " + std::to_string(NextCardX[1]) + "/" + std::to_string(NextCardX[2]);
    }
    if (!flags.empty()) s << " |" << flags;
    return s.str();
}

std::string CardFlags() {
    std::vector<int> fromPile, fromHand;
    std::string changed;
    for (int i = 1; i <= kDeckSize; ++i) {
        if (Cards[i].FromDiscard) fromPile.push_back(i);
        if (Cards[i].MeldedFromHand) fromHand.push_back(i);
        const DeckEntry own = DeckLayout(i);
        if (Cards[i].Rank != own.rank || Cards[i].Value != own.value) {
            changed += " " + CardName(i) + "=" +
                       kRankLetter[std::clamp<int>(Cards[i].Rank, 0, 15)] + "/" +
                       std::to_string(Cards[i].Value);
        }
    }
    std::string line;
    if (!fromPile.empty()) line += " | from pile " + CardNames(fromPile);
    if (!fromHand.empty()) line += " | from hand " + CardNames(fromHand);
    if (!changed.empty() && changed.size() < 400) line += " | changed" + changed;
    return line;
}

// The status bar, the panels that show and what else on the form differs
// from a fresh table window.
void FormLines(std::ostream& out) {
    const TableForm& f = Frmtable();
    std::string panels;
    // Panels 3 and 4 and the score board are told only when they say other than the figures.
    const std::string counts[5] = {"", "", "", "Points in Hand " + std::to_string(HandPoints[1]),
                                   "Cards " + std::to_string(HandCount[1])};
    for (int n = 1; n <= 4; ++n) {
        const std::string& text = f.StatusPanels[n];
        if (!text.empty() && text != counts[n]) panels += " " + std::to_string(n) + Quote(text);
    }
    std::string board;
    bool agrees = true;
    for (int side : {kPlayer, kOpponent}) {
        const int figures[] = {GameScore[side], MeldPoints[side], HandBonus[side]};
        const std::array rows = {&f.LblCurrTot, &f.LblCurrMeld, &f.LblCurrBon};
        for (int k = 0; k < 3; ++k) {
            const std::string& shown = (*rows[k])[side].caption;
            agrees = agrees && ((shown.empty() && (k == 0 || figures[k] == 0)) ||
                                shown == std::to_string(figures[k]));
            board += " " + (shown.empty() ? "-" : shown);
        }
        board += side == kPlayer ? " /" : "";
    }
    if (!agrees) panels += " | board" + board;
    if (!panels.empty()) out << "panels:" << panels << "\n";
    if (f.FramResults.visible) {
        for (int side : {kPlayer, kOpponent}) {
            out << "results" << side << ":";
            for (const auto* row : {&f.CardPoints, &f.RThreesPoints, &f.MixedCans, &f.PureCans,
                                    &f.OutFirst, &f.MinusPoints, &f.PointsTotal, &f.GamePoints}) {
                out << " " << Quote((*row)[side].caption);
            }
            out << "\n";
        }
        out << "results: " << Quote(f.LblP.caption) << " " << Quote(f.lblComments.caption) << " "
            << Quote(f.GamePoints[0].caption) << (f.cmdSave.visible ? " save" : " no-save") << "\n";
    }
    if (f.framHand.visible) {
        out << "help:";
        for (const std::string& line : f.lstHeading.items) out << " " << Quote(line);
        for (std::size_t k = 0; k < f.lstValue[0].items.size(); ++k) {
            out << " | " << f.lstValue[0].items[k] << " " << f.lstValue[1].items.at(k) << " "
                << f.lstValue[3].items.at(k);
        }
        const std::size_t rows = f.lstValue[0].items.size();
        if (f.lstValue[1].items.size() != rows || f.lstValue[3].items.size() != rows)
            out << " | columns of unequal length";
        out << "\n";
    }
    const auto items = [](const TableForm& t) {
        return std::vector<std::pair<const char*, std::string>>{
            {"title", t.Caption},
            {"name", t.LblPlayer.caption + "/" + t.lblPnameScore.caption},
            {"target", t.Label7.caption},
            {"target panel", t.FramTarget.visible ? "shown " + Quote(t.Txtpoints.text) : ""},
            {"menu", std::string(t.MnuPlay.enabled ? "" : "play-off ") +
                         (t.MnuTakeBack.enabled ? "take-back " : "") + t.MnuLearn.caption}};
    };
    const TableForm fresh;
    const auto now = items(f);
    const auto was = items(fresh);
    for (std::size_t k = 0; k < now.size(); ++k) {
        if (now[k].second != was[k].second) out << now[k].first << ": " << now[k].second << "\n";
    }
}

long TrailingNumber(const std::string& text) {
    std::size_t start = text.size();
    while (start > 0 && std::isdigit(static_cast<unsigned char>(text[start - 1]))) --start;
    return start == text.size() ? -1 : std::stol(text.substr(start));
}

}  // namespace

std::string CardName(int card) {
    for (int band = 0; band < 15; ++band) {
        if (card >= kBandStart[band] && card < kBandStart[band + 1]) {
            return {kBandLetter[band], static_cast<char>('a' + card - kBandStart[band])};
        }
    }
    return "#" + std::to_string(card);
}

int CardIndex(std::string_view name) {
    for (int card = 1; card <= kDeckSize; ++card) {
        if (CardName(card) == name) return card;
    }
    return 0;
}

std::string CardNames(const std::vector<int>& cards) {
    std::string names;
    for (int c : cards) names += (names.empty() ? "" : " ") + CardName(c);
    return names;
}

std::string DumpTable() {
    std::ostringstream out;
    const std::string stock = StockLine(out);
    PileLine(out);
    for (int side : {kPlayer, kOpponent}) SideLines(out, side);
    out << "state: " << stock << State() << CardFlags() << "\n";
    FormLines(out);
    return out.str();
}

std::string TableFaults(bool atTurnStart) {
    std::ostringstream out;
    int at[22] = {};
    for (int i = 1; i <= kDeckSize; ++i) {
        const int where = Cards[i].Location;
        if (where != PlayerHand && where != OpponentHand &&
            (where < Stock || where > OpponentRedThrees)) {
            return CardName(i) + " lies at " + std::to_string(where);
        }
        ++at[where];
    }
    if (!atTurnStart) return {};
    const TableForm& f = Frmtable();
    const auto expect = [&out](long shown, long real, const char* what) {
        if (shown != real) out << what << " shows " << shown << " but is " << real << "; ";
    };
    expect(StockCount, at[Stock], "StockCount");
    expect(DiscardCount, at[DiscardPile], "DiscardCount");
    expect(HandCount[kPlayer], at[PlayerHand], "HandCount[1]");
    expect(HandCount[kOpponent], at[OpponentHand], "HandCount[2]");
    expect(TrailingNumber(f.LblStock.caption), at[Stock], "the stock label");
    expect(TrailingNumber(f.LblDiscard.caption), at[DiscardPile], "the pile label");
    expect(TrailingNumber(f.StatusPanels[4]), at[PlayerHand], "the cards panel");
    for (int side : {kPlayer, kOpponent}) {
        for (int r = 1; r <= kMeldRanks; ++r) {
            const auto cards = Where([&](int i) {
                return Cards[i].Location == (side == kPlayer ? PlayerMelds : OpponentMelds) &&
                       Cards[i].MeldRank[side] == r;
            });
            const long wild = std::count_if(cards.begin(), cards.end(), IsWildIndex);
            const MeldRecord& m = MeldTable[r];
            if (m.Count[side] != static_cast<long>(cards.size()) || m.WildCount[side] != wild ||
                wild > 3) {
                out << "meld " << side << kRankLetter[r] << " books " << m.Count[side] << "/"
                    << m.WildCount[side] << " but holds " << cards.size() << "/" << wild << "; ";
            }
            const Label& label = (side == kPlayer ? f.lblMelds : f.lblMeldsC)[r];
            const std::string figures =
                std::to_string(cards.size()) + " Wild:-" + std::to_string(wild);
            if (!cards.empty() && r != kTwo &&
                !(label.visible && label.caption.ends_with(figures))) {
                out << "meld " << side << kRankLetter[r] << " reads " << Quote(label.caption)
                    << "; ";
            }
        }
    }
    for (int i = 1; i <= kDeckSize; ++i) {
        const int where = Cards[i].Location;
        if (where == OpponentHand && Pic(i).image != kBlueBack && Pic(i).image != kRedBack) {
            out << "Thaddock's " << CardName(i) << " shows its face; ";
        }
        if ((where == PlayerHand || where == Stock) && !Pic(i).visible)
            out << CardName(i) << " is hidden; ";
    }
    if (TableIdle) out << "the table is idle during a turn; ";
    if (!f.MnuTakeBack.enabled) out << "Take Back is off during a turn; ";
    return out.str();
}

std::string FileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void ExpectGolden(const std::string& name, const std::string& actual) {
    const auto path = std::filesystem::path(CARDOVIA_GOLDEN_DIR) / (name + ".golden");
    if (std::getenv("CARDOVIA_UPDATE_GOLDEN")) {
        std::ofstream(path, std::ios::binary) << actual;
        return;
    }
    EXPECT_EQ(FileText(path), actual)
        << path.string() << " differs; CARDOVIA_UPDATE_GOLDEN=1 rewrites it";
}

}  // namespace cardovia::testing
