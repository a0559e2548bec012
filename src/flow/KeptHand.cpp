#include "flow/KeptHand.h"

#include "deck/Stock.h"
#include "flow/Options.h"
#include "layout/Hand.h"
#include "layout/RedThreeBoard.h"
#include "model/HandFile.h"
#include "model/PlayerFileFormat.h"
#include "model/Preferences.h"
#include "model/SafeFiles.h"
#include "model/Settings.h"
#include "model/Table.h"
#include "player/PlayerMoves.h"
#include "rules/DiscardPile.h"
#include "rules/MeldTable.h"
#include "scoring/HandScoring.h"
#include "ui/Errors.h"
#include "ui/Form.h"
#include "ui/Messages.h"

#include <condition_variable>
#include <mutex>
#include <optional>
#include <sys/stat.h>
#include <thread>
#include <utility>

namespace cardovia {

namespace {

constexpr std::size_t kLargestHandFile = 64 * 1024;

// What was last written, and where, so an unchanged table is not written again.
std::optional<KeptHand> lastKept;
std::string lastKeptPath;

// Writes Hand.dat off the game's thread: the table is formatted where it is
// kept, and the disk's own time (the sync above all) never lengthens a wait
// or a pause. Only the newest hand waiting matters; an older one not yet
// written is dropped for it. A removal is queued like a write, so it is
// never undone by a write that was still waiting.
class HandWriter {
  public:
    ~HandWriter() {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        changed_.notify_all();
        if (thread_.joinable()) thread_.join();
    }
    // Text to write, or nothing to remove the file.
    void Post(std::string path, std::optional<std::string> text) {
        {
            std::lock_guard lock(mutex_);
            pending_ = Job{std::move(path), std::move(text)};
            if (!thread_.joinable()) thread_ = std::thread([this] { Run(); });
        }
        changed_.notify_all();
    }
    // Returns once everything posted is on the disk.
    void Flush() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return !pending_ && !busy_; });
    }
    // The last write's failure, once.
    std::optional<WriteError> TakeError() {
        std::lock_guard lock(mutex_);
        return std::exchange(error_, std::nullopt);
    }

  private:
    struct Job {
        std::string path;
        std::optional<std::string> text;
    };
    void Run() {
        std::unique_lock lock(mutex_);
        while (true) {
            changed_.wait(lock, [this] { return pending_ || stopping_; });
            if (!pending_) return;
            Job job = std::move(*pending_);
            pending_.reset();
            busy_ = true;
            lock.unlock();
            std::optional<WriteError> error;
            error = job.text ? WriteWholeFile(job.path, *job.text) : RemoveFile(job.path);
            lock.lock();
            busy_ = false;
            if (error) error_ = error;
            changed_.notify_all();
        }
    }
    std::mutex mutex_;
    std::condition_variable changed_;
    std::optional<Job> pending_;
    std::optional<WriteError> error_;
    bool busy_ = false;
    bool stopping_ = false;
    std::thread thread_;
};

HandWriter& Writer() {
    static HandWriter writer;
    return writer;
}

std::vector<Label*> ResultLabels() {
    std::vector<Label*> labels;
    for (Control* c : Frmtable().Controls) {
        if (c->parent == &Frmtable().FramResults && c->kind == ControlKind::Label) {
            labels.push_back(static_cast<Label*>(c));
        }
    }
    return labels;
}

KeptHand HandNow(bool atResults) {
    KeptHand hand;
    hand.table = TheTable;
    hand.level = ThaddockPlays;
    hand.atResults = atResults;
    hand.totals = GameTotals;
    hand.totalsTarget = GameTotalsTarget;
    if (atResults) {
        for (const Label* l : ResultLabels()) hand.results.push_back(l->caption);
        hand.exitShown = Frmtable().cmdSave.visible;
    }
    return hand;
}

// A Hand.dat that does not read is kept aside, never lost, and the player is told.
void TellSetAside(const std::string& path, const std::string& fault) {
    const SetAsideResult aside = SetAside(path);
    const std::string became = aside.aside.empty()
                                   ? "could not be moved aside (" + aside.cause + ") and is left as it is"
                                   : "was kept aside as " + aside.aside;
    ShowMessageDialog("The hand in progress kept in " + path + " could not be read: " + fault +
                          ". It " + became + "; a new game can be started as usual.",
                      "O.K", "", "", kPictureNotice, "Kept hand not read");
}

