// A seeded random player on the real window: presses, releases, drags and
// moves over the cards, menu commands, the panels' buttons and random answers
// to every dialog, at any moment of the game: while dealing, during Thaddock's
// turn and at the results alike. The table is checked after every event, a
// watchdog fails a run that stops answering, and the process must sleep while
// it waits for the player.
//
// CARDOVIA_SOAK_SECONDS sets the length of the run (default 45 s) and
// CARDOVIA_SOAK_SEED the seed (printed by every run); bench/soak.sh runs it long.

#include "flow/GameLoop.h"
#include "flow/Handlers.h"
#include "flow/Startup.h"
#include "model/PlayerFile.h"
#include "model/Settings.h"
#include "model/Table.h"
#include "player/FollowMouse.h"
#include "player/PlayerMoves.h"
#include "scoring/TargetScore.h"
#include "ui/Errors.h"
#include "ui/Form.h"
#include "ui/qt/ControlItems.h"
#include "ui/qt/HelpWindow.h"
#include "ui/qt/MessageDialog.h"
#include "ui/qt/QtPlatform.h"
#include "ui/qt/TableView.h"
#include "ui/qt/TableWindow.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QGraphicsScene>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>

#include <cctype>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <map>
#include <mutex>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include <sys/resource.h>

namespace cardovia::qt {
namespace {

using SteadyClock = std::chrono::steady_clock;

constexpr int kTickMs = 3;               // the monkey acts, answers and checks this often
constexpr int kMaxNesting = 6;           // moves that pause may nest this deep, no deeper
constexpr int kQuietMs = 1000;           // a quiet wait, for the CPU measurement
constexpr double kQuietCpuLimit = 0.10;  // of one core, while nobody touches the table
constexpr int kQuietEverySeconds = 8;
constexpr double kTimeScale = 60;  // every pause of the game lasts 1/60 as long
constexpr int kUnwindSeconds = 20;

long EnvNumber(const char* name, long fallback) {
    const char* text = std::getenv(name);
    if (!text || !*text) return fallback;
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    return end && *end == '\0' ? value : fallback;
}

double CpuSeconds() {
    rusage use{};
    getrusage(RUSAGE_SELF, &use);
    return static_cast<double>(use.ru_utime.tv_sec + use.ru_stime.tv_sec) +
           static_cast<double>(use.ru_utime.tv_usec + use.ru_stime.tv_usec) / 1e6;
}

// The trailing number of a caption such as "Stock:- 57" or "Frozen 3"; -1 when none.
long TrailingNumber(const std::string& text) {
    std::size_t start = text.size();
    while (start > 0 && std::isdigit(static_cast<unsigned char>(text[start - 1]))) --start;
    if (start == text.size()) return -1;
    return std::stol(text.substr(start));
}

// Leaving is recorded instead of ending the process, unexpected errors are
// recorded instead of opening a box, and the deal follows the run's seed.
class SoakPlatform : public QtPlatform {
  public:
    void Seed(std::uint64_t seed) { random_.seed(seed); }
    void Quit() override { ++quits; }
    void CriticalError(const std::string&, const std::string& text) override {
        errors.push_back(text);
    }
    double Random() override { return std::uniform_real_distribution<double>(0, 1)(random_); }
    int quits = 0;
    std::vector<std::string> errors;

  private:
    std::mt19937_64 random_{1};
};

// Fails the run when the main thread stops handling events: a hang or a busy
// loop that never returns to the event loop.
class Watchdog {
  public:
    explicit Watchdog(int seconds) : limit_(seconds) {
        Beat("start");
        thread_ = std::thread([this] { Watch(); });
    }
    ~Watchdog() {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        wake_.notify_all();
        thread_.join();
    }
    void Beat(const std::string& last) {
        std::lock_guard lock(mutex_);
        beat_ = SteadyClock::now();
        last_ = last;
    }

