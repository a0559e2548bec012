#!/usr/bin/python3
"""Orca listens while a hand is played by keys alone.

    orca_plays_a_hand.py PATH-TO-cardovia

Copies the program's directory (its sounds and help) to a scratch directory
with a player file of its own, so the build's own Name.dat is never touched,
and plays one hand under a private desktop with Orca: Ctrl+Q sets quick play
and Enter answers its box; F2 deals; at the first turn F2 again asks whether
to start a new game and Escape answers No; then at every turn S draws, Tab
brings the ring to the hand and Delete discards the ring's card, until the
results panel shows. Meanwhile what Orca speaks must tell Thaddock's draws,
melds and discards, the player's draws and the results, and every card face
spoken must be one the player could see on the table at some time in the hand.

Prints every utterance at the end. Exits 0 when all holds, 1 on a fault, 77
(skipped) when Orca, Xvfb, D-Bus, xdotool or pyatspi is missing.
"""

import os
import re
import shutil
import sys
import tempfile
import time

sys.dont_write_bytecode = True  # no cache files left in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from orca_session import SKIP, OrcaSession, SessionError, Skipped  # noqa: E402

RANKS = "Ace|Two|Three|Four|Five|Six|Seven|Eight|Nine|Ten|Jack|Queen|King"
FACE = re.compile(rf"\b(?:(?:{RANKS}) of (?:Clubs|Diamonds|Hearts|Spades)|Joker)(?=s?\b)")
FACE_UP = ("Your hand", "Discard pile", "Your melds", "Thaddock's melds", "Red threes")
RESULTS = "Scores and Winner"
# The narration, heard loosely: the words may still change.
THADDOCK_DRAWS = r"Thaddock (is taking|took)"
THADDOCK_MELDS = r"Thaddock melds"
THADDOCK_DISCARDS = r"Thaddock discards"
YOU_DREW = r"You drew"
IDLE_SECONDS = 10
IDLE_TICKS_ALLOWED = 2  # a tick or two of the bus's own traffic, never a spinning loop
HAND_RESULTS = r"Total this Hand: .+ -?\d+, Thaddock -?\d+"
PLAYER_FILE = '"Player",75,0,0,0,0,#FALSE#,5000\r\n'
HAND_SECONDS = 220  # the whole hand, inside the test's own time limit
TURN_SECONDS = 60  # Thaddock's turn at quick play, with room for a loaded machine


class Table:
    """The table as the accessibility tree shows it."""

    def __init__(self, session):
        self.session = session
        self.app = session.application()
        self.node = session.wait_for(
            "the table on the bus", lambda: session.find(self.app, lambda n: n.name == "Table"),
            30)
        self.status_bar = session.find(self.app, lambda n: n.getRoleName() == "status bar")

    def groups(self):
        found = {}
        for group in self.session.children(self.node):
            try:
                found[group.name] = group
            except Exception:
                continue
        return found

    def names(self, group_name):
        group = self.groups().get(group_name)
        return [child.name for child in self.session.children(group)] if group else []

    def faces_in_view(self):
        """Every face written on a face-up place of the table now."""
        faces = set()
        groups = self.groups()
        for name in FACE_UP:
            group = groups.get(name)
            if group is None:
                continue
            texts = [group.name, group.description]
            for child in self.session.children(group):
                texts += [child.name, child.description]
            for text in texts:
                faces.update(FACE.findall(text or ""))
        return faces

    def status(self):
        # Only its labels: the notifications beside them keep words already spoken.
        return " | ".join(node.name or "" for node in self.session.children(self.status_bar)
                          if node.getRoleName() == "label")

    def players_turn(self):
        return "take Discard or click Stock" in self.status()

    def results_showing(self):
        return "Carry On" in self.names(RESULTS)

    def focused(self):
        """The group and the name of the object the ring is on."""
        import pyatspi
        for name, group in self.groups().items():
            for child in self.session.children(group):
                try:
                    if child.getState().contains(pyatspi.STATE_FOCUSED):
                        return name, child.name
                except Exception:
                    continue
        return None, None

    def pile(self):
        """The pile as (cards, top card's face); (0, None) when empty."""
        names = self.names("Discard pile")
        match = re.search(r", (\d+) cards?, (.+) on top$", names[0]) if names else None
        return (int(match.group(1)), match.group(2)) if match else (0, None)


