#include "model/HandFile.h"

#include "model/PlayerFileFormat.h"

#include <array>
#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <stdexcept>

namespace cardovia {

namespace {

using Numbers = std::vector<long>;

// ---- each kind of field as a row of numbers, and back ----

void Put(Numbers& out, long v) {
    out.push_back(v);
}
void Put(Numbers& out, bool v) {
    out.push_back(v ? 1 : 0);
}
void Put(Numbers& out, i16 v) {
    out.push_back(v);
}
void Put(Numbers& out, PileStates v) {
    out.push_back(static_cast<long>(v));
}
template <class T, std::size_t N>
void Put(Numbers& out, const std::array<T, N>& v) {
    for (const T& x : v) Put(out, x);
}
void Put(Numbers& out, const MeldRecord& m) {
    Put(out, m.Count), Put(out, m.WildCount), Put(out, m.CountSinceWild);
    Put(out, m.HasWild), Put(out, m.Melded);
}
void Put(Numbers& out, const Card& c) {
    Put(out, c.Value), Put(out, c.Location), Put(out, c.FromDiscard), Put(out, c.MeldedFromHand);
    Put(out, c.Rank), Put(out, c.MeldRank);
}

struct Cursor {
    const Numbers& numbers;
    std::size_t at = 0;
    long Next() {
        if (at >= numbers.size()) throw std::invalid_argument("a line is cut short");
        return numbers[at++];
    }
};

void Take(Cursor& in, long& v) {
    v = in.Next();
}
void Take(Cursor& in, i16& v) {
    const long n = in.Next();
    if (!Fits16(n)) throw std::invalid_argument("a number is out of range");
    v = static_cast<i16>(n);
}
void Take(Cursor& in, bool& v) {
    const long n = in.Next();
    if (n != 0 && n != 1) throw std::invalid_argument("a flag is neither 0 nor 1");
    v = n == 1;
}
void Take(Cursor& in, PileStates& v) {
    const long n = in.Next();
    for (PileStates s : {PileStates::Open, PileStates::Frozen, PileStates::Blocked}) {
        if (n == static_cast<long>(s)) {
            v = s;
            return;
        }
    }
    throw std::invalid_argument("the pile's state is unknown");
}
template <class T, std::size_t N>
void Take(Cursor& in, std::array<T, N>& v) {
    for (T& x : v) Take(in, x);
}
void Take(Cursor& in, MeldRecord& m) {
    Take(in, m.Count), Take(in, m.WildCount), Take(in, m.CountSinceWild);
    Take(in, m.HasWild), Take(in, m.Melded);
}
void Take(Cursor& in, Card& c) {
    Take(in, c.Value), Take(in, c.Location), Take(in, c.FromDiscard), Take(in, c.MeldedFromHand);
    Take(in, c.Rank), Take(in, c.MeldRank);
}

// The table's fields in the one order both writing and reading follow.
template <class Io, class State>
void Fields(Io& io, State& t) {
    for (int i = 1; i <= kDeckSize; ++i) io("card" + std::to_string(i), t.Cards[i]);
    io("StockCount", t.StockCount), io("DiscardCount", t.DiscardCount);
    io("TopDiscard", t.TopDiscard), io("HandCount", t.HandCount);
    io("HandPoints", t.HandPoints), io("NextCardX", t.NextCardX), io("MinMeld", t.MinMeld);
    io("MeldOpened", t.MeldOpened), io("GameScore", t.GameScore), io("HasCanasta", t.HasCanasta);
    io("GameInProgress", t.GameInProgress), io("TableIdle", t.TableIdle);
    io("PlayerTurn", t.PlayerTurn), io("MustDraw", t.MustDraw), io("HasDrawn", t.HasDrawn);
    io("CanTakePile", t.CanTakePile), io("SelectedWild", t.SelectedWild);
    io("DialogButton", t.DialogButton);
    for (int r = 0; r <= kMeldRanks; ++r) io("meld" + std::to_string(r), t.MeldTable[r]);
    io("PileState", t.PileState), io("MeldPoints", t.MeldPoints);
    io("RedThreeCount", t.RedThreeCount), io("RedThreePoints", t.RedThreePoints);
    io("PureCanastas", t.PureCanastas), io("MixedCanastas", t.MixedCanastas);
    io("HandBonus", t.HandBonus), io("OutFirstBonus", t.OutFirstBonus);
    io("TakeBackPenalty", t.TakeBackPenalty), io("RankCount", t.RankCount);
    io("CanMeldRank", t.CanMeldRank), io("HandMeldPoints", t.HandMeldPoints);
    io("MeldsComplete", t.MeldsComplete), io("PickedUp", t.PickedUp);
    io("RingRow", t.RingRow), io("RingSlot", t.RingSlot);
}

constexpr std::array<std::pair<ThaddockLevel, const char*>, 3> kLevelWords = {
    {{ThaddockLevel::Classic, "classic"},
     {ThaddockLevel::Expert, "expert"},
     {ThaddockLevel::Master, "master"}}};

const char* LevelWord(ThaddockLevel level) {
    for (const auto& [l, word] : kLevelWords) {
        if (l == level) return word;
    }
    return "classic";
}

ThaddockLevel LevelOf(const std::string& word) {
    for (const auto& [l, w] : kLevelWords) {
        if (word == w) return l;
    }
    throw std::invalid_argument("no such Thaddock");
}

// What both sides remember of the cards shown face up this hand.
template <class Io, class State>
void Memory(Io& io, State& t) {
    io("TakenBy", t.TakenBy);
    for (int side = 0; side < static_cast<int>(t.Discarded.size()); ++side) {
        io("Discarded" + std::to_string(side), t.Discarded[side]);
    }
}

struct Writer {
    std::string text;
    template <class T>
    void operator()(const std::string& name, const T& value) {
        Numbers numbers;
        Put(numbers, value);
        text += name;
        for (long n : numbers) text += " " + std::to_string(n);
        text += "\n";
    }
};

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

struct Reader {
    const std::vector<std::string>& lines;
    std::size_t at = 0;
    // The next line, which must be named `name`; its words after the name.
    std::string Line(const std::string& name) {
        if (at >= lines.size()) throw std::invalid_argument("the file is cut short");
        const std::string& line = lines[at++];
        if (line.rfind(name + " ", 0) != 0 && line != name) {
            throw std::invalid_argument("expected " + name + ", found another line");
        }
        return line.size() > name.size() ? line.substr(name.size() + 1) : std::string();
    }
    template <class T>
    void operator()(const std::string& name, T& value) {
        std::istringstream words(Line(name));
        Numbers numbers;
        for (std::string w; words >> w;) {
            std::size_t used = 0;
            long n = 0;
            try {
                n = std::stol(w, &used);
            } catch (const std::exception&) {
                used = 0;
            }
            if (used != w.size()) throw std::invalid_argument(name + " holds a word, not a number");
            numbers.push_back(n);
        }
        Cursor in{numbers};
        Take(in, value);
        if (in.at != numbers.size()) throw std::invalid_argument(name + " has numbers to spare");
    }
};

// FNV-1a, 64 bits: enough to tell a damaged file from a whole one.
std::uint64_t Checksum(const std::string& text) {
    std::uint64_t h = 0xcbf29ce484222325ULL;
    for (unsigned char c : text) h = (h ^ c) * 0x100000001b3ULL;
    return h;
}

std::string Hex(std::uint64_t v) {
    char buffer[17];
    std::snprintf(buffer, sizeof buffer, "%016" PRIx64, v);
    return buffer;
}

bool KnownPlace(int location) {
    switch (location) {
        case PlayerHand:
        case OpponentHand:
        case Stock:
        case DiscardPile:
        case PlayerMelds:
        case OpponentMelds:
        case PlayerRedThrees:
        case OpponentRedThrees:
            return true;
        default:
            return false;
    }
}

// A table the game could have left: every card where a card can be, as the
// deck made it, and every count agreeing with the cards.
void CheckTable(const TableState& t) {
    std::array<int, 32> at{};
    for (int i = 1; i <= kDeckSize; ++i) {
        const Card& c = t.Cards[i];
        if (!KnownPlace(c.Location)) throw std::invalid_argument("a card lies nowhere");
        ++at[static_cast<std::size_t>(c.Location)];
        const DeckEntry deck = DeckLayout(i);
        const bool onMeld = c.Location == PlayerMelds || c.Location == OpponentMelds;
        const bool wildOnMeld = IsWildIndex(i) && onMeld && c.Rank >= 1 && c.Rank <= kMeldRanks;
        if (c.Value != deck.value || (c.Rank != deck.rank && !wildOnMeld)) {
            throw std::invalid_argument("card " + std::to_string(i) + " is not the deck's");
        }
    }
    if (at[Stock] != t.StockCount) throw std::invalid_argument("the stock's count is wrong");
    if (at[DiscardPile] != t.DiscardCount) throw std::invalid_argument("the pile's count is wrong");
    for (int side : {kPlayer, kOpponent}) {
        if (at[static_cast<std::size_t>(side)] != t.HandCount[side]) {
            throw std::invalid_argument("a hand's count is wrong");
        }
        int melded = 0;
        for (int r = 1; r <= kMeldRanks; ++r) melded += t.MeldTable[r].Count[side];
        if (melded != at[side == kPlayer ? PlayerMelds : OpponentMelds]) {
            throw std::invalid_argument("the meld table does not hold the melded cards");
        }
    }
    // An emptied pile remembers the card that was on top; a pile with cards has
    // one of them on top.
    if (t.TopDiscard < 0 || t.TopDiscard > kDeckSize) {
        throw std::invalid_argument("the pile's top card is no card");
    }
    if (t.DiscardCount > 0 && t.Cards[t.TopDiscard].Location != DiscardPile) {
        throw std::invalid_argument("the pile's top card is not on the pile");
    }
    if (!t.GameInProgress) throw std::invalid_argument("no game is in progress");
    for (i16 side : t.TakenBy) {
        if (side != 0 && side != kPlayer && side != kOpponent) {
            throw std::invalid_argument("a card was taken by no side");
        }
    }
    for (const auto& ranks : t.Discarded) {
        for (i16 n : ranks) {
            if (n < 0 || n > kDeckSize) throw std::invalid_argument("a count of discards is wrong");
        }
    }
}

}  // namespace

std::string HandFilePath() {
    return (std::filesystem::path(PlayerFilePath()).parent_path() / kHandFileName).string();
}

std::string FormatKeptHand(const KeptHand& hand) {
    Writer w;
    w.text = std::string(kHandFileVersion) + "\n";
    w.text += std::string("thaddock ") + LevelWord(hand.level) + "\n";
    w.text += std::string("waiting ") + (hand.atResults ? "results" : "turn") + "\n";
    Fields(w, hand.table);
    Memory(w, hand.table);
    w("target", static_cast<long>(hand.totalsTarget));
    w("exitshown", hand.exitShown);
    for (const HandTotals& t : hand.totals) {
        w("totals", std::array<long, 2>{t.player, t.thaddock});
    }
    for (const std::string& caption : hand.results) w.text += "result " + caption + "\n";
    return SealKeptHand(w.text);
}

std::string SealKeptHand(const std::string& body) {
    return body + "sum " + Hex(Checksum(body)) + "\n";
}

KeptHandRead ParseKeptHand(const std::string& text) {
    KeptHandRead read;
    const auto sumAt = text.rfind("sum ");
    if (sumAt == std::string::npos || (sumAt > 0 && text[sumAt - 1] != '\n')) {
        read.fault = "it is cut short";
        return read;
    }
    std::string sum = text.substr(sumAt + 4);
    while (!sum.empty() && (sum.back() == '\n' || sum.back() == '\r')) sum.pop_back();
    const std::string body = text.substr(0, sumAt);
    if (body.rfind(std::string(kHandFileVersion) + "\n", 0) != 0) {
        read.fault = "it is not a kept hand of this version";
        return read;
    }
    if (sum != Hex(Checksum(body))) {
        read.fault = "it is damaged (its checksum does not match)";
        return read;
    }
    try {
        const std::vector<std::string> lines = Lines(body);
        Reader r{lines, 1};
        KeptHand hand;
        const std::string level = r.Line("thaddock");
        hand.level = LevelOf(level);
        const std::string waiting = r.Line("waiting");
        if (waiting != "results" && waiting != "turn") throw std::invalid_argument("no such wait");
        hand.atResults = waiting == "results";
        Fields(r, hand.table);
        // Kept by this version on; a hand kept before it simply remembers nothing.
        if (r.at < lines.size() && lines[r.at].rfind("TakenBy ", 0) == 0) Memory(r, hand.table);
        long target = 0;
        r("target", target);
        hand.totalsTarget = static_cast<int>(target);
        r("exitshown", hand.exitShown);
        while (r.at < lines.size() && lines[r.at].rfind("totals ", 0) == 0) {
            std::array<long, 2> t{};
            r("totals", t);
            hand.totals.push_back({static_cast<int>(t[0]), static_cast<int>(t[1])});
        }
        while (r.at < lines.size()) hand.results.push_back(r.Line("result"));
        for (int i = 1; i <= kDeckSize; ++i) hand.table.Cards[i].CardName = DeckLayout(i).name;
        CheckTable(hand.table);
        read.hand = std::move(hand);
    } catch (const std::exception& e) {
        read.fault = e.what();
    }
    return read;
}

}  // namespace cardovia
