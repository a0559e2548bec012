#!/usr/bin/python3
"""One copy of the game at a time for each player's directory, on a private X server.

The program, its sounds and help text are copied into two private directories, A and B, so the
Name.dat, Cardovia.ini and History.csv beside each are the test's own. Then:

  - a copy started in B while one runs in A starts too: B is another player's directory;
  - a second start in A, with B's window in front and focused, ends at once with success, and
    A's window is then focused and above B's; no file in A was created, changed or replaced;
  - --version and --help answer while A runs;
  - a second start in A while the first is stopped (it cannot answer) says "Cardovia is already
    running." and exits non-zero, again touching nothing;
  - after the copy in A is killed with SIGKILL, leaving its lock and socket behind, the next start
    in A plays, and a start after that brings it to the front.

    single_copy.py PATH-TO-cardovia

Exits 0 when all holds, 1 on a fault, 77 (skipped) when Xvfb, xdotool or xwininfo is missing.
"""

import hashlib
import os
import random
import shutil
import signal
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from private_x import start_xvfb, stop  # noqa: E402

SKIP = 77
ALREADY_RUNNING = "Cardovia is already running."
PLAYER_LINE = b'"Tester",150,3,4,1200,900,#FALSE#,5000\r\n'
# Files beside the program that belong to whoever ran it, never to a copy of it.
NOT_COPIED = ("Name.dat", "Cardovia.ini", "History.csv", "Hand.dat", "Cardovia.lock")


def wait_for(what, test, seconds):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        found = test()
        if found:
            return found
        time.sleep(0.05)
    raise TimeoutError(f"no {what} within {seconds} s")


