#include "player/Hint.h"

#include "model/CardFace.h"
#include "model/Settings.h"
#include "model/Table.h"
#include "player/Narration.h"
#include "player/PlayerMoves.h"
#include "rules/SideView.h"
#include "strategy/Search.h"
#include "ui/Form.h"
#include "ui/Messages.h"
#include "ui/Thinking.h"

#include <array>
#include <cstdint>

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

constexpr int kMostHintSamples = 4000;

// A Hint asked while another is being thought out is not asked twice.
bool hintThinking = false;

// The same table as the player sees it gives the same deals, so a Hint asked
// again says the same; nothing hidden enters the seed.
std::uint64_t SeedOf(const strategy::View& v) {
    std::uint64_t h = 0xCBF29CE484222325ULL;
    auto mix = [&](long n) { h = (h ^ static_cast<std::uint64_t>(n)) * 0x100000001B3ULL; };
    for (const strategy::SeenCard& c : v.hand) mix(c.id);
    for (const strategy::SeenCard& c : v.pile) mix(c.id);
    for (const strategy::SideView& s : v.sides) {
        for (const strategy::SeenCard& c : s.meldCards) mix(c.id);
        mix(s.handCount);
        mix(s.minimumLeft);
    }
    mix(v.stockCount);
    mix(v.mustDraw);
    return h;
}

}  // namespace

Step HintStep() {
    const strategy::View view = SideViewOf(kPlayer, MustDraw && !HasDrawn);
    strategy::SearchBudget budget;
    budget.samples = HintSamples > 0 ? HintSamples : kMostHintSamples;
    budget.ms = HintSamples > 0 ? 0.0 : HintThinkMs;
    Step step;
    ThinkAside([&] { step = strategy::SearchStep(view, budget, SeedOf(view)).step; });
    if (step.kind == Step::Kind::TakeBack && !strategy::HasAnythingToTakeBack(view)) return {};
    return step;
}

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
    if (!PlayerTurn || !GameInProgress || TableIdle || PlayerMoveInProgress() || hintThinking) {
        return;
    }
    const TableState asked = TheTable;
    hintThinking = true;
    const Step step = HintStep();
    hintThinking = false;
    // A move made while the Hint was thought out makes it stale: it is not given.
    if (step.kind == Step::Kind::None || !(TheTable == asked) || GameAbandoned) return;
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
