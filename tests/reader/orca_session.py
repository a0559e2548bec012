#!/usr/bin/python3
"""A private desktop with Orca listening, for tests that check what the game says aloud.

    with OrcaSession([program, args...], cwd=...) as session:
        session.start_program()
        session.key("F2")
        session.wait_for_speech(r"New hand")
        app = session.application()  # the program's accessible tree, read with pyatspi

Everything runs apart from the rest of the machine: an Xvfb on a display it
chooses itself, a D-Bus session bus of its own with the accessibility bus on it,
Orca started on that bus with a debug file whose SPEECH OUTPUT lines are read
while it runs, and the program with Qt's AT-SPI bridge on. Orca is started
through a small launcher rather than /usr/bin/orca: that script kills every
other Orca of the same user when asked to replace one and refuses to start
beside one, and a test must neither harm nor depend on another session.

Run with Debian's /usr/bin/python3, the one that has pyatspi. Missing tools
raise Skipped, which a test turns into exit code 77. A session points this
process's own D-Bus and X settings at itself (pyatspi reads the tree through
them), so a process runs one session.
"""

import os
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import private_x  # noqa: E402

SKIP = 77
TOOLS = {
    "Xvfb": "Xvfb (package xvfb)",
    "xdotool": "xdotool",
    "dbus-daemon": "dbus-daemon (package dbus)",
    "dbus-send": "dbus-send (package dbus)",
    "/usr/libexec/at-spi-bus-launcher": "at-spi-bus-launcher (package at-spi2-core)",
    "/usr/bin/orca": "orca",
}

# Orca's own start-up without its hunt for other Orcas, and with its debug file
# written line by line so the test reads each utterance as it is spoken.
ORCA_LAUNCHER = r"""
import sys
from orca import debug
debug.debugLevel = debug.LEVEL_INFO
debug.eventDebugLevel = debug.LEVEL_OFF
debug.debugFile = open(sys.argv[1], "w", buffering=1)
from orca import orca
manager = orca.getSettingsManager()
manager.activate()
sys.path.insert(0, manager.getPrefsDir())
sys.exit(orca.main())
"""

# What Orca writes when it speaks: "12:01:02.345678 - SPEECH OUTPUT: 'words'" then the
# voice it used; words over several lines go on in lines indented by 18 blanks.
SPEECH = re.compile(r"SPEECH OUTPUT: '(.*)'(?: voice=\w+)?\s*(?:\{.*\})?\s*$", re.S)
CONTINUED = " " * 18


class Skipped(Exception):
    """A tool the session needs is not installed."""


class SessionError(Exception):
    """A part of the session did not come up, or an expectation timed out."""


def missing_tools():
    missing = [what for tool, what in TOOLS.items() if not shutil.which(tool)]
    try:
        import gi  # noqa: F401
        import pyatspi  # noqa: F401
    except ImportError:
        missing.append("pyatspi (package python3-pyatspi)")
    return missing


class SpeechLog:
    """Orca's debug file read as it grows, kept as the list of utterances."""

    def __init__(self, path):
        self.path = path
        self.offset = 0
        self.partial = ""  # a line not yet ended
        self.entry = None  # the last entry, which further indented lines may continue
        self.spoken = []

    def read(self):
        try:
            with open(self.path, "rb") as f:
                f.seek(self.offset)
                data = f.read()
        except OSError:
            return self.spoken
        self.offset += len(data)
        lines = (self.partial + data.decode("utf-8", "replace")).split("\n")
        self.partial = lines.pop()
        for line in lines:
            if self.entry is not None and line.startswith(CONTINUED):
                self.entry += "\n" + line[len(CONTINUED):]
                continue
            self._close_entry()
            self.entry = line
        # An utterance whose voice is written has ended: no need to wait for the next line.
        if self.entry is not None and re.search(r"'\s*\{.*\}\s*$", self.entry):
            self._close_entry()
        return self.spoken

    def _close_entry(self):
        if self.entry is not None and "SPEECH OUTPUT: '" in self.entry:
            match = SPEECH.search(self.entry)
            if match:
                self.spoken.append(match.group(1))
        self.entry = None


