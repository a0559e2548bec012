#!/usr/bin/python3
"""The game as a screen reader hears it, over the desktop's accessibility bus.

Starts the game under a private Xvfb and D-Bus session with Qt's AT-SPI bridge
on, deals a game with F2 and reads the table's tree with pyatspi as Orca
would: the hand's cards by their faces, Thaddock's hand and the stock face
down, then the ring's moves heard as focus events and the status line's
changes as name changes.

    reader_over_atspi.py PATH-TO-cardovia

Exits 0 when all holds, 1 on a fault, 77 (skipped) when Xvfb, dbus-run-session,
xdotool or python3-pyatspi is missing.
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import private_x  # noqa: E402

SKIP = 77
RANKS = ["Ace", "Two", "Three", "Four", "Five", "Six", "Seven", "Eight", "Nine", "Ten",
         "Jack", "Queen", "King"]
FACES = {f"{r} of {s}" for r in RANKS for s in ("Clubs", "Diamonds", "Hearts", "Spades")}
FACES.add("Joker")
# The player's files beside the program are the player's, never copied.
NOT_COPIED = ("Name.dat*", "Cardovia.ini*", "History.csv*", "Hand.dat*", "Cardovia.lock", "*.tmp")
GROUPS = ["Your hand", "Thaddock's hand", "Stock", "Discard pile", "Your melds",
          "Thaddock's melds", "Red threes"]


def face_of(name):
    """A hand card's face: its name less its place ("Jack of Spades, 5 of 14")."""
    return re.sub(r", \d+ of \d+$", "", name)


def missing_tools():
    missing = [t for t in ("Xvfb", "dbus-run-session", "xdotool") if not shutil.which(t)]
    try:
        import pyatspi  # noqa: F401
    except ImportError:
        missing.append("python3-pyatspi")
    return missing


def wait_for(what, test, seconds, pump):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        pump()
        try:
            found = test()
        except Exception:  # an object read went away meanwhile: look again
            found = None
        if found:
            return found
        time.sleep(0.05)
    raise TimeoutError(f"no {what} within {seconds} s")


