#include "player/Hint.h"

#include "model/CardFace.h"
#include "model/Settings.h"
#include "model/Table.h"
#include "player/EnginePlay.h"
#include "player/Narration.h"
#include "player/PlayerMoves.h"
#include "ui/Form.h"
#include "ui/Messages.h"

#include <array>

namespace cardovia {

namespace {

using strategy::Step;

constexpr int kHintPanel = 2;

std::string CountWord(std::size_t n) {
    static constexpr std::array<const char*, 9> kWords = {"no",   "one", "two",   "three", "four",
                                                          "five", "six", "seven", "eight"};
    return n < kWords.size() ? kWords[n] : std::to_string(n);
}

std::string Lay(const Step& step) {
    const std::size_t n = step.cards.size();
    const std::string cards = n == 1 ? "your " + RankName(step.rank, false)
                                     : "your " + CountWord(n) + " " + RankName(step.rank, true);
    if (MeldTable[step.rank].Melded[kPlayer]) {
        return "Add " + cards + " to your " + RankName(step.rank, true);
    }
    return "Meld " + cards;
}

// The stock's top card: the one a press on the stock would find first.
int TopOfStock() {
    for (int i = kDeckSize; i >= 1; --i) {
        if (Cards[i].Location == Stock) return i;
    }
    return 0;
}

}  // namespace

std::string HintText(const Step& step) {
    std::string text;
    switch (step.kind) {
        case Step::Kind::None:
            return {};
        case Step::Kind::TakePile:
            text = "Take the discard pile";
            break;
        case Step::Kind::DrawStock:
            text = "Draw two cards from the stock";
            break;
        case Step::Kind::Lay:
            text = Lay(step);
            break;
        case Step::Kind::AddWild:
            text =
                "Add the " + FaceName(step.cards.front()) + " to your " + RankName(step.rank, true);
            break;
        case Step::Kind::Discard:
            text = "Discard the " + FaceName(step.cards.front());
            break;
        case Step::Kind::TakeBack:
            text = "Take Back the cards you have laid";
            break;
    }
    if (LearningMode && !step.why.empty()) text += ". " + step.why;
    return text;
}

void ClearHintMarks() {
    for (int i = 1; i <= kDeckSize; ++i) Pic(i).hinted = false;
}

void MnuHint_Click() {
    if (!PlayerTurn || !GameInProgress || TableIdle || PlayerMoveInProgress()) return;
    const Step step = PlayerNextStep();
    if (step.kind == Step::Kind::None) return;
    ClearHintMarks();
    for (int card : step.cards) Pic(card).hinted = true;
    if (step.kind == Step::Kind::DrawStock) {
        if (const int top = TopOfStock(); top != 0) Pic(top).hinted = true;
    }
    const std::string text = HintText(step);
    // Asked again, the same words are said again.
    if (Frmtable().StatusPanels[kHintPanel] == text) Announce(text);
    SetPanel(kHintPanel, text);
}

}  // namespace cardovia