  private:
    void Watch() {
        std::unique_lock lock(mutex_);
        while (!stop_) {
            wake_.wait_for(lock, std::chrono::milliseconds(200));
            if (stop_) break;
            if (SteadyClock::now() - beat_ > std::chrono::seconds(limit_)) {
                std::fprintf(stderr,
                             "soak: no event handled for %d s; the last event was: %s\n"
                             "soak: the window hangs; failing the run\n",
                             limit_, last_.c_str());
                std::fflush(stderr);
                std::abort();
            }
        }
    }
    int limit_;
    std::mutex mutex_;
    std::condition_variable wake_;
    SteadyClock::time_point beat_;
    std::string last_;
    bool stop_ = false;
    std::thread thread_;
};

struct QuietMeasure {
    std::string state;
    double cpuShare;
};

class Monkey {
  public:
    Monkey(TableWindow& window, SoakPlatform& platform, std::uint64_t seed, int seconds)
        : window_(window), platform_(platform), rng_(seed), seconds_(seconds) {
        for (QGraphicsItem* item : window_.view()->scene()->items()) {
            auto* control = dynamic_cast<ControlItem*>(item);
            if (!control) continue;
            items_[control->control()] = control;
            if (auto* card = dynamic_cast<CardItem*>(item)) cards_.push_back(card);
            if (auto* box = dynamic_cast<TextBoxItem*>(item)) targetEdit_ = box->edit();
        }
        const TableForm& f = Frmtable();
        // Starting games over and Learning Mode's many messages are rarer, so
        // that hands run to their results and games to their end.
        menus_ = {{&f.MnuNew, 0.03},   {&f.MnuLoad, 0.02}, {&f.MnuSave, 1},   {&f.MnuTakeBack, 6},
                  {&f.MnuHandHelp, 3}, {&f.MnuLearn, 0.2}, {&f.MnuFast, 1},   {&f.MnuMed, 1},
                  {&f.MnuSlow, 0.3},   {&f.MnuBlue, 1},    {&f.MnuRed, 1},    {&f.MnuTarget, 2},
                  {&f.MnuView, 1},     {&f.MnuDel, 1},     {&f.MnuName, 0.5}, {&f.MnuExit, 1}};
    }

    // Plays until the time is up or the first fault, then lets the game unwind.
    void Run() {
        Watchdog watchdog(static_cast<int>(EnvNumber("CARDOVIA_SOAK_HANG_SECONDS", 20)));
        watchdog_ = &watchdog;
        start_ = SteadyClock::now();
        nextQuiet_ = start_ + std::chrono::seconds(kQuietEverySeconds / 2);
        QEventLoop outer;
        outer_ = &outer;
        QObject::connect(&ticker_, &QTimer::timeout, [this] { Tick(); });
        ticker_.start(kTickMs);
        outer.exec();
        ticker_.stop();
        watchdog_ = nullptr;
    }

    std::vector<std::string> failures;
    std::vector<std::string> unexpectedErrors;
    std::vector<QuietMeasure> quiet;
    std::map<std::string, int> counts;
    long events = 0;
    int expectedErrors = 0;

  private:
    // ---- the driver ----

    void Tick() {
        if (watchdog_) watchdog_->Beat(lastEvent_);
        Check("tick");
        if (ending_) return Unwind();
        if (Elapsed() > seconds_ || !failures.empty()) return BeginEnding();
        if (QWidget* modal = QApplication::activeModalWidget()) return Answer(modal);
        if (QuietWanted()) return BeginQuiet();
        RestartAfterLeaving();
        if (depth_ >= kMaxNesting || Roll(100) >= 70) return;
        QTimer::singleShot(0, [this] { Act(); });
    }

    double Elapsed() const {
        return std::chrono::duration<double>(SteadyClock::now() - start_).count();
    }

