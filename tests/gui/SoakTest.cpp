// A seeded random player on the real window: presses, releases, drags and
// moves over the cards, menu commands, the panels' buttons and random answers
// to every dialog, at any moment of the game: while dealing, during Thaddock's
// turn and at the results alike. The table is checked after every event, and
// the process must sleep while it waits for the player. A window that hangs is
// ended by the test's time limit.
//
// CARDOVIA_SOAK_SECONDS sets the length of the run (default 45 s) and
// CARDOVIA_SOAK_SEED the seed (default 20261206); bench/soak.sh explores others.

#include "flow/GameLoop.h"
#include "flow/Startup.h"
#include "model/PlayerFileFormat.h"
#include "model/Settings.h"
#include "model/Table.h"
#include "player/PlayerMoves.h"
#include "scoring/TargetScore.h"
#include "support/TableDump.h"
#include "support/WindowTest.h"
#include "ui/Errors.h"
#include "ui/Form.h"
#include "ui/qt/ControlItems.h"
#include "ui/qt/MessageDialog.h"
#include "ui/qt/TableView.h"

#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QGraphicsScene>
#include <QLabel>
#include <QMessageBox>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <deque>
#include <map>

#include <sys/resource.h>

namespace cardovia::testing {
namespace {

using Clock = std::chrono::steady_clock;
constexpr int kTickMs = 3;      // the player acts, answers and checks this often
constexpr int kMaxNesting = 6;  // moves that pause may nest this deep, no deeper

long EnvNumber(const char* name, long fallback) {
    const char* text = std::getenv(name);
    return text && *text ? std::strtol(text, nullptr, 10) : fallback;
}

double CpuSeconds() {
    rusage use{};
    getrusage(RUSAGE_SELF, &use);
    return static_cast<double>(use.ru_utime.tv_sec + use.ru_stime.tv_sec) +
           static_cast<double>(use.ru_utime.tv_usec + use.ru_stime.tv_usec) / 1e6;
}

class Monkey {
  public:
    Monkey(qt::TableWindow& window, RecordingPlatform& platform, std::uint64_t seed, int seconds)
        : window_(window), platform_(platform), rng_(seed), seconds_(seconds) {
        for (QGraphicsItem* item : window_.view()->scene()->items()) {
            if (auto* control = dynamic_cast<qt::ControlItem*>(item))
                items_[control->control()] = control;
            if (auto* card = dynamic_cast<qt::CardItem*>(item)) cards_.push_back(card);
            if (auto* box = dynamic_cast<qt::TextBoxItem*>(item)) targetEdit_ = box->edit();
        }
        const TableForm& f = Frmtable();
        // Starting games over and Learning Mode's many messages are rarer, so
        // that hands run to their results and games to their end.
        menus_ = {{&f.MnuNew, 0.03},   {&f.MnuLoad, 0.02}, {&f.MnuSave, 1},   {&f.MnuTakeBack, 6},
                  {&f.MnuHandHelp, 3}, {&f.MnuLearn, 0.2}, {&f.MnuFast, 1},   {&f.MnuMed, 1},
                  {&f.MnuSlow, 0.3},   {&f.MnuBlue, 1},    {&f.MnuRed, 1},    {&f.MnuTarget, 2},
                  {&f.MnuView, 1},     {&f.MnuDel, 1},     {&f.MnuName, 0.5}, {&f.MnuExit, 1}};
        for (const auto& [item, weight] : menus_) menuWeights_ += weight;
    }

    // Plays until the time is up or the first fault, then lets the game unwind.
    void Run() {
        start_ = Clock::now();
        nextQuiet_ = start_ + std::chrono::seconds(4);
        QEventLoop outer;
        QObject::connect(&ticker_, &QTimer::timeout, [&] { Tick(outer); });
        ticker_.start(kTickMs);
        outer.exec();
    }

    std::vector<std::string> failures;
    std::vector<std::pair<std::string, double>> quiet;  // where the game waited, CPU share
    long events = 0, turns = 0;

  private:
    void Tick(QEventLoop& outer) {
        Check();
        QWidget* modal = QApplication::activeModalWidget();
        if (ending_) {
            if (modal) return Answer(modal, true);
            if (!GameRunning() && depth_ == 0) {
                ticker_.stop();
                outer.quit();
            } else if (Clock::now() - endingSince_ > std::chrono::seconds(20)) {
                std::fprintf(stderr, "soak: the game did not unwind within 20 s\n");
                std::abort();
            }
            return;
        }
        if (Seconds() > seconds_ || !failures.empty()) {
            Event("end of the run");
            ending_ = true;
            endingSince_ = Clock::now();
            ProgramEnding = GameAbandoned = true;  // as when the program ends
            return;
        }
        if (modal) return Answer(modal, false);
        if (QuietWanted()) return Quiet();
        RestartAfterLeaving();
        if (depth_ < kMaxNesting && Roll(100) < 70) QTimer::singleShot(0, [this] { Act(); });
    }

