#include "flow/GameRecording.h"

#include "flow/KeptHand.h"
#include "model/GameRecord.h"
#include "model/Settings.h"
#include "model/Table.h"
#include "scoring/ReadAndSave.h"
#include "ui/Errors.h"
#include "ui/Platform.h"

namespace cardovia {

void StartGameRecord() {
    GameTotals.clear();
    GameTotalsTarget = TargetScore;
    ++GameTotalsVersion;
}

void RecordHand() {
    GameTotals.push_back({GameScore[kPlayer], GameScore[kOpponent]});
    ++GameTotalsVersion;
}

namespace {

HistoryEntry FinishedGame() {
    return HistoryEntry{Sys().LocalDateTime(),
                        GameScore[kPlayer],
                        GameScore[kOpponent],
                        TargetScore,
                        GameScore[kPlayer] > GameScore[kOpponent],
                        static_cast<int>(GameTotals.size())};
}

}  // namespace

GameEndSaved RecordGameEnd() {
    GameEnd end;
    end.game = FinishedGame();
    end.record = CurrentPlayerRecord();
    end.forgetKeptHand = true;
    try {
        // A tie is a game lost, as the Game Over box tells it.
        if (end.game.won) {
            end.record.gamesWon = Add16(GamesWon, 1);
        } else {
            end.record.gamesLost = Add16(GamesLost, 1);
        }
    } catch (const GameError& e) {
        ReportError("RecordGameEnd", e.number, e.description);
        return {false, e.description};
    }
    // The last hand kept must be on the disk before the end removes it.
    FlushKeptHand();
    const GameEndWritten written = WriteGameEnd(PlayerFilesDirectory(), end);
    if (written.counted) {
        GamesWon = end.record.gamesWon;
        GamesLost = end.record.gamesLost;
    }
    if (!written.error) return {};
    ReportError("RecordGameEnd", written.error->number, written.error->Report());
    return {written.saved, written.error->sentence};
}

}  // namespace cardovia
