#include "player/KeyboardPlay.h"

#include "model/Table.h"
#include "player/PlayerMoves.h"
#include "player/TableObjects.h"
#include "ui/Form.h"

#include <algorithm>
#include <vector>

namespace cardovia {

namespace {

// The rows, top to bottom as they lie on the table.
enum Row { kStockAndPile, kMelds, kHand, kResults, kRows };

Row row = kStockAndPile;
int slot = 0;  // the place in the row
// What has the ring, found afresh in the form each time: a new form (a test's
// fresh table) must not leave a stale pointer behind.
Control* focused = nullptr;

void ClearRing() {
    TableForm& f = Frmtable();
    for (int i = 1; i <= kDeckSize; ++i) Pic(i).focused = false;
    f.cmdNew.focused = f.cmdSave.focused = false;
    focused = nullptr;
}

bool ResultsShowing() {
    return Frmtable().FramResults.visible && !TableIdle;
}

// The cards standing for the objects of a row, left to right.
std::vector<int> CardsOf(Row r) {
    if (r == kStockAndPile) {
        std::vector<int> cards;
        if (const int top = StockTopCard(); top != 0) cards.push_back(top);
        if (DiscardCount > 0 && TopDiscard > 0) cards.push_back(TopDiscard);
        return cards;
    }
    if (r == kMelds) return MeldCards(kPlayer);
    if (r == kHand) return CardsAt(PlayerHand);
    return {};
}

std::vector<Control*> ObjectsOf(Row r) {
    std::vector<Control*> objects;
    if (r == kResults) {
        TableForm& f = Frmtable();
        if (!ResultsShowing()) return objects;
        for (Button* b : {&f.cmdNew, &f.cmdSave}) {
            if (b->visible) objects.push_back(b);
        }
        return objects;
    }
    for (int card : CardsOf(r)) objects.push_back(&Pic(card));
    return objects;
}

// Puts the ring on the row's object at the slot, the nearest one when the
// row has shrunk (a card has left the hand); an empty row keeps no ring.
void Show() {
    ClearRing();
    const auto objects = ObjectsOf(row);
    if (objects.empty()) return;
    slot = std::clamp(slot, 0, static_cast<int>(objects.size()) - 1);
    focused = objects[slot];
    focused->focused = true;
}

void MoveToRow(int step) {
    // The results panel is a row of its own only while it shows; empty rows are passed over.
    for (int n = 0; n < kRows; ++n) {
        row = static_cast<Row>((row + step + kRows) % kRows);
        if (!ObjectsOf(row).empty()) break;
    }
    slot = 0;
}

int FocusedCard() {
    for (int i = 1; i <= kDeckSize; ++i) {
        if (focused == &Pic(i)) return i;
    }
    return 0;
}

void Click(int card, i16 button) {
    PicCards_MouseDown(static_cast<i16>(card), button, 0, 0, 0);
    PicCards_MouseUp(static_cast<i16>(card), button, 0, 0, 0);
}

bool Press(i16 button) {
    if (ResultsShowing() && row == kResults) {
        auto* b = static_cast<Button*>(focused);
        if (button != kLeftButton || b == nullptr || !b->Click) return false;
        b->Click();
        return true;
    }
    const int card = FocusedCard();
    if (card == 0) return false;
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

}  // namespace

bool PressTableKey(TableKey key, bool autoRepeat) {
    if (PlayerMoveInProgress() || !GameInProgress) return false;
    const bool results = ResultsShowing();
    if (!PlayerTurn && !results) return false;
    if (results && row != kResults) row = kResults, slot = 0;
    if (!results && row == kResults) row = kStockAndPile, slot = 0;
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
    Show();
}

const void* FocusedControl() {
    return focused;
}

void ResetKeyboardFocus() {
    ClearRing();
    row = kStockAndPile;
    slot = 0;
}

}  // namespace cardovia
