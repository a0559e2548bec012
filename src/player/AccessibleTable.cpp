#include "player/AccessibleTable.h"

#include "model/CardFace.h"
#include "model/Table.h"
#include "player/Narration.h"
#include "player/TableObjects.h"

#include <algorithm>
#include <string>
#include <utility>

namespace cardovia {

namespace {

// What a picture shows, in words.
std::string Shown(const Picture& picture) {
    if (picture.image >= 1 && picture.image <= kDeckSize) return FaceName(picture.image);
    return "Face-down card";
}

std::string Count(int n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

AccessibleObject Group(std::string name, std::vector<AccessibleObject> children = {}) {
    return {AccessibleRole::Group, std::move(name), "", nullptr, std::move(children), ""};
}

std::string Marks(const Picture& p, std::string description) {
    if (p.border) description += description.empty() ? "chosen" : ", chosen";
    if (p.hinted) description += description.empty() ? "hinted" : ", hinted";
    return description;
}

AccessibleObject CardObject(int card, std::string description = {}) {
    const Picture& p = Pic(card);
    return {AccessibleRole::Card, Shown(p), Marks(p, std::move(description)), &p, {}, ""};
}

std::string Place(std::size_t at, std::size_t of) {
    return std::to_string(at + 1) + " of " + std::to_string(of);
}

// The player's hand: each card by its face and its place in the hand.
AccessibleObject PlayerHandObject() {
    AccessibleObject group = Group("Your hand");
    std::vector<int> shown;
    for (int card : CardsAt(PlayerHand)) {
        if (Pic(card).visible) shown.push_back(card);
    }
    for (std::size_t i = 0; i < shown.size(); ++i) {
        AccessibleObject card = CardObject(shown[i]);
        card.name += ", " + Place(i, shown.size());
        group.children.push_back(std::move(card));
    }
    group.description = Count(static_cast<int>(shown.size()), "card", "cards");
    return group;
}

// Thaddock's hand: places, not cards. Each object stands for a slot of the
// hand, so nothing ties a hidden card to a face it showed before, and a
// hidden card has no other name than "Face-down card".
AccessibleObject TheirHandObject() {
    AccessibleObject group = Group("Thaddock's hand");
    std::vector<int> shown;
    for (int card : CardsAt(OpponentHand)) {
        if (Pic(card).visible) shown.push_back(card);
    }
    for (std::size_t i = 0; i < shown.size(); ++i) {
        group.children.push_back({AccessibleRole::Card, "Face-down card", Place(i, shown.size()),
                                  &Pic(shown[i]), {}, "slot " + std::to_string(i + 1)});
    }
    group.description = Count(static_cast<int>(shown.size()), "card", "cards");
    return group;
}

AccessibleObject StockObject() {
    const int top = StockTopCard();
    const int count = CountAt(Stock);
    std::string name = "Stock, ";
    name += count > 0 ? Count(count, "card", "cards") : "empty";
    AccessibleObject group = Group("Stock");
    group.children.push_back(
        {AccessibleRole::Card, name, "", top ? &Pic(top) : nullptr, {}, "stock"});
    return group;
}

AccessibleObject PileObject() {
    const int count = CountAt(DiscardPile);
    const bool any = count > 0 && TopDiscard >= 1 && TopDiscard <= kDeckSize;
    std::string name = "Discard pile, ";
    if (any) {
        name += std::string(PileWord(Frmtable().Shape1.borderColor)) + ", " + Count(count, "card", "cards") + ", " +
                Shown(Pic(TopDiscard)) + " on top";
    } else {
        name += "empty";
    }
    AccessibleObject group = Group("Discard pile");
    group.children.push_back(
        {AccessibleRole::Card, name, "", any ? &Pic(TopDiscard) : nullptr, {}, "pile"});
    return group;
}

AccessibleObject Melds(int side) {
    AccessibleObject group = Group(side == kPlayer ? "Your melds" : "Thaddock's melds");
    const std::string whose = side == kPlayer ? "Your " : "Thaddock's ";
    for (int card : MeldCards(side)) {
        // A wild card on its way to a meld is not a meld of its own.
        if (MeldTable[Cards[card].Rank].Count[side] == 0) continue;
        group.children.push_back({AccessibleRole::Card, whose + MeldWords(side, Cards[card].Rank),
                                  Marks(Pic(card), ""), &Pic(card), {}, ""});
    }
    return group;
}

AccessibleObject RedThrees() {
    AccessibleObject group = Group("Red threes");
    for (int card : CardsAt(PlayerRedThrees)) group.children.push_back(CardObject(card, "yours"));
    for (int card : CardsAt(OpponentRedThrees)) {
        group.children.push_back(CardObject(card, "Thaddock's"));
    }
    return group;
}

std::string WithoutMnemonic(std::string caption) {
    for (std::size_t at = caption.find('&'); at != std::string::npos; at = caption.find('&', at)) {
        caption.erase(at, 1);
        ++at;  // "&&" stands for one "&"
    }
    return caption;
}

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

struct PanelRow {
    AccessibleRole role;
    std::string text;
    const Control* control;
};

std::string TextOf(const Control& c) {
    if (c.kind == ControlKind::Label) return Trimmed(static_cast<const Label&>(c).caption);
    if (c.kind == ControlKind::Button) {
        return WithoutMnemonic(static_cast<const Button&>(c).caption);
    }
    if (c.kind == ControlKind::TextBox) return static_cast<const TextBox&>(c).text;
    std::string text;
    if (c.kind == ControlKind::ListBox) {
        for (const std::string& item : static_cast<const ListBox&>(c).items) {
            if (!Trimmed(item).empty()) text += (text.empty() ? "" : ", ") + Trimmed(item);
        }
    }
    return text;
}

bool AllLabels(const std::vector<const Control*>& row) {
    return std::all_of(row.begin(), row.end(),
                       [](const Control* c) { return c->kind == ControlKind::Label; });
}

// A row of figures under the column headings: a heading on the left, then one
// figure under each column.
bool UnderHeadings(const std::vector<const Control*>& row,
                   const std::vector<const Control*>& headings) {
    if (headings.empty() || row.size() != headings.size() + 1 || !AllLabels(row)) return false;
    for (std::size_t i = 0; i < headings.size(); ++i) {
        if (row[i + 1]->left != headings[i]->left) return false;
    }
    return true;
}

// The panel's visible controls in rows (one top each), top to bottom, each
// row from the left.
std::vector<std::vector<const Control*>> Rows(const Frame& frame) {
    std::vector<const Control*> shown;
    for (const Control* c : Frmtable().Controls) {
        if (c->parent == &frame && c->visible) shown.push_back(c);
    }
    std::stable_sort(shown.begin(), shown.end(), [](const Control* a, const Control* b) {
        return std::pair(a->top, a->left) < std::pair(b->top, b->left);
    });
    std::vector<std::vector<const Control*>> rows;
    for (const Control* c : shown) {
        if (rows.empty() || rows.back().front()->top != c->top) rows.emplace_back();
        rows.back().push_back(c);
    }
    return rows;
}

// An open panel's words, line by line from the top and each line from the
// left, so a score is heard after its label and with whose it is.
std::vector<PanelRow> PanelRows(const Frame& frame) {
    const auto rows = Rows(frame);
    std::vector<const Control*> headings;
    for (std::size_t r = 0; r < rows.size() && headings.empty(); ++r) {
        const bool confirmed = std::any_of(rows.begin() + static_cast<std::ptrdiff_t>(r) + 1,
                                           rows.end(), [&](const auto& later) {
                                               return UnderHeadings(later, rows[r]);
                                           });
        if (rows[r].size() >= 2 && AllLabels(rows[r]) && confirmed) headings = rows[r];
    }
    std::vector<PanelRow> lines;
    for (const auto& row : rows) {
        if (row == headings) continue;  // said with every figure below them
        if (UnderHeadings(row, headings)) {
            std::string text = TextOf(*row.front()) + ":";
            for (std::size_t i = 0; i < headings.size(); ++i) {
                const std::string figure = TextOf(*row[i + 1]);
                text += (i ? ", " : " ") + TextOf(*headings[i]) + " " +
                        (figure.empty() ? "none" : figure);
            }
            lines.push_back({AccessibleRole::Text, text, row.front()});
            continue;
        }
        for (const Control* c : row) {
            const std::string text = TextOf(*c);
            if (text.empty()) continue;
            const AccessibleRole role =
                c->kind == ControlKind::Button ? AccessibleRole::Button : AccessibleRole::Text;
            lines.push_back({role, text, c});
        }
    }
    return lines;
}

AccessibleObject Panel(const Frame& frame) {
    AccessibleObject group = Group(frame.caption);
    for (const PanelRow& row : PanelRows(frame)) {
        group.children.push_back({row.role, row.text, "", row.control, {}, ""});
    }
    return group;
}

}  // namespace

std::vector<AccessibleObject> DescribeTable() {
    std::vector<AccessibleObject> groups = {
        PlayerHandObject(),
        TheirHandObject(),
        StockObject(),
        PileObject(),
        Melds(kPlayer),
        Melds(kOpponent),
        RedThrees(),
    };
    for (const Control* c : Frmtable().Controls) {
        if (c->kind == ControlKind::Frame && c->visible) {
            groups.push_back(Panel(*static_cast<const Frame*>(c)));
        }
    }
    return groups;
}

std::vector<std::string> PanelLines(const Frame& panel) {
    std::vector<std::string> lines;
    for (const PanelRow& row : PanelRows(panel)) lines.push_back(row.text);
    return lines;
}

}  // namespace cardovia
