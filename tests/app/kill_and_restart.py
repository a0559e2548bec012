#!/usr/bin/python3
"""The real window killed with kill -9 at random moments of play, and started again.

Plays with random keys on a private X server (the game's own keys and the
boxes' Enter and Escape), kills the program at a random moment (during
Thaddock's turn, a save, the results, a box), and starts it again. Each time:

  * every file of the player's is whole: Hand.dat reads (its version, 108
    cards, its checksum), Name.dat is one record of eight fields, every line of
    History.csv is a game, and a game is in History.csv if and only if it is
    counted in Name.dat;
  * the kept hand comes back exactly: the restarted program lays it out and,
    at the first key that moves the ring, keeps the very same table again;
  * no temporary file of ours is left once the program has started again.

    kill_and_restart.py PATH-TO-cardovia [ROUNDS]

Exits 0 when all holds, 1 on a fault, 77 (skipped) without Xvfb or xdotool.
"""

import os
import random
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from private_x import start_xvfb, stop  # noqa: E402

SKIP = 77
VERSION = "Cardovia hand 1"
# A quick game to a low target, so that hands and games end within the test.
PLAYER_LINE = b'"Tester",75,0,0,0,0,#FALSE#,500\r\n'
KEYS = ["s", "p", "Tab", "Tab", "Right", "Left", "Down", "Return", "Delete", "Escape", "h"]
NOT_COPIED = ("Name.dat*", "Cardovia.ini*", "History.csv*", "Hand.dat*", "Cardovia.lock", "*.tmp")
RING = ("RingRow", "RingSlot")


def fnv64(data):
    h = 0xcbf29ce484222325
    for byte in data:
        h = ((h ^ byte) * 0x100000001b3) & 0xFFFFFFFFFFFFFFFF
    return h


def read_hand(path):
    """The kept hand's fields by name, or None when there is none; a fault string if damaged."""
    try:
        with open(path, "rb") as f:
            data = f.read()
    except FileNotFoundError:
        return None
    at = data.rfind(b"sum ")
    if at < 0 or (at > 0 and data[at - 1:at] != b"\n"):
        return "Hand.dat is cut short"
    body, sum_line = data[:at], data[at + 4:].strip()
    if not body.startswith(VERSION.encode() + b"\n"):
        return "Hand.dat has no version line"
    if sum_line != b"%016x" % fnv64(body):
        return "Hand.dat's checksum does not match"
    fields = {}
    for line in body.decode().splitlines()[1:]:
        name, _, value = line.partition(" ")
        fields.setdefault(name, []).append(value)
    cards = [n for n in fields if re.fullmatch(r"card\d+", n)]
    if len(cards) != 108:
        return f"Hand.dat holds {len(cards)} cards"
    return fields


def files_faults(directory):
    faults = []
    hand = read_hand(os.path.join(directory, "Hand.dat"))
    if isinstance(hand, str):
        faults.append(hand)
    counted = None
    try:
        with open(os.path.join(directory, "Name.dat"), "rb") as f:
            record = f.read().decode("latin-1")
        fields = record.strip().split(",")
        if len(fields) != 8 or record.count("\n") != 1:
            faults.append(f"Name.dat is not one record of eight fields: {record!r}")
        else:
            counted = int(fields[2]) + int(fields[3])
    except FileNotFoundError:
        counted = 0
    games = 0
    try:
        with open(os.path.join(directory, "History.csv"), "rb") as f:
            lines = f.read().decode("utf-8", "replace").splitlines()
        games = sum(1 for line in lines[1:] if line.strip())
        if any(len(line.split(",")) < 6 for line in lines[1:]):
            faults.append("History.csv has a torn line")
    except FileNotFoundError:
        pass
    if counted is not None and counted != games:
        faults.append(f"Name.dat counts {counted} games, History.csv holds {games}")
    return faults


def temporaries(directory):
    return [n for n in os.listdir(directory) if n.endswith(".tmp") or n.startswith(".Cardovia.")]


