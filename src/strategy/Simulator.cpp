#include "strategy/Simulator.h"

#include "strategy/Pack.h"

#include <algorithm>

namespace cardovia::strategy {

namespace {

// Wild cards are the Jokers and then the Twos, so a card's number tells it.
constexpr int kLastWildCard = 12;

constexpr int kTakeBackPenalty = 50;
// The player's new meld from a taken pile gets only as many hand cards as
// bring it to three; Thaddock lays all of his.
constexpr int kPlayerTakeLimit = 3;
// A meld left at two cards by a take is made up to three with a wild card.
constexpr int kMeldShortOfThree = 2;
constexpr int kCompleteMeld = 3;
// More steps than any hand holds cards: Thaddock's melding always ends.
constexpr int kMostMeldSteps = 40;
// Black threes go down only as the last cards: three of a hand of three or four.
constexpr int kBlackThreesLaid = 3;
constexpr int kMostCardsForBlackThrees = 4;

constexpr int kRedThreeBonus = 100;
constexpr int kAllFourRedThreesBonus = 800;
constexpr int kAllRedThrees = 4;
constexpr int kPureCanastaBonus = 500;
constexpr int kMixedCanastaBonus = 300;
constexpr int kOutBonus = 100;

bool IsCard(int id) {
    return id >= 1 && id <= kDeckCards;
}
bool IsWildCard(int id) {
    return id >= 1 && id <= kLastWildCard;
}
bool IsMeldRank(int r) {
    return r >= 1 && r <= kMeldRanks;
}
// A card of these ranks in the pile freezes it; on top it blocks it.
bool Freezes(int rank) {
    return IsWild(rank) || rank == kBlackThree || rank == kRedThree;
}
// Twos and black threes make no meld that counts as natural.
bool IsCountedMeld(int r) {
    return r != kTwo && r != kBlackThree;
}

bool At(const SimCard& c, Where where, int seat) {
    return c.where == where && c.seat == seat;
}

int CountAt(const Simulator& s, Where where, int seat) {
    int n = 0;
    for (int i = 1; i <= kDeckCards; ++i) n += At(s.cards[i], where, seat) ? 1 : 0;
    return n;
}

int HandCount(const Simulator& s, int seat) {
    return CountAt(s, Where::Hand, seat);
}

int PileCount(const Simulator& s) {
    int n = 0;
    for (int i = 1; i <= kDeckCards; ++i) n += s.cards[i].where == Where::Pile ? 1 : 0;
    return n;
}

// The top card's rank. The top card is remembered after the pile is taken, so
// it may lie on a meld while the pile is empty.
int TopRank(const Simulator& s) {
    return IsCard(s.top) ? s.cards[s.top].rank : 0;
}

bool HasNaturalMeld(const Simulator& s, int seat) {
    for (int r = 1; r <= kMeldRanks; ++r) {
        if (IsCountedMeld(r) && s.seats[seat].melds[r].melded) return true;
    }
    return false;
}

PileSeen PileStateFor(const Simulator& s, int seat) {
    // A side that has not met its minimum meld never sees the pile Open or Blocked.
    if (!s.seats[seat].opened) return PileSeen::Frozen;
    const int pile = PileCount(s);
    if (s.top >= 1 && pile >= 1 && Freezes(TopRank(s))) return PileSeen::Blocked;
    for (int i = 1; i <= kDeckCards; ++i) {
        if (s.cards[i].where == Where::Pile && Freezes(s.cards[i].rank)) return PileSeen::Frozen;
    }
    return PileSeen::Open;
}

struct HandMatch {
    int naturals = 0;  // natural cards of the top card's rank
    int wilds = 0;
};

HandMatch CountMatches(const Simulator& s, int seat, int topRank) {
    HandMatch match;
    for (int i = 1; i <= kDeckCards; ++i) {
        const SimCard& c = s.cards[i];
        if (!At(c, Where::Hand, seat)) continue;
        if (IsWild(c.rank)) {
            ++match.wilds;
        } else if (c.rank == topRank) {
            ++match.naturals;
        }
    }
    return match;
}

bool MayTake(const Simulator& s, int seat) {
    if (PileCount(s) == 0) return false;
    const PileSeen state = PileStateFor(s, seat);
    if (state == PileSeen::Blocked) return false;
    const int topRank = TopRank(s);
    const HandMatch match = CountMatches(s, seat, topRank);
    const bool matched = match.naturals >= 2 || (match.naturals == 1 && match.wilds >= 1);
    if (state == PileSeen::Frozen) return matched;
    return (IsMeldRank(topRank) && s.seats[seat].melds[topRank].melded) || matched;
}

bool ThaddockMayDiscard(const Simulator& s) {
    const int hand = HandCount(s, kThaddockSeat);
    // Throwing the last card would be going out, which needs a canasta.
    return hand > 1 || (hand == 1 && s.seats[kThaddockSeat].canasta);
}

// What a side sees of a card: a wild card joined to the player's meld carries
// the meld's rank, so its number tells what it is.
SeenCard Seen(const Simulator& s, int id) {
    const SimCard& c = s.cards[id];
    return {id, IsWildCard(id) ? PackCard(id).rank : c.rank, c.value};
}

// A side's books and figures; ViewOf fills in its cards and counts.
SideView FiguresOf(const Simulator& s, int seat) {
    SideView v;
    const SimSeat& me = s.seats[seat];
    for (int r = 1; r <= kMeldRanks; ++r) {
        v.meldCount[r] = me.melds[r].count;
        v.meldWild[r] = me.melds[r].wild;
        v.meldSinceWild[r] = me.melds[r].sinceWild;
    }
    for (int r = 0; r <= kJoker; ++r) v.discarded[r] = me.discarded[r];
    v.penalty = seat == kPlayerSeat ? me.penalty : 0;
    v.canasta = me.canasta;
    v.opened = me.opened;
    v.minimumLeft = me.minimumLeft;
    v.total = me.total;
    return v;
}

// The moves of one step, with the turn flag the handlers keep: it drops as
// soon as the side goes out or discards, while the procedure under way still
// runs to its end.
class Play {
  public:
    explicit Play(Simulator& s) : s_(s) {}

