#!/usr/bin/env python3
"""Measures how many small faults the test suite catches.

Each mutant is one small change to one line of the game's code: a comparison
moved by one, a side swapped, a number off by one, a condition turned round, a
check or a statement dropped. Every mutant is built into a private copy of the
repository and run against the headless and window tests (the soak aside); a
mutant that makes a test fail, crash or hang is caught.

    scripts/mutants.py list                       # the mutants, one a line
    scripts/mutants.py run --workers 2 --out r.jsonl [--only ids.txt]
    scripts/mutants.py compare old.jsonl new.jsonl

`run` clones the repository's working tree (tests included, as they stand)
into one scratch copy a worker, so the tree being edited is never touched.
"""

import argparse
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import threading
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent

# The game's rules and their callers; the self-playing player is test support.
FOLDERS = ["strategy", "model", "layout", "deck", "flow", "rules", "opponent", "player", "scoring"]
SKIP = {"src/player/SelfPlay.cpp"}
EXTRA = ["src/ui/Pacing.cpp"]  # the pause lengths, below the game folders

SWAPS = [
    ("kPlayer", "kOpponent"),
    ("PlayerHand", "OpponentHand"),
    ("PlayerMelds", "OpponentMelds"),
    ("PlayerRedThrees", "OpponentRedThrees"),
    ("true", "false"),
]
RELATIONS = {" < ": " <= ", " <= ": " < ", " > ": " >= ", " >= ": " > ", " == ": " != ",
             " != ": " == ", " && ": " || ", " || ": " && ", " + ": " - ", " - ": " + "}


def source_files():
    files = []
    for folder in FOLDERS:
        for path in sorted((ROOT / "src" / folder).glob("*.cpp")):
            rel = path.relative_to(ROOT).as_posix()
            if rel not in SKIP:
                files.append(rel)
    return files + EXTRA


def blank_strings(line):
    """The line with the insides of string and character literals and any
    trailing comment blanked, so that no mutation lands in them."""
    out = []
    quote = None
    i = 0
    while i < len(line):
        c = line[i]
        if quote:
            if c == "\\":
                out.append("__")
                i += 2
                continue
            out.append(c if c == quote else "_")
            if c == quote:
                quote = None
        elif c in "\"'":
            quote = c
            out.append(c)
        elif line.startswith("//", i):
            out.append(" " * (len(line) - i))
            break
        else:
            out.append(c)
        i += 1
    return "".join(out)


def matching_paren(text, open_at):
    depth = 0
    for i in range(open_at, len(text)):
        if text[i] == "(":
            depth += 1
        elif text[i] == ")":
            depth -= 1
            if depth == 0:
                return i
    return -1


def line_mutants(line):
    """(operator, mutated line) pairs for one line of code."""
    code = blank_strings(line)
    stripped = code.strip()
    if not stripped or stripped.startswith("#") or stripped.startswith("*"):
        return []
    found = []
    for before, after in RELATIONS.items():
        for m in re.finditer(re.escape(before), code):
            found.append(("relation", line[: m.start()] + after + line[m.end():]))
    for a, b in SWAPS:
        for x, y in ((a, b), (b, a)):
            for m in re.finditer(r"\b%s\b" % x, code):
                found.append(("swap", line[: m.start()] + y + line[m.end():]))
    for m in re.finditer(r"(?<![\w.])(\d+)(?![\w.])", code):
        n = int(m.group(1))
        for k in (n + 1, n - 1):
            if k >= 0:
                found.append(("number", line[: m.start()] + str(k) + line[m.end():]))
    for m in re.finditer(r"\b(if|while) \(", code):
        close = matching_paren(code, m.end() - 1)
        if close > 0:
            inner = line[m.end(): close]
            found.append(("negate", line[: m.end()] + "!(" + inner + ")" + line[close:]))
    indent = line[: len(line) - len(line.lstrip())]
    one_line_if = re.match(r"\s*if \(.*\) (return|continue|break)\b.*;\s*$", code)
    statement = re.match(r"\s*[A-Za-z_][\w:.\[\]()>-]*(\(.*\)| [-+*/|&]?= .*|\+\+|--);\s*$", code)
    if one_line_if or statement:
        found.append(("drop", indent + ";"))
    return found


