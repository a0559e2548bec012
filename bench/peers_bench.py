#!/usr/bin/env python3
"""Cardovia side by side with two card games a Linux user might pick instead.

In one run on this machine it measures, under a private Xvfb (through
startup_bench.py, one launch at a time and the programs taking turns):

  * launch -> window mapped and launch -> window painted,
  * resident memory (and PSS) after start-up,
  * CPU used while the window sits idle,

for the Release build of Cardovia and for the peers aisleriot (`sol`, its
Klondike window) and lskat, both from Debian's packages, which it installs
when they are missing. It adds Cardovia's own figures, headless: whole hands
played per second, the cost of one hover over a frozen discard pile and the
time to lay out a 15-card hand. It prints one table with the ratios against
the peers, the goals and the machine.

    python3 bench/peers_bench.py                 # 5 rounds, 10 s idle each
    python3 bench/peers_bench.py --runs 3 --idle-seconds 5 --json

The peers are only run and timed as black boxes.
"""

from __future__ import annotations

import argparse
import datetime
import json
import os
import re
import shutil
import statistics
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
STARTUP_BENCH = os.path.join(HERE, "startup_bench.py")

GOAL_IDLE_CPU_PCT = 1.0

PEERS = [
    # name, Debian package, program, window title, what counts as painted
    {"name": "aisleriot", "package": "aisleriot", "program": "/usr/games/sol",
     "title": "^Klondike$", "paint": "any"},
    {"name": "lskat", "package": "lskat", "program": "/usr/games/lskat",
     "title": "^LSkat$", "paint": "any"},
]

FIGURES = [
    # key in startup_bench's runs, label, digits
    ("mapped_ms", "launch -> window mapped (ms)", 0),
    ("painted_ms", "launch -> window painted (ms)", 0),
    ("rss_mib", "resident memory after start-up (MiB)", 1),
    ("pss_mib", "  proportional share, PSS (MiB)", 1),
    ("idle_cpu_pct", "idle CPU (% of one core)", 2),
    ("idle_cpu_sched_pct", "  from scheduler run time (% of a core)", 3),
]


def log(msg: str) -> None:
    print(msg, file=sys.stderr, flush=True)


def install_peers(allowed: bool) -> None:
    missing = [p for p in PEERS if not os.access(p["program"], os.X_OK)]
    if not missing:
        return
    packages = [p["package"] for p in missing]
    command = ["apt-get", "install", "-y", "--no-install-recommends"] + packages
    if not allowed:
        raise SystemExit(f"peers_bench: missing {', '.join(packages)}; install with: {' '.join(command)}")
    if os.geteuid() != 0:
        if shutil.which("sudo") is None:
            raise SystemExit(f"peers_bench: run as root or install first: {' '.join(command)}")
        command = ["sudo", "-n"] + command
    log(f"peers_bench: installing {', '.join(packages)} from Debian's packages")
    env = dict(os.environ, DEBIAN_FRONTEND="noninteractive")
    subprocess.run(command, check=True, env=env, stdout=subprocess.DEVNULL)


def build_release(build_dir: str) -> None:
    log(f"peers_bench: building the Release build in {build_dir}")
    subprocess.run(["cmake", "-S", ROOT, "-B", build_dir, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=Release",
                    "-DCARDOVIA_TESTS=OFF", "-DCARDOVIA_BENCH=ON"], check=True,
                   stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", build_dir, "--target", "cardovia", "selfplay_bench",
                    "hover_bench"], check=True, stdout=subprocess.DEVNULL)


def one_launch(program: dict, opts) -> dict:
    """One launch of one program, measured by startup_bench.py."""
    command = [sys.executable, STARTUP_BENCH, "--json", "--runs", "1",
               "--idle-seconds", str(opts.idle_seconds), "--program", program["program"],
               "--name", program["title"]]
    if program.get("paint"):
        command += ["--paint", program["paint"]]
    done = subprocess.run(command, capture_output=True, text=True)
    if not done.stdout.strip():
        return {"error": done.stderr.strip().splitlines()[-1] if done.stderr.strip() else "no report"}
    report = json.loads(done.stdout)
    run = report["runs"][0]
    run["machine"] = report["machine"]
    run["config"] = report["config"]
    return run


def own_figures(build_dir: str) -> dict:
    figures = {}
    out = subprocess.run([os.path.join(build_dir, "bench", "selfplay_bench"), "200"],
                         capture_output=True, text=True, check=True).stdout
    m = re.search(r"hands per second \(no pauses\): (\d+)", out)
    figures["hands_per_second"] = int(m.group(1)) if m else None
    out = subprocess.run([os.path.join(build_dir, "bench", "hover_bench"), "25"],
                         capture_output=True, text=True, check=True).stdout
    m = re.search(r"hover over a frozen pile: ([\d.]+) us", out)
    figures["hover_us"] = float(m.group(1)) if m else None
    m = re.search(r"lay out a hand of 15 cards: ([\d.]+) us", out)
    figures["hand_layout_us"] = float(m.group(1)) if m else None
    return figures


def median(values):
    values = [v for v in values if v is not None]
    return statistics.median(values) if values else None


def ratio(ours, peer) -> str:
    if ours is None or peer is None or peer == 0:
        return "-"
    return f"{ours / peer:.2f}x"