    // One random action, run from its own timer so that it may pause (and so
    // nest further actions inside its pauses) without holding up the driver.
    void Act() {
        // A person cannot reach the table or the menus while a modal dialog is up.
        if (QApplication::activeModalWidget() || ending_ || quietActive_) return;
        const bool startsDriver = !GameRunning();
        if (!startsDriver) ++depth_;
        const int dice = Roll(1000);
        if (startsDriver && Roll(4) == 0) {
            // A person at a table with no game soon asks for one.
            MenuEntry(Frmtable().MnuNew);
        } else if (dice < 380) {
            ClickCard();
        } else if (dice < 430) {
            PressOrReleaseCard();
        } else if (dice < 510) {
            DragCard();
        } else if (dice < 700) {
            HoverCard();
        } else if (dice < 730) {
            DoubleClickCard();
        } else if (dice < 750) {
            ClickAnywhere();
        } else if (dice < 875) {
            UsePanels();
        } else if (dice < 995) {
            ChooseMenuEntry();
        } else if (dice < 998) {
            ResizeWindow();
        } else {
            Event("close box");
            window_.close();
        }
        if (!startsDriver) --depth_;
        Check("after " + lastEvent_);
    }

    // ---- dialogs ----

    void Answer(QWidget* modal) {
        if (modal != pendingModal_) {
            pendingModal_ = modal;
            answerAt_ = SteadyClock::now() + std::chrono::milliseconds(Roll(25));
            if (QuietWanted()) return BeginQuiet();
        }
        if (SteadyClock::now() < answerAt_) return;
        pendingModal_ = nullptr;
        ++events;
        if (auto* dialog = qobject_cast<MessageDialog*>(modal)) return AnswerMessage(*dialog);
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            const auto buttons = box->buttons();
            QAbstractButton* chosen = buttons.at(Roll(static_cast<int>(buttons.size())));
            Event("answer question box: " + chosen->text().toStdString());
            QTest::mouseClick(chosen, Qt::LeftButton);
            return;
        }
        if (auto* input = qobject_cast<QInputDialog*>(modal)) {
            const std::string name = RandomName();
            input->setTextValue(QString::fromStdString(name));
            const bool ok = Roll(4) != 0;
            Event(std::string("answer name box: ") + (ok ? "O.K. " : "Cancel ") +
                  std::to_string(name.size()) + " bytes");
            ok ? input->accept() : input->reject();
            return;
        }
        Event("close " + std::string(modal->metaObject()->className()));
        modal->close();
    }

    void AnswerMessage(MessageDialog& dialog) {
        const std::string title = dialog.TitleStrip()->text().trimmed().toStdString();
        std::vector<int> shown;
        for (int i = 0; i < 3; ++i) {
            if (dialog.Button(i)->isVisible()) shown.push_back(i);
        }
        int button = shown[Roll(static_cast<int>(shown.size()))];
        // Leaving is refused so the run goes on; "Game Over" may end the game
        // either way, and after "Exit" the program is started again.
        if (title == "Quit without saving?" || title == "Really Exit?") button = 1;
        ++counts["dialog " + title];
        Event("answer \"" + title + "\" with " + dialog.Button(button)->Caption().toStdString());
        QTest::mouseClick(dialog.Button(button), Qt::LeftButton);
    }

    std::string RandomName() {
        static const std::vector<std::string> kNames = {
            "",    "Ann",    "\"Quoted\" name", "O'Brien, Esq.", "tab\there", "line\r\nbreak",
            "Zoë", "#TRUE#", "  spaced  "};
        if (Roll(5) == 0) return std::string(static_cast<std::size_t>(50 + Roll(400)), 'W');
        return kNames[Roll(static_cast<int>(kNames.size()))];
    }

    // ---- the cards ----

    // A visible card, the player's own and the piles' tops more often.
    CardItem* PickCard() {
        std::vector<CardItem*> visible;
        std::vector<CardItem*> likely;
        for (CardItem* card : cards_) {
            if (!card->isVisible()) continue;
            visible.push_back(card);
            const int where = Cards[card->index()].Location;
            if (where == PlayerHand || where == PlayerMelds || card->index() == TopDiscard) {
                likely.push_back(card);
            }
        }
        if (visible.empty()) return nullptr;
        if (!likely.empty() && Roll(2) == 0) return likely[Roll(static_cast<int>(likely.size()))];
        return visible[Roll(static_cast<int>(visible.size()))];
    }

    // A point on the card's left part, which overlapping cards leave visible.
    QPoint PointOn(CardItem* card) {
        const QRectF r = card->sceneBoundingRect();
        const QPointF p(r.left() + 30 + Roll(static_cast<int>(r.width() * 0.35)),
                        r.top() + 30 + Roll(static_cast<int>(r.height() - 60)));
        return window_.view()->mapFromScene(p);
    }