class Hand:
    """One hand played by keys, with the faults found on the way."""

    def __init__(self, session, table):
        self.session = session
        self.table = table
        self.faults = []
        self.seen = set()
        self.turns = 0
        self.pile_node = None  # the pile's group, kept between glances
        self.pile_left = None  # (cards, top face) just after the player's discard
        self.narration = {}  # what: (times listened for, times not heard)

    def fault(self, text):
        print("FAULT:", text, flush=True)
        self.faults.append(text)

    def look(self):
        self.seen |= self.table.faces_in_view()
        self.pile_node = None  # found again, in case the table was built anew

    def heard(self, what, pattern, since, timeout=8):
        """Whether Orca said it since the mark; a miss is told in full only the first time."""
        asked, missed = self.narration.get(what, (0, 0))
        try:
            # Once missed, it is not waited for again: the hand goes on at its pace.
            self.session.wait_for_speech(pattern, timeout if not missed else 1, since=since)
            self.narration[what] = (asked + 1, missed)
            return True
        except SessionError as e:
            self.narration[what] = (asked + 1, missed + 1)
            if not missed:
                self.fault(f"{what} was not heard: {e}")
            return False

    def narration_missed(self):
        for what, (asked, missed) in self.narration.items():
            if missed > 1:
                self.fault(f"{what} was not heard {missed} times out of {asked}")

    def key(self, *names):
        self.session.key(*names, window=self.session.window)

    def answer_box(self, title, key, answer_button):
        """Answers the message box with a key; when the key does not, presses its button."""
        box = self.session.wait_for(f"box {title!r}",
                                    lambda: self.session.find_window(f"^{re.escape(title)}$"), 20)
        self.session.key(key, window=box)
        try:
            self.session.wait_for(f"the box {title!r} closed by {key}",
                                  lambda: not self.session.find_window(f"^{re.escape(title)}$"), 5)
            return True
        except SessionError:
            self.fault(f"{key} did not answer the box {title!r}")
        # The rest of the hand still gets played: its button answers it instead.
        app = self.table.app
        button = self.session.find(app, lambda n: n.getRoleName() == "push button"
                                   and n.name == answer_button)
        if button is not None:
            action = button.queryAction()
            for i in range(action.nActions):
                if action.getName(i) in ("press", "Press", "click"):
                    action.doAction(i)
                    break
        self.session.wait_for(f"the box {title!r} answered",
                              lambda: not self.session.find_window(f"^{re.escape(title)}$"), 10)
        return False

    def glance_at_pile(self):
        """The pile's top card, read often: Thaddock may cover it within a moment."""
        if self.pile_node is None:
            self.pile_node = self.table.groups().get("Discard pile")
        for child in self.session.children(self.pile_node):
            self.seen.update(FACE.findall(child.name or ""))

    def wait_for_turn_or_results(self):
        def state():
            for _ in range(10):
                self.glance_at_pile()
                time.sleep(0.02)
            if self.table.results_showing():
                return "results"
            return "turn" if self.table.players_turn() else None

        return self.session.wait_for("the player's turn or the results", state, TURN_SECONDS,
                                     interval=0)

    def ask_new_game_and_decline(self):
        before = self.table.names("Your hand")
        self.key("F2")
        self.answer_box("Really start new game?", "Escape", "No Cancel")
        time.sleep(0.5)
        if self.table.names("Your hand") != before or not self.table.players_turn():
            self.fault("declining a new game did not leave the hand as it was")

    def draw(self):
        hand = len(self.table.names("Your hand"))
        mark = self.session.mark()
        self.key("s")
        try:
            # Two cards, or fewer when a red three is laid or the stock runs out.
            self.session.wait_for("the draw", lambda: len(self.table.names("Your hand")) > hand
                                  or "now Meld and Discard" in self.table.status(), 20,
                                  interval=0.1)
        except SessionError as e:
            self.fault(f"S did not draw: {e}")
            return False
        self.heard("the player's draw", YOU_DREW, mark)
        self.look()
        return True

    def discard(self):
        """Discards the ring's card; the speech mark where Thaddock's turn begins, or None."""
        for _ in range(8):
            group, card = self.table.focused()
            if group == "Your hand":
                break
            self.key("Tab")
        else:
            self.fault(f"Tab never brought the ring to the hand (it is on {card!r})")
            return None
        hand = len(self.table.names("Your hand"))
        # The pile as this discard leaves it: Thaddock discarded if it is not so at his turn's end.
        cards, _ = self.table.pile()
        faces = FACE.findall(card or "")
        self.pile_left = (cards + 1, faces[0] if faces else None)
        mark = self.session.mark()
        self.key("Delete")
        # Thaddock may have played his whole turn before the next look.
        try:
            self.session.wait_for("the discard", lambda: len(self.table.names("Your hand"))
                                  < hand, 20, interval=0.1)
        except SessionError as e:
            self.fault(f"Delete did not discard: {e}")
            return None
        return mark

    def thaddocks_turn_told(self, since, melds_before):
        """What Thaddock did since the mark is heard."""
        self.heard("Thaddock's draw", THADDOCK_DRAWS, since)
        if len(self.table.names("Thaddock's melds")) > melds_before:
            self.heard("Thaddock's meld", THADDOCK_MELDS, since)
        # Without a canasta he keeps his last card.
        pile = self.table.pile()
        if pile[0] > 0 and pile != self.pile_left:
            self.heard("Thaddock's discard", THADDOCK_DISCARDS, since)

    def idle_while_waiting(self):
        """The table waiting for the player, with Orca listening, uses no CPU."""
        time.sleep(1)  # the turn's own words and glides end first

        def ticks():
            with open(f"/proc/{self.session.program.pid}/stat") as f:
                fields = f.read().rsplit(")", 1)[1].split()
            return int(fields[11]) + int(fields[12])  # utime + stime
        before = ticks()
        time.sleep(IDLE_SECONDS)
        used = ticks() - before
        print(f"idle_ticks_in_{IDLE_SECONDS}s={used}", flush=True)
        if used > IDLE_TICKS_ALLOWED:
            self.fault(f"the waiting table used {used} CPU ticks in {IDLE_SECONDS} s")

    def play(self):
        self.key("F2")
        self.session.wait_for("the deal", lambda: self.table.names("Your hand"), 30)
        deadline = time.monotonic() + HAND_SECONDS
        thaddock_from = None  # speech mark where Thaddock's turn began
        melds_before = 0
        while time.monotonic() < deadline:
            state = self.wait_for_turn_or_results()
            self.look()
            if state == "results":
                break
            if thaddock_from is not None:
                self.thaddocks_turn_told(thaddock_from, melds_before)
            self.turns += 1
            if self.turns == 1:
                self.idle_while_waiting()
                self.ask_new_game_and_decline()
            if not self.draw():
                return
            melds_before = len(self.table.names("Thaddock's melds"))
            thaddock_from = self.discard()
            if thaddock_from is None:
                return
        else:
            self.fault(f"the hand did not end within {HAND_SECONDS} s")
            return
        self.heard("the results", HAND_RESULTS, since=0)
        self.look()
        print(f"the hand ended after {self.turns} turns of the player's", flush=True)

    def check_fair_play(self):
        for line in self.session.spoken():
            for face in FACE.findall(line):
                if face not in self.seen:
                    self.fault(f"Orca spoke {face!r}, never face up on the table: {line!r}")


