#!/usr/bin/env python3
"""Start-up time, memory and idle CPU of a real desktop window under Xvfb.

Each run starts a private Xvfb, launches the program with a private home,
runtime directory and (by default) a private copy of the program's directory,
and measures:

  * mapped:  launch -> a window whose title matches --name is mapped;
  * painted: launch -> that window shows the table's green on screen;
  * memory:  VmRSS (and PSS) of the window's process --settle s after launch;
  * idle:    CPU (utime+stime of the process and everything it started)
             over --idle-seconds while nobody touches the window, as a
             percentage of one core.

Two probes are available:
  x11    (default) a tiny X11 client in this script: it listens for MapNotify
         on the root window (no polling for the map) and reads a few pixel rows
         of the window's screen area every --interval ms;
  tools  polls `xdotool search --onlyvisible --name` and `import -window`, the
         way a person would script it; coarser, it spawns a process per poll.

Only the Python standard library is used; the X tools come from Debian's
packages xvfb, xdotool, x11-utils and imagemagick.
"""

from __future__ import annotations

import argparse
import json
import os
import platform
import re
import select
import shlex
import shutil
import signal
import socket
import statistics
import struct
import subprocess
import sys
import tempfile
import time
import uuid
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_PROGRAM = os.path.join(os.path.dirname(HERE), "build-rel", "bin", "cardovia")
DEFAULT_NAME = "^Cardovia"

GOAL_STARTUP_MS = 200.0
GOAL_MEMORY_MIB = 80.0
GOAL_IDLE_CPU_PCT = 1.0

TAG_VAR = "STARTUP_BENCH_TAG"  # marks every process a run starts, for cleanup

# Debian package of each outside tool.
TOOL_PACKAGES = {
    "Xvfb": "xvfb",
    "xdotool": "xdotool",
    "xwininfo": "x11-utils",
    "import": "imagemagick",
}


def now_ns() -> int:
    return time.monotonic_ns()


def log(msg: str) -> None:
    print(msg, file=sys.stderr, flush=True)


class Interrupted(Exception):
    pass


def _on_signal(signum, _frame):
    raise Interrupted(f"signal {signum}")


# --------------------------------------------------------------------------
# A minimal X11 protocol client (unix socket, no authentication: the Xvfb we
# start has no access control for local clients).
# --------------------------------------------------------------------------

class XError(Exception):
    def __init__(self, code: int, opcode: int):
        super().__init__(f"X error {code} on request {opcode}")
        self.code = code


