#!/usr/bin/env python3
"""Whole-process timings of the results viewer: start to first complete
picture of a run, then optionally one diagram from its menu command to its
picture, with the peak memory (VmHWM) at each. The program itself says when
a picture has been swapped (OV_FIRST_PICTURE=1), so nothing is
guessed from the screen. Run under an X server, e.g.

  xvfb-run -a -s "-screen 0 1280x1024x24" bench/varnek_picture.py \
      build/resultsviewer/Varnek /work/bench-data/run-100000-100/frame.in [deform|stress|force|shell]

Prints one JSON line: open_s, open_rss_mb, and diagram_s (or message_s when
a message box came instead of the picture), diagram_rss_mb.
"""
import json
import os
import select
import subprocess
import sys
import time

# Menu mnemonics of the view menu's diagram commands; Return takes the step
# dialog's first step and first component.
# The report lines (and those of the build measured before the change).
FIRST = ("first picture", "first-picture")
DIAGRAM = ("diagram picture", "diagram-picture")
DIAGRAMS = {"deform": "d", "stress": "o", "strain": "h", "force": "f", "shell": "p"}
# "structure": a deformation diagram first (not timed), then the structure
# command, timed from its key to the structure's picture.
STRUCTURE = "k"


def peak_mb(pid):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmHWM:"):
                return int(line.split()[1]) / 1024.0
    return -1.0


def wait_line(proc, prefix, timeout, stop=None):
    """Reads stderr until a line starting with one of `prefix`; the time it
    came. `stop()` true ends the wait early (None is returned)."""
    end = time.monotonic() + timeout
    buf = b""
    while time.monotonic() < end:
        # A short wait: a message box that comes instead is seen within 0.1 s.
        r, _, _ = select.select([proc.stderr], [], [], 0.1)
        if stop and stop():
            return None
        if not r:
            if proc.poll() is not None:
                raise RuntimeError("the program ended")
            continue
        chunk = os.read(proc.stderr.fileno(), 65536)
        if not chunk:
            raise RuntimeError("the program ended")
        buf += chunk
        while b"\n" in buf:
            line, buf = buf.split(b"\n", 1)
            if any(line.startswith(p.encode()) for p in prefix):
                return time.monotonic()
    raise RuntimeError(f"no '{prefix[0]}' line within {timeout} s")


def visible_windows(pid):
    out = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(pid), "--name", "."],
                         capture_output=True, text=True).stdout.split()
    return out


def xdo(*args):
    subprocess.run(["xdotool", *args], check=True, stdout=subprocess.DEVNULL)


def main():
    if len(sys.argv) < 3:
        print(__doc__, file=sys.stderr)
        return 2
    program, run = sys.argv[1], sys.argv[2]
    diagram = sys.argv[3] if len(sys.argv) > 3 else None
    timeout = float(os.environ.get("OV_BENCH_TIMEOUT", "300"))
    env = dict(os.environ, OV_FIRST_PICTURE="1", OV_REPORT_FIRST_PICTURE="1")
    start = time.monotonic()
    proc = subprocess.Popen([program, run], stderr=subprocess.PIPE, env=env)
    result = {"run": run}
    try:
        shown = wait_line(proc, FIRST, timeout)
        result["open_s"] = round(shown - start, 2)
        result["open_rss_mb"] = round(peak_mb(proc.pid))
        if diagram:
            # The splash may still be up for its own time: wait it out.
            time.sleep(3.5)
            windows = visible_windows(proc.pid)
            if diagram == "structure":
                xdo("windowfocus", "--sync", windows[0])
                xdo("key", "alt+v")
                time.sleep(0.5)
                xdo("key", DIAGRAMS["deform"])
                while len(visible_windows(proc.pid)) <= len(windows):
                    time.sleep(0.2)
                time.sleep(0.5)
                dialog = [w for w in visible_windows(proc.pid) if w not in windows]
                xdo("windowfocus", "--sync", dialog[-1])
                xdo("key", "Return")
                wait_line(proc, DIAGRAM, timeout)
                time.sleep(0.5)
                xdo("windowfocus", "--sync", windows[0])
                xdo("key", "alt+v")
                time.sleep(0.5)
                asked = time.monotonic()
                xdo("key", STRUCTURE)
                result["diagram"] = diagram
                result["diagram_s"] = round(wait_line(proc, DIAGRAM, timeout) - asked, 2)
                result["diagram_rss_mb"] = round(peak_mb(proc.pid))
                diagram = None
        if diagram:
            xdo("windowfocus", "--sync", windows[0])
            xdo("key", "alt+v")
            time.sleep(0.5)
            xdo("key", DIAGRAMS[diagram])
            # The step dialog: a window more than before.
            end = time.monotonic() + timeout
            while len(visible_windows(proc.pid)) <= len(windows):
                if time.monotonic() > end:
                    raise RuntimeError("no step dialog")
                time.sleep(0.2)
            time.sleep(0.5)
            dialog = [w for w in visible_windows(proc.pid) if w not in windows]
            xdo("windowfocus", "--sync", dialog[-1])
            # Timed from the dialog's OK to the diagram's picture.
            asked = time.monotonic()
            xdo("key", "Return")
            # A message box instead of a picture (a diagram refused) ends it.
            known = set(windows) | set(dialog)
            shown = wait_line(proc, DIAGRAM, timeout, lambda: bool(set(visible_windows(proc.pid)) - known))
            result["diagram"] = diagram
            if shown is None:
                result["message_s"] = round(time.monotonic() - asked, 2)
            else:
                result["diagram_s"] = round(shown - asked, 2)
            result["diagram_rss_mb"] = round(peak_mb(proc.pid))
    except RuntimeError as e:
        result["error"] = str(e)
        if os.environ.get("OV_BENCH_SHOT"):
            subprocess.run(["import", "-window", "root", os.environ["OV_BENCH_SHOT"]])
    finally:
        proc.terminate()
        try:
            proc.wait(10)
        except subprocess.TimeoutExpired:
            proc.kill()
    print(json.dumps(result))
    return 0


if __name__ == "__main__":
    sys.exit(main())
