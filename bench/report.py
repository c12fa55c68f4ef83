#!/usr/bin/env python3
"""Prints the performance table from the results bench/run-benchmarks.sh leaves.

    report.py RESULTS_DIR

RESULTS_DIR holds benchmarks.json (Google Benchmark, median aggregates),
startup.json (hyperfine), first-paint-<program>.txt (one "MAP PAINT" line in
milliseconds a run) and rss-<program>-<run>.txt (peak resident KiB, one number
each). Every figure is shown against its budget. In-process figures are CPU
time: the work is on one thread, so on an idle machine CPU time and wall time
agree, and CPU time stays put when other work shares the two cores.
"""

import glob
import json
import os
import statistics
import sys

FRAME_MS = 1000.0 / 60.0


def load_medians(path):
    """Median real and CPU time in milliseconds, by benchmark name without suffix."""
    with open(path, encoding="utf-8") as f:
        data = json.load(f)
    scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}
    medians = {}
    for entry in data["benchmarks"]:
        if entry.get("aggregate_name") != "median":
            continue
        name = entry["run_name"].replace("/real_time", "")
        unit = scale[entry.get("time_unit", "ns")]
        medians[name] = (entry["real_time"] * unit, entry["cpu_time"] * unit)
    return medians


def verdict(ok):
    return "yes" if ok else "**no**"


def in_process_rows(m):
    press10 = m["BM_Press/10"][1]
    rows = []

    def add(action, name, budget, ok, note=""):
        wall, cpu = m[name]
        rows.append((action, f"{wall:.2f}", f"{cpu:.2f}", note, budget, verdict(ok)))

    press = m["BM_Press/10000"][1]
    add("press on the canvas", "BM_Press/10000", "<= 1 ms and <= 1.5x a press at 10 points",
        press <= 1.0 and press <= 1.5 * press10, f"{press / press10:.2f}x a press at 10 points")
    add("select a list entry", "BM_SelectEntry/10000", "<= 1 ms",
        m["BM_SelectEntry/10000"][1] <= 1.0)
    add('"Без точка" (remove)', "BM_RemovePoint/10000", "<= 2 ms",
        m["BM_RemovePoint/10000"][1] <= 2.0)
    add('"Рицар" (judge 5,000 ropes)', "BM_Judge/10000", "<= 16.7 ms (one 60 Hz frame)",
        m["BM_Judge/10000"][1] <= FRAME_MS)
    add('"Чисти всичко" (clear all)', "BM_ClearAll/10000", "<= 1 ms",
        m["BM_ClearAll/10000"][1] <= 1.0)
    return rows


def whole_program_rows(results):
    """The program beside the same window with empty controls (bare controls)."""
    rows = []

    def row(measure, program, controls, budget, fmt):
        if not program or not controls:
            return
        p, c = statistics.median(program), statistics.median(controls)
        rows.append((measure, len(program), fmt(p), fmt(c), f"{p / c:.2f}x",
                     f"<= {budget:.2f}x", verdict(p / c <= budget)))

    path = os.path.join(results, "startup.json")
    if os.path.exists(path):
        with open(path, encoding="utf-8") as f:
            runs = {r["command"]: [t * 1000 for t in r["times"]]
                    for r in json.load(f)["results"]}
        row("exec to window on screen, ms (xdotool poll)", runs.get("dragon-valley"),
            runs.get("bare-controls"), 1.15, lambda v: f"{v:.1f}")

    def first_paint(name):
        path = os.path.join(results, f"first-paint-{name}.txt")
        if not os.path.exists(path):
            return []
        with open(path, encoding="utf-8") as f:
            return [float(line.split()[1]) for line in f if len(line.split()) == 2]

    row("exec to first frame, ms (pixels on the display)", first_paint("dragon-valley"),
        first_paint("bare-controls"), 1.15, lambda v: f"{v:.1f}")

    def rss(name):
        values = []
        for file in glob.glob(os.path.join(results, f"rss-{name}-*.txt")):
            with open(file, encoding="utf-8") as f:
                numbers = [line.strip() for line in f if line.strip().isdigit()]
            if numbers:
                values.append(int(numbers[-1]) / 1024)
        return values

    row("peak resident memory, MiB", rss("dragon-valley"), rss("bare-controls"), 1.10,
        lambda v: f"{v:.1f}")
    return rows


def table(header, rows):
    lines = ["| " + " | ".join(header) + " |", "|" + "|".join("---" for _ in header) + "|"]
    lines += ["| " + " | ".join(str(c) for c in row) + " |" for row in rows]
    return "\n".join(lines)


def main():
    results = sys.argv[1] if len(sys.argv) > 1 else "."
    medians = load_medians(os.path.join(results, "benchmarks.json"))
    print("In the running program, 10,000 points on the board (offscreen, medians, ms)\n")
    print(table(("action", "wall", "CPU", "", "budget", "met"), in_process_rows(medians)))
    rows = whole_program_rows(results)
    if rows:
        print("\nWhole program beside the same window with empty controls (Xvfb, medians)\n")
        print(table(("measure", "runs", "dragon-valley", "bare controls", "ratio", "budget",
                     "met"), rows))


if __name__ == "__main__":
    main()