    QPoint AnyPoint() {
        return window_.view()->mapFromScene(QPointF(Roll(kTableWidth), Roll(kTableHeight)));
    }

    Qt::MouseButton RandomButton() { return Roll(5) < 3 ? Qt::LeftButton : Qt::RightButton; }

    static std::string Name(Qt::MouseButton b) { return b == Qt::LeftButton ? "left" : "right"; }
    static std::string Describe(CardItem* card) {
        return "card " + std::to_string(card->index()) + " (at " +
               std::to_string(Cards[card->index()].Location) + ")";
    }

    QWidget* Viewport() const { return window_.view()->viewport(); }

    void Press(Qt::MouseButton b, QPoint at) {
        held_ |= b;
        QTest::mousePress(Viewport(), b, Qt::NoModifier, at);
    }
    void Release(Qt::MouseButton b, QPoint at) {
        held_ &= ~Qt::MouseButtons(b);
        QTest::mouseRelease(Viewport(), b, Qt::NoModifier, at);
    }
    void Move(QPoint at) {
        ++events;
        QMouseEvent move(QEvent::MouseMove, at, Viewport()->mapToGlobal(at), Qt::NoButton, held_,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(Viewport(), &move);
    }

    void ClickCard() {
        CardItem* card = PickCard();
        if (!card) return;
        const Qt::MouseButton b = RandomButton();
        const QPoint at = PointOn(card);
        Event("click " + Name(b) + " " + Describe(card));
        events += 2;
        Press(b, at);
        Release(b, at);
    }

    void PressOrReleaseCard() {
        CardItem* card = PickCard();
        if (!card) return;
        const Qt::MouseButton b = RandomButton();
        const bool press = !(held_ & b);
        Event(std::string(press ? "press " : "release ") + Name(b) + " " + Describe(card));
        ++events;
        press ? Press(b, PointOn(card)) : Release(b, PointOn(card));
    }

    void DragCard() {
        CardItem* card = PickCard();
        if (!card) return;
        const Qt::MouseButton b = RandomButton();
        Event("drag " + Name(b) + " " + Describe(card));
        ++events;
        Press(b, PointOn(card));
        const int steps = 1 + Roll(5);
        for (int i = 0; i < steps && !QApplication::activeModalWidget(); ++i) Move(AnyPoint());
        ++events;
        Release(b, Roll(2) ? AnyPoint() : PointOn(card));
    }

    void HoverCard() {
        CardItem* card = PickCard();
        if (!card) return;
        Event("hover " + Describe(card));
        Move(PointOn(card));
    }

    void DoubleClickCard() {
        CardItem* card = PickCard();
        if (!card) return;
        const Qt::MouseButton b = RandomButton();
        const QPoint at = PointOn(card);
        Event("double click " + Name(b) + " " + Describe(card));
        events += 4;
        Press(b, at);
        Release(b, at);
        if (QApplication::activeModalWidget()) return;
        held_ |= b;
        QTest::mouseDClick(Viewport(), b, Qt::NoModifier, at);
        Release(b, at);
    }

    void ClickAnywhere() {
        const Qt::MouseButton b = RandomButton();
        const QPoint at = AnyPoint();
        Event("click " + Name(b) + " on the table");
        events += 2;
        Press(b, at);
        Release(b, at);
    }

    // ---- the panels and the menus ----

    void ClickControl(const Control& control, Qt::MouseButton b = Qt::LeftButton) {
        const auto found = items_.find(&control);
        if (found == items_.end()) return;
        const QRectF r = found->second->sceneBoundingRect();
        const QPoint at = window_.view()->mapFromScene(r.center());
        events += 2;
        Press(b, at);
        Release(b, at);
    }

    void UsePanels() {
        TableForm& f = Frmtable();
        if (f.FramTarget.visible && Roll(2) == 0) return SetTarget();
        if (f.FramResults.visible) {
            const int dice = Roll(20);
            if (dice < 15) {
                Event("results: Carry On");
                ++counts["results: Carry On"];
                return ClickControl(f.cmdNew);
            }
            if (dice < 16 && f.cmdSave.visible) {
                Event("results: Exit and Save");
                ++counts["results: Exit and Save"];
                return ClickControl(f.cmdSave);
            }
            Event("results: drag the panel");
            const QPoint from =
                window_.view()->mapFromScene(items_[&f.FramResults]->sceneBoundingRect().center());
            events += 3;
            Press(Qt::LeftButton, from);
            Move(from + QPoint(Roll(40) - 20, Roll(40) - 20));
            return Release(Qt::LeftButton, from);
        }
        if (f.framHand.visible && Roll(3) == 0) {
            Event("Hand Help: Finished");
            return ClickControl(f.cmdFinished);
        }
        ClickCard();
    }

    // Random text in the target box, then its O.K.
    void SetTarget() {
        static const std::vector<std::string> kTexts = {
            "",    "500", "2500", "5000", "9999",  "499",   "0",   "-3",    " 1200 ", "+750",
            "1e3", "abc", "12.5", ".5",   "4,000", "99999", "--1", "5000x", "٣٠٠٠"};
        std::string text;
        const int dice = Roll(10);
        if (dice == 0) {
            text = std::string(static_cast<std::size_t>(300 + Roll(200)), '9');
        } else if (dice == 1) {
            for (int i = Roll(12); i > 0; --i) text += "0123456789 .+-xe"[Roll(16)];
        } else {
            text = kTexts[Roll(static_cast<int>(kTexts.size()))];
        }
        Event("target text \"" + text.substr(0, 40) + "\" then O.K.");
        targetEdit_->clear();
        Type(targetEdit_, QString::fromStdString(text));
        events += static_cast<long>(text.size()) + 1;
        ClickControl(Frmtable().CmdTarget);
    }

    // Key presses that carry their text, as a keyboard of any layout sends them.
    void Type(QWidget* widget, const QString& text) {
        for (const QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QCoreApplication::sendEvent(widget, &press);
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QCoreApplication::sendEvent(widget, &release);
        }
    }

    void ChooseMenuEntry() {
        double total = 0;
        for (const auto& [item, weight] : menus_) total += weight;
        double pick = std::uniform_real_distribution<double>(0, total)(rng_);
        for (const auto& [item, weight] : menus_) {
            pick -= weight;
            if (pick > 0) continue;
            return MenuEntry(*item);
        }
    }

    void MenuEntry(const MenuItem& item) {
        QAction* action = window_.ActionFor(item);
        if (!action || !action->isEnabled() || !action->isVisible()) return;
        Event("menu " + item.name);
        ++counts["menu " + item.name];
        ++events;
        action->trigger();
    }

    void ResizeWindow() {
        Event("resize");
        ++events;
        window_.resize(480 + Roll(900), 360 + Roll(600));
    }

    // ---- leaving and starting again ----

    // The player left (through "Exit" after a game or "Exit and Save"): once
    // the game has unwound, the program is started again as a person would,
    // and it must find what it saved.
    void RestartAfterLeaving() {
        if (platform_.quits == quitsSeen_ || GameRunning() || depth_ > 0) return;
        quitsSeen_ = platform_.quits;
        ++counts["restart"];
        const PlayerRecord saved = CurrentPlayerRecord();
        Event("restart");
        ProgramEnding = GameAbandoned = false;
        GameInProgress = false;
        Form_Load();
        if (FormatPlayerLine(CurrentPlayerRecord()) != FormatPlayerLine(saved)) {
            Fail("the player file read at restart differs from what was saved at leaving: " +
                 FormatPlayerLine(CurrentPlayerRecord()) + " instead of " +
                 FormatPlayerLine(saved));
        }
    }

    // ---- the CPU while waiting ----

    // The state the game waits in, when it is one worth a quiet measurement.
    std::string WaitingState() const {
        if (depth_ > 0 || !GameRunning() || GameAbandoned) return {};
        if (qobject_cast<MessageDialog*>(QApplication::activeModalWidget())) {
            return "a message dialog";
        }
        if (QApplication::activeModalWidget()) return {};
        if (AtTurnStart()) return "the player's turn";
        if (Frmtable().FramResults.visible && !TableIdle) return "the results panel";
        return {};
    }

    // The first quiet wait is at the player's turn, the later ones wherever
    // the game waits next.
    bool QuietWanted() const {
        if (SteadyClock::now() < nextQuiet_) return false;
        const std::string state = WaitingState();
        return state == "the player's turn" || (!state.empty() && !quiet.empty());
    }

    void BeginQuiet() {
        const std::string state = WaitingState();
        Event("quiet wait at " + state);
        quietActive_ = true;
        ticker_.stop();
        const double cpu0 = CpuSeconds();
        const auto t0 = SteadyClock::now();
        QTimer::singleShot(kQuietMs, [this, state, cpu0, t0] {
            const double wall = std::chrono::duration<double>(SteadyClock::now() - t0).count();
            quiet.push_back({state, (CpuSeconds() - cpu0) / wall});
            quietActive_ = false;
            nextQuiet_ = SteadyClock::now() + std::chrono::seconds(kQuietEverySeconds);
            answerAt_ = SteadyClock::now();
            if (watchdog_) watchdog_->Beat(lastEvent_);
            ticker_.start(kTickMs);
        });
    }

    // ---- ending the run ----

    void BeginEnding() {
        Event("end of the run");
        ending_ = true;
        endingSince_ = SteadyClock::now();
        // As when the program ends: the running game gives up at once.
        ProgramEnding = GameAbandoned = true;
    }

    void Unwind() {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            if (SteadyClock::now() >= answerAt_) {
                pendingModal_ = modal;
                answerAt_ = SteadyClock::now();
                Answer(modal);
            }
            return;
        }
        if (!GameRunning() && depth_ == 0) {
            ticker_.stop();
            outer_->quit();
            return;
        }
        if (SteadyClock::now() - endingSince_ > std::chrono::seconds(kUnwindSeconds)) {
            std::fprintf(stderr, "soak: the game did not unwind within %d s\n%s", kUnwindSeconds,
                         Log().c_str());
            std::abort();
        }
    }

