#include "model/Card.h"
#include "model/GameRecord.h"
#include "model/Preferences.h"
#include "model/Settings.h"
#include "model/Table.h"

namespace cardovia {

void ResetModel() {
    Cards.fill(Card{});
    ThaddockPlaysExpert = FourColourSuits = false;
    SoundOn = SmoothMotion = true;
    GameTotals.clear();
    GameTotalsTarget = kDefaultTarget;
    ++GameTotalsVersion;
    CurrentPreferences = Preferences{};
    StockCount = DiscardCount = TopDiscard = 0;
    HandCount = HandPoints = NextCardX = MinMeld = GameScore = PerSide{};
    MeldOpened = HasCanasta = PerSideFlag{};
    GameInProgress = TableIdle = PlayerTurn = MustDraw = HasDrawn = CanTakePile = false;
    SelectedWild = DialogButton = 0;
    MeldTable.fill(MeldRecord{});
    PileState = PileStates::Open;
    MeldPoints = RedThreeCount = RedThreePoints = PureCanastas = MixedCanastas = PerSide{};
    HandBonus = OutFirstBonus = PerSide{};
    TakeBackPenalty = 0;
    RankCount = {};
    CanMeldRank = {};
    HandMeldPoints = {};
    MeldsComplete = false;
    GameAbandoned = ProgramEnding = false;
    PlayerName = kDefaultPlayerName;
    SpeedDelay = DelayMs = kMediumSpeed;
    CardBack = false;
    TargetScore = kDefaultTarget;
    LearningMode = false;
    GamesWon = GamesLost = 0;
    DelayStart = 0;
}

}  // namespace cardovia
