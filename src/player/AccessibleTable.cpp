#include "player/AccessibleTable.h"

#include "model/CardFace.h"
#include "model/Table.h"
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
    return {AccessibleRole::Group, std::move(name), "", nullptr, std::move(children)};
}

AccessibleObject CardObject(int card, std::string description = {}) {
    const Picture& p = Pic(card);
    if (p.border) description += description.empty() ? "chosen" : ", chosen";
    if (p.hinted) description += description.empty() ? "hinted" : ", hinted";
    return {AccessibleRole::Card, Shown(p), std::move(description), &p, {}};
}

AccessibleObject Hand(const char* name, int location) {
    AccessibleObject group = Group(name);
    for (int card : CardsAt(location)) {
        if (Pic(card).visible) group.children.push_back(CardObject(card));
    }
    group.description = Count(static_cast<int>(group.children.size()), "card", "cards");
    return group;
}

AccessibleObject StockObject() {
    const int top = StockTopCard();
    std::string name = "Stock, ";
    name += StockCount > 0 ? Count(StockCount, "card", "cards") : "empty";
    AccessibleObject group = Group("Stock");
    group.children.push_back(
        {AccessibleRole::Card, name, "", top ? &Pic(top) : nullptr, {}, "stock"});
    return group;
}

const char* PileWord() {
    switch (PileState) {
        case PileStates::Open:
            return "open";
        case PileStates::Blocked:
            return "blocked";
        case PileStates::Frozen:
            break;
    }
    return "frozen";
}

AccessibleObject PileObject() {
    const bool any = DiscardCount > 0 && TopDiscard >= 1 && TopDiscard <= kDeckSize;
    std::string name = "Discard pile, ";
    if (any) {
        name += std::string(PileWord()) + ", " + Count(DiscardCount, "card", "cards") + ", " +
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
        const MeldRecord& m = MeldTable[Cards[card].Rank];
        const int wild = m.WildCount[side];
        group.children.push_back({AccessibleRole::Card,
                                  whose + RankName(Cards[card].Rank, true) + ", " +
                                      std::to_string(m.Count[side] - wild) + " natural, " +
                                      std::to_string(wild) + " wild, " +
                                      Count(m.Count[side], "card", "cards"),
                                  "",
                                  &Pic(card),
                                  {}});
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

// An open panel: its words and figures as they are read, line by line from
// the top and each line from the left, so a score is heard after its label.
AccessibleObject Panel(const Frame& frame) {
    AccessibleObject group = Group(frame.caption);
    std::vector<const Control*> shown;
    for (const Control* c : Frmtable().Controls) {
        if (c->parent == &frame && c->visible) shown.push_back(c);
    }
    std::stable_sort(shown.begin(), shown.end(), [](const Control* a, const Control* b) {
        return std::pair(a->top, a->left) < std::pair(b->top, b->left);
    });
    for (const Control* c : shown) {
        std::string text;
        AccessibleRole role = AccessibleRole::Text;
        if (c->kind == ControlKind::Label) {
            text = Trimmed(static_cast<const Label*>(c)->caption);
        } else if (c->kind == ControlKind::Button) {
            text = WithoutMnemonic(static_cast<const Button*>(c)->caption);
            role = AccessibleRole::Button;
        } else if (c->kind == ControlKind::ListBox) {
            for (const std::string& item : static_cast<const ListBox*>(c)->items) {
                if (!Trimmed(item).empty()) text += (text.empty() ? "" : ", ") + Trimmed(item);
            }
        }
        if (!text.empty()) group.children.push_back({role, text, "", c, {}});
    }
    return group;
}

}  // namespace

std::vector<AccessibleObject> DescribeTable() {
    std::vector<AccessibleObject> groups = {
        Hand("Your hand", PlayerHand),
        Hand("Thaddock's hand", OpponentHand),
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

}  // namespace cardovia
