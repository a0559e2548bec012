#pragma once
// The shared table state in one value: the cards, counts, whose turn it is,
// the meld table and the running score components. Per-side arrays are
// indexed by side (1, 2).

#include "model/Card.h"

#include <array>
#include <cstdint>

namespace cardovia {

using PerSide = std::array<i16, 3>;
using PerSideFlag = std::array<bool, 3>;

// One record per meld rank 1..13; each field is indexed by side.
struct MeldRecord {
    PerSide Count{};
    PerSide WildCount{};
    PerSide CountSinceWild{};  // cards laid from the first wild card on, that card included
    PerSideFlag HasWild{};
    PerSideFlag Melded{};
    bool operator==(const MeldRecord&) const = default;
};
inline constexpr int kMeldRanks = 13;
inline constexpr int kCanastaSize = 7;  // cards in a meld that make it a canasta

// The state of the discard pile; the values are the colours of its frame.
enum class PileStates : std::int32_t {
    Open = 0x00FF00,
    Frozen = 0x00FFFF,
    Blocked = 0x0000FF,
};
// The colour of the pile's frame in a state.
constexpr std::uint32_t FrameColour(PileStates state) {
    return static_cast<std::uint32_t>(state);
}

// Everything a hand depends on, in one value: the 108 cards, the counts and
// flags, the meld table, the scores, the turn's flags, the pile's state, the
// last evaluation and what the move handlers hold between a press and its
// release. Resetting is one assignment, copying and comparing one operation.
struct TableState {
    // Index 0 is never a card.
    std::array<Card, kDeckSize + 1> Cards{};

    i16 StockCount = 0;
    i16 DiscardCount = 0;
    i16 TopDiscard = 0;  // top card of the discard pile, 0 = none
    PerSide HandCount{};
    PerSide HandPoints{};
    PerSide NextCardX{};
    PerSide MinMeld{};
    PerSideFlag MeldOpened{};
    PerSide GameScore{};
    PerSideFlag HasCanasta{};

    bool GameInProgress = false;
    bool TableIdle = false;
    bool PlayerTurn = false;
    bool MustDraw = false;
    bool HasDrawn = false;
    bool CanTakePile = false;
    i16 SelectedWild = 0;
    i16 DialogButton = 0;

    std::array<MeldRecord, kMeldRanks + 1> MeldTable{};
    PileStates PileState = PileStates::Open;

    // Score components of the hand in progress.
    PerSide MeldPoints{};
    PerSide RedThreeCount{};
    PerSide RedThreePoints{};
    PerSide PureCanastas{};
    PerSide MixedCanastas{};
    PerSide HandBonus{};
    PerSide OutFirstBonus{};
    i16 TakeBackPenalty = 0;

    // The evaluation of the hand last examined: cards held of each rank code
    // 0..15, the ranks that side may lay now, and the points its new melds bring.
    std::array<i16, 16> RankCount{};
    std::array<bool, 16> CanMeldRank{};
    PerSide HandMeldPoints{};
    // False when one of the melds last checked holds fewer than three cards.
    bool MeldsComplete = false;

    // The player's moves: the card the last press picked up (only its
    // release lays it), and where the keyboard's ring stands (row, place).
    i16 PickedUp = 0;
    i16 RingRow = 0;
    i16 RingSlot = 0;

    // What a careful player remembers of cards shown face up this hand: the
    // side that took each card with the pile (0 = none), and each side's
    // discards by rank code.
    std::array<i16, kDeckSize + 1> TakenBy{};
    std::array<std::array<i16, 16>, 3> Discarded{};

    bool operator==(const TableState&) const = default;
};

// The one table the game is played on. The rules read its members by their
// own names, through the references below.
inline TableState TheTable;

inline auto& Cards = TheTable.Cards;
inline i16& StockCount = TheTable.StockCount;
inline i16& DiscardCount = TheTable.DiscardCount;
inline i16& TopDiscard = TheTable.TopDiscard;
inline PerSide& HandCount = TheTable.HandCount;
inline PerSide& HandPoints = TheTable.HandPoints;
inline PerSide& NextCardX = TheTable.NextCardX;
inline PerSide& MinMeld = TheTable.MinMeld;
inline PerSideFlag& MeldOpened = TheTable.MeldOpened;
inline PerSide& GameScore = TheTable.GameScore;
inline PerSideFlag& HasCanasta = TheTable.HasCanasta;
inline bool& GameInProgress = TheTable.GameInProgress;
inline bool& TableIdle = TheTable.TableIdle;
inline bool& PlayerTurn = TheTable.PlayerTurn;
inline bool& MustDraw = TheTable.MustDraw;
inline bool& HasDrawn = TheTable.HasDrawn;
inline bool& CanTakePile = TheTable.CanTakePile;
inline i16& SelectedWild = TheTable.SelectedWild;
inline i16& DialogButton = TheTable.DialogButton;
inline auto& MeldTable = TheTable.MeldTable;
inline PileStates& PileState = TheTable.PileState;
inline PerSide& MeldPoints = TheTable.MeldPoints;
inline PerSide& RedThreeCount = TheTable.RedThreeCount;
inline PerSide& RedThreePoints = TheTable.RedThreePoints;
inline PerSide& PureCanastas = TheTable.PureCanastas;
inline PerSide& MixedCanastas = TheTable.MixedCanastas;
inline PerSide& HandBonus = TheTable.HandBonus;
inline PerSide& OutFirstBonus = TheTable.OutFirstBonus;
inline i16& TakeBackPenalty = TheTable.TakeBackPenalty;
inline auto& RankCount = TheTable.RankCount;
inline auto& CanMeldRank = TheTable.CanMeldRank;
inline PerSide& HandMeldPoints = TheTable.HandMeldPoints;
inline bool& MeldsComplete = TheTable.MeldsComplete;

// The running game has been given up: a new game was started or loaded while
// it ran, or the program is ending. From then on its waits return at once and
// it shows no dialog, so it unwinds to the game driver without delay.
inline bool GameAbandoned = false;
// The player has chosen to leave: the program ends once the game has unwound.
inline bool ProgramEnding = false;

// Puts every card record and every table, score and setting value back to the
// state the program starts in. Tests and self-play begin from here.
void ResetModel();

}  // namespace cardovia