def all_mutants():
    mutants = []
    for rel in source_files():
        lines = (ROOT / rel).read_text().split("\n")
        for number, line in enumerate(lines, 1):
            for k, (op, mutated) in enumerate(line_mutants(line)):
                mutants.append({"id": "%s:%d:%d" % (rel, number, k), "file": rel,
                                "line": number, "op": op, "before": line.strip(),
                                "after": mutated.strip(), "text": mutated})
    return mutants


def limit_memory():
    # A mutant that loops while it grows a list must not take the machine with it.
    import resource
    resource.setrlimit(resource.RLIMIT_AS, (4 << 30, 4 << 30))


def sh(args, cwd, timeout, env=None):
    try:
        done = subprocess.run(args, cwd=cwd, env=env, timeout=timeout,
                              preexec_fn=limit_memory if env else None,
                              stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        return done.returncode, done.stdout.decode(errors="replace")
    except subprocess.TimeoutExpired as e:
        out = e.stdout.decode(errors="replace") if e.stdout else ""
        return "timeout", out


def failed_tests(output):
    names = re.findall(r"^\[  FAILED  \] (\S+)(?: \(| ?$)", output, re.M)
    scenarios = re.findall(r'^golden (\S+): "(.*)" differs$', output, re.M)
    return sorted(set(n for n in names if "." in n)) + ["%s: %s" % s for s in scenarios]


class Worker:
    def __init__(self, n, scratch):
        self.copy = Path(scratch) / ("w%d" % n)
        self.build = self.copy / "build"
        self.env = dict(os.environ, QT_QPA_PLATFORM="offscreen",
                        XDG_RUNTIME_DIR=str(Path(scratch) / "xdg"))
        os.makedirs(self.env["XDG_RUNTIME_DIR"], mode=0o700, exist_ok=True)

    def prepare(self, fresh):
        if self.copy.exists() and not fresh:
            # A run that was stopped may have left a mutant in place.
            shutil.copytree(ROOT / "src", self.copy / "src", dirs_exist_ok=True)
            return
        if self.copy.exists():
            shutil.rmtree(self.copy)
        shutil.copytree(ROOT, self.copy, ignore=shutil.ignore_patterns("build", ".git"))
        rc, out = sh(["cmake", "-S", ".", "-B", "build", "-G", "Ninja",
                      "-DCMAKE_BUILD_TYPE=RelWithDebInfo", "-DCARDOVIA_BENCH=OFF"],
                     self.copy, 600)
        if rc != 0:
            sys.exit("cmake failed:\n" + out)
        rc, out = self.compile()
        if rc != 0:
            sys.exit("the unmutated build failed:\n" + out)
        status, _ = self.test()
        if status != "survived":
            sys.exit("the unmutated code fails its own tests: " + status)

    def compile(self):
        return sh(["ninja", "-C", "build", "tests/cardovia_tests", "tests/cardovia_gui_tests"],
                  self.copy, 900)

    def test(self):
        rc, out = sh(["build/tests/cardovia_tests"], self.copy, 30, self.env)
        if rc != 0:
            return ("timeout" if rc == "timeout" else "caught"), failed_tests(out) or [str(rc)]
        rc, out = sh(["build/tests/cardovia_gui_tests", "--gtest_filter=-Soak*"], self.copy,
                     90, self.env)
        if rc != 0:
            tests = failed_tests(out) or [str(rc)]
            return ("timeout" if rc == "timeout" else "caught"), ["gui " + t for t in tests]
        return "survived", []

    def run(self, mutant):
        path = self.copy / mutant["file"]
        original = (ROOT / mutant["file"]).read_text()
        lines = original.split("\n")
        lines[mutant["line"] - 1] = mutant["text"]
        path.write_text("\n".join(lines))
        try:
            rc, _ = self.compile()
            if rc != 0:
                return "invalid", []
            return self.test()
        finally:
            path.write_text(original)


def run(args):
    mutants = all_mutants()
    if args.only:
        wanted = set(Path(args.only).read_text().split())
        mutants = [m for m in mutants if m["id"] in wanted]
    done = set()
    if args.resume and Path(args.out).exists():
        done = {json.loads(l)["id"] for l in Path(args.out).read_text().splitlines() if l}
    todo = [m for m in mutants if m["id"] not in done]
    print("%d mutants, %d to run" % (len(mutants), len(todo)), flush=True)
    scratch = args.scratch or tempfile.mkdtemp(prefix="cardovia-mutants-")
    workers = [Worker(n, scratch) for n in range(args.workers)]
    threads = [threading.Thread(target=w.prepare, args=(not args.resume,)) for w in workers]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    lock = threading.Lock()
    queue = list(todo)
    out = open(args.out, "a")
    start = time.time()
    tally = {}

    def work(w):
        while True:
            with lock:
                if not queue:
                    return
                mutant = queue.pop(0)
            status, tests = w.run(mutant)
            record = {k: mutant[k] for k in ("id", "file", "line", "op", "before", "after")}
            record.update(status=status, tests=tests)
            with lock:
                out.write(json.dumps(record) + "\n")
                out.flush()
                tally[status] = tally.get(status, 0) + 1
                n = sum(tally.values())
                if n % 25 == 0 or status == "survived":
                    print("%5d/%d %4.0f s %s %s" % (n, len(todo), time.time() - start,
                                                  status, mutant["id"]), flush=True)

    threads = [threading.Thread(target=work, args=(w,)) for w in workers]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    out.close()
    print(json.dumps(tally))


def load(path):
    """Results keyed by what the mutant changes rather than by line number, so
    that runs before and after an edit elsewhere in a file still pair up."""
    results = {}
    for record in map(json.loads, filter(None, Path(path).read_text().splitlines())):
        key = (record["file"], record["op"], record["before"], record["after"])
        n = 0
        while key + (n,) in results:
            n += 1
        results[key + (n,)] = record
    return results


def compare(args):
    old, new = load(args.old), load(args.new)
    caught = {"caught", "timeout"}
    lost = [i for i in old if old[i]["status"] in caught and i in new
            and new[i]["status"] not in caught]
    gained = [i for i in old if old[i]["status"] not in caught and i in new
              and new[i]["status"] in caught]
    missing = [i for i in old if old[i]["status"] in caught and i not in new]
    for i in lost:
        r = old[i]
        print("LOST  %s  %s  ->  %s   (was caught by %s)" % (r["id"], r["before"], r["after"],
                                                          ", ".join(r["tests"][:3])))
    for i in gained:
        print("GAINED %s  %s  ->  %s" % (old[i]["id"], old[i]["before"], old[i]["after"]))
    print("%d caught before, %d lost, %d gained, %d not run" %
          (sum(old[i]["status"] in caught for i in old), len(lost), len(gained), len(missing)))


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    sub = parser.add_subparsers(dest="command", required=True)
    sub.add_parser("list")
    r = sub.add_parser("run")
    r.add_argument("--workers", type=int, default=2)
    r.add_argument("--out", required=True)
    r.add_argument("--only")
    r.add_argument("--scratch")
    r.add_argument("--resume", action="store_true")
    c = sub.add_parser("compare")
    c.add_argument("old")
    c.add_argument("new")
    args = parser.parse_args()
    if args.command == "list":
        for m in all_mutants():
            print("%s\t%s\t%s\t->\t%s" % (m["id"], m["op"], m["before"], m["after"]))
    elif args.command == "run":
        run(args)
    else:
        compare(args)


if __name__ == "__main__":
    main()