// The form shows the table again through the layout procedures themselves.
void LayOut(const KeptHand& hand) {
    TableForm& f = Frmtable();
    for (int i = 1; i <= kDeckSize; ++i) {
        const int where = Cards[i].Location;
        Pic(i).visible = true;
        if (where == Stock || where == OpponentHand) {
            Pic(i).image = CardBackImage();
        } else {
            ShowFace(i);
        }
    }
    // Laid out quietly: no card sound for each meld put back.
    const bool sound = SoundOn;
    SoundOn = false;
    StackStock();
    ShuffleDiscard();
    SortHand(kOpponent);
    SortHand(kPlayer);
    for (int side : {kPlayer, kOpponent}) {
        for (int r = 1; r <= kMeldRanks; ++r) {
            if (MeldTable[r].Melded[side] || MeldTable[r].Count[side] > 0) SortaMeld(r, side);
        }
        SortRedThree(side);
        ShowCurrentScores(side);
    }
    SoundOn = sound;
    f.Shape1.borderColor = FrameColour(PileState);
    SetPanel(1, MeldOpened[kPlayer] ? "Minimum Meld Points Met"
                                    : "Minimum Meld Points " + std::to_string(MinMeld[kPlayer]));
    if (hand.atResults) {
        const std::vector<Label*> labels = ResultLabels();
        for (std::size_t i = 0; i < labels.size() && i < hand.results.size(); ++i) {
            labels[i]->caption = hand.results[i];
        }
        f.cmdSave.visible = hand.exitShown;
        f.FramResults.visible = true;
        ZOrder(f.FramResults);
    }
}

}  // namespace

void KeepHand(bool atResults) {
    if (!GameInProgress || GameAbandoned) return;
    if (auto error = Writer().TakeError()) {
        // The game goes on; the hand is written whole again at this wait.
        ReportError("KeepHand", error->number, error->Report());
        lastKept.reset();
    }
    KeptHand hand = HandNow(atResults);
    const std::string path = HandFilePath();
    if (lastKept && *lastKept == hand && lastKeptPath == path) return;
    Writer().Post(path, FormatKeptHand(hand));
    lastKept = std::move(hand);
    lastKeptPath = path;
}

void ForgetKeptHand() {
    lastKept.reset();
    Writer().Post(HandFilePath(), std::nullopt);
}

void FlushKeptHand() {
    Writer().Flush();
}

bool HandIsKept() {
    FlushKeptHand();
    struct stat st {};
    return ::lstat(HandFilePath().c_str(), &st) == 0;
}

namespace {

// The kept hand, if there is one that reads; one that does not is set aside.
std::optional<KeptHand> ReadKeptHand() {
    const std::string path = HandFilePath();
    if (!HandIsKept()) return std::nullopt;
    const FileRead file = ReadSmallFile(path, kLargestHandFile);
    if (file.found != FileFound::Read) {
        if (file.found != FileFound::Missing) TellSetAside(path, file.cause);
        return std::nullopt;
    }
    KeptHandRead read = ParseKeptHand(file.text);
    if (!read.hand) TellSetAside(path, read.fault);
    return read.hand;
}

}  // namespace

bool KeptHandReadable() {
    return ReadKeptHand().has_value();
}

bool ResumeKeptHand() {
    const std::optional<KeptHand> kept = ReadKeptHand();
    if (!kept) return false;
    const KeptHand& hand = *kept;
    TheTable = hand.table;
    ThaddockPlays = hand.level;
    ShowThaddockChoice();
    GameTotals = hand.totals;
    GameTotalsTarget = hand.totalsTarget;
    ++GameTotalsVersion;
    {
        // The layout pauses; a click or key then must not act on a table half laid out.
        PlayerMoveGuard layingOut;
        LayOut(hand);
    }
    // The layout recounts what the table already holds; the table is the kept one, exactly.
    TheTable = hand.table;
    lastKept = hand;
    lastKeptPath = HandFilePath();
    return true;
}

}  // namespace cardovia