def inside_session(program):
    import pyatspi
    from gi.repository import GLib

    context = GLib.MainContext.default()

    def pump():
        while context.iteration(False):
            pass

    home = tempfile.mkdtemp(prefix="cardovia-reader-")
    try:
        xvfb, display = private_x.start_xvfb()
    except RuntimeError as e:
        print(f"FAULT: {e}")
        return 1
    env = dict(os.environ, DISPLAY=display, HOME=home, XDG_CONFIG_HOME=home,
               XDG_DATA_HOME=home, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
               QT_ACCESSIBILITY="1")
    # The accessibility bus and its registry are up before the program looks
    # for them, as on a desktop where a reader runs.
    pyatspi.Registry.getDesktop(0).childCount
    log = tempfile.TemporaryFile(mode="w+")
    # A copy of the program's directory, so no file of the build's is read or left behind.
    copy = os.path.join(home, "bin")
    shutil.copytree(os.path.dirname(program), copy, ignore=shutil.ignore_patterns(*NOT_COPIED))
    game = subprocess.Popen([os.path.join(copy, os.path.basename(program))], env=env, stdout=log,
                            stderr=subprocess.STDOUT)
    heard = {"focus": [], "names": [], "notices": []}

    def on_event(event):
        try:
            name = event.source.name
        except Exception:  # the object went while the event travelled
            return
        if event.type.startswith("object:state-changed:showing") and event.detail1 == 1:
            try:
                if event.source.getRoleName() == "notification":
                    heard["notices"].append((time.monotonic(), name))
            except Exception:
                pass
        elif event.type.startswith("object:state-changed:focused") and event.detail1 == 1:
            heard["focus"].append(name)
        elif event.type.startswith("object:property-change:accessible-name"):
            heard["names"].append(name)
            heard.setdefault("named at", []).append((time.monotonic(), name))

    pyatspi.Registry.registerEventListener(on_event, "object:state-changed:focused",
                                           "object:state-changed:showing",
                                           "object:property-change:accessible-name")
    faults = []
    try:
        def app():
            desktop = pyatspi.Registry.getDesktop(0)
            for i in range(desktop.childCount):
                a = desktop.getChildAtIndex(i)
                if a is not None and a.name == "cardovia":
                    return a
            return None

        application = wait_for("program on the bus", app, 60, pump)

        def find(node, test, depth=0):
            if node is None or depth > 12:
                return None
            try:
                if test(node):
                    return node
                children = [node.getChildAtIndex(i) for i in range(node.childCount)]
            except Exception:  # the object went while it was read: the table moved on
                return None
            for child in children:
                hit = find(child, test, depth + 1)
                if hit is not None:
                    return hit
            return None

        table = wait_for("table", lambda: find(application, lambda n: n.name == "Table"), 20, pump)
        window = wait_for("window shown", lambda: subprocess.run(
            ["xdotool", "search", "--onlyvisible", "--name", "^Cardovia"], env=env,
            capture_output=True, text=True).stdout.split(), 20, pump)[0]
        subprocess.run(["xdotool", "windowfocus", "--sync", window], env=env, check=True)

        def key(name):
            subprocess.run(["xdotool", "key", name], env=env, check=True)

        def groups():
            return {table.getChildAtIndex(i).name: table.getChildAtIndex(i)
                    for i in range(table.childCount)}

        def names(group):
            return [group.getChildAtIndex(i).name for i in range(group.childCount)]

        def status_says(text):
            return find(application, lambda n: n.getRoleName() == "label" and text in n.name)

        # Every object seen, by its path on the bus: where it stood and what it was called.
        seen = {}

        def log_objects(when):
            for group_name, group in groups().items():
                for i in range(group.childCount):
                    c = group.getChildAtIndex(i)
                    path = getattr(c, "path", None) or str(hash(c))
                    seen.setdefault(path, []).append((when, group_name, c.name))

        def identity_faults():
            # An object that ever named a face must never stand for a hidden card,
            # and one that stood for a hidden card must never name a face.
            found = []
            for path, lives in seen.items():
                hidden = [l for l in lives if l[1] in ("Thaddock's hand", "Stock")]
                faced = [l for l in lives if any(face in l[2] for face in FACES)]
                if hidden and faced:
                    found.append(f"object {path} was {faced[0]} and {hidden[0]}")
            return found

        key("F2")
        # The player's turn, whoever played first.
        wait_for("player's turn", lambda: status_says("take Discard or click Stock"), 60, pump)
        log_objects("first deal")
        g = groups()
        for name in GROUPS:
            if name not in g:
                faults.append(f"no group {name!r}")
        hand = names(g["Your hand"])
        if len(hand) < 15 or any(face_of(n) not in FACES for n in hand):
            faults.append(f"your hand reads {hand}")
        for hidden in ("Thaddock's hand", "Stock"):
            for i in range(g[hidden].childCount):
                c = g[hidden].getChildAtIndex(i)
                words = " ".join([c.name, c.description])
                if any(face in words for face in FACES):
                    faults.append(f"{hidden} tells {words!r}")
        if any(n != "Face-down card" for n in names(g["Thaddock's hand"])):
            faults.append("Thaddock's hand shows a face")
        if len(seen) < 20:
            faults.append(f"only {len(seen)} objects could be told apart by their path")
        stock = names(g["Stock"])
        if len(stock) != 1 or not re.fullmatch(r"Stock, \d+ cards", stock[0]):
            faults.append(f"the stock reads {stock}")
        pile = names(g["Discard pile"])
        if len(pile) != 1 or not re.fullmatch(r"Discard pile, (open|frozen|blocked), \d+ cards?, "
                                              r".+ on top", pile[0]):
            faults.append(f"the pile reads {pile}")
        # The ring moves from the stock to the pile and back; then S draws.
        for k in ("Right", "Left"):
            key(k)
        wait_for("focus on the stock", lambda: any(n.startswith("Stock, ") for n in heard["focus"])
                 and any(n.startswith("Discard pile, ") for n in heard["focus"]), 10, pump)
        pressed = time.monotonic()
        key("s")
        wait_for("the draw announced",
                 lambda: any(n.endswith("now Meld and Discard.") for n in heard["names"]), 10, pump)
        # The draw is told as a notification: how long after the key it reached the bus.
        drawn = wait_for("the drawn cards told", lambda: [t for t, n in heard["notices"]
                                                           if n.startswith("You drew")
                                                           and t >= pressed], 10, pump)
        shown = [t for t, n in heard["named at"]
                 if n.endswith("now Meld and Discard.") and t >= pressed]
        latency = (drawn[0] - shown[0]) * 1000
        print(f"announcement_after_move_ms={latency:.0f} (from the status line's change that "
              f"ends the draw; {(drawn[0] - pressed) * 1000:.0f} ms after the key)")
        if latency > 100:
            faults.append(f"the draw was told {latency:.0f} ms after the move")
        after = names(groups()["Your hand"])
        if len(after) != len(hand) + 2 or any(face_of(n) not in FACES for n in after):
            faults.append(f"after the draw your hand reads {after}")
        log_objects("first deal, drawn")
        # A second deal: the new game's question answered by Enter, its first button.
        key("F2")
        wait_for("the new game's question", lambda: find(
            application, lambda n: n.getRoleName() in ("dialog", "alert")
            and "Really start new game?" in n.name), 20, pump)
        key("Return")
        wait_for("the second deal", lambda: status_says("take Discard or click Stock")
                 and len(names(groups()["Your hand"])) >= 15
                 and all(face_of(n) in FACES for n in names(groups()["Your hand"])), 60, pump)
        log_objects("second deal")
        faults.extend(identity_faults())
    except TimeoutError as e:
        faults.append(str(e))
        if game.poll() is not None:
            faults.append(f"the program ended with {game.returncode}")
        log.seek(0)
        faults.extend("program: " + line.rstrip() for line in log.readlines()[-15:])
    finally:
        game.kill()
        game.wait()
        private_x.stop(xvfb)
        shutil.rmtree(home, ignore_errors=True)
    print(f"focus heard: {heard['focus'][:6]}")
    print(f"names heard: {[n for n in heard['names'] if 'now' in n][:4]}")
    for f in faults:
        print("FAULT:", f)
    return 1 if faults else 0


def main():
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    missing = missing_tools()
    if missing:
        print("skipped: missing " + ", ".join(missing))
        return SKIP
    if os.environ.get("CARDOVIA_READER_SESSION") != "1":
        env = dict(os.environ, CARDOVIA_READER_SESSION="1")
        return subprocess.run(["dbus-run-session", "--", sys.executable, __file__, sys.argv[1]],
                              env=env).returncode
    return inside_session(os.path.abspath(sys.argv[1]))


if __name__ == "__main__":
    sys.exit(main())