    bool PlayerStep(const Step& step);
    bool ThaddockStep(const Step& step);
    bool turnGoesOn = true;

  private:
    bool ThaddockMelds(const Step& step);

    // --- Both sides ---------------------------------------------------------
    void Draw(int seat);
    void CheckForRedThrees(int seat);
    void PutCardOnMeld(int card, int r, int seat);
    void AddWildCard(int card, int r, int seat);
    void TakeDiscardPile(int seat);
    void MakeDiscard(int seat, int card);
    void EndTurnFlags();

    // --- The player's handlers ----------------------------------------------
    void Click(int card, bool left);
    bool Press(int card, bool left);
    void ChooseWildCard(int card);
    void UnmarkWildCard(int card);
    void JoinWildCard(int pressed);
    void DrawTwo();
    bool TakePileClick(int card);
    bool PickUpFromHand(int card);
    bool LayBlackThrees();
    bool CanMeldFromHand(int card) const;
    void Discard(int card);
    bool AddWildStep(int wild, int rank);
    bool DiscardStep(int card);
    void TakeBack();
    void TakeBackCards();
    bool HasShortMeld() const;
    void LowerCount(int r);
    void ReturnWildCard(int card, int r);

    bool InPlayersHand(int card) const {
        return IsCard(card) && At(s_.cards[card], Where::Hand, kPlayerSeat);
    }
    bool OnPlayersMelds(int card) const {
        return IsCard(card) && At(s_.cards[card], Where::Melds, kPlayerSeat);
    }
    SimMeld& Meld(int seat, int r) { return s_.seats[seat].melds[r]; }

