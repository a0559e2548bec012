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
#include "model/PlayerFile.h"
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
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
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
constexpr int kTickMs = 3;              // the player acts, answers and checks this often
constexpr int kMaxNesting = 6;          // moves that pause may nest this deep, no deeper
constexpr double kQuietCpuLimit = 0.1;  // of a core, while nobody touches the table

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
    }

    // Plays until the time is up or the first fault, then lets the game unwind.
    void Run() {
        start_ = Clock::now();
        nextQuiet_ = start_ + std::chrono::seconds(4);
        QEventLoop outer;
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, [&] { Tick(ticker, outer); });
        ticker.start(kTickMs);
        outer.exec();
    }

    std::vector<std::string> failures;
    std::vector<std::pair<std::string, double>> quiet;  // where the game waited, CPU share
    std::map<std::string, int> counts;
    long events = 0;

  private:
    void Tick(QTimer& ticker, QEventLoop& outer) {
        Check();
        if (ending_) return Unwind(ticker, outer);
        if (Seconds() > seconds_ || !failures.empty()) {
            Event("end of the run");
            ending_ = true;
            endingSince_ = Clock::now();
            ProgramEnding = GameAbandoned = true;  // as when the program ends
            return;
        }
        if (QWidget* modal = QApplication::activeModalWidget()) return Answer(modal);
        if (QuietWanted()) return Quiet(ticker);
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
        if (startsDriver && Roll(4) == 0) {
            MenuEntry(Frmtable().MnuNew);  // a person at a table with no game soon asks for one
        } else if (dice < 430) {
            if (qt::CardItem* card = PickCard())
                Mouse(dice < 380 ? "click" : "press or release", card);
        } else if (dice < 510) {
            if (qt::CardItem* card = PickCard()) Mouse("drag", card);
        } else if (dice < 700) {
            if (qt::CardItem* card = PickCard()) Mouse("hover", card);
        } else if (dice < 730) {
            if (qt::CardItem* card = PickCard()) Mouse("double click", card);
        } else if (dice < 750) {
            Mouse("click on the table", nullptr);
        } else if (dice < 875) {
            UsePanels();
        } else if (dice < 995) {
            ChooseMenuEntry();
        } else if (dice < 998) {
            Event("resize");
            window_.resize(480 + Roll(900), 360 + Roll(600));
        } else {
            Event("close box");
            window_.close();
        }
        depth_ -= !startsDriver;
    }

    void Answer(QWidget* modal) {
        if (modal != pendingModal_) {
            pendingModal_ = modal;
            answerAt_ = Clock::now() + std::chrono::milliseconds(Roll(25));
        }
        if (Clock::now() < answerAt_) return;
        pendingModal_ = nullptr;
        ++events;
        if (auto* dialog = qobject_cast<qt::MessageDialog*>(modal)) {
            const std::string title = dialog->TitleStrip()->text().trimmed().toStdString();
            std::vector<int> shown;
            for (int i = 0; i < 3; ++i) {
                if (dialog->Button(i)->isVisible()) shown.push_back(i);
            }
            // Leaving is refused so the run goes on; after "Exit" at a game's end the program is
            // started again.
            const int button = title == "Quit without saving?" || title == "Really Exit?"
                                   ? 1
                                   : shown[Roll(static_cast<int>(shown.size()))];
            ++counts["dialog " + title];
            Event("answer \"" + title + "\" with " +
                  dialog->Button(button)->Caption().toStdString());
            return QTest::mouseClick(dialog->Button(button), Qt::LeftButton);
        }
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            QAbstractButton* chosen =
                box->buttons().at(Roll(static_cast<int>(box->buttons().size())));
            Event("answer question box: " + chosen->text().toStdString());
            return QTest::mouseClick(chosen, Qt::LeftButton);
        }
        if (auto* input = qobject_cast<QInputDialog*>(modal)) {
            static const std::vector<std::string> kNames = {
                "",    "Ann",   "\"Quoted\" name", "O'Brien, Esq.", "tab\there", "line\r\nbreak",
                "Zoë", "#TRUE#"};
            const std::string name =
                Roll(5) == 0 ? std::string(50 + Roll(400), 'W') : kNames[Roll(8)];
            input->setTextValue(QString::fromStdString(name));
            Event("answer name box with " + std::to_string(name.size()) + " bytes");
            return Roll(4) ? input->accept() : input->reject();
        }
        Event("close " + std::string(modal->metaObject()->className()));
        modal->close();
    }

    // A visible card, the player's own and the piles' tops more often.
    qt::CardItem* PickCard() {
        std::vector<qt::CardItem*> visible;
        std::vector<qt::CardItem*> likely;
        for (qt::CardItem* card : cards_) {
            if (!card->isVisible()) continue;
            visible.push_back(card);
            const int where = Cards[card->index()].Location;
            if (where == PlayerHand || where == PlayerMelds || card->index() == TopDiscard)
                likely.push_back(card);
        }
        if (!likely.empty() && Roll(2) == 0) return likely[Roll(static_cast<int>(likely.size()))];
        return visible.empty() ? nullptr : visible[Roll(static_cast<int>(visible.size()))];
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

    void Press(Qt::MouseButton b, QPoint at) {
        held_ |= b;
        QTest::mousePress(window_.view()->viewport(), b, Qt::NoModifier, at);
    }
    void Release(Qt::MouseButton b, QPoint at) {
        held_ &= ~Qt::MouseButtons(b);
        QTest::mouseRelease(window_.view()->viewport(), b, Qt::NoModifier, at);
    }
    void Move(QPoint at) {
        QWidget* viewport = window_.view()->viewport();
        QMouseEvent move(QEvent::MouseMove, at, viewport->mapToGlobal(at), Qt::NoButton, held_,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &move);
    }

    void Mouse(const std::string& what, qt::CardItem* card) {
        const Qt::MouseButton b = Roll(5) < 3 ? Qt::LeftButton : Qt::RightButton;
        const QPoint at = card ? PointOn(card) : AnyPoint();
        Event(what + (b == Qt::LeftButton ? " left " : " right ") +
              (card ? "card " + CardName(card->index()) + " at " +
                          std::to_string(Cards[card->index()].Location)
                    : ""));
        events += 2;
        if (what == "hover") return Move(at);
        if (what == "press or release") return held_ & b ? Release(b, at) : Press(b, at);
        Press(b, at);
        if (what == "drag") {
            for (int i = Roll(5); i >= 0 && !QApplication::activeModalWidget(); --i)
                Move(AnyPoint());
            return Release(b, Roll(2) ? AnyPoint() : at);
        }
        Release(b, at);
        if (what != "double click" || QApplication::activeModalWidget()) return;
        held_ |= b;
        QTest::mouseDClick(window_.view()->viewport(), b, Qt::NoModifier, at);
        Release(b, at);
    }

    void ClickControl(const Control& control) {
        const QPoint at =
            window_.view()->mapFromScene(items_.at(&control)->sceneBoundingRect().center());
        events += 2;
        Press(Qt::LeftButton, at);
        Release(Qt::LeftButton, at);
    }

    void UsePanels() {
        TableForm& f = Frmtable();
        if (f.FramTarget.visible && Roll(2) == 0) {
            // Random text in the target box, typed key by key, then its O.K.
            static const std::vector<std::string> kTexts = {
                "",    "500", "2500", "5000", "9999",  "499",   "0",   "-3",    " 1200 ", "+750",
                "1e3", "abc", "12.5", ".5",   "4,000", "99999", "--1", "5000x", "٣٠٠٠"};
            std::string text = kTexts[Roll(static_cast<int>(kTexts.size()))];
            if (Roll(10) == 0) text = std::string(300 + Roll(200), '9');
            Event("target text \"" + text.substr(0, 40) + "\" then O.K.");
            targetEdit_->clear();
            for (const QChar c : QString::fromStdString(text)) {
                for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
                    QKeyEvent key(type, Qt::Key_unknown, Qt::NoModifier, QString(c));
                    QCoreApplication::sendEvent(targetEdit_, &key);
                }
            }
            return ClickControl(f.CmdTarget);
        }
        if (f.FramResults.visible) {
            const int dice = Roll(20);
            const char* what = dice < 15                        ? "results: Carry On"
                               : dice < 16 && f.cmdSave.visible ? "results: Exit and Save"
                                                                : "results: drag the panel";
            Event(what);
            ++counts[what];
            if (dice < 15) return ClickControl(f.cmdNew);
            if (dice < 16 && f.cmdSave.visible) return ClickControl(f.cmdSave);
            const QPoint from = window_.view()->mapFromScene(
                items_.at(&f.FramResults)->sceneBoundingRect().center());
            Press(Qt::LeftButton, from);
            Move(from + QPoint(Roll(40) - 20, Roll(40) - 20));
            return Release(Qt::LeftButton, from);
        }
        if (f.framHand.visible && Roll(3) == 0) {
            Event("Hand Help: Finished");
            return ClickControl(f.cmdFinished);
        }
        if (qt::CardItem* card = PickCard()) Mouse("click", card);
    }

    void ChooseMenuEntry() {
        double total = 0;
        for (const auto& [item, weight] : menus_) total += weight;
        double pick = std::uniform_real_distribution<double>(0, total)(rng_);
        for (const auto& [item, weight] : menus_) {
            if ((pick -= weight) <= 0) return MenuEntry(*item);
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

    // The player left: once the game has unwound the program is started again,
    // as a person would, and it must find what it saved.
    void RestartAfterLeaving() {
        if (platform_.quits == quitsSeen_ || GameRunning() || depth_ > 0) return;
        quitsSeen_ = platform_.quits;
        ++counts["restart"];
        const std::string saved = FormatPlayerLine(CurrentPlayerRecord());
        Event("restart");
        ProgramEnding = GameAbandoned = GameInProgress = false;
        Form_Load();
        if (FormatPlayerLine(CurrentPlayerRecord()) != saved)
            Fail("the player file read at restart differs from the one saved");
    }

    // The state the game waits in, when it is one worth a quiet measurement.
    std::string Waiting() const {
        if (depth_ > 0 || !GameRunning() || GameAbandoned) return {};
        if (qobject_cast<qt::MessageDialog*>(QApplication::activeModalWidget()))
            return "a message dialog";
        if (QApplication::activeModalWidget()) return {};
        if (AtTurnStart()) return "the player's turn";
        return Frmtable().FramResults.visible && !TableIdle ? "the results panel" : "";
    }
    // The first quiet wait is at the player's turn, the later ones wherever the game waits next.
    bool QuietWanted() const {
        const std::string state = Waiting();
        return Clock::now() >= nextQuiet_ &&
               (state == "the player's turn" || (!state.empty() && !quiet.empty()));
    }
    void Quiet(QTimer& ticker) {
        const std::string state = Waiting();
        Event("quiet wait at " + state);
        quietNow_ = true;
        ticker.stop();
        QTimer::singleShot(1000, [this, &ticker, state, cpu = CpuSeconds(), t0 = Clock::now()] {
            quiet.emplace_back(state, (CpuSeconds() - cpu) /
                                          std::chrono::duration<double>(Clock::now() - t0).count());
            quietNow_ = false;
            nextQuiet_ = Clock::now() + std::chrono::seconds(8);
            answerAt_ = Clock::now();
            ticker.start(kTickMs);
        });
    }

    void Unwind(QTimer& ticker, QEventLoop& outer) {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            answerAt_ = Clock::now();
            pendingModal_ = modal;
            return Answer(modal);
        }
        if (!GameRunning() && depth_ == 0) {
            ticker.stop();
            return outer.quit();
        }
        if (Clock::now() - endingSince_ > std::chrono::seconds(20)) {
            std::fprintf(stderr, "soak: the game did not unwind within 20 s\n%s", Log().c_str());
            std::abort();
        }
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
            ++counts["expected target-text errors"];
        }
        const bool turn = AtTurnStart();
        if (Frmtable().FramResults.visible && !resultsSeen_) ++counts["results panels"];
        resultsSeen_ = Frmtable().FramResults.visible;
        if (turn && !turnSeen_) ++counts["player's turns"];
        turnSeen_ = turn;
        std::string faults = TableFaults(turn);
        if (turn) {
            window_.Sync();  // the window shows what the form says
            for (qt::CardItem* card : cards_) {
                const Picture& pic = Pic(card->index());
                if (card->isVisible() != pic.visible ||
                    (pic.visible && (card->shownImage() != pic.image ||
                                     card->pos() != QPointF(pic.left, pic.top)))) {
                    faults += "the window shows " + CardName(card->index()) +
                              " otherwise than its form; ";
                }
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
    std::string Log() const {
        std::string text = "the last events:\n";
        for (const std::string& line : log_) text += "  " + line + "\n";
        return text;
    }
    void Fail(const std::string& what) {
        if (failures.empty()) failures.push_back(what + "\n" + Log());
    }

    qt::TableWindow& window_;
    RecordingPlatform& platform_;
    std::mt19937_64 rng_;
    double seconds_;
    std::map<const Control*, qt::ControlItem*> items_;
    std::vector<qt::CardItem*> cards_;
    QLineEdit* targetEdit_ = nullptr;
    std::vector<std::pair<const MenuItem*, double>> menus_;
    Clock::time_point start_, nextQuiet_, answerAt_, endingSince_;
    QWidget* pendingModal_ = nullptr;
    Qt::MouseButtons held_;
    int depth_ = 0;  // actions under way, the one that runs the game driver not counted
    bool ending_ = false;
    bool quietNow_ = false;
    bool turnSeen_ = false;
    bool resultsSeen_ = false;
    int quitsSeen_ = 0;
    std::size_t errorsSeen_ = 0;
    std::deque<std::string> log_;
};

// The offscreen platform says at each resize that it keeps no size hints.
QtMessageHandler previousHandler = nullptr;
void QuietMessages(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (!text.contains(QLatin1String("does not support propagateSizeHints")) && previousHandler) {
        previousHandler(type, context, text);
    }
}

using SoakTest = WindowTest;

TEST_F(SoakTest, ARandomPlayerNeverBreaksTheTableNorSpinsWhileTheGameWaits) {
    const auto seed = static_cast<std::uint64_t>(EnvNumber("CARDOVIA_SOAK_SEED", 20261206));
    const int seconds = static_cast<int>(EnvNumber("CARDOVIA_SOAK_SECONDS", 45));
    std::printf("soak: seed %llu, %d s (CARDOVIA_SOAK_SEED=%llu repeats the choices)\n",
                static_cast<unsigned long long>(seed), seconds,
                static_cast<unsigned long long>(seed));
    previousHandler = qInstallMessageHandler(QuietMessages);
    SpeedDelay = DelayMs = kMediumSpeed;
    platform.SetTimeScale(60);
    platform.Seed(seed);
    Monkey monkey(*window, platform, seed, seconds);
    monkey.Run();
    qInstallMessageHandler(previousHandler);

    std::string tally;
    for (const auto& [what, n] : monkey.counts)
        tally += (tally.empty() ? "" : ", ") + what + " " + std::to_string(n);
    std::printf("soak: %ld events: %s\n", monkey.events, tally.c_str());
    for (const auto& [state, share] : monkey.quiet) {
        std::printf("soak: CPU while waiting at %s: %.2f %% of a core\n", state.c_str(),
                    share * 100);
        EXPECT_LT(share, kQuietCpuLimit) << "the process spins while waiting at " << state;
    }
    for (const std::string& failure : monkey.failures)
        ADD_FAILURE() << "seed " << seed << ": " << failure;
    if (seconds >= 20 && monkey.failures.empty()) {
        EXPECT_GE(monkey.events, 1000);
        EXPECT_GE(monkey.counts["player's turns"], 3);
        EXPECT_FALSE(monkey.quiet.empty());
    }
}

}  // namespace
}  // namespace cardovia::testing