def main():
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    program = os.path.abspath(sys.argv[1])
    scratch = tempfile.mkdtemp(prefix="cardovia-orca-hand-")
    try:
        bin_dir = os.path.join(scratch, "bin")
        shutil.copytree(os.path.dirname(program), bin_dir,
                        ignore=shutil.ignore_patterns("Name.dat*", "Cardovia.ini*", "History.csv*",
                                                      "Hand.dat*", "Cardovia.lock", "*.tmp"))
        with open(os.path.join(bin_dir, "Name.dat"), "w", newline="") as f:
            f.write(PLAYER_FILE)
        copy = os.path.join(bin_dir, os.path.basename(program))
        with OrcaSession([copy], cwd=bin_dir) as session:
            hand = None
            try:
                session.start_program()
                hand = Hand(session, Table(session))
                # Quick play from the menu's key; its box is answered with Enter.
                hand.key("ctrl+q")
                hand.answer_box("Quicker Play", "Return", "O.K.")
                hand.play()
                hand.narration_missed()
                hand.check_fair_play()
            except SessionError as e:
                if hand is None:
                    raise
                hand.fault(str(e))
            finally:
                print("--- Orca said:")
                print(session.transcript(), flush=True)
            return 1 if hand.faults else 0
    except Skipped as e:
        print(f"skipped: {e}")
        return SKIP
    except SessionError as e:
        print(f"FAULT: {e}")
        return 1
    finally:
        shutil.rmtree(scratch, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