    Simulator& s_;
};

void Play::Draw(int seat) {
    if (!s_.stock.empty()) {
        SimCard& c = s_.cards[s_.stock.back()];
        s_.stock.pop_back();
        c.where = Where::Hand;
        c.seat = static_cast<std::int8_t>(seat);
    }
    CheckForRedThrees(seat);
}

// A red three never stays in a hand: it goes to the board and another card is
// drawn in its place, which is itself checked before the next red three.
void Play::CheckForRedThrees(int seat) {
    for (int i = kFirstRedThreeCard; i <= kLastRedThreeCard; ++i) {
        SimCard& c = s_.cards[i];
        if (!At(c, Where::Hand, seat) || c.rank != kRedThree) continue;
        c.where = Where::RedThrees;
        Draw(seat);
    }
}

// Booking a card may meet the minimum partway through a meld; the last card
// of the player's hand laid on a meld ends the turn without a discard.
void Play::PutCardOnMeld(int card, int r, int seat) {
    SimCard& c = s_.cards[card];
    SimSeat& side = s_.seats[seat];
    SimMeld& m = side.melds[r];
    c.where = Where::Melds;
    c.seat = static_cast<std::int8_t>(seat);
    c.meld = static_cast<std::int8_t>(r);
    c.marked = false;
    m.melded = true;
    ++m.count;
    if (m.hasWild) ++m.sinceWild;
    if (m.count >= kCanastaSize) side.canasta = true;
    if (!side.opened) side.minimumLeft -= c.value;
    if (side.minimumLeft < 1) side.opened = true;
    if (seat == kPlayerSeat && HandCount(s_, kPlayerSeat) == 0) {
        s_.mustDraw = false;
        s_.hasDrawn = false;
        turnGoesOn = false;
    }
}

void Play::AddWildCard(int card, int r, int seat) {
    if (card == s_.chosenWild) s_.chosenWild = 0;
    SimMeld& m = Meld(seat, r);
    m.hasWild = true;
    ++m.wild;
    PutCardOnMeld(card, r, seat);
}

void Play::TakeDiscardPile(int seat) {
    // Every card of the pile is shown face up: both sides remember who took it.
    for (int i = 1; i <= kDeckCards; ++i) {
        if (s_.cards[i].where == Where::Pile) s_.cards[i].takenBy = static_cast<std::int8_t>(seat);
    }
    // The top card stays the top card: only its rank matters from here on.
    const int r = TopRank(s_);
    if (!IsMeldRank(r)) return;
    for (int i = 1; i <= kDeckCards; ++i) {
        SimCard& c = s_.cards[i];
        if (c.where != Where::Pile || c.rank != r) continue;
        c.fromPile = true;
        PutCardOnMeld(i, r, seat);
    }
    for (int i = 1; i <= kDeckCards; ++i) {
        SimCard& c = s_.cards[i];
        if (c.where != Where::Pile) continue;
        c.fromPile = true;
        c.where = c.rank == kRedThree ? Where::RedThrees : Where::Hand;
        c.seat = static_cast<std::int8_t>(seat);
    }
    for (int i = 1; i <= kDeckCards; ++i) {
        SimCard& c = s_.cards[i];
        if (!At(c, Where::Hand, seat) || c.rank != r) continue;
        // The limit is met exactly or not at all: a meld already past three takes them all.
        if (seat == kPlayerSeat && Meld(seat, r).count == kPlayerTakeLimit) break;
        c.laidNow = true;
        PutCardOnMeld(i, r, seat);
    }
    if (Meld(seat, r).count != kMeldShortOfThree) return;
    for (int i = 1; i <= kLastWildCard; ++i) {
        if (!At(s_.cards[i], Where::Hand, seat)) continue;
        s_.cards[i].laidNow = true;
        AddWildCard(i, r, seat);
        return;
    }
}

void Play::MakeDiscard(int seat, int card) {
    SimCard& c = s_.cards[card];
    if (c.rank >= 0 && c.rank <= kJoker) ++s_.seats[seat].discarded[c.rank];
    c.where = Where::Pile;
    s_.top = card;
}

// A card both taken with the pile and laid from the hand loses only the
// first mark at the end of a turn, the second at the end of the next.
void Play::EndTurnFlags() {
    for (int i = 1; i <= kDeckCards; ++i) {
        SimCard& c = s_.cards[i];
        if (c.fromPile) {
            c.fromPile = false;
        } else if (c.laidNow) {
            c.laidNow = false;
        }
    }
}

// --- The player's handlers ----------------------------------------------------

// A press and its release on one card, as the mouse gives them.
void Play::Click(int card, bool left) {
    if (!IsCard(card)) return;
    bool pickedUp = false;
    if (turnGoesOn && !At(s_.cards[card], Where::Hand, kThaddockSeat)) {
        pickedUp = Press(card, left);
    }
    // The release lays only the card its own press picked up.
    if (!turnGoesOn || !InPlayersHand(card) || !s_.hasDrawn) return;
    if (!left || IsWildCard(card) || !pickedUp) return;
    if (CanMeldFromHand(card)) PutCardOnMeld(card, s_.cards[card].rank, kPlayerSeat);
}

// What a press does: the first of the moves that applies. True when it picked
// the card up to be laid.
bool Play::Press(int card, bool left) {
    const SimCard& c = s_.cards[card];
    const bool onMyMelds = At(c, Where::Melds, kPlayerSeat);
    const bool wildInHand = IsWildCard(card) && At(c, Where::Hand, kPlayerSeat);
    if (onMyMelds && s_.chosenWild == 0) return false;  // a wild card must be chosen first
    if (left && wildInHand && c.marked) {
        UnmarkWildCard(card);
        return false;
    }
    if (left && wildInHand) {
        ChooseWildCard(card);
        return false;
    }
    if (!left && onMyMelds && s_.chosenWild != 0) {
        JoinWildCard(card);
        return false;
    }
    if (left && c.where == Where::Stock && s_.mustDraw) {
        DrawTwo();
        return false;
    }
    if (c.where == Where::Pile && s_.mustDraw && !TakePileClick(card)) return false;
    // After taking the pile the press goes on only if the pressed card is now in the hand.
    if (left && InPlayersHand(card) && s_.hasDrawn) return PickUpFromHand(card);
    if (!left && InPlayersHand(card) && s_.hasDrawn) Discard(card);
    return false;
}

void Play::ChooseWildCard(int card) {
    if (!s_.seats[kPlayerSeat].canasta && HandCount(s_, kPlayerSeat) == 1) return;
    s_.chosenWild = card;
    s_.cards[card].marked = true;
}

void Play::UnmarkWildCard(int card) {
    s_.cards[card].marked = false;
    if (card == s_.chosenWild) s_.chosenWild = 0;
}

// The chosen wild card joins the meld of the card pressed, within its quota,
// and takes that meld's rank.
void Play::JoinWildCard(int pressed) {
    const int r = s_.cards[pressed].rank;
    const int wild = s_.chosenWild;
    if (IsMeldRank(r) && !IsWild(r) && r != kBlackThree) {
        const SimMeld& m = Meld(kPlayerSeat, r);
        if (m.wild + 1 <= kMostWildCards && m.wild + 1 <= m.count - m.wild) {
            SimCard& c = s_.cards[wild];
            c.rank = static_cast<std::int8_t>(r);
            c.laidNow = true;
            AddWildCard(wild, r, kPlayerSeat);
            s_.chosenWild = 0;
            return;
        }
    }
    s_.cards[wild].marked = false;
    s_.chosenWild = 0;
}

void Play::DrawTwo() {
    s_.mustDraw = false;
    Draw(kPlayerSeat);
    Draw(kPlayerSeat);
    s_.hasDrawn = true;
}

// A press on the pile; false when the press ends here.
bool Play::TakePileClick(int card) {
    if (!MayTake(s_, kPlayerSeat)) return false;
    if (s_.cards[card].rank == s_.cards[IsCard(s_.top) ? s_.top : 0].rank) {
        s_.mustDraw = false;
        TakeDiscardPile(kPlayerSeat);
        s_.hasDrawn = true;
    }
    return true;
}

bool Play::PickUpFromHand(int card) {
    if (!s_.seats[kPlayerSeat].canasta && HandCount(s_, kPlayerSeat) == 1) return false;
    if (s_.cards[card].rank == kBlackThree && LayBlackThrees()) return false;
    if (!CanMeldFromHand(card)) return false;
    s_.cards[card].laidNow = true;
    return true;
}

// Answers whether the press ends here. Without a canasta the black threes
// fall through to the ordinary check, which lets three of them make a meld.
bool Play::LayBlackThrees() {
    const int hand = HandCount(s_, kPlayerSeat);
    int threes = 0;
    for (int i = 1; i <= kDeckCards; ++i) {
        threes += InPlayersHand(i) && s_.cards[i].rank == kBlackThree ? 1 : 0;
    }
    if (hand > kMostCardsForBlackThrees || threes < kBlackThreesLaid) return true;
    const bool allThree = hand == kBlackThreesLaid && threes == kBlackThreesLaid;
    const bool threeOfFour = hand == kMostCardsForBlackThrees;
    if (!s_.seats[kPlayerSeat].canasta || !(allThree || threeOfFour)) return false;
    int laid = 0;
    for (int i = 1; i <= kDeckCards && laid < kBlackThreesLaid; ++i) {
        if (InPlayersHand(i) && s_.cards[i].rank == kBlackThree) {
            PutCardOnMeld(i, kBlackThree, kPlayerSeat);
            ++laid;
        }
    }
    return true;
}

bool Play::CanMeldFromHand(int card) const {
    const bool canasta = s_.seats[kPlayerSeat].canasta;
    const int hand = HandCount(s_, kPlayerSeat);
    if (!canasta && hand == 1) return false;
    const int rank = s_.cards[card].rank;
    const bool natural = !IsWild(rank) && rank != kBlackThree && rank != kRedThree;
    if (natural && rank <= kMeldRanks && s_.seats[kPlayerSeat].melds[rank].melded) return true;
    int same = 0;
    int wild = 0;
    for (int i = 1; i <= kDeckCards; ++i) {
        if (!InPlayersHand(i)) continue;
        same += s_.cards[i].rank == rank ? 1 : 0;
        wild += IsWildCard(i) ? 1 : 0;
    }
    // Neither the last cards of the hand as one new meld, nor a group that
    // with its wild cards would empty a three-card hand, without a canasta.
    if (same == hand && !canasta) return false;
    if (wild + same == kCompleteMeld && hand == kCompleteMeld && !canasta) return false;
    return same >= kCompleteMeld || (same == kCompleteMeld - 1 && wild >= 1);
}

// The discard that ends the turn. The last card without a canasta stays in
// the hand, and the turn passes all the same.
void Play::Discard(int card) {
    SimCard& c = s_.cards[card];
    if (IsWild(c.rank) && c.marked) {
        UnmarkWildCard(card);
        return;
    }
    const SimSeat& me = s_.seats[kPlayerSeat];
    for (int r = 1; r <= kMeldRanks; ++r) {
        if (IsCountedMeld(r) && me.melds[r].melded && me.melds[r].count < kCompleteMeld) return;
    }
    if (me.minimumLeft > 0 && !me.opened && HasNaturalMeld(s_, kPlayerSeat)) return;
    if (HandCount(s_, kPlayerSeat) != 1 || me.canasta) MakeDiscard(kPlayerSeat, card);
    EndTurnFlags();
    turnGoesOn = false;
    s_.hasDrawn = false;
}

bool Play::AddWildStep(int wild, int rank) {
    if (!InPlayersHand(wild)) return false;
    if (s_.chosenWild != wild) Click(wild, true);
    int onMeld = 0;
    for (int i = 1; i <= kDeckCards && onMeld == 0; ++i) {
        if (OnPlayersMelds(i) && s_.cards[i].rank == rank) onMeld = i;
    }
    if (s_.chosenWild != wild || onMeld == 0) return false;
    Click(onMeld, false);
    return OnPlayersMelds(wild);
}

bool Play::DiscardStep(int card) {
    if (!InPlayersHand(card)) return false;
    // A chosen wild card is let go of by the first right click.
    if (s_.cards[card].marked) Click(card, false);
    Click(card, false);
    return !turnGoesOn;
}

bool Play::HasShortMeld() const {
    for (int r = 1; r <= kMeldRanks; ++r) {
        const int count = s_.seats[kPlayerSeat].melds[r].count;
        if (r != kTwo && (count == 1 || count == 2)) return true;
    }
    return false;
}

// Take Back returns this turn's cards only while the minimum is unmet, or
// while a meld is short; either way the turn may draw again but need not.
void Play::TakeBack() {
    if (!s_.seats[kPlayerSeat].opened) TakeBackCards();
    if (HasShortMeld()) TakeBackCards();
    s_.hasDrawn = true;
}

void Play::LowerCount(int r) {
    SimMeld& m = Meld(kPlayerSeat, r);
    --m.count;
    if (m.count == 0) m.melded = false;
}

// A wild card leaving a meld gives back its own rank. Natural cards taken back
// leave the count since the first wild card alone, so it may outlast the wild cards.
void Play::ReturnWildCard(int card, int r) {
    SimMeld& m = Meld(kPlayerSeat, r);
    --m.wild;
    --m.sinceWild;
    if (m.sinceWild == 0) m.hasWild = false;
    s_.cards[card].rank = static_cast<std::int8_t>(PackCard(card).rank);
    s_.cards[card].value = static_cast<std::int8_t>(PackCard(card).value);
}

// Every card on the player's melds is looked at: those laid from the hand
// this turn go back to it, those that came with the pile go back to the pile
// at a cost, and while unopened each one, returned or not, puts its points
// back on the minimum.
void Play::TakeBackCards() {
    SimSeat& me = s_.seats[kPlayerSeat];
    bool penaltyCharged = false;
    for (int i = 1; i <= kDeckCards; ++i) {
        SimCard& c = s_.cards[i];
        if (!At(c, Where::Melds, kPlayerSeat)) continue;
        const int r = c.meld;
        if (c.laidNow && IsMeldRank(r)) {
            c.where = Where::Hand;
            c.laidNow = false;
            c.fromPile = false;
            LowerCount(r);
            if (IsWildCard(i)) ReturnWildCard(i, r);
        } else if (c.fromPile && IsMeldRank(r)) {
            LowerCount(r);
            if (IsWildCard(i)) ReturnWildCard(i, r);
            c.where = Where::Pile;
            c.fromPile = false;
            if (!penaltyCharged) {
                penaltyCharged = true;
                me.penalty = kTakeBackPenalty;
            }
        }
        if (!me.opened) me.minimumLeft += c.value;
        s_.mustDraw = true;
        s_.hasDrawn = false;
    }
}

bool Play::PlayerStep(const Step& step) {
    switch (step.kind) {
        case Step::Kind::None:
            return false;
        case Step::Kind::TakePile:
            if (s_.top > 0) Click(s_.top, true);
            return s_.hasDrawn;
        case Step::Kind::DrawStock:
            // The press lands on a stock card; which one makes no difference.
            if (s_.stock.empty()) return false;
            if (s_.mustDraw) DrawTwo();
            return s_.hasDrawn;
        case Step::Kind::Lay: {
            bool accepted = true;
            for (int card : step.cards) {
                if (!turnGoesOn) break;  // went out
                Click(card, true);
                accepted = accepted && OnPlayersMelds(card);
            }
            return accepted;
        }
        case Step::Kind::AddWild:
            return !step.cards.empty() && AddWildStep(step.cards.front(), step.rank);
        case Step::Kind::Discard:
            return !step.cards.empty() && DiscardStep(step.cards.front());
        case Step::Kind::TakeBack:
            TakeBack();
            return true;
    }
    return false;
}

// Thaddock's procedures: a meld takes every card of its rank from the hand
// with no check of the rules, and the melding ends at the first other step.
bool Play::ThaddockStep(const Step& step) {
    const int seat = kThaddockSeat;
    if (s_.mustDraw) {
        if (step.kind == Step::Kind::TakePile && MayTake(s_, seat)) {
            TakeDiscardPile(seat);
        } else if (step.kind == Step::Kind::DrawStock) {
            Draw(seat);
            Draw(seat);
        } else {
            return false;
        }
        s_.mustDraw = false;
        return true;
    }
    if (HandCount(s_, seat) == 0) return false;
    const bool melded = ThaddockMelds(step);
    if (!melded) s_.meldingOver = true;
    if (melded || step.kind != Step::Kind::Discard) return melded;
    const int card = step.cards.empty() ? 0 : step.cards.front();
    if (!ThaddockMayDiscard(s_) || !IsCard(card)) return false;
    if (!At(s_.cards[card], Where::Hand, seat)) return false;
    MakeDiscard(seat, card);
    turnGoesOn = false;
    return true;
}

// One step of Thaddock's melding; false when it is none, and his melding ends.
bool Play::ThaddockMelds(const Step& step) {
    const int seat = kThaddockSeat;
    if (s_.meldingOver || s_.meldSteps >= kMostMeldSteps) return false;
    const int card = step.cards.empty() ? 0 : step.cards.front();
    if (step.kind == Step::Kind::Lay) {
        ++s_.meldSteps;
        // A rank that has no meld lays nothing, and the melding goes on.
        if (!IsMeldRank(step.rank)) return true;
        for (int i = 1; i <= kDeckCards; ++i) {
            if (At(s_.cards[i], Where::Hand, seat) && s_.cards[i].rank == step.rank) {
                PutCardOnMeld(i, step.rank, seat);
            }
        }
        return true;
    }
    if (step.kind != Step::Kind::AddWild || !IsCard(card)) return false;
    if (!At(s_.cards[card], Where::Hand, seat) || !IsMeldRank(step.rank)) return false;
    ++s_.meldSteps;
    AddWildCard(card, step.rank, seat);
    return true;
}

void PassTurn(Simulator& s) {
    s.toMove = s.toMove == kPlayerSeat ? kThaddockSeat : kPlayerSeat;
    s.mustDraw = true;
    s.hasDrawn = false;
    s.meldSteps = 0;
    s.meldingOver = false;
}

}  // namespace

bool Simulator::Apply(const Step& step) {
    Play play(*this);
    const bool accepted = toMove == kPlayerSeat ? play.PlayerStep(step) : play.ThaddockStep(step);
    if (!play.turnGoesOn) PassTurn(*this);
    return accepted;
}

void Simulator::EndTurn() {
    if (toMove == kThaddockSeat) PassTurn(*this);
}

bool Simulator::HandOver() const {
    const bool betweenTurns = mustDraw && !hasDrawn;
    if (!betweenTurns || stock.empty()) return betweenTurns;
    std::array<bool, 2> holds{};
    for (int i = 1; i <= kDeckCards; ++i) {
        if (cards[i].where == Where::Hand) holds[cards[i].seat == kPlayerSeat ? 0 : 1] = true;
    }
    return !holds[0] || !holds[1];
}

int Simulator::HandScore(int seat) const {
    const SimSeat& me = seats[seat];
    int melds = 0;
    int held = 0;
    int reds = 0;
    for (int i = 1; i <= kDeckCards; ++i) {
        const SimCard& c = cards[i];
        if (At(c, Where::Melds, seat)) melds += c.value;
        if (At(c, Where::Hand, seat)) held += c.value;
        if (At(c, Where::RedThrees, seat) && i >= kFirstRedThreeCard) ++reds;
    }
    if (seat == kPlayerSeat) melds -= me.penalty;
    // Red threes count for a side with a meld on the table and against one without.
    const int sign = HasNaturalMeld(*this, seat) ? 1 : -1;
    int bonus = sign * (reds == kAllRedThrees ? kAllFourRedThreesBonus : kRedThreeBonus * reds);
    for (int r = 1; r <= kMeldRanks; ++r) {
        if (!IsCountedMeld(r) || me.melds[r].count < kCanastaSize) continue;
        bonus += me.melds[r].sinceWild == 0 ? kPureCanastaBonus : kMixedCanastaBonus;
    }
    const int out = HandCount(*this, seat) == 0 ? kOutBonus : 0;
    return bonus + out + melds - held;
}

void Simulator::DrawNext(const std::vector<int>& next) {
    for (int card : next) {
        const auto at = std::find(stock.begin(), stock.end(), card);
        if (at != stock.end()) stock.erase(at);
    }
    // The first to be drawn goes last, at the back.
    for (auto card = next.rbegin(); card != next.rend(); ++card) {
        if (IsCard(*card) && cards[*card].where == Where::Stock) stock.push_back(*card);
    }
}

View Simulator::ViewOf(int seat) const {
    View v;
    const int other = seat == kPlayerSeat ? kThaddockSeat : kPlayerSeat;
    v.sides = {FiguresOf(*this, seat), FiguresOf(*this, other)};
    // Counted first, so that each list is allocated once.
    std::array<int, 2> melds{};
    int pile = 0;
    for (int i = 1; i <= kDeckCards; ++i) {
        const SimCard& c = cards[i];
        const int k = c.seat == seat ? 0 : 1;
        if (c.where == Where::Hand) ++v.sides[k].handCount;
        if (c.where == Where::Melds) ++melds[k];
        if (c.where == Where::Pile) ++pile;
    }
    v.hand.reserve(static_cast<std::size_t>(v.sides[0].handCount));
    v.pile.reserve(static_cast<std::size_t>(pile));
    for (int k = 0; k < 2; ++k) v.sides[k].meldCards.reserve(static_cast<std::size_t>(melds[k]));
    for (int i = 1; i <= kDeckCards; ++i) {
        const SimCard& c = cards[i];
        SideView& side = v.sides[c.seat == seat ? 0 : 1];
        switch (c.where) {
            case Where::Hand:
                if (c.seat == seat) v.hand.push_back(Seen(*this, i));
                if (c.takenBy == c.seat) side.heldFromPile.push_back(Seen(*this, i));
                break;
            case Where::Melds: {
                SeenCard seen = Seen(*this, i);
                seen.meld = c.meld;
                seen.fromPile = c.fromPile;
                seen.laidNow = c.laidNow;
                side.meldCards.push_back(seen);
                break;
            }
            case Where::RedThrees:
                ++side.redThrees;
                break;
            case Where::Pile:
                // The pile is laid out in index order under its top card.
                if (i != top) v.pile.push_back(Seen(*this, i));
                break;
            case Where::Stock:
                break;
        }
    }
    if (IsCard(top) && cards[top].where == Where::Pile) v.pile.push_back(Seen(*this, top));
    v.stockCount = static_cast<int>(stock.size());
    v.pileForMe = PileStateFor(*this, seat);
    v.target = target;
    const bool myTurn = toMove == seat;
    v.mustDraw = myTurn && mustDraw && (seat == kThaddockSeat || !hasDrawn);
    v.drawStillOwed = myTurn && seat == kPlayerSeat && mustDraw && hasDrawn;
    v.chosenWild = seat == kPlayerSeat ? chosenWild : 0;
    v.thaddockSeat = seat == kThaddockSeat;
    return v;
}

namespace {

void PlaceSeen(Simulator& s, const SeenCard& seen, Where where, int seat) {
    if (!IsCard(seen.id)) return;
    SimCard& c = s.cards[seen.id];
    c.where = where;
    c.seat = static_cast<std::int8_t>(seat);
}

// The cards of one side's melds, as its view shows them. A wild card the
// player joined carries its meld's rank; one that came with a taken pile keeps
// its own, and nothing the rules read tells the two apart.
void PlaceMelds(Simulator& s, const SideView& side, int seat) {
    for (const SeenCard& seen : side.meldCards) {
        if (!IsCard(seen.id)) continue;
        PlaceSeen(s, seen, Where::Melds, seat);
        SimCard& c = s.cards[seen.id];
        c.meld = static_cast<std::int8_t>(seen.meld);
        c.fromPile = seen.fromPile;
        c.laidNow = seen.laidNow;
        if (seen.fromPile) c.takenBy = static_cast<std::int8_t>(seat);
        if (seat == kPlayerSeat && IsWildCard(seen.id) && IsMeldRank(seen.meld)) {
            c.rank = static_cast<std::int8_t>(seen.meld);
        }
    }
    for (const SeenCard& seen : side.heldFromPile) {
        if (IsCard(seen.id)) s.cards[seen.id].takenBy = static_cast<std::int8_t>(seat);
    }
}

void SetSeat(SimSeat& seat, const SideView& side, int penalty) {
    for (int r = 1; r <= kMeldRanks; ++r) {
        SimMeld& m = seat.melds[r];
        m.count = static_cast<std::int8_t>(side.meldCount[r]);
        m.wild = static_cast<std::int8_t>(side.meldWild[r]);
        m.sinceWild = static_cast<std::int8_t>(side.meldSinceWild[r]);
        // A meld is on the books while its count is above nought, and has a
        // wild card while its count since the first one is.
        m.hasWild = side.meldSinceWild[r] > 0;
        m.melded = side.meldCount[r] > 0;
    }
    seat.minimumLeft = side.minimumLeft;
    seat.opened = side.opened;
    seat.canasta = side.canasta;
    seat.total = side.total;
    seat.penalty = penalty;
    for (int r = 0; r <= kJoker; ++r) seat.discarded[r] = side.discarded[r];
}

}  // namespace

Simulator Simulator::FromView(const View& view, const std::vector<int>& otherHand,
                              const std::vector<int>& stock) {
    Simulator s;
    const int me = view.thaddockSeat ? kThaddockSeat : kPlayerSeat;
    const int other = me == kPlayerSeat ? kThaddockSeat : kPlayerSeat;
    std::array<bool, kDeckCards + 1> placed{};
    for (int i = 1; i <= kDeckCards; ++i) {
        const SeenCard own = PackCard(i);
        s.cards[i].rank = static_cast<std::int8_t>(own.rank);
        s.cards[i].value = static_cast<std::int8_t>(own.value);
    }
    const auto place = [&](int id, Where where, int seat) {
        if (!IsCard(id)) return;
        s.cards[id].where = where;
        s.cards[id].seat = static_cast<std::int8_t>(seat);
        placed[id] = true;
    };
    for (const SeenCard& c : view.hand) place(c.id, Where::Hand, me);
    for (int id : otherHand) place(id, Where::Hand, other);
    for (const SeenCard& c : view.pile) place(c.id, Where::Pile, me);
    for (int k = 0; k < 2; ++k) {
        const int seat = k == 0 ? me : other;
        PlaceMelds(s, view.sides[k], seat);
        for (const SeenCard& c : view.sides[k].meldCards) {
            if (IsCard(c.id)) placed[c.id] = true;
        }
    }
    for (int id : stock) {
        if (!IsCard(id) || placed[id]) continue;
        place(id, Where::Stock, me);
        s.stock.push_back(id);
    }
    // The boards' red threes are the first not seen elsewhere: this side's first.
    int toBoard[2] = {view.sides[0].redThrees, view.sides[1].redThrees};
    for (int id = kFirstRedThreeCard; id <= kLastRedThreeCard; ++id) {
        if (placed[id]) continue;
        const int k = toBoard[0] > 0 ? 0 : toBoard[1] > 0 ? 1 : -1;
        if (k < 0) break;
        --toBoard[k];
        place(id, Where::RedThrees, k == 0 ? me : other);
    }
    // Any card still unplaced waits at the bottom of the stock.
    for (int id = kDeckCards; id >= 1; --id) {
        if (placed[id]) continue;
        place(id, Where::Stock, me);
        s.stock.insert(s.stock.begin(), id);
    }
    SetSeat(s.seats[me], view.sides[0], me == kPlayerSeat ? view.sides[0].penalty : 0);
    SetSeat(s.seats[other], view.sides[1], other == kPlayerSeat ? view.sides[1].penalty : 0);
    s.top = view.pile.empty() ? 0 : view.pile.back().id;
    s.toMove = me;
    s.target = view.target;
    if (me == kPlayerSeat) {
        s.mustDraw = view.mustDraw || view.drawStillOwed;
        s.hasDrawn = !view.mustDraw;
        s.chosenWild = view.chosenWild;
        if (IsCard(view.chosenWild)) s.cards[view.chosenWild].marked = true;
    } else {
        s.mustDraw = view.mustDraw;
        s.hasDrawn = false;
    }
    return s;
}

}  // namespace cardovia::strategy