    // ---- the checks ----

    // The player's turn begins and nothing else is under way: the moment the
    // counts shown must agree with the cards.
    bool AtTurnStart() const {
        return depth_ == 0 && GameRunning() && GameInProgress && !GameAbandoned && PlayerTurn &&
               MustDraw && !HasDrawn && !PlayerMoveInProgress();
    }

    void Check(const std::string& when) {
        if (!failures.empty()) return;
        CheckErrors();
        int at[22] = {};
        for (int i = 1; i <= kDeckSize; ++i) {
            const int where = Cards[i].Location;
            const bool valid = where == 1 || where == 2 || (where >= 16 && where <= 21);
            if (!valid) {
                return Fail(when + ": card " + std::to_string(i) + " lies at " +
                            std::to_string(where));
            }
            ++at[where];
        }
        const bool results = Frmtable().FramResults.visible;
        if (results && !resultsSeen_) ++counts["results panels"];
        resultsSeen_ = results;
        if (!AtTurnStart()) {
            turnSeen_ = false;
            return;
        }
        if (!turnSeen_) ++counts["player's turns"];
        turnSeen_ = true;
        const std::string counted = CheckCounts(at);
        if (!counted.empty()) Fail(when + " at the player's turn: " + counted);
    }

    std::string CheckCounts(const int* at) {
        std::ostringstream out;
        const TableForm& f = Frmtable();
        auto expect = [&out](long shown, long real, const char* what) {
            if (shown != real) out << what << " shows " << shown << " but is " << real << "; ";
        };
        expect(StockCount, at[Stock], "StockCount");
        expect(DiscardCount, at[DiscardPile], "DiscardCount");
        expect(HandCount[kPlayer], at[PlayerHand], "HandCount[player]");
        expect(HandCount[kOpponent], at[OpponentHand], "HandCount[Thaddock]");
        expect(TrailingNumber(f.LblStock.caption), at[Stock], "the stock label");
        expect(TrailingNumber(f.LblDiscard.caption), at[DiscardPile], "the discard label");
        expect(TrailingNumber(f.StatusPanels[4]), at[PlayerHand], "the cards panel");
        for (int side : {kPlayer, kOpponent}) {
            const int where = side == kPlayer ? PlayerMelds : OpponentMelds;
            for (int r = 1; r <= kMeldRanks; ++r) {
                int n = 0;
                int wild = 0;
                for (int i = 1; i <= kDeckSize; ++i) {
                    if (Cards[i].Location != where || Cards[i].MeldRank[side] != r) continue;
                    ++n;
                    wild += IsWildIndex(i);
                }
                const MeldRecord& m = MeldTable[r];
                if (m.Count[side] != n || m.WildCount[side] != wild) {
                    out << "side " << side << " rank " << r << " books " << m.Count[side]
                        << " cards, " << m.WildCount[side] << " wild, but holds " << n << ", "
                        << wild << "; ";
                }
                const Label& label = side == kPlayer ? f.lblMelds[r] : f.lblMeldsC[r];
                const std::string figures = std::to_string(n) + " Wild:-" + std::to_string(wild);
                if (n > 0 && r != kTwo &&
                    (!label.visible || label.caption.size() < figures.size() ||
                     label.caption.compare(label.caption.size() - figures.size(), figures.size(),
                                           figures) != 0)) {
                    out << "the meld label of side " << side << " rank " << r << " reads \""
                        << label.caption << "\" for " << figures << "; ";
                }
            }
        }
        for (int i = 1; i <= kDeckSize; ++i) {
            const Picture& pic = Pic(i);
            const int where = Cards[i].Location;
            if (where == OpponentHand && pic.image != kBlueBack && pic.image != kRedBack) {
                out << "Thaddock's card " << i << " shows its face; ";
            }
            if ((where == PlayerHand || where == Stock) && !pic.visible) {
                out << "card " << i << " at " << where << " is hidden; ";
            }
        }
        if (TableIdle) out << "the table is idle during a turn; ";
        // The window shows what the form says.
        window_.Sync();
        for (CardItem* card : cards_) {
            const Picture& pic = Pic(card->index());
            if (card->isVisible() != pic.visible ||
                (pic.visible &&
                 (card->shownImage() != pic.image || card->pos() != QPointF(pic.left, pic.top)))) {
                out << "the window shows card " << card->index() << " otherwise than its form; ";
            }
        }
        return out.str();
    }