class Player:
    def __init__(self, directory, display):
        self.directory = directory
        self.env = dict(os.environ, DISPLAY=display, QT_QPA_PLATFORM="xcb",
                        HOME=os.path.join(directory, "home"),
                        XDG_RUNTIME_DIR=os.path.join(directory, "runtime"))
        for sub in ("home", "runtime"):
            os.makedirs(os.path.join(directory, sub), 0o700, exist_ok=True)
        self.game = None

    def xdotool(self, *args):
        return subprocess.run(["xdotool", *args], env=self.env, capture_output=True, text=True,
                              timeout=20)

    def start(self):
        self.game = subprocess.Popen([os.path.join(self.directory, "cardovia")], env=self.env,
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + 30
        while time.monotonic() < deadline:
            if self.game.poll() is not None:
                raise RuntimeError(f"the program ended by itself ({self.game.returncode})")
            found = self.xdotool("search", "--onlyvisible", "--pid", str(self.game.pid),
                                 "--name", "^Cardovia").stdout.split()
            if found:
                # Keys reach the window that has the focus; under a bare X server, give it.
                self.xdotool("windowfocus", "--sync", found[0])
                return
            time.sleep(0.1)
        raise RuntimeError("the window did not show within 30 s")

    def key(self, name):
        # Whatever window of the program is in front takes it: the table or a box.
        self.xdotool("key", name)

    def kill(self):
        self.game.send_signal(signal.SIGKILL)
        self.game.wait()

    def hand(self):
        return read_hand(os.path.join(self.directory, "Hand.dat"))


def without_ring(fields):
    return {k: v for k, v in fields.items() if k not in RING}


def round_faults(player, rng, n):
    faults = []
    kept = player.hand()
    player.start()
    left = temporaries(player.directory)
    if left:
        faults.append(f"round {n}: left after the start: {left}")
    if isinstance(kept, dict):
        if kept["waiting"] == ["turn"]:
            # The resumed table is kept again as it was, at the first key that moves the ring.
            deadline = time.monotonic() + 15
            again = kept
            # Escape answers a start-up notice first (a wild card chosen keeps it: no Escape).
            answer = kept.get("SelectedWild") == ["0"]
            while time.monotonic() < deadline and again == kept:
                if answer:
                    player.key("Escape")
                player.key("Down")
                time.sleep(0.4)
                again = player.hand()
            if not isinstance(again, dict):
                faults.append(f"round {n}: after the start the kept hand reads {again!r}")
            elif again == kept:
                faults.append(f"round {n}: the kept hand was not taken up")
            elif without_ring(again) != without_ring(kept):
                changed = sorted(k for k in kept if kept.get(k) != again.get(k))
                faults.append(f"round {n}: the table came back changed: {changed[:8]}")
    else:
        player.key("F2")
    # Random play, then a kill at a random moment of it.
    until = time.monotonic() + rng.uniform(1.0, 9.0)
    while time.monotonic() < until:
        player.key(rng.choice(KEYS))
        time.sleep(rng.uniform(0.01, 0.3))
    player.kill()
    faults.extend(f"round {n}: {f}" for f in files_faults(player.directory))
    return faults


def main():
    if len(sys.argv) < 2:
        print(__doc__)
        return 2
    if not shutil.which("Xvfb") or not shutil.which("xdotool"):
        print("skipped: Xvfb or xdotool missing")
        return SKIP
    program = os.path.abspath(sys.argv[1])
    rounds = int(sys.argv[2]) if len(sys.argv) > 2 else 30
    rng = random.Random(int(os.environ.get("CARDOVIA_KILL_SEED", time.time())))
    scratch = tempfile.mkdtemp(prefix="cardovia-kill-")
    xvfb = None
    faults = []
    try:
        xvfb, display = start_xvfb()
        directory = os.path.join(scratch, "bin")
        shutil.copytree(os.path.dirname(program), directory,
                        ignore=shutil.ignore_patterns(*NOT_COPIED))
        with open(os.path.join(directory, "Name.dat"), "wb") as f:
            f.write(PLAYER_LINE)
        player = Player(directory, display)
        resumed = 0
        for n in range(1, rounds + 1):
            resumed += isinstance(player.hand(), dict)
            faults.extend(round_faults(player, rng, n))
        player.start()
        time.sleep(1)
        left = temporaries(directory)
        if left:
            faults.append(f"left after the last start: {left}")
        player.kill()
        print(f"{rounds} kills, {resumed} starts took up a kept hand")
    except (RuntimeError, subprocess.TimeoutExpired) as e:
        faults.append(str(e))
    finally:
        if xvfb is not None:
            stop(xvfb)
        shutil.rmtree(scratch, ignore_errors=True)
    for f in faults:
        print("FAULT:", f)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
