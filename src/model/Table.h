#pragma once
// The shared table state: counts, whose turn it is, the meld table and the
// running score components. Per-side arrays are indexed by side (1, 2).

#include <array>

#include "model/Card.h"

namespace cardovia {

using PerSide = std::array<i16, 3>;
using PerSideFlag = std::array<bool, 3>;

inline i16 StockCount = 0;
inline i16 DiscardCount = 0;
inline i16 TopDiscard = 0;  // top card of the discard pile, 0 = none
inline PerSide HandCount{};
inline PerSide HandPoints{};
inline PerSide NextCardX{};
inline PerSide MinMeld{};
inline PerSideFlag MeldOpened{};
inline PerSide GameScore{};
inline PerSideFlag HasCanasta{};

inline bool GameInProgress = false;
inline bool TableIdle = false;
inline bool PlayerTurn = false;
inline bool MustDraw = false;
inline bool HasDrawn = false;
inline bool CanTakePile = false;
inline i16 SelectedWild = 0;
inline i16 DialogButton = 0;

// One record per meld rank 1..13; each field is indexed by side.
struct MeldRecord {
    PerSide Count{};
    PerSide WildCount{};
    PerSide CountSinceWild{};  // cards laid from the first wild card on, that card included
    PerSideFlag HasWild{};
    PerSideFlag Melded{};
};
inline constexpr int kMeldRanks = 13;
inline constexpr int kCanastaSize = 7;  // cards in a meld that make it a canasta
inline std::array<MeldRecord, kMeldRanks + 1> MeldTable{};

// The state of the discard pile; the values are the colours of its frame.
enum class PileStates : std::int32_t {
    Open = 0x00FF00,
    Frozen = 0x00FFFF,
    Blocked = 0x0000FF,
};
inline PileStates PileState = PileStates::Open;
// The colour of the pile's frame in a state.
constexpr std::uint32_t FrameColour(PileStates state) {
    return static_cast<std::uint32_t>(state);
}

// Score components of the hand in progress.
inline PerSide MeldPoints{};
inline PerSide RedThreeCount{};
inline PerSide RedThreePoints{};
inline PerSide PureCanastas{};
inline PerSide MixedCanastas{};
inline PerSide HandBonus{};
inline PerSide OutFirstBonus{};
inline i16 TakeBackPenalty = 0;

// The running game has been given up: a new game was started or loaded while
// it ran, or the program is ending. From then on its waits return at once and
// it shows no dialog, so it unwinds to the game driver without delay.
inline bool GameAbandoned = false;
// The player has chosen to leave: the program ends once the game has unwound.
inline bool ProgramEnding = false;

// The evaluation of the hand last examined: cards held of each rank code
// 0..15, the ranks that side may lay now, and the points its new melds bring.
inline std::array<i16, 16> RankCount{};
inline std::array<bool, 16> CanMeldRank{};
inline PerSide HandMeldPoints{};
// False when one of the melds last checked holds fewer than three cards.
inline bool MeldsComplete = false;

// Puts every card record and every table, score and setting value back to the
// state the program starts in. Tests and self-play begin from here.
void ResetModel();

}  // namespace cardovia