    double Seconds() const { return std::chrono::duration<double>(Clock::now() - start_).count(); }

    // One random action, run from its own timer so that it may pause (and so
    // nest further actions inside its pauses) without holding up the driver.
    void Act() {
        if (QApplication::activeModalWidget() || ending_ || quietNow_) return;
        const bool startsDriver = !GameRunning();
        depth_ += !startsDriver;
        const int dice = Roll(1000);
        qt::CardItem* card = PickCard();
        if (startsDriver && Roll(4) == 0) {
            MenuEntry(Frmtable().MnuNew);  // a person at a table with no game soon asks for one
        } else if (dice < 750 && card) {
            Mouse(dice < 380   ? "click"
                  : dice < 430 ? "press or release"
                  : dice < 510 ? "drag"
                  : dice < 700 ? "hover"
                  : dice < 730 ? "double click"
                               : "click on the table",
                  card);
        } else if (dice < 875) {
            UsePanels(card);
        } else if (dice < 995) {
            double pick = std::uniform_real_distribution<double>(0, 1)(rng_) * menuWeights_;
            std::size_t k = 0;
            while (k + 1 < menus_.size() && (pick -= menus_[k].second) > 0) ++k;
            MenuEntry(*menus_[k].first);
        } else if (dice < 998) {
            Event("resize");
            window_.resize(480 + Roll(900), 360 + Roll(600));
        } else {
            Event("close box");
            window_.close();
        }
        depth_ -= !startsDriver;
    }

    void Answer(QWidget* modal, bool now) {
        if (modal != pendingModal_) {
            pendingModal_ = modal;
            answerAt_ = Clock::now() + std::chrono::milliseconds(Roll(25));
        }
        if (!now && Clock::now() < answerAt_) return;
        pendingModal_ = nullptr;
        ++events;
        if (auto* dialog = qobject_cast<qt::MessageDialog*>(modal)) {
            const std::string title = dialog->TitleStrip()->text().trimmed().toStdString();
            int button = Roll(3);
            while (!dialog->Button(button)->isVisible()) --button;
            // Leaving is refused so the run goes on; after "Exit" at a game's end the program
            // starts again.
            if (title == "Quit without saving?" || title == "Really Exit?") button = 1;
            Event("answer \"" + title + "\" with " +
                  dialog->Button(button)->Caption().toStdString());
            return QTest::mouseClick(dialog->Button(button), Qt::LeftButton);
        }
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            Event("answer a question box");
            return QTest::mouseClick(
                box->buttons().at(Roll(static_cast<int>(box->buttons().size()))), Qt::LeftButton);
        }
        Event("close " + std::string(modal->metaObject()->className()));
        modal->close();
    }

    // A visible card, the player's own and the piles' tops as often as the rest.
    qt::CardItem* PickCard() {
        std::vector<qt::CardItem*> visible[2];
        for (qt::CardItem* card : cards_) {
            const int where = Cards[card->index()].Location;
            const bool likely =
                where == PlayerHand || where == PlayerMelds || card->index() == TopDiscard;
            if (card->isVisible()) visible[likely].push_back(card);
        }
        auto& from =
            visible[1].empty() || (Roll(2) && !visible[0].empty()) ? visible[0] : visible[1];
        return from.empty() ? nullptr : from[Roll(static_cast<int>(from.size()))];
    }

    // A point on the card's left part, which overlapping cards leave visible.
    QPoint PointOn(qt::CardItem* card) {
        const QRectF r = card->sceneBoundingRect();
        return window_.view()->mapFromScene(
            QPointF(r.left() + 30 + Roll(static_cast<int>(r.width() * 0.35)),
                    r.top() + 30 + Roll(static_cast<int>(r.height() - 60))));
    }
    QPoint AnyPoint() {
        return window_.view()->mapFromScene(QPointF(Roll(kTableWidth), Roll(kTableHeight)));
    }

    // A press, a release, a double click or (with no button) a move of the mouse.
    void Send(QEvent::Type type, QPoint at, Qt::MouseButton b = Qt::NoButton) {
        held_ = type == QEvent::MouseButtonRelease ? held_ & ~Qt::MouseButtons(b) : held_ | b;
        QWidget* viewport = window_.view()->viewport();
        QMouseEvent event(type, at, viewport->mapToGlobal(at), b, held_, Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &event);
        ++events;
    }
    void Press(Qt::MouseButton b, QPoint at, bool down) {
        Send(down ? QEvent::MouseButtonPress : QEvent::MouseButtonRelease, at, b);
    }

