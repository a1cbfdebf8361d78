#!/usr/bin/env python3
"""Scaling table of Google Benchmark JSON results: for each benchmark, the
time per size and the ratio of each size's time to the next smaller size's,
with the element ratio beside it. The target is a time ratio of at most
1.2 x the element ratio (10x the elements costs at most 12x the time)."""
import json
import sys
from collections import defaultdict


def main(paths):
    rows = defaultdict(list)  # name -> [(elements, size arg, ms, counters)]
    for path in paths:
        with open(path) as f:
            data = json.load(f)
        benchmarks = data.get("benchmarks", [])
        # With repetitions, the median of each benchmark stands for it.
        medians = [b for b in benchmarks if b.get("aggregate_name") == "median"]
        for b in medians or benchmarks:
            if (not medians and b.get("run_type") == "aggregate") or "error_occurred" in b:
                continue
            parts = b["run_name"].split("/") if "run_name" in b else b["name"].split("/")
            name, arg = parts[0], int(parts[1])
            unit = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[b.get("time_unit", "ns")]
            ms = b["real_time"] * unit
            elements = b.get("elements", arg)
            rows[name].append((elements, arg, ms, b))
    print(f"{'benchmark':28s} {'size':>9s} {'elements':>10s} {'ms':>10s} {'x time':>7s} {'x elem':>7s} {'ok':>3s}")
    for name, runs in rows.items():
        runs.sort(key=lambda r: r[1])
        prev = None
        for elements, arg, ms, b in runs:
            ratio = elem_ratio = ""
            ok = ""
            if prev and prev[2] > 0 and prev[0] > 0:
                t = ms / prev[2]
                e = elements / prev[0]
                ratio, elem_ratio = f"{t:.1f}", f"{e:.1f}"
                ok = "yes" if t <= 1.2 * e else "NO"
            print(f"{name:28s} {arg:9d} {elements:10.0f} {ms:10.2f} {ratio:>7s} {elem_ratio:>7s} {ok:>3s}")
            prev = (elements, arg, ms)


if __name__ == "__main__":
    main(sys.argv[1:])
