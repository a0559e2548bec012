#include "flow/GameRecording.h"

#include "model/GameRecord.h"
#include "model/Settings.h"
#include "model/Table.h"
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

void RecordFinishedGame() {
    const HistoryEntry entry{Sys().LocalDateTime(),
                             GameScore[kPlayer],
                             GameScore[kOpponent],
                             TargetScore,
                             GameScore[kPlayer] > GameScore[kOpponent],
                             static_cast<int>(GameTotals.size())};
    if (auto error = AppendHistory(HistoryPath(), entry)) {
        ReportError("RecordFinishedGame", error->number, error->description);
    }
}

}  // namespace cardovia