def fmt(value, digits: int) -> str:
    return "-" if value is None else f"{value:.{digits}f}"


def print_table(result: dict) -> None:
    m = result["machine"]
    names = [p["name"] for p in result["programs"]]
    ours, peers = names[0], names[1:]
    print(f"Cardovia beside its peers, {result['date']}, median of {result['runs']} launches each")
    print(f"Machine: {m['cpu_model']}, {m['cores']} cores, {m['memory_gib']} GiB, "
          f"Linux {m['kernel']}; Xvfb {result['screen']}, idle window {result['idle_seconds']:g} s")
    print()
    head = f"{'figure':<38}" + "".join(f"{n:>11}" for n in names)
    head += "".join(f"{'vs ' + p:>14}" for p in peers)
    print(head)
    print("-" * len(head))
    for key, label, digits in FIGURES:
        values = [result["medians"][n].get(key) for n in names]
        line = f"{label:<38}" + "".join(f"{fmt(v, digits):>11}" for v in values)
        line += "".join(f"{ratio(values[0], v):>14}" for v in values[1:])
        print(line)
    print()
    own = result["own"]
    print("Cardovia's own figures (Release, headless, no pauses):")
    print(f"  whole hands played per second          {own.get('hands_per_second', '-')}")
    print(f"  one hover over a frozen pile           {fmt(own.get('hover_us'), 2)} us")
    print(f"  laying out a hand of 15 cards          {fmt(own.get('hand_layout_us'), 2)} us")
    print()
    print("Goals:")
    for goal, passed in result["verdicts"].items():
        print(f"  {goal:<52} {'PASS' if passed else 'FAIL'}")
    failed = {n: c for n, c in result["failures"].items() if c}
    if failed:
        print("Failed launches (left out of the medians): " +
              ", ".join(f"{n} {c}" for n, c in failed.items()))


def main() -> int:
    ap = argparse.ArgumentParser(description="Cardovia beside aisleriot and lskat: start-up, memory, idle CPU.")
    ap.add_argument("--runs", type=int, default=5, help="launches of each program (default: %(default)s)")
    ap.add_argument("--idle-seconds", type=float, default=10.0, help="idle window (default: %(default)s)")
    ap.add_argument("--build-dir", default=os.path.join(ROOT, "build", "peers"),
                    help="Cardovia's Release build (default: %(default)s)")
    ap.add_argument("--no-build", action="store_true", help="use the Release build as it is")
    ap.add_argument("--no-install", action="store_true", help="do not install missing peers")
    ap.add_argument("--json", action="store_true", help="print the results as JSON")
    ap.add_argument("--check", action="store_true", help="exit with 1 when a goal is missed")
    opts = ap.parse_args()

    install_peers(not opts.no_install)
    if not opts.no_build:
        build_release(opts.build_dir)
    programs = [{"name": "Cardovia", "program": os.path.join(opts.build_dir, "bin", "cardovia"),
                 "title": "^Cardovia"}] + PEERS

    runs: dict[str, list[dict]] = {p["name"]: [] for p in programs}
    failures = {p["name"]: 0 for p in programs}
    machine, config = None, None
    # The programs take turns, so a slow moment of the machine falls on all alike.
    for round_ in range(1, opts.runs + 1):
        for program in programs:
            run = one_launch(program, opts)
            if "error" in run and run["error"]:
                failures[program["name"]] += 1
                log(f"round {round_}: {program['name']} FAILED: {run['error']}")
                continue
            machine, config = run.pop("machine"), run.pop("config")
            runs[program["name"]].append(run)
            log(f"round {round_}: {program['name']}: mapped {run['mapped_ms']:.0f} ms, painted "
                f"{run['painted_ms']:.0f} ms, RSS {run['rss_mib']:.1f} MiB, idle {run['idle_cpu_pct']:.2f} %")
    if machine is None:
        log("peers_bench: no launch succeeded")
        return 1

    medians = {name: {key: median([r.get(key) for r in rs]) for key, _, _ in FIGURES}
               for name, rs in runs.items()}
    ours = medians["Cardovia"]

    def better(key: str) -> bool:
        return ours.get(key) is not None and all(
            medians[p["name"]].get(key) is not None and ours[key] < medians[p["name"]][key] for p in PEERS)

    verdicts = {
        "start-up (painted) faster than both peers": better("painted_ms"),
        "resident memory smaller than both peers": better("rss_mib"),
        f"idle CPU at most {GOAL_IDLE_CPU_PCT:g} % of a core":
            ours.get("idle_cpu_pct") is not None and ours["idle_cpu_pct"] <= GOAL_IDLE_CPU_PCT,
    }
    result = {
        "date": datetime.date.today().isoformat(),
        "runs": opts.runs,
        "idle_seconds": opts.idle_seconds,
        "screen": config["screen"],
        "machine": machine,
        "programs": [{"name": p["name"], "program": p["program"]} for p in programs],
        "medians": medians,
        "own": own_figures(opts.build_dir),
        "verdicts": verdicts,
        "failures": failures,
        "launches": runs,
    }
    if opts.json:
        json.dump(result, sys.stdout, indent=2)
        print()
    else:
        print_table(result)
    if opts.check and not all(verdicts.values()):
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