class X11:
    MAP_NOTIFY = 19
    CREATE_NOTIFY = 16
    PROPERTY_NOTIFY = 28
    SUBSTRUCTURE_NOTIFY = 0x80000
    PROPERTY_CHANGE = 0x400000

    def __init__(self, display: int, timeout: float = 5.0):
        self.sock = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.sock.settimeout(timeout)
        self.sock.connect(f"/tmp/.X11-unix/X{display}")
        self.buf = b""
        self.seq = 0
        self.events: list[tuple[int, bytes]] = []  # (receive time ns, event)
        self.sock.sendall(struct.pack("<BxHHHHxx", 0x6C, 11, 0, 0, 0))
        head = self._read(8)
        if head[0] != 1:
            extra = self._read(struct.unpack_from("<H", head, 6)[0] * 4)
            reason = extra[: head[1]].decode("latin-1", "replace")
            raise RuntimeError(f"X server refused the connection: {reason}")
        body = self._read(struct.unpack_from("<H", head, 6)[0] * 4)
        d = head + body
        vendor_len = struct.unpack_from("<H", d, 24)[0]
        nscreens, nformats = d[28], d[29]
        self.image_lsb_first = d[30] == 0
        off = 40 + ((vendor_len + 3) & ~3)
        self.formats = {}
        for _ in range(nformats):
            depth, bpp, pad = struct.unpack_from("<BBB", d, off)
            self.formats[depth] = (bpp, pad)
            off += 8
        if nscreens < 1:
            raise RuntimeError("X server has no screen")
        (self.root, _cmap, _white, _black, _masks, self.width, self.height,
         _wmm, _hmm, _minm, _maxm, self.root_visual, _bs, _su, self.root_depth,
         ndepths) = struct.unpack_from("<IIIIIHHHHHHIBBBB", d, off)
        off += 40
        self.masks = None
        for _ in range(ndepths):
            depth, nvis = struct.unpack_from("<BxH", d, off)
            off += 8
            for _ in range(nvis):
                vid, _cls, _bits, _entries, rm, gm, bm = struct.unpack_from("<IBBHIII", d, off)
                off += 24
                if vid == self.root_visual:
                    self.masks = (rm, gm, bm)
        if self.masks is None or self.root_depth not in self.formats:
            raise RuntimeError("cannot read the root visual")
        self.bpp = self.formats[self.root_depth][0]
        if self.bpp != 32:
            raise RuntimeError(f"unsupported pixel size {self.bpp} (start Xvfb with depth 24)")
        self._atoms: dict[str, int] = {}

    def close(self) -> None:
        try:
            self.sock.close()
        except OSError:
            pass

    # -- wire ---------------------------------------------------------------
    def _read(self, n: int) -> bytes:
        while len(self.buf) < n:
            chunk = self.sock.recv(max(65536, n - len(self.buf)))
            if not chunk:
                raise ConnectionError("X server closed the connection")
            self.buf += chunk
        out, self.buf = self.buf[:n], self.buf[n:]
        return out

    def _packet(self) -> bytes:
        p = self._read(32)
        if p[0] == 1:
            extra = struct.unpack_from("<I", p, 4)[0] * 4
            if extra:
                p += self._read(extra)
        return p

    def _request(self, data: bytes) -> int:
        self.sock.sendall(data)
        self.seq += 1
        return self.seq & 0xFFFF

    def _reply(self, seq: int) -> bytes:
        while True:
            p = self._packet()
            kind = p[0]
            if kind == 0:
                if struct.unpack_from("<H", p, 2)[0] == seq:
                    raise XError(p[1], p[10])
                continue  # error of an earlier request without reply
            if kind == 1:
                if struct.unpack_from("<H", p, 2)[0] == seq:
                    return p
                continue
            self.events.append((now_ns(), p))

    def poll_events(self, timeout: float) -> list[tuple[int, bytes]]:
        """Events already queued, or those arriving within timeout seconds."""
        if not self.events:
            if not self.buf:
                r, _, _ = select.select([self.sock], [], [], max(0.0, timeout))
                if not r:
                    return []
            while True:
                p = self._packet()
                if p[0] >= 2:
                    self.events.append((now_ns(), p))
                if not self.buf and not select.select([self.sock], [], [], 0)[0]:
                    break
        out, self.events = self.events, []
        return out

    # -- requests ------------------------------------------------------------
    def select_input(self, window: int, mask: int) -> None:
        self._request(struct.pack("<BxHIII", 2, 4, window, 0x800, mask))

    def sync(self) -> None:
        # GetInputFocus: a cheap round trip that flushes errors and events.
        self._reply(self._request(struct.pack("<BxH", 43, 1)))

    def atom(self, name: str) -> int:
        if name not in self._atoms:
            raw = name.encode()
            pad = (-len(raw)) % 4
            req = struct.pack("<BBHHxx", 16, 0, 2 + (len(raw) + pad) // 4, len(raw)) + raw + b"\0" * pad
            self._atoms[name] = struct.unpack_from("<I", self._reply(self._request(req)), 8)[0]
        return self._atoms[name]

    def get_property(self, window: int, prop: int, max_bytes: int = 4096) -> tuple[int, int, bytes]:
        req = struct.pack("<BBHIIIII", 20, 0, 6, window, prop, 0, 0, max_bytes // 4)
        r = self._reply(self._request(req))
        fmt = r[1]
        ptype, _after, nitems = struct.unpack_from("<III", r, 8)
        size = nitems * (fmt // 8) if fmt else 0
        return ptype, fmt, r[32:32 + size]

    def window_name(self, window: int) -> str | None:
        try:
            _t, fmt, val = self.get_property(window, self.atom("_NET_WM_NAME"))
            if fmt == 8 and val:
                return val.decode("utf-8", "replace")
            _t, fmt, val = self.get_property(window, self.atom("WM_NAME"))
            if fmt == 8 and val:
                return val.decode("latin-1", "replace")
        except XError:
            return None
        return None

    def window_pid(self, window: int) -> int | None:
        try:
            _t, fmt, val = self.get_property(window, self.atom("_NET_WM_PID"))
        except XError:
            return None
        if fmt == 32 and len(val) >= 4:
            return struct.unpack_from("<I", val, 0)[0]
        return None

    def screen_rect(self, window: int) -> tuple[int, int, int, int] | None:
        """The window's area on screen (x, y, w, h), clipped to the screen."""
        try:
            g = self._reply(self._request(struct.pack("<BxHI", 14, 2, window)))
            w, h = struct.unpack_from("<HH", g, 16)
            t = self._reply(self._request(struct.pack("<BxHIIhh", 40, 4, window, self.root, 0, 0)))
            x, y = struct.unpack_from("<hh", t, 12)
        except XError:
            return None
        x0, y0 = max(0, x), max(0, y)
        x1, y1 = min(self.width, x + w), min(self.height, y + h)
        if x1 <= x0 or y1 <= y0:
            return None
        return x0, y0, x1 - x0, y1 - y0

    def root_raw(self, x: int, y: int, w: int, h: int) -> bytes:
        """The raw pixels of a screen rectangle (32 bits each, in the server's order)."""
        req = struct.pack("<BBHIhhHHI", 73, 2, 5, self.root, x, y, w, h, 0xFFFFFFFF)
        return self._reply(self._request(req))[32:32 + w * h * 4]

    def root_crc(self, x: int, y: int, w: int, h: int) -> int:
        """A checksum of a screen rectangle's pixels: cheap to compare frames."""
        return zlib.crc32(self.root_raw(x, y, w, h))

    def raw_to_rgb(self, raw: bytes) -> bytes:
        """Packed RGB bytes of raw pixels, for a PNG."""
        rm, gm, bm = self.masks
        if self.image_lsb_first and (rm, gm, bm) == (0xFF0000, 0xFF00, 0xFF):
            out = bytearray(len(raw) // 4 * 3)
            out[0::3], out[1::3], out[2::3] = raw[2::4], raw[1::4], raw[0::4]
            return bytes(out)
        n = len(raw) // 4
        values = struct.unpack(("<%dI" if self.image_lsb_first else ">%dI") % n, raw)
        rs, gs, bs = ((m & -m).bit_length() - 1 for m in (rm, gm, bm))
        return bytes(b for v in values for b in ((v & rm) >> rs, (v & gm) >> gs, (v & bm) >> bs))

    def root_pixels(self, x: int, y: int, w: int, h: int, step: int = 1) -> list[tuple[int, int, int]]:
        """RGB pixels of a screen rectangle, row by row (every step-th pixel of each row)."""
        req = struct.pack("<BBHIhhHHI", 73, 2, 5, self.root, x, y, w, h, 0xFFFFFFFF)
        r = self._reply(self._request(req))
        values = struct.unpack(("<%dI" if self.image_lsb_first else ">%dI") % (w * h), r[32:32 + w * h * 4])
        if step > 1:
            values = [v for row in range(h) for v in values[row * w:(row + 1) * w:step]]
        rm, gm, bm = self.masks
        rs, gs, bs = ((m & -m).bit_length() - 1 for m in (rm, gm, bm))
        return [((v & rm) >> rs, (v & gm) >> gs, (v & bm) >> bs) for v in values]


# --------------------------------------------------------------------------
# Pixel tests
# --------------------------------------------------------------------------

def make_pixel_test(what: str):
    """green: felt-like green; any: not the black Xvfb root; RRGGBB[:tol]: that colour."""
    if what == "green":
        return lambda p: p[1] >= 60 and p[1] - p[0] >= 40 and p[1] - p[2] >= 40
    if what == "any":
        return lambda p: p != (0, 0, 0)
    m = re.fullmatch(r"#?([0-9a-fA-F]{6})(?::(\d+))?", what)
    if not m:
        raise ValueError(f"bad --paint value {what!r}")
    want = tuple(int(m.group(1)[i:i + 2], 16) for i in (0, 2, 4))
    tol = int(m.group(2) or 12)
    return lambda p: all(abs(a - b) <= tol for a, b in zip(p, want))


def fraction_matching(pixels, test) -> float:
    if not pixels:
        return 0.0
    return sum(1 for p in pixels if test(p)) / len(pixels)


ROW_FRACTIONS = (0.05, 0.2, 0.35, 0.5, 0.65, 0.8, 0.95)


def sample_rows(rect: tuple[int, int, int, int]) -> list[tuple[int, int, int, int]]:
    """Seven one-pixel rows spread over the window: cheap to read, hard to fool."""
    x, y, w, h = rect
    return [(x, y + int(h * f), w, 1) for f in ROW_FRACTIONS]


def write_png(path: str, width: int, height: int, rgb: bytes) -> None:
    """An 8-bit RGB PNG from packed RGB bytes."""
    stride = width * 3
    raw = b"".join(b"\0" + rgb[row * stride:(row + 1) * stride] for row in range(height))

    def chunk(kind: bytes, data: bytes) -> bytes:
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(raw, 6)))
        f.write(chunk(b"IEND", b""))


def ppm_rows(data: bytes, fractions) -> list[tuple[int, int, int]]:
    """Pixels of the rows at these fractions of the height of a binary PPM (P6, 8 bit)."""
    m = re.match(rb"P6\s+(?:#[^\n]*\s+)*(\d+)\s+(\d+)\s+(\d+)\s", data)
    if not m or int(m.group(3)) > 255:
        raise ValueError("not an 8-bit PPM image")
    w, h = int(m.group(1)), int(m.group(2))
    step = max(1, w // 320)
    out = []
    for f in fractions:
        start = m.end() + int(h * f) * w * 3
        row = data[start:start + w * 3]
        out += [tuple(row[i:i + 3]) for i in range(0, len(row) - 2, 3 * step)]
    return out


# --------------------------------------------------------------------------
# /proc
# --------------------------------------------------------------------------

CLK_TCK = os.sysconf("SC_CLK_TCK")


def proc_cpu_ticks(pid: int) -> int | None:
    try:
        with open(f"/proc/{pid}/stat", "rb") as f:
            s = f.read().decode("latin-1")
    except OSError:
        return None
    fields = s[s.rfind(")") + 2:].split()
    return int(fields[11]) + int(fields[12])  # utime, stime (fields 14, 15)


def proc_run_ns(pid: int) -> int:
    """Time on a CPU of all the process's threads, in ns (scheduler statistics)."""
    total = 0
    try:
        tasks = os.listdir(f"/proc/{pid}/task")
    except OSError:
        return 0
    for tid in tasks:
        try:
            with open(f"/proc/{pid}/task/{tid}/schedstat") as f:
                total += int(f.read().split()[0])
        except (OSError, ValueError, IndexError):
            pass
    return total


def proc_status_kib(pid: int, key: str) -> int | None:
    try:
        with open(f"/proc/{pid}/status") as f:
            for line in f:
                if line.startswith(key + ":"):
                    return int(line.split()[1])
    except OSError:
        return None
    return None


def proc_pss_kib(pid: int) -> int | None:
    try:
        with open(f"/proc/{pid}/smaps_rollup") as f:
            for line in f:
                if line.startswith("Pss:"):
                    return int(line.split()[1])
    except OSError:
        return None
    return None


def tagged_pids(tag: str) -> list[int]:
    """Every process carrying this run's tag in its environment."""
    needle = f"{TAG_VAR}={tag}".encode() + b"\0"
    out = []
    me = os.getpid()
    for entry in os.listdir("/proc"):
        if not entry.isdigit() or int(entry) == me:
            continue
        try:
            with open(f"/proc/{entry}/environ", "rb") as f:
                env = f.read() + b"\0"
        except OSError:
            continue
        if b"\0" + needle in b"\0" + env:
            out.append(int(entry))
    return sorted(out)


def machine_info() -> dict:
    model = "unknown"
    try:
        with open("/proc/cpuinfo") as f:
            for line in f:
                if line.startswith("model name"):
                    model = line.split(":", 1)[1].strip()
                    break
    except OSError:
        pass
    mem_kib = None
    try:
        with open("/proc/meminfo") as f:
            for line in f:
                if line.startswith("MemTotal:"):
                    mem_kib = int(line.split()[1])
    except OSError:
        pass
    try:
        usable = len(os.sched_getaffinity(0))
    except AttributeError:
        usable = os.cpu_count()
    return {
        "cpu_model": model,
        "cores": os.cpu_count(),
        "cores_usable": usable,
        "memory_gib": round(mem_kib / 1048576, 1) if mem_kib else None,
        "kernel": platform.release(),
        "python": platform.python_version(),
    }


# --------------------------------------------------------------------------
# Processes
# --------------------------------------------------------------------------

def stop_process(proc: subprocess.Popen | None, grace: float = 1.0) -> None:
    """Stop a child we started, and its process group (it leads its own session)."""
    if proc is None or proc.poll() is not None:
        return
    for sig, wait in ((signal.SIGTERM, grace), (signal.SIGKILL, 2.0)):
        try:
            os.killpg(proc.pid, sig)
        except ProcessLookupError:
            return
        except PermissionError:
            proc.send_signal(sig)
        try:
            proc.wait(timeout=wait)
            return
        except subprocess.TimeoutExpired:
            continue


def stop_tagged(tag: str) -> list[int]:
    """Stop, one by one by id, anything this run started that is still alive."""
    pids = tagged_pids(tag)
    for pid in pids:
        try:
            os.kill(pid, signal.SIGTERM)
        except ProcessLookupError:
            pass
    deadline = time.monotonic() + 1.0
    while time.monotonic() < deadline and tagged_pids(tag):
        time.sleep(0.05)
    for pid in tagged_pids(tag):
        try:
            os.kill(pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
    return pids


def free_display(start: int = 90, stop: int = 400):
    for n in range(start, stop):
        if not os.path.exists(f"/tmp/.X{n}-lock") and not os.path.exists(f"/tmp/.X11-unix/X{n}"):
            yield n


def start_xvfb(screen: str, log_path: str) -> tuple[subprocess.Popen, int]:
    xvfb = shutil.which("Xvfb")
    for n in free_display():
        rfd, wfd = os.pipe()
        logf = open(log_path, "ab")
        try:
            proc = subprocess.Popen(
                [xvfb, f":{n}", "-screen", "0", screen, "-nolisten", "tcp", "-br", "-noreset",
                 "-displayfd", str(wfd)],
                stdin=subprocess.DEVNULL, stdout=logf, stderr=logf, pass_fds=(wfd,),
                start_new_session=True)
        finally:
            os.close(wfd)
            logf.close()
        got = b""
        deadline = time.monotonic() + 10
        while time.monotonic() < deadline and not got.endswith(b"\n"):
            r, _, _ = select.select([rfd], [], [], 0.1)
            if r:
                chunk = os.read(rfd, 64)
                if not chunk:
                    break
                got += chunk
            elif proc.poll() is not None:
                break
        os.close(rfd)
        if got.strip().isdigit() and proc.poll() is None:
            return proc, int(got.strip())
        stop_process(proc)
    raise RuntimeError("could not start Xvfb on any display from :90")


# --------------------------------------------------------------------------
# One run
# --------------------------------------------------------------------------

class RunFailed(Exception):
    pass


def wait_map_x11(x: X11, name_re, proc, t0: int, timeout: float) -> tuple[int, int]:
    """Wait for MapNotify of a window whose title matches; returns (window, time ns)."""
    mapped: set[int] = set()
    name_atoms = {x.atom("_NET_WM_NAME"), x.atom("WM_NAME")}
    deadline = t0 + int(timeout * 1e9)
    while now_ns() < deadline:
        for t, ev in x.poll_events(0.05):
            code = ev[0] & 0x7F
            if code == X11.CREATE_NOTIFY:
                win = struct.unpack_from("<I", ev, 8)[0]
                x.select_input(win, X11.PROPERTY_CHANGE)  # to see a title set after mapping
            elif code == X11.MAP_NOTIFY:
                win = struct.unpack_from("<I", ev, 8)[0]
                mapped.add(win)
                name = x.window_name(win)
                if name is not None and name_re.search(name):
                    return win, t
            elif code == X11.PROPERTY_NOTIFY:
                win, atom = struct.unpack_from("<II", ev, 4)
                if win in mapped and atom in name_atoms:
                    name = x.window_name(win)
                    if name is not None and name_re.search(name):
                        return win, t
        if proc.poll() is not None:
            raise RunFailed(f"the program exited with code {proc.returncode} before its window was mapped")
    raise RunFailed(f"no window matching {name_re.pattern!r} was mapped within {timeout} s")


def wait_paint_x11(x: X11, win: int, test, fraction: float, interval: float, proc,
                   deadline_ns: int) -> tuple[int, float, int]:
    """Poll pixel rows until enough match; returns (time ns, matched fraction, polls)."""
    polls = 0
    best = 0.0
    while now_ns() < deadline_ns:
        rect = x.screen_rect(win)
        if rect:
            pixels = []
            step = max(1, rect[2] // 320)  # about 320 pixels a row keeps each poll cheap
            for r in sample_rows(rect):
                pixels += x.root_pixels(*r, step=step)
            t = now_ns()
            polls += 1
            frac = fraction_matching(pixels, test)
            best = max(best, frac)
            if frac >= fraction:
                return t, frac, polls
        if proc.poll() is not None:
            raise RunFailed(f"the program exited with code {proc.returncode} before it painted")
        time.sleep(interval)
    raise RunFailed(f"the window never painted (best match {best:.0%} of sampled pixels, "
                    f"need {fraction:.0%}); try --paint any")


def wait_complete_x11(x: X11, win: int, t_start: int, quiet_ms: float, interval: float,
                      deadline_ns: int, changes: list[int]) -> int | None:
    """Time of the last change of the whole window before it stays still for quiet_ms.

    The times at which a change was seen are appended to changes."""
    last_crc = None
    last_change = t_start
    while now_ns() < deadline_ns:
        rect = x.screen_rect(win)
        crc = (rect, x.root_crc(*rect)) if rect else None
        t = now_ns()
        if crc != last_crc:
            if last_crc is not None:
                last_change = t
                changes.append(t)
            last_crc = crc
        elif t - last_change >= quiet_ms * 1e6:
            return last_change
        time.sleep(interval)
    return None


def run_tool(args: list[str], env: dict, timeout: float = 5.0) -> subprocess.CompletedProcess:
    return subprocess.run(args, env=env, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                          stderr=subprocess.DEVNULL, timeout=timeout)


def wait_map_tools(env: dict, regex: str, proc, t0: int, timeout: float, interval: float) -> tuple[int, int, int]:
    deadline = t0 + int(timeout * 1e9)
    polls = 0
    while now_ns() < deadline:
        r = run_tool(["xdotool", "search", "--onlyvisible", "--name", regex], env)
        polls += 1
        ids = r.stdout.split()
        if ids:
            return int(ids[0]), now_ns(), polls
        if proc.poll() is not None:
            raise RunFailed(f"the program exited with code {proc.returncode} before its window was mapped")
        time.sleep(interval)
    raise RunFailed(f"no window matching {regex!r} was mapped within {timeout} s")


def wait_paint_tools(env: dict, win: int, test, fraction: float, interval: float, proc,
                     deadline_ns: int) -> tuple[int, float, int]:
    polls = 0
    best = 0.0
    while now_ns() < deadline_ns:
        r = run_tool(["import", "-silent", "-window", str(win), "-depth", "8", "ppm:-"], env)
        t = now_ns()
        polls += 1
        if r.returncode == 0 and r.stdout:
            try:
                pixels = ppm_rows(r.stdout, ROW_FRACTIONS)  # the rows the x11 probe reads
            except ValueError:
                pixels = []
            frac = fraction_matching(pixels, test)
            best = max(best, frac)
            if frac >= fraction:
                return t, frac, polls
        if proc.poll() is not None:
            raise RunFailed(f"the program exited with code {proc.returncode} before it painted")
        time.sleep(interval)
    raise RunFailed(f"the window never painted (best match {best:.0%}, need {fraction:.0%})")


def grab(x: X11 | None, win: int):
    """The window's pixels as they are on screen now, kept raw until the run is over."""
    if x is None:
        return None
    rect = x.screen_rect(win)
    return (rect, x.root_raw(*rect)) if rect else None


def save_grab(x: X11, shot, path: str) -> None:
    if shot:
        (_x, _y, w, h), raw = shot
        write_png(path, w, h, x.raw_to_rgb(raw))


def one_run(index: int, opts, workdir: str, pixel_test, state: dict) -> dict:
    tag = uuid.uuid4().hex
    state["tag"] = tag
    run_dir = tempfile.mkdtemp(prefix=f"run{index}-", dir=workdir)
    home = os.path.join(run_dir, "home")
    runtime = os.path.join(run_dir, "runtime")
    os.makedirs(home)
    os.makedirs(runtime, mode=0o700)
    os.chmod(runtime, 0o700)

    program = os.path.abspath(opts.program)
    if opts.copy:
        prog_dir = os.path.join(run_dir, "prog")
        shutil.copytree(os.path.dirname(program), prog_dir, symlinks=True)
        exe = os.path.join(prog_dir, os.path.basename(program))
        cwd = prog_dir
    else:
        exe = program
        cwd = home

    xvfb, display = start_xvfb(opts.screen, os.path.join(run_dir, "xvfb.log"))
    state["xvfb"] = xvfb

    env = {k: v for k, v in os.environ.items()
           if k in ("PATH", "LANG", "LC_ALL", "LC_CTYPE", "LANGUAGE", "TZ", "TERM")}
    env.update({
        "DISPLAY": f":{display}",
        "HOME": home,
        "XDG_RUNTIME_DIR": runtime,
        "XDG_CONFIG_HOME": os.path.join(home, ".config"),
        "XDG_DATA_HOME": os.path.join(home, ".local", "share"),
        "XDG_CACHE_HOME": os.path.join(home, ".cache"),
        "XDG_STATE_HOME": os.path.join(home, ".local", "state"),
        "QT_QPA_PLATFORM": "xcb",
        # No session bus: nothing may reach the real user's, nor autolaunch one.
        "DBUS_SESSION_BUS_ADDRESS": "disabled:",
        "USER": os.environ.get("USER", "bench"),
        TAG_VAR: tag,
    })
    for item in opts.env:
        k, _, v = item.partition("=")
        env[k] = v
    tool_env = {"PATH": env["PATH"] if "PATH" in env else os.defpath, "DISPLAY": env["DISPLAY"],
                "HOME": home, "XDG_RUNTIME_DIR": runtime}

    x = X11(display)  # the tools probe uses it only after painting (complete, pid, shots)
    if opts.probe == "x11":
        x.select_input(x.root, X11.SUBSTRUCTURE_NOTIFY)
        x.sync()
    state["x"] = x

    out_path = os.path.join(run_dir, "program.log")
    outf = open(out_path, "wb")
    name_re = re.compile(opts.name)
    t0 = now_ns()
    proc = subprocess.Popen([exe] + opts.program_args, cwd=cwd, env=env, stdin=subprocess.DEVNULL,
                            stdout=outf, stderr=subprocess.STDOUT, start_new_session=True)
    state["proc"] = proc
    outf.close()
    result = {"run": index, "display": display}
    try:
        interval = opts.interval / 1000.0
        if opts.probe == "x11":
            win, t_map = wait_map_x11(x, name_re, proc, t0, opts.timeout)
            map_polls = 0
        else:
            win, t_map, map_polls = wait_map_tools(tool_env, opts.name, proc, t0, opts.timeout, interval)
        deadline = t0 + int(opts.timeout * 1e9)
        if opts.probe == "x11":
            t_paint, frac, paint_polls = wait_paint_x11(x, win, pixel_test, opts.paint_fraction,
                                                        interval, proc, deadline)
        else:
            t_paint, frac, paint_polls = wait_paint_tools(tool_env, win, pixel_test, opts.paint_fraction,
                                                          interval, proc, deadline)
        shots = {}
        if opts.shots:
            shots["painted"] = grab(x, win)
        t_complete = None
        changes: list[int] = []
        if x is not None and opts.quiet_ms > 0:
            # Keep watching the whole window until it stops changing (the last
            # change marks a complete first screen), up to just before the memory reading.
            t_complete = wait_complete_x11(x, win, t_paint, opts.quiet_ms, max(interval, 0.01),
                                           t0 + int(opts.settle * 1e9) - int(0.05e9), changes)
        result.update({
            "mapped_ms": (t_map - t0) / 1e6,
            "painted_ms": (t_paint - t0) / 1e6,
            "complete_ms": (t_complete - t0) / 1e6 if t_complete is not None else None,
            "later_changes_ms": [round((t - t0) / 1e6, 1) for t in changes],
            "painted_fraction": round(frac, 3),
            "polls": {"map": map_polls, "paint": paint_polls},
            "window": hex(win),
        })
        if opts.shots:
            shots["complete"] = grab(x, win)

        # The process behind the window (the launched one, or what it started).
        pid = proc.pid
        if x is not None:
            wpid = x.window_pid(win)
            if wpid and wpid in tagged_pids(tag):
                pid = wpid
        result["pid_is_launched"] = pid == proc.pid
        if not opts.shots:
            x.close()
            state["x"] = x = None

        # Memory, settle seconds after launch.
        settle_at = t0 + int(opts.settle * 1e9)
        late = now_ns() > settle_at
        while now_ns() < settle_at:
            time.sleep(min(0.05, (settle_at - now_ns()) / 1e9))
        rss = proc_status_kib(pid, "VmRSS")
        pss = proc_pss_kib(pid)
        tree = tagged_pids(tag)
        tree_rss = sum(proc_status_kib(p, "VmRSS") or 0 for p in tree)
        if rss is None:
            raise RunFailed(f"the program exited with code {proc.poll()} before the memory reading")
        result.update({
            "rss_mib": rss / 1024,
            "pss_mib": pss / 1024 if pss is not None else None,
            "tree_rss_mib": tree_rss / 1024,
            "processes": len(tree),
            "settle_late": late,
        })

        # Idle CPU: nothing touches the window; this script sleeps.
        before = {p: proc_cpu_ticks(p) for p in tree}
        before_ns = {p: proc_run_ns(p) for p in tree}
        ti0 = now_ns()
        time.sleep(opts.idle_seconds)
        ti1 = now_ns()
        after_tree = tagged_pids(tag)
        after = {p: proc_cpu_ticks(p) for p in after_tree}
        after_ns = {p: proc_run_ns(p) for p in after_tree}
        if proc.poll() is not None:
            raise RunFailed(f"the program exited with code {proc.returncode} while idle")
        wall = (ti1 - ti0) / 1e9
        main_ticks = (after.get(pid) or 0) - (before.get(pid) or 0)
        tree_ticks = sum((after[p] or 0) - (before.get(p) or 0) for p in after if after[p] is not None)
        result.update({
            "idle_cpu_pct": 100.0 * tree_ticks / CLK_TCK / wall,
            "idle_cpu_main_pct": 100.0 * main_ticks / CLK_TCK / wall,
            # the same from the scheduler's nanosecond run times of the live threads
            "idle_cpu_sched_pct": 100.0 * sum(max(0, after_ns[p] - before_ns.get(p, 0)) for p in after_ns) / 1e9 / wall,
            "idle_wall_s": round(wall, 3),
        })
        if opts.shots:
            shots["idle"] = grab(x, win)
            for label, shot in shots.items():
                save_grab(x, shot, os.path.join(opts.shots, f"run{index}-{label}.png"))
    finally:
        if state.get("x") is not None:
            state["x"].close()
            state["x"] = None
        stop_process(proc)
        state["proc"] = None
        leftovers = stop_tagged(tag)
        if leftovers:
            result["leftover_processes"] = len(leftovers)
        stop_process(xvfb)
        state["xvfb"] = None
        try:
            with open(out_path, "rb") as f:
                lines = f.read().decode("utf-8", "replace").splitlines()
            result["output_lines"] = len(lines)
            result["output_tail"] = lines[-15:]
        except OSError:
            pass
        shutil.rmtree(run_dir, ignore_errors=True)
    return result


# --------------------------------------------------------------------------
# Report
# --------------------------------------------------------------------------

def summarize(values: list[float]) -> dict | None:
    if not values:
        return None
    return {"median": statistics.median(values), "min": min(values), "max": max(values)}


def fmt(v, digits=1) -> str:
    return "-" if v is None else f"{v:.{digits}f}"


def print_report(report: dict) -> None:
    m = report["machine"]
    cfg = report["config"]
    print(f"Start-up benchmark: {report['program']}")
    print(f"Machine: {m['cpu_model']}, {m['cores']} cores ({m['cores_usable']} usable), "
          f"{m['memory_gib']} GiB, Linux {m['kernel']}")
    print(f"Setup:   Xvfb {cfg['screen']}, probe {cfg['probe']} every {cfg['interval_ms']} ms, "
          f"paint test {cfg['paint']!r} >= {cfg['paint_fraction']:.0%} of sampled pixels, "
          f"memory at {cfg['settle_s']} s, idle {cfg['idle_seconds']} s, "
          f"{'private copy of the program directory' if cfg['copy'] else 'program run in place'}")
    print()
    print(f"{'run':>3}  {'mapped ms':>9}  {'painted ms':>10}  {'complete ms':>11}  {'RSS MiB':>7}  {'PSS MiB':>7}  "
          f"{'idle CPU %':>10}  note")
    for r in report["runs"]:
        if "error" in r:
            print(f"{r['run']:>3}  FAILED: {r['error']}")
            continue
        notes = []
        if r.get("processes", 1) > 1:
            notes.append(f"{r['processes']} processes")
        if r.get("settle_late"):
            notes.append("painted after the memory reading time")
        if r.get("leftover_processes"):
            notes.append(f"{r['leftover_processes']} leftover process(es) stopped")
        print(f"{r['run']:>3}  {fmt(r['mapped_ms']):>9}  {fmt(r['painted_ms']):>10}  {fmt(r.get('complete_ms')):>11}  "
              f"{fmt(r['rss_mib']):>7}  {fmt(r.get('pss_mib')):>7}  {fmt(r['idle_cpu_pct'], 2):>10}  "
              f"{', '.join(notes)}")
    print()
    s = report["summary"]
    rows = [
        ("launch -> window mapped (ms)", s.get("mapped_ms"), 1, None),
        ("launch -> window painted (ms)", s.get("painted_ms"), 1, ("startup", f"<= {GOAL_STARTUP_MS:g} ms")),
        ("launch -> last change of first screen (ms)", s.get("complete_ms"), 1, None),
        (f"resident memory at {cfg['settle_s']:g} s (MiB)", s.get("rss_mib"), 1,
         ("memory", f"<= {GOAL_MEMORY_MIB:g} MiB")),
        ("  proportional share, PSS (MiB)", s.get("pss_mib"), 1, None),
        (f"idle CPU over {cfg['idle_seconds']:g} s (% of a core)", s.get("idle_cpu_pct"), 2,
         ("idle_cpu", f"<= {GOAL_IDLE_CPU_PCT:g} %")),
        ("  from scheduler run time (% of a core)", s.get("idle_cpu_sched_pct"), 3, None),
    ]
    print(f"{'figure':<44} {'median':>8} {'min':>8} {'max':>8}   {'goal':<12} verdict")
    for label, st, d, goal in rows:
        if st is None:
            print(f"{label:<44} {'-':>8} {'-':>8} {'-':>8}")
            continue
        verdict = ""
        goal_text = ""
        if goal:
            goal_text = goal[1]
            verdict = "PASS" if report["verdicts"][goal[0]] else "FAIL"
        print(f"{label:<44} {fmt(st['median'], d):>8} {fmt(st['min'], d):>8} {fmt(st['max'], d):>8}   "
              f"{goal_text:<12} {verdict}")
    ok = [r for r in report["runs"] if "error" not in r]
    print()
    print(f"{len(ok)} of {len(report['runs'])} runs succeeded.")
    complete = s.get("complete_ms")
    if complete and complete["median"] > GOAL_STARTUP_MS:
        print(f"Note: the first screen kept changing after it was painted; its last change came at "
              f"{complete['median']:.0f} ms (median), past the {GOAL_STARTUP_MS:g} ms start-up goal.")
    tails = [r for r in report["runs"] if r.get("output_lines")]
    if tails:
        r = tails[0]
        print(f"The program printed {r['output_lines']} line(s) in run {r['run']}; the last ones:")
        for line in r["output_tail"][-5:]:
            print(f"    {line}")


def check_tools(probe: str) -> list[str]:
    needed = ["Xvfb"]
    if probe == "tools":
        needed += ["xdotool", "import"]
    missing = [t for t in needed if shutil.which(t) is None]
    return missing


def main() -> int:
    ap = argparse.ArgumentParser(
        description="Start-up time, memory and idle CPU of a desktop window under a private Xvfb.",
        epilog="Arguments after -- are passed to the program.")
    ap.add_argument("--program", default=DEFAULT_PROGRAM, help="executable to measure (default: %(default)s)")
    ap.add_argument("--name", default=DEFAULT_NAME, help="regular expression for the window title (default: %(default)s)")
    ap.add_argument("--runs", type=int, default=10, help="number of runs (default: %(default)s)")
    ap.add_argument("--idle-seconds", type=float, default=10.0, help="idle CPU window (default: %(default)s)")
    ap.add_argument("--settle", type=float, default=2.0, help="seconds after launch for the memory reading (default: %(default)s)")
    ap.add_argument("--probe", choices=("x11", "tools"), default="x11",
                    help="x11: built-in X client, event-driven; tools: poll xdotool and import (default: %(default)s)")
    ap.add_argument("--interval", type=float, default=2.0, help="polling interval in ms (default: %(default)s)")
    ap.add_argument("--paint", default="green",
                    help="what counts as painted: green (felt), any (not the black root) or RRGGBB[:tolerance] (default: %(default)s)")
    ap.add_argument("--paint-fraction", type=float, default=0.25,
                    help="share of sampled pixels that must pass the paint test (default: %(default)s)")
    ap.add_argument("--quiet-ms", type=float, default=500.0,
                    help="after painting, the window counts as complete once it has not changed for this long; "
                         "0 turns this off (default: %(default)s)")
    ap.add_argument("--screen", default="1280x800x24", help="Xvfb screen (default: %(default)s)")
    ap.add_argument("--timeout", type=float, default=30.0, help="seconds to wait for the window (default: %(default)s)")
    copy = ap.add_mutually_exclusive_group()
    copy.add_argument("--copy", dest="copy", action="store_true", default=None,
                      help="run from a private copy of the program's directory (default unless it is a system directory)")
    copy.add_argument("--in-place", dest="copy", action="store_false", help="run the program where it is, with a private HOME")
    ap.add_argument("--env", action="append", default=[], metavar="KEY=VALUE", help="extra environment for the program")
    ap.add_argument("--shots", metavar="DIR", help="save PNG screenshots of each run here: when first painted, when complete and after the idle time")
    ap.add_argument("--check", action="store_true", help="exit with status 1 when a goal is missed")
    ap.add_argument("--json", action="store_true", help="print the results as JSON")
    ap.add_argument("program_args", nargs="*", help=argparse.SUPPRESS)
    opts = ap.parse_args()

    if opts.runs < 1:
        ap.error("--runs must be at least 1")
    try:
        re.compile(opts.name)
        pixel_test = make_pixel_test(opts.paint)
    except (re.error, ValueError) as e:
        ap.error(str(e))

    missing = check_tools(opts.probe)
    if missing:
        pkgs = sorted({TOOL_PACKAGES[t] for t in missing})
        log(f"startup_bench: missing tool(s): {', '.join(missing)}; install with: apt-get install {' '.join(pkgs)}")
        return 2
    program = os.path.abspath(opts.program)
    if not (os.path.isfile(program) and os.access(program, os.X_OK)):
        hint = ""
        if program == DEFAULT_PROGRAM:
            hint = " (build it: cmake -S . -B build-rel -G Ninja -DCMAKE_BUILD_TYPE=Release && ninja -C build-rel)"
        log(f"startup_bench: no executable at {program}{hint}")
        return 2
    if opts.copy is None:
        system_dirs = ("/usr/", "/bin/", "/sbin/", "/opt/", "/snap/", "/lib")
        opts.copy = not program.startswith(system_dirs)
    if opts.shots:
        os.makedirs(opts.shots, exist_ok=True)
        opts.shots = os.path.abspath(opts.shots)

    for sig in (signal.SIGTERM, signal.SIGHUP):
        signal.signal(sig, _on_signal)

    workdir = tempfile.mkdtemp(prefix="startup-bench-")
    state: dict = {}
    runs = []
    interrupted = False
    try:
        for i in range(1, opts.runs + 1):
            try:
                r = one_run(i, opts, workdir, pixel_test, state)
            except RunFailed as e:
                r = {"run": i, "error": str(e)}
            except (XError, OSError, RuntimeError, subprocess.SubprocessError) as e:
                r = {"run": i, "error": f"{type(e).__name__}: {e}"}
            runs.append(r)
            if "error" in r:
                log(f"run {i}/{opts.runs}: FAILED: {r['error']}")
            else:
                log(f"run {i}/{opts.runs}: mapped {r['mapped_ms']:.1f} ms, painted {r['painted_ms']:.1f} ms, "
                    f"RSS {r['rss_mib']:.1f} MiB, idle CPU {r['idle_cpu_pct']:.2f} %")
    except (KeyboardInterrupt, Interrupted):
        interrupted = True
        log("startup_bench: interrupted; cleaning up")
    finally:
        if state.get("x") is not None:
            state["x"].close()
        stop_process(state.get("proc"))
        if state.get("tag"):
            stop_tagged(state["tag"])
        stop_process(state.get("xvfb"))
        shutil.rmtree(workdir, ignore_errors=True)
    if interrupted:
        return 130

    ok = [r for r in runs if "error" not in r]
    summary = {}
    for key in ("mapped_ms", "painted_ms", "complete_ms", "rss_mib", "pss_mib", "tree_rss_mib", "idle_cpu_pct", "idle_cpu_main_pct", "idle_cpu_sched_pct"):
        vals = [r[key] for r in ok if r.get(key) is not None]
        st = summarize(vals)
        if st:
            summary[key] = st
    verdicts = {
        "startup": bool(ok) and summary["painted_ms"]["median"] <= GOAL_STARTUP_MS,
        "memory": bool(ok) and summary["rss_mib"]["median"] <= GOAL_MEMORY_MIB,
        "idle_cpu": bool(ok) and summary["idle_cpu_pct"]["median"] <= GOAL_IDLE_CPU_PCT,
    }
    report = {
        "program": program,
        "program_args": opts.program_args,
        "machine": machine_info(),
        "config": {
            "runs": opts.runs, "screen": opts.screen, "probe": opts.probe, "interval_ms": opts.interval,
            "paint": opts.paint, "paint_fraction": opts.paint_fraction, "settle_s": opts.settle,
            "idle_seconds": opts.idle_seconds, "copy": opts.copy, "name": opts.name,
            "quiet_ms": opts.quiet_ms,
        },
        "goals": {"painted_ms": GOAL_STARTUP_MS, "rss_mib": GOAL_MEMORY_MIB, "idle_cpu_pct": GOAL_IDLE_CPU_PCT},
        "runs": runs,
        "summary": summary,
        "verdicts": verdicts,
    }
    if opts.json:
        json.dump(report, sys.stdout, indent=2)
        print()
    else:
        print_report(report)
    if not ok:
        return 1
    if opts.check and not all(verdicts.values()):
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