    void Mouse(const std::string& what, qt::CardItem* card) {
        const Qt::MouseButton b = Roll(5) < 3 ? Qt::LeftButton : Qt::RightButton;
        const bool anywhere = what == "click on the table";
        const QPoint at = anywhere ? AnyPoint() : PointOn(card);
        Event(what + (b == Qt::LeftButton ? " left " : " right ") +
              (anywhere ? ""
                        : CardName(card->index()) + " at " +
                              std::to_string(Cards[card->index()].Location)));
        if (what == "hover") return Send(QEvent::MouseMove, at);
        if (what == "press or release") return Press(b, at, !(held_ & b));
        Press(b, at, true);
        for (int i = what == "drag" ? Roll(5) : -1; i >= 0 && !QApplication::activeModalWidget();
             --i)
            Send(QEvent::MouseMove, AnyPoint());
        Press(b, what == "drag" && Roll(2) ? AnyPoint() : at, false);
        if (what != "double click" || QApplication::activeModalWidget()) return;
        Send(QEvent::MouseButtonDblClick, at, b);
        Press(b, at, false);
    }

    void ClickControl(const Control& control) {
        const QPoint at =
            window_.view()->mapFromScene(items_.at(&control)->sceneBoundingRect().center());
        Press(Qt::LeftButton, at, true);
        Press(Qt::LeftButton, at, false);
    }

