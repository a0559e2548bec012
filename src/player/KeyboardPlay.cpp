#include "player/KeyboardPlay.h"

#include "model/Table.h"
#include "player/Narration.h"
#include "player/PlayerMoves.h"
#include "player/TableObjects.h"
#include "ui/Form.h"

#include <algorithm>
#include <vector>

namespace cardovia {

namespace {

// The rows, top to bottom as they lie on the table, then the open panels' buttons.
enum Row { kStockAndPile, kTheirMelds, kMelds, kHand, kRedThrees, kScores, kPanel, kRows };

// One place the ring stops at: a card, a button, a row of the score board
// (its heading and figures together) or a panel of the status bar.
struct Stop {
    std::vector<Control*> controls;
    int statusPanel = 0;
};

constexpr int kMinimumPanel = 1;

// Where the ring stands is part of the table: its row and its place in the row.
i16& row = TheTable.RingRow;
i16& slot = TheTable.RingSlot;

void ClearRing() {
    for (Control* c : Frmtable().Controls) c->focused = false;
    Frmtable().focusedPanel = 0;
}

bool ResultsShowing() {
    return Frmtable().FramResults.visible && !TableIdle;
}

void AddCards(std::vector<Stop>& stops, const std::vector<int>& cards) {
    for (int card : cards) stops.push_back({{&Pic(card)}});
}

std::vector<Stop> ScoreStops() {
    TableForm& f = Frmtable();
    std::vector<Stop> stops;
    if (!f.FramScores.visible) return stops;
    stops.push_back({{&f.Label3, &f.LblCurrTot[1], &f.LblCurrTot[2]}});
    stops.push_back({{&f.Label4, &f.LblCurrMeld[1], &f.LblCurrMeld[2]}});
    stops.push_back({{&f.Label5, &f.LblCurrBon[1], &f.LblCurrBon[2]}});
    if (!f.Label7.caption.empty()) stops.push_back({{&f.Label7}});
    if (!f.StatusPanels[kMinimumPanel].empty()) stops.push_back({{}, kMinimumPanel});
    return stops;
}

// The buttons of the open panels: the results, the target and Hand Help.
std::vector<Stop> PanelStops() {
    TableForm& f = Frmtable();
    std::vector<Stop> stops;
    auto add = [&stops](Frame& panel, std::initializer_list<Button*> buttons) {
        if (!panel.visible) return;
        for (Button* b : buttons) {
            if (b->visible) stops.push_back({{b}});
        }
    };
    if (ResultsShowing()) add(f.FramResults, {&f.cmdSave, &f.cmdNew});
    add(f.FramTarget, {&f.CmdTarget});
    add(f.framHand, {&f.cmdFinished});
    return stops;
}

std::vector<Stop> StopsOf(Row r) {
    std::vector<Stop> stops;
    switch (r) {
        case kStockAndPile:
            if (const int top = StockTopCard(); top != 0) AddCards(stops, {top});
            if (DiscardCount > 0 && TopDiscard > 0) AddCards(stops, {TopDiscard});
            break;
        case kTheirMelds:
        case kMelds: {
            const int side = r == kMelds ? kPlayer : kOpponent;
            // The ring goes round the whole meld; its first card stands for it.
            const int melds = side == kPlayer ? PlayerMelds : OpponentMelds;
            for (int card : MeldCards(side)) {
                const int rank = Cards[card].Rank;
                if (MeldTable[rank].Count[side] == 0) continue;
                Stop stop{{&Pic(card)}};
                for (int i = 1; i <= kDeckSize; ++i) {
                    if (i != card && Cards[i].Location == melds && Cards[i].Rank == rank) {
                        stop.controls.push_back(&Pic(i));
                    }
                }
                stops.push_back(stop);
            }
            break;
        }
        case kHand:
            AddCards(stops, CardsAt(PlayerHand));
            break;
        case kRedThrees:
            AddCards(stops, CardsAt(PlayerRedThrees));
            AddCards(stops, CardsAt(OpponentRedThrees));
            break;
        case kScores:
            return ScoreStops();
        case kPanel:
            return PanelStops();
        case kRows:
            break;
    }
    return stops;
}

// Puts the ring on the row's stop at the slot, the nearest one when the row
// has shrunk (a card has left the hand); an empty row keeps no ring.
void Show() {
    ClearRing();
    const auto stops = StopsOf(static_cast<Row>(row));
    if (stops.empty()) return;
    slot = static_cast<i16>(std::clamp<int>(slot, 0, static_cast<int>(stops.size()) - 1));
    const Stop& stop = stops[static_cast<std::size_t>(slot)];
    for (Control* c : stop.controls) c->focused = true;
    Frmtable().focusedPanel = stop.statusPanel;
}

// What has the ring, found afresh in the form each time: a new form (a test's
// fresh table) must not leave a stale pointer behind.
Control* Focused() {
    for (const Stop& stop : StopsOf(static_cast<Row>(row))) {
        if (!stop.controls.empty() && stop.controls.front()->focused) return stop.controls.front();
    }
    return nullptr;
}

void MoveToRow(int step) {
    // Empty rows are passed over.
    for (int n = 0; n < kRows; ++n) {
        row = static_cast<i16>((row + step + kRows) % kRows);
        if (!StopsOf(static_cast<Row>(row)).empty()) break;
    }
    slot = 0;
}

int FocusedCard() {
    const Control* focused = Focused();
    for (int i = 1; i <= kDeckSize; ++i) {
        if (focused == &Pic(i)) return i;
    }
    return 0;
}

void Click(int card, i16 button) {
    PicCards_MouseDown(static_cast<i16>(card), button, 0, 0, 0);
    PicCards_MouseUp(static_cast<i16>(card), button, 0, 0, 0);
}

// The ring lets go of its object while the move runs, so a card carried
// away (a discard onto the pile) does not take the ring, and a reader's
// focus, along; it comes back when the move is over.
bool Press(i16 button) {
    if (row == kPanel) {
        auto* b = static_cast<Button*>(Focused());
        if (button != kLeftButton || b == nullptr || !b->Click) return false;
        ClearRing();
        b->Click();
        return true;
    }
    // Thaddock's melds, the red threes and the scores are there to be looked at.
    if (row != kStockAndPile && row != kMelds && row != kHand) return false;
    const int card = FocusedCard();
    if (card == 0) return false;
    ClearRing();
    Click(card, button);
    return true;
}

bool Move(TableKey key) {
    switch (key) {
        case TableKey::Left:
            --slot;
            break;
        case TableKey::Right:
            ++slot;
            break;
        case TableKey::Up:
        case TableKey::PreviousRow:
            MoveToRow(-1);
            break;
        case TableKey::Down:
        case TableKey::NextRow:
            MoveToRow(1);
            break;
        default:
            return false;
    }
    return true;
}

// Says the answer to a question key; false for any other key.
bool Ask(TableKey key, bool autoRepeat) {
    static constexpr std::pair<TableKey, Question> kQuestions[] = {
        {TableKey::AskPile, Question::Pile},
        {TableKey::AskScores, Question::Scores},
        {TableKey::AskMinimum, Question::Minimum},
        {TableKey::AskHand, Question::Hand},
        {TableKey::AskMelds, Question::Melds},
        {TableKey::AskTheirMelds, Question::TheirMelds},
        {TableKey::AskRedThrees, Question::RedThrees},
        {TableKey::AskStock, Question::Stock},
        {TableKey::AskTheirHand, Question::TheirHand},
        {TableKey::RepeatLast, Question::Repeat},
    };
    for (const auto& [k, question] : kQuestions) {
        if (k == key) {
            if (!autoRepeat) AskQuestion(question);
            return true;
        }
    }
    return false;
}

// A panel open over the table (the target, Hand Help) takes the ring to its
// buttons at once, as the results panel does to Carry On.
void FollowPanels(bool results) {
    const bool panelOpen = !PanelStops().empty();
    if (panelOpen && row != kPanel) {
        row = kPanel;
        slot = 0;
        if (results) {
            const auto stops = PanelStops();
            for (std::size_t i = 0; i < stops.size(); ++i) {
                if (stops[i].controls.front() == &Frmtable().cmdNew) slot = static_cast<i16>(i);
            }
        }
    }
    if (!panelOpen && row == kPanel) row = kStockAndPile, slot = 0;
}

}  // namespace

bool PressTableKey(TableKey key, bool autoRepeat) {
    // Questions are answered whenever asked, and a held key asks once.
    if (Ask(key, autoRepeat)) return !autoRepeat;
    if (PlayerMoveInProgress() || !GameInProgress) return false;
    const bool results = ResultsShowing();
    if (!PlayerTurn && !results) return false;
    FollowPanels(results);
    if (Move(key)) {
        Show();
        return true;
    }
    // A held key repeats; a move is made once.
    if (autoRepeat) return false;
    Show();
    bool done = false;
    switch (key) {
        case TableKey::Activate:
            done = Press(kLeftButton);
            break;
        case TableKey::Secondary:
            done = Press(kRightButton);
            break;
        case TableKey::DrawStock:
            if (const int top = StockTopCard(); MustDraw && !results && top != 0) {
                Click(top, kLeftButton);
                done = true;
            }
            break;
        case TableKey::TakePile:
            if (MustDraw && !results && DiscardCount > 0 && TopDiscard > 0) {
                Click(TopDiscard, kLeftButton);
                done = true;
            }
            break;
        case TableKey::DropWild:
            if (SelectedWild != 0 && !results) {
                Click(SelectedWild, kLeftButton);
                done = true;
            }
            break;
        default:
            break;
    }
    Show();
    return done;
}

void ShowKeyboardFocus() {
    FollowPanels(ResultsShowing());
    Show();
}

const void* FocusedControl() {
    return Focused();
}

void ResetKeyboardFocus() {
    ClearRing();
    row = kStockAndPile;
    slot = 0;
}

}  // namespace cardovia
