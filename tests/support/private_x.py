"""A private X server for the tests that drive the real window.

The display is picked here, not by the server: a socket left behind by a server
that was killed makes the server's own pick fail again and again. A display
taken by another test at the same moment ends this server; then another display
is tried. The server is handed back only once it takes connections.
"""

import os
import random
import signal
import subprocess
import time


def _accepts(xvfb, env):
    if xvfb.poll() is not None:
        return None
    return subprocess.run(["xdotool", "getdisplaygeometry"], env=env,
                          capture_output=True).returncode == 0


def start_xvfb(screen="1600x1000x24", tries=20):
    """(process, ":N") of a server that takes connections; RuntimeError if none would start."""
    for display in random.sample(range(200, 1000), tries):
        if os.path.exists(f"/tmp/.X11-unix/X{display}") or os.path.exists(f"/tmp/.X{display}-lock"):
            continue
        xvfb = subprocess.Popen(["Xvfb", f":{display}", "-screen", "0", screen, "-nolisten", "tcp",
                                 "-noreset"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                start_new_session=True)
        env = dict(os.environ, DISPLAY=f":{display}")
        deadline = time.monotonic() + 10
        while time.monotonic() < deadline:
            up = _accepts(xvfb, env)
            if up is None:
                break
            if up:
                return xvfb, f":{display}"
            time.sleep(0.05)
        stop(xvfb)
    raise RuntimeError("no private X server would start (Xvfb ended or took no connection "
                       f"on {tries} displays)")


def stop(process):
    """Ends a process politely (a killed X server leaves its socket behind)."""
    if process.poll() is None:
        process.send_signal(signal.SIGCONT)
        process.terminate()
        try:
            process.wait(5)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()