    void UsePanels(qt::CardItem* card) {
        TableForm& f = Frmtable();
        if (f.FramTarget.visible && Roll(2) == 0) {
            // Random text in the target box, typed key by key, then its O.K.
            const char* kTexts[] = {"",      "500",    "2500", "5000",  "9999", "499",  "0",
                                    "-3",    " 1200 ", "+750", "1e3",   "abc",  "12.5", ".5",
                                    "4,000", "99999",  "--1",  "5000x", "٣٠٠٠"};
            const QString text = Roll(10) ? kTexts[Roll(19)] : QString(300 + Roll(200), '9');
            Event("target text \"" + text.left(40).toStdString() + "\" then O.K.");
            targetEdit_->clear();
            for (const QChar c : text) {  // key by key, any letter
                QKeyEvent key(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
                QCoreApplication::sendEvent(targetEdit_, &key);
            }
            return ClickControl(f.CmdTarget);
        }
        if (f.FramResults.visible) {
            // Carry On mostly, now and then Exit and Save.
            const Button& button = Roll(16) || !f.cmdSave.visible ? f.cmdNew : f.cmdSave;
            Event(button.name);
            return ClickControl(button);
        }
        if (f.framHand.visible && Roll(3) == 0) {
            Event("Hand Help: Finished");
            return ClickControl(f.cmdFinished);
        }
        if (card) Mouse("click", card);
    }

    void MenuEntry(const MenuItem& item) {
        QAction* action = window_.ActionFor(item);
        if (!action || !action->isEnabled() || !action->isVisible()) return;
        Event("menu " + item.name);
        ++events;
        action->trigger();
    }

    // The player left: once the game has unwound the program is started again, as a person would.
    void RestartAfterLeaving() {
        if (platform_.quits == quitsSeen_ || GameRunning() || depth_ > 0) return;
        quitsSeen_ = platform_.quits;
        Event("restart");
        ProgramEnding = GameAbandoned = GameInProgress = false;
        Form_Load();
    }

    // The state the game waits in, when it is one worth a quiet measurement:
    // the player's turn first, later wherever the game waits next.
    std::string Waiting() const {
        if (depth_ > 0 || !GameRunning() || GameAbandoned) return {};
        if (qobject_cast<qt::MessageDialog*>(QApplication::activeModalWidget()))
            return "a message dialog";
        if (QApplication::activeModalWidget()) return {};
        if (AtTurnStart()) return "the player's turn";
        return Frmtable().FramResults.visible && !TableIdle ? "the results panel" : "";
    }
    bool QuietWanted() const {
        const std::string state = Waiting();
        return Clock::now() >= nextQuiet_ &&
               (state == "the player's turn" || (!state.empty() && !quiet.empty()));
    }
    void Quiet() {
        const std::string state = Waiting();
        Event("quiet wait at " + state);
        quietNow_ = true;
        ticker_.stop();
        QTimer::singleShot(1000, [this, state, cpu = CpuSeconds(), t0 = Clock::now()] {
            quiet.emplace_back(state, (CpuSeconds() - cpu) /
                                          std::chrono::duration<double>(Clock::now() - t0).count());
            quietNow_ = false;
            nextQuiet_ = Clock::now() + std::chrono::seconds(8);
            answerAt_ = Clock::now();
            ticker_.start(kTickMs);
        });
    }

    // The player's turn begins and nothing else is under way.
    bool AtTurnStart() const {
        return depth_ == 0 && GameRunning() && GameInProgress && !GameAbandoned && PlayerTurn &&
               MustDraw && !HasDrawn && !PlayerMoveInProgress();
    }

    void Check() {
        if (!failures.empty()) return;
        // Every unexpected-error report is a fault, except the one the target box
        // gives for text that is no number in range.
        for (; errorsSeen_ < platform_.errors.size(); ++errorsSeen_) {
            std::string expected;
            try {
                TargetFromText(Frmtable().Txtpoints.text);
            } catch (const GameError& e) {
                expected = ErrorReportText("CmdTarget_Click", e.number, e.description);
            }
            if (platform_.errors[errorsSeen_] != expected)
                return Fail("unexpected error report: " + platform_.errors[errorsSeen_]);
        }
        const bool turn = AtTurnStart();
        turns += turn && !turnSeen_;
        turnSeen_ = turn;
        std::string faults = TableFaults(turn);
        if (turn) window_.Sync();  // the window shows what the form says
        for (qt::CardItem* card : cards_) {
            const Picture& pic = Pic(card->index());
            if (turn && (card->isVisible() != pic.visible ||
                         (pic.visible && (card->shownImage() != pic.image ||
                                          card->pos() != QPointF(pic.left, pic.top))))) {
                faults +=
                    "the window shows " + CardName(card->index()) + " otherwise than its form; ";
            }
        }
        if (!faults.empty()) Fail((turn ? "at the player's turn: " : "") + faults);
    }

    int Roll(int n) { return n <= 1 ? 0 : std::uniform_int_distribution<int>(0, n - 1)(rng_); }

    void Event(const std::string& what) {
        char stamp[32];
        std::snprintf(stamp, sizeof stamp, "%8.3f s [%d] ", Seconds(), depth_);
        log_.push_back(stamp + what);
        if (log_.size() > 60) log_.pop_front();
    }
    void Fail(const std::string& what) {
        if (!failures.empty()) return;
        std::string text = what + "\nthe last events:\n";
        for (const std::string& line : log_) text += "  " + line + "\n";
        failures.push_back(text);
    }

    qt::TableWindow& window_;
    RecordingPlatform& platform_;
    std::mt19937_64 rng_;
    double seconds_;
    QTimer ticker_;
    std::map<const Control*, qt::ControlItem*> items_;
    std::vector<qt::CardItem*> cards_;
    QLineEdit* targetEdit_ = nullptr;
    std::vector<std::pair<const MenuItem*, double>> menus_;
    double menuWeights_ = 0;
    Clock::time_point start_, nextQuiet_, answerAt_, endingSince_;
    QWidget* pendingModal_ = nullptr;
    Qt::MouseButtons held_;
    int depth_ = 0;  // actions under way, the one that runs the game driver not counted
    bool ending_ = false, quietNow_ = false, turnSeen_ = false;
    int quitsSeen_ = 0;
    std::size_t errorsSeen_ = 0;
    std::deque<std::string> log_;
};

using SoakTest = WindowTest;

TEST_F(SoakTest, ARandomPlayerNeverBreaksTheTableNorSpinsWhileTheGameWaits) {
    const auto seed = static_cast<std::uint64_t>(EnvNumber("CARDOVIA_SOAK_SEED", 20261206));
    const int seconds = static_cast<int>(EnvNumber("CARDOVIA_SOAK_SECONDS", 45));
    std::printf("soak: seed %llu for %d s\n", static_cast<unsigned long long>(seed), seconds);
    SpeedDelay = DelayMs = kMediumSpeed;
    platform.SetTimeScale(60);
    platform.Seed(seed);
    Monkey monkey(*window, platform, seed, seconds);
    monkey.Run();
    std::printf("soak: %ld events, %ld turns of the player's\n", monkey.events, monkey.turns);
    for (const auto& [state, share] : monkey.quiet) {
        std::printf("soak: CPU while waiting at %s: %.2f %% of a core\n", state.c_str(),
                    share * 100);
        EXPECT_LT(share, 0.1) << "the process spins while waiting at " << state;
    }
    for (const std::string& failure : monkey.failures)
        ADD_FAILURE() << "seed " << seed << ": " << failure;
    if (seconds >= 20 && monkey.failures.empty()) {
        EXPECT_GE(monkey.events, 1000);
        EXPECT_GE(monkey.turns, 3);
        EXPECT_FALSE(monkey.quiet.empty());
    }
}

}  // namespace
}  // namespace cardovia::testing