class OrcaSession:
    """Xvfb, D-Bus, the accessibility bus, Orca and the program, ended in reverse order."""

    def __init__(self, command, cwd=None, env=None, screen="1600x1000x24"):
        self.command = list(command)
        self.cwd = cwd
        self.extra_env = dict(env or {})
        self.screen = screen
        self.processes = []  # (what, Popen) in the order started
        self.dir = None
        self.env = None
        self.program = None
        self.window = None
        self.orca = None
        self.speech = None
        self.spoken_seen = 0

    # --- bringing the desktop up -------------------------------------------------

    def __enter__(self):
        missing = missing_tools()
        if missing:
            raise Skipped("missing " + ", ".join(missing))
        self.dir = tempfile.mkdtemp(prefix="cardovia-orca-")
        try:
            self._start()
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, *exc):
        self.close()
        return False

    def _path(self, name):
        return os.path.join(self.dir, name)

    def _start(self):
        runtime = self._path("runtime")
        os.mkdir(runtime, 0o700)
        for sub in ("home", "config", "data", "cache"):
            os.mkdir(self._path(sub), 0o700)
        self.env = {k: v for k, v in os.environ.items()
                    if not k.startswith(("DBUS_", "AT_SPI", "WAYLAND", "XDG_SESSION", "QT_"))
                    and k not in ("DISPLAY", "XAUTHORITY", "SPEECHD_ADDRESS")}
        self.env.update(HOME=self._path("home"), XDG_RUNTIME_DIR=runtime,
                        XDG_CONFIG_HOME=self._path("config"), XDG_DATA_HOME=self._path("data"),
                        XDG_CACHE_HOME=self._path("cache"), GSETTINGS_BACKEND="memory",
                        LANG=os.environ.get("LANG", "C.UTF-8"))
        self._start_xvfb()
        self._start_dbus()
        self._start_accessibility_bus()
        self._start_orca()

    def _log(self, name):
        return open(self._path(name), "w")

    def _spawn(self, what, argv, **kwargs):
        with self._log(what + ".log") as log:
            process = subprocess.Popen(argv, env=self.env, stdout=kwargs.pop("stdout", log),
                                       stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL,
                                       start_new_session=True, **kwargs)
        self.processes.append((what, process))
        return process

    def _fail(self, what):
        raise SessionError(what + self._logs_of("Xvfb", "dbus", "atspi", "orca"))

    def _logs_of(self, *names):
        text = ""
        for name in names:
            try:
                with open(self._path(name + ".log")) as f:
                    tail = f.read()[-1500:].strip()
            except OSError:
                continue
            if tail:
                text += f"\n--- {name} said:\n{tail}"
        return text

    def _start_xvfb(self):
        try:
            xvfb, display = private_x.start_xvfb(self.screen)
        except RuntimeError as e:
            self._fail(str(e))
        self.processes.append(("Xvfb", xvfb))
        self.env["DISPLAY"] = display

    def _start_dbus(self):
        read_fd, write_fd = os.pipe()
        self._spawn("dbus", ["dbus-daemon", "--session", "--nofork", "--nopidfile",
                             f"--print-address={write_fd}"], pass_fds=[write_fd])
        os.close(write_fd)
        with os.fdopen(read_fd, "rb") as pipe:
            ready, _, _ = select.select([pipe], [], [], 20)
            address = pipe.readline().decode().strip() if ready else ""
        if not address:
            self._fail("the D-Bus session bus did not start")
        self.env["DBUS_SESSION_BUS_ADDRESS"] = address

    def _start_accessibility_bus(self):
        self._spawn("atspi", ["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"])
        # The launcher owns org.a11y.Bus once the accessibility bus is there.
        deadline = time.monotonic() + 20
        while True:
            reply = subprocess.run(
                ["dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus", "/org/a11y/bus",
                 "org.a11y.Bus.GetAddress"], env=self.env, capture_output=True, text=True)
            if reply.returncode == 0 and "unix:" in reply.stdout:
                break
            if time.monotonic() > deadline:
                self._fail("the accessibility bus did not come up within 20 s")
            time.sleep(0.1)
        # This process reads the tree over the same buses.
        for name in ("DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "XDG_RUNTIME_DIR", "HOME"):
            os.environ[name] = self.env[name]
        os.environ.pop("AT_SPI_BUS_ADDRESS", None)
        import pyatspi
        pyatspi.Registry.getDesktop(0).childCount  # the registry is up

    def _start_orca(self):
        self.debug_file = self._path("orca-debug.txt")
        self.speech = SpeechLog(self.debug_file)
        self.orca = self._spawn("orca", [sys.executable, "-c", ORCA_LAUNCHER, self.debug_file])
        deadline = time.monotonic() + 60
        while "ORCA: Starting ATSPI registry." not in self._debug_text():
            if self.orca is not None and self.orca.poll() is not None:
                self._fail(f"Orca ended with {self.orca.returncode} while starting")
            if time.monotonic() > deadline:
                self._fail("Orca did not start within 60 s")
            time.sleep(0.1)

    def _debug_text(self):
        try:
            with open(self.debug_file, errors="replace") as f:
                return f.read()
        except OSError:
            return ""

    # --- the program -------------------------------------------------------------

    def start_program(self, window_title=r"^Cardovia", timeout=60):
        """Starts the program with its AT-SPI bridge on and waits for its window."""
        env = dict(self.env, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                   QT_ACCESSIBILITY="1")
        env.update(self.extra_env)
        with self._log("program.log") as log:
            self.program = subprocess.Popen(self.command, cwd=self.cwd, env=env, stdout=log,
                                            stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL,
                                            start_new_session=True)
        self.processes.append(("program", self.program))
        self.window = self.wait_for(
            "the program's window", lambda: self.find_window(window_title), timeout)
        self.focus(self.window)
        return self.window

    def find_window(self, title):
        """The first shown window whose title matches the regex, or None."""
        try:
            found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", title],
                                   env=self.env, capture_output=True, text=True,
                                   timeout=10).stdout.split()
        except subprocess.TimeoutExpired:
            return None
        return found[0] if found else None

    def program_output(self, lines=12):
        """The end of what the program wrote, a line repeated over and over said once."""
        try:
            with open(self._path("program.log"), errors="replace") as f:
                written = f.read().splitlines()
        except OSError:
            return ""
        told = []
        for line in written:
            if told and told[-1][0] == line:
                told[-1][1] += 1
            else:
                told.append([line, 1])
        return "".join(f"  {line}" + (f"  (x{n})" if n > 1 else "") + "\n"
                       for line, n in told[-lines:])

    # --- keys ------------------------------------------------------------------

    def _xdotool(self, *args):
        try:
            done = subprocess.run(["xdotool", *args], env=self.env, capture_output=True,
                                  text=True, timeout=10)
        except subprocess.TimeoutExpired:
            raise SessionError(f"xdotool {' '.join(args)} did not finish within 10 s") from None
        if done.returncode != 0:
            raise SessionError(f"xdotool {' '.join(args)} failed: {done.stderr.strip()}")
        return done.stdout

    def focus(self, window=None):
        self._xdotool("windowfocus", "--sync", window or self.window)

    def focused_window(self):
        return self._xdotool("getwindowfocus").strip()

    def key(self, *names, window=None, delay=0.15):
        """Presses keys one after another on the given (or the focused) window."""
        if window:
            self.focus(window)
        for name in names:
            self._alive()
            self._xdotool("key", name)
            time.sleep(delay)

    # --- what Orca said ----------------------------------------------------------

    def spoken(self):
        """Every utterance so far, in order."""
        return list(self.speech.read())

    def mark(self):
        """A place in the speech: wait_for_speech(since=mark) hears only what follows."""
        return len(self.spoken())

    def wait_for_speech(self, pattern, timeout=20, since=None):
        """The first utterance after `since` matching the regex (case-insensitive)."""
        regex = re.compile(pattern, re.IGNORECASE)
        start = self.spoken_seen if since is None else since

        def heard():
            said = self.spoken()
            for i in range(start, len(said)):
                if regex.search(said[i]):
                    return i + 1, said[i]
            return None

        try:
            end, line = self.wait_for(f"speech matching {pattern!r}", heard, timeout)
        except SessionError as e:
            said = self.spoken()[start:]
            raise SessionError(f"{e}\nlast speech heard:\n  " +
                               "\n  ".join(repr(s) for s in said[-12:]) +
                               "\nprogram output:\n" + self.program_output()) from None
        self.spoken_seen = max(self.spoken_seen, end)
        return line

    # --- the accessible tree -----------------------------------------------------

    def application(self, name="cardovia"):
        """The program on the accessibility bus, read without libatspi's cache."""
        import pyatspi
        from gi.repository import Atspi

        def look():
            desktop = pyatspi.Registry.getDesktop(0)
            for i in range(desktop.childCount):
                app = desktop.getChildAtIndex(i)
                if app is not None and app.name == name:
                    # Fresh reads: the cache only follows events that nobody pumps here.
                    app.set_cache_mask(Atspi.Cache.NONE)
                    return app
            return None

        return self.wait_for(f"{name} on the accessibility bus", look, 60)

    @staticmethod
    def find(node, test, depth=0, limit=14):
        """The first node under `node` (itself included) that passes `test`."""
        if node is None or depth > limit:
            return None
        try:
            if test(node):
                return node
            count = node.childCount
        except Exception:  # the object went while it was read
            return None
        for i in range(count):
            hit = OrcaSession.find(node.getChildAtIndex(i), test, depth + 1, limit)
            if hit is not None:
                return hit
        return None

    @staticmethod
    def find_all(node, test, depth=0, limit=14):
        found = []
        if node is None or depth > limit:
            return found
        try:
            if test(node):
                found.append(node)
            count = node.childCount
        except Exception:
            return found
        for i in range(count):
            found.extend(OrcaSession.find_all(node.getChildAtIndex(i), test, depth + 1, limit))
        return found

    @staticmethod
    def children(node):
        try:
            return [node.getChildAtIndex(i) for i in range(node.childCount)]
        except Exception:
            return []

    # --- waiting and ending ------------------------------------------------------

    def _alive(self):
        if self.program is not None and self.program.poll() is not None:
            raise SessionError(f"the program ended with {self.program.returncode}\n"
                               "program output:\n" + self.program_output())
        if self.orca is not None and self.orca.poll() is not None:
            raise SessionError(f"Orca ended with {self.orca.returncode}" + self._logs_of("orca"))

    def wait_for(self, what, test, timeout, interval=0.05):
        deadline = time.monotonic() + timeout
        while True:
            self._alive()
            found = test()
            if found:
                return found
            if time.monotonic() > deadline:
                raise SessionError(f"no {what} within {timeout} s")
            time.sleep(interval)

    def close(self):
        """Ends everything started, newest first, then what Orca spawned itself."""
        for what, process in reversed(self.processes):
            if process.poll() is None:
                process.send_signal(signal.SIGTERM)
                try:
                    process.wait(5)
                except subprocess.TimeoutExpired:
                    pass
            if process.poll() is None:
                process.kill()
                process.wait()
            # The launchers' own children (the a11y bus, the registry, activated services).
            try:
                os.killpg(process.pid, signal.SIGKILL)
            except OSError:
                pass
        self.processes.clear()
        self._end_speech_dispatcher()
        if self.dir:
            shutil.rmtree(self.dir, ignore_errors=True)
            self.dir = None

    def _end_speech_dispatcher(self):
        # Orca starts a speech-dispatcher of its own in the private runtime dir; it
        # leaves its process group, so it is ended by the pid it wrote there.
        if not self.dir:
            return
        pidfile = os.path.join(self.dir, "runtime", "speech-dispatcher", "pid",
                               "speech-dispatcher.pid")
        try:
            with open(pidfile) as f:
                pid = int(f.read().strip())
            os.kill(pid, signal.SIGTERM)
        except (OSError, ValueError):
            pass

    def transcript(self):
        return "\n".join(f"  {i + 1:3}  {line}" for i, line in enumerate(self.spoken()))