    // Every unexpected-error report is a fault, except the one the target
    // box gives for text that is no number in range (its O.K. may also be hit
    // by a click meant for a card beneath it).
    void CheckErrors() {
        while (errorsSeen_ < platform_.errors.size()) {
            const std::string& text = platform_.errors[errorsSeen_++];
            if (text == TargetTextError()) {
                ++expectedErrors;
                continue;
            }
            unexpectedErrors.push_back(text);
            Fail("unexpected error report: " + text);
        }
    }

    // The report the target box's present text gives, if any.
    static std::string TargetTextError() {
        try {
            TargetFromText(Frmtable().Txtpoints.text);
        } catch (const GameError& e) {
            return ErrorReportText("CmdTarget_Click", e.number, e.description);
        }
        return {};
    }

    // ---- the record of the run ----

    int Roll(int n) { return n <= 1 ? 0 : std::uniform_int_distribution<int>(0, n - 1)(rng_); }

    void Event(const std::string& what) {
        char stamp[48];
        std::snprintf(stamp, sizeof stamp, "%8.3f s [%d] ", Elapsed(), depth_);
        lastEvent_ = stamp + what;
        log_.push_back(lastEvent_);
        if (log_.size() > 60) log_.pop_front();
    }

    std::string Log() const {
        std::string text = "the last events:\n";
        for (const std::string& line : log_) text += "  " + line + "\n";
        return text;
    }

