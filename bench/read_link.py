#!/usr/bin/env python3
"""Whole-process timing of ov_read_link: start to exit of one load (read, link,
count, free) per process, page cache warm.

    bench/read_link.py [--runs N] [--sizes 1e4,1e5,1e6] [--kinds dat,in] PROGRAM...

Several programs (say the builds before and after a change) are run
interleaved, so that the machine's load falls on all of them alike. Prints
one row per program, kind and size: medians of wall time, elements/s, MB/s
(10^6 bytes of file per second) and peak RSS (the process's resident
high-water mark, as the program reports it) per element, with the phases the
program reports.
"""
import argparse
import os
import statistics
import subprocess
import sys
import time


def run_once(prog, path):
    start = time.perf_counter()
    proc = subprocess.Popen([prog, path], stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    _, status, usage = os.wait4(proc.pid, 0)
    wall = time.perf_counter() - start
    out = proc.stdout.read().decode()
    proc.stdout.close()
    proc.stderr.close()
    if status != 0:
        sys.exit(f"{prog} {path}: exit status {status}")
    fields = out.split()
    phases = {fields[i]: float(fields[i + 1]) for i in range(0, len(fields) - 1, 2)}
    # The program's own high-water mark: the kernel's figure for a child
    # (wait4) includes this script's resident set, inherited until exec.
    peak = phases["peak_kib"] * 1024 if phases.get("peak_kib") else usage.ru_maxrss * 1024
    return wall, peak, phases


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--runs", type=int, default=5)
    ap.add_argument("--sizes", default="1e4,1e5,1e6")
    ap.add_argument("--kinds", default="dat,in")
    ap.add_argument("--data", default=os.environ.get("OV_BENCH_DATA", "build/bench-data"))
    ap.add_argument("programs", nargs="+")
    a = ap.parse_args()
    print(f"load average {os.getloadavg()[0]:.1f}, {a.runs} runs, medians")
    print("| program | file | wall s | elements/s | MB/s | peak RSS MiB | RSS B/element | read ms | link ms | count ms | free ms |")
    print("|---|---|---|---|---|---|---|---|---|---|---|")
    for kind in a.kinds.split(","):
        for size in a.sizes.split(","):
            path = os.path.join(a.data, f"frame-{int(float(size))}.{kind}")
            nbytes = os.path.getsize(path)
            with open(path, "rb") as f:  # page cache warm
                while f.read(1 << 24):
                    pass
            res = {p: [] for p in a.programs}
            for _ in range(a.runs):
                for p in a.programs:
                    res[p].append(run_once(p, path))
            for p in a.programs:
                runs = res[p]
                wall = statistics.median(r[0] for r in runs)
                rss = statistics.median(r[1] for r in runs)
                elems = runs[0][2]["elements"]
                ph = {k: statistics.median(r[2][k] for r in runs) for k in ("read_ms", "link_ms", "count_ms", "free_ms")}
                print(f"| {p} | {os.path.basename(path)} | {wall:.3f} | {elems / wall / 1e6:.2f} M | {nbytes / wall / 1e6:.0f} "
                      f"| {rss / 2**20:.0f} | {rss / elems:.0f} | {ph['read_ms']:.0f} | {ph['link_ms']:.1f} "
                      f"| {ph['count_ms']:.1f} | {ph['free_ms']:.1f} |", flush=True)


if __name__ == "__main__":
    main()