class Table:
    """The private X server and the program's directories."""

    def __init__(self, program, root, display):
        self.root = root
        self.env = dict(os.environ, DISPLAY=display, HOME=f"{root}/home",
                        XDG_CONFIG_HOME=f"{root}/home/config", XDG_DATA_HOME=f"{root}/home/data",
                        XDG_RUNTIME_DIR=f"{root}/runtime", QT_QPA_PLATFORM="xcb")
        self.env.pop("XDG_ACTIVATION_TOKEN", None)
        self.env.pop("WAYLAND_DISPLAY", None)
        os.makedirs(f"{root}/home")
        os.mkdir(f"{root}/runtime", 0o700)
        self.program = program
        self.started = []

    def program_directory(self, name):
        directory = os.path.join(self.root, name)
        os.mkdir(directory)
        source = os.path.dirname(os.path.abspath(self.program))
        for entry in os.scandir(source):
            if entry.is_file() and entry.name not in NOT_COPIED:
                shutil.copy2(entry.path, directory)
        with open(os.path.join(directory, "Name.dat"), "wb") as f:
            f.write(PLAYER_LINE)
        return directory

    def tool(self, *args):
        return subprocess.run(args, env=self.env, capture_output=True, text=True, timeout=20)

    def start(self, directory):
        game = subprocess.Popen([os.path.join(directory, "cardovia")], env=self.env,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.started.append(game)
        return game

    def run(self, directory, *args):
        began = time.monotonic()
        done = subprocess.run([os.path.join(directory, "cardovia"), *args], env=self.env,
                              capture_output=True, text=True, timeout=30)
        return done, time.monotonic() - began

    def window_of(self, game):
        def find():
            if game.poll() is not None:
                raise RuntimeError(f"the game ended by itself ({game.returncode})")
            found = self.tool("xdotool", "search", "--all", "--onlyvisible", "--pid", str(game.pid),
                              "--name", "^Cardovia")
            return found.stdout.split()[0] if found.returncode == 0 and found.stdout else None
        return wait_for("table window", find, 30)

    def focus(self, window):
        self.tool("xdotool", "windowraise", window)
        self.tool("xdotool", "windowfocus", "--sync", window)

    def focused(self):
        return self.tool("xdotool", "getwindowfocus").stdout.strip()

    def stacking(self):
        """The top-level windows, the top one first, as decimal ids."""
        listing = self.tool("xwininfo", "-root", "-children").stdout
        return [str(int(line.split()[0], 16)) for line in listing.splitlines()
                if line.strip().startswith("0x")]

    def stop_all(self):
        for game in self.started:
            stop(game)


def snapshot(directory):
    """Each file's identity, size, times and content: a file rewritten with the same bytes, or
    replaced by a rename, reads differently."""
    state = {}
    for entry in os.scandir(directory):
        st = entry.stat(follow_symlinks=False)
        with open(entry.path, "rb") as f:
            digest = hashlib.sha256(f.read()).hexdigest()
        state[entry.name] = (st.st_ino, st.st_size, st.st_mtime_ns, st.st_ctime_ns, digest)
    return state


def changes(before, after):
    return sorted(name for name in before.keys() | after.keys()
                  if before.get(name) != after.get(name))


class Checks:
    def __init__(self, table):
        self.table = table
        self.faults = []

    def expect(self, holds, fault):
        if not holds:
            self.faults.append(fault)

    def untouched(self, directory, before, by):
        touched = changes(before, snapshot(directory))
        self.expect(touched == [], f"{by} touched {touched}")

    def focused_within(self, window, fault):
        try:
            wait_for("focus", lambda: self.table.focused() == window, 3)
        except TimeoutError:
            self.faults.append(f"{fault} (focus is on {self.table.focused()}, not {window})")

    def other_window_in_front(self, other):
        self.table.focus(other)
        wait_for("the other window focused", lambda: self.table.focused() == other, 5)

    def second_start_shows_the_first(self, a, first, window_a, elsewhere, window_b):
        """With B's window in front and focused, a second start in A ends with success and A's
        window is focused and above B's; a lock an hour old still holds."""
        self.other_window_in_front(window_b)
        lock = os.path.join(a, "Cardovia.lock")
        if os.path.exists(lock):
            an_hour_ago = time.time() - 3600
            os.utime(lock, (an_hour_ago, an_hour_ago))
        before = snapshot(a)
        self.expect("Cardovia.lock" in before, "the running copy keeps no lock beside Name.dat")
        self.expect("Name.dat" in before, "the first copy set the player file aside")
        second, took = self.table.run(a)
        print(f"second start: exit {second.returncode} after {took:.2f} s")
        self.expect(second.returncode == 0,
                    f"the second start exited {second.returncode}: {second.stderr}")
        self.focused_within(window_a, "the first copy's window was not given the keyboard")
        order = self.table.stacking()
        self.expect(window_a in order and window_b in order
                    and order.index(window_a) < order.index(window_b),
                    "the first copy's window is not above the other one")
        self.untouched(a, before, "the second start")
        self.expect(first.poll() is None and elsewhere.poll() is None, "a running copy ended")

    def command_line_answers(self, a):
        for argument, answer in (("--version", "cardovia "), ("--help", "cardovia: ")):
            done, _ = self.table.run(a, argument)
            self.expect(done.returncode == 0 and done.stdout.startswith(answer),
                        f"{argument} while a copy runs: exit {done.returncode}, {done.stdout!r}")

    def stopped_copy_is_reported(self, a, first):
        """A copy that cannot answer: the start says so, fails, and still touches nothing."""
        first.send_signal(signal.SIGSTOP)
        before = snapshot(a)
        silent, took = self.table.run(a)
        first.send_signal(signal.SIGCONT)
        print(f"start beside a stopped copy: exit {silent.returncode} after {took:.2f} s")
        self.expect(silent.returncode != 0, "a start beside a stopped copy exited with success")
        self.expect(ALREADY_RUNNING in silent.stderr,
                    f"a start beside a stopped copy said {silent.stderr!r}")
        self.untouched(a, before, "the start beside a stopped copy")

    def killed_copy_is_replaced(self, a, first, window_b):
        """Killed, the first copy leaves its lock and socket behind; the next start plays, and
        the one after that brings it to the front."""
        first.kill()
        first.wait()
        self.expect(os.path.exists(os.path.join(a, "Cardovia.lock")),
                    "SIGKILL left no lock to test")
        replacement = self.table.start(a)
        window = self.table.window_of(replacement)
        time.sleep(1)
        self.expect(replacement.poll() is None, "the start after a killed copy did not keep going")
        self.other_window_in_front(window_b)
        again, _ = self.table.run(a)
        self.expect(again.returncode == 0, f"a start beside the new copy exited {again.returncode}")
        self.focused_within(window, "the copy started after a killed one does not come forward")


def check(table):
    checks = Checks(table)
    a = table.program_directory("a")
    b = table.program_directory("b")
    first = table.start(a)
    window_a = table.window_of(first)
    elsewhere = table.start(b)
    window_b = table.window_of(elsewhere)
    checks.expect(first.poll() is None, "the first copy ended when a copy elsewhere started")
    checks.second_start_shows_the_first(a, first, window_a, elsewhere, window_b)
    checks.command_line_answers(a)
    checks.stopped_copy_is_reported(a, first)
    checks.killed_copy_is_replaced(a, first, window_b)
    return checks.faults


def main():
    if len(sys.argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    missing = [t for t in ("Xvfb", "xdotool", "xwininfo") if not shutil.which(t)]
    if missing:
        print("skipped: missing " + ", ".join(missing))
        return SKIP
    try:
        xvfb, display = start_xvfb()
    except RuntimeError as e:
        print("FAIL: " + str(e), file=sys.stderr)
        return 1
    root = tempfile.mkdtemp(prefix="cardovia-single-")
    table = Table(sys.argv[1], root, display)
    try:
        faults = check(table)
    except (TimeoutError, RuntimeError, subprocess.TimeoutExpired) as e:
        faults = [str(e)]
    finally:
        table.stop_all()
        stop(xvfb)
        shutil.rmtree(root, ignore_errors=True)
    for fault in faults:
        print("FAIL: " + fault, file=sys.stderr)
    if not faults:
        print("one copy at a time: all checks passed")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