    void Fail(const std::string& what) {
        if (!failures.empty()) return;
        failures.push_back(what + "\n" + Log());
    }

    TableWindow& window_;
    SoakPlatform& platform_;
    std::mt19937_64 rng_;
    double seconds_;
    std::unordered_map<const Control*, ControlItem*> items_;
    std::vector<CardItem*> cards_;
    QLineEdit* targetEdit_ = nullptr;
    std::vector<std::pair<const MenuItem*, double>> menus_;
    QTimer ticker_;
    QEventLoop* outer_ = nullptr;
    Watchdog* watchdog_ = nullptr;
    SteadyClock::time_point start_;
    SteadyClock::time_point nextQuiet_;
    SteadyClock::time_point answerAt_;
    SteadyClock::time_point endingSince_;
    QWidget* pendingModal_ = nullptr;
    Qt::MouseButtons held_;
    int depth_ = 0;  // actions under way, the one that runs the game driver not counted
    bool ending_ = false;
    bool quietActive_ = false;
    bool turnSeen_ = false;
    bool resultsSeen_ = false;
    int quitsSeen_ = 0;
    std::size_t errorsSeen_ = 0;
    std::deque<std::string> log_;
    std::string lastEvent_ = "none yet";
};

// The offscreen platform says at each resize that it keeps no size hints.
QtMessageHandler previousHandler = nullptr;
void QuietMessages(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (text.contains(QLatin1String("does not support propagateSizeHints"))) return;
    if (previousHandler) previousHandler(type, context, text);
}

class SoakTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetModel();
        ResetForm();
        FollowMouse = clsObjectFollowMouse{};
        dir = std::filesystem::temp_directory_path() /
              ("cardovia-soak-" + std::to_string(::getpid()));
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        ProgramDirectory = DataDirectory = dir.string();
        platform.SetTimeScale(kTimeScale);
        InstallPlatform(&platform);
        ConnectHandlers();
        window = std::make_unique<TableWindow>(Frmtable());
        platform.SetWindow(window.get());
        window->resize(1024, 740);
        window->show();
        Form_Load();
        previousHandler = qInstallMessageHandler(QuietMessages);
    }
    void TearDown() override {
        qInstallMessageHandler(previousHandler);
        HelpWindow::CloseIfOpen();
        window.reset();
        InstallPlatform(nullptr);
        ResetModel();
        std::filesystem::remove_all(dir);
    }

    SoakPlatform platform;
    std::unique_ptr<TableWindow> window;
    std::filesystem::path dir;
};

TEST_F(SoakTest, ARandomPlayerNeverBreaksTheTableNorSpinsWhileTheGameWaits) {
    const auto seed = static_cast<std::uint64_t>(
        EnvNumber("CARDOVIA_SOAK_SEED", static_cast<long>(std::random_device{}() % 100000)));
    const int seconds = static_cast<int>(EnvNumber("CARDOVIA_SOAK_SECONDS", 45));
    std::printf("soak: seed %llu, %d s (CARDOVIA_SOAK_SEED=%llu repeats the choices)\n",
                static_cast<unsigned long long>(seed), seconds,
                static_cast<unsigned long long>(seed));
    platform.Seed(seed);
    Monkey monkey(*window, platform, seed, seconds);
    monkey.Run();

    std::printf("soak: %ld events, %d expected target-text errors\n", monkey.events,
                monkey.expectedErrors);
    std::string tally;
    for (const auto& [what, n] : monkey.counts) {
        tally += (tally.empty() ? "" : ", ") + what + " " + std::to_string(n);
    }
    std::printf("soak: %s\n", tally.c_str());
    for (const QuietMeasure& q : monkey.quiet) {
        std::printf("soak: CPU while waiting at %s: %.2f %% of a core\n", q.state.c_str(),
                    q.cpuShare * 100);
    }
    for (const std::string& failure : monkey.failures)
        ADD_FAILURE() << "seed " << seed << ": " << failure;
    EXPECT_TRUE(monkey.unexpectedErrors.empty());
    for (const QuietMeasure& q : monkey.quiet) {
        EXPECT_LT(q.cpuShare, kQuietCpuLimit) << "the process spins while waiting at " << q.state;
    }
    if (seconds >= 20 && monkey.failures.empty()) {
        EXPECT_GE(monkey.events, 1000);
        EXPECT_GE(monkey.counts["player's turns"], 3);
        EXPECT_FALSE(monkey.quiet.empty());
    }
}

}  // namespace
}  // namespace cardovia::qt
