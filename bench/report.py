#!/usr/bin/env python3
"""Prints the performance table from the results bench/run-benchmarks.sh leaves.

    report.py RESULTS_DIR

RESULTS_DIR holds benchmarks.json (Google Benchmark, median aggregates),
startup.json (hyperfine), first-paint-<program>.txt (one "MAP PAINT" line in
milliseconds a run) and rss-<program>-<run>.txt (peak resident KiB, one number
each). Every program figure is shown beside its floor with the ratio and
the target it must meet. Ratios use CPU time: the work is on one thread, so on
an idle machine CPU time and wall time agree, and CPU time stays put when other
work shares the two cores.
"""

import glob
import json
import os
import statistics
import sys

SIZES = (10, 1000, 10000)
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


def fmt_ms(value):
    return f"{value:.3f}" if value < 10 else f"{value:.1f}"


def verdict(ok):
    if ok is None:
        return ""
    return "yes" if ok else "**no**"


def in_process_rows(m):
    rows = []

    def add(action, n, name, floor_name, floor_time, target, ok):
        wall, cpu = m[name]
        ratio = cpu / floor_time if floor_time else None
        rows.append((action, n, fmt_ms(wall), fmt_ms(cpu), floor_name,
                     fmt_ms(floor_time) if floor_time else "-",
                     f"{ratio:.2f}x" if ratio is not None else "-", target, verdict(ok)))

    press10 = m["BM_Press/10"][1]
    for n in SIZES:
        cpu = m[f"BM_Press/{n}"][1]
        add("press on the canvas", n, f"BM_Press/{n}", "press at N=10", press10,
            "<= 1 ms; <= 1.5x at 10,000" if n == 10000 else "<= 1 ms",
            cpu <= 1.0 and (n != 10000 or cpu <= 1.5 * press10))
    for n in SIZES:
        add("  toolkit: append to two bare QListWidgets", n, f"BM_FloorListAppend/{n}",
            "append at N=10", m["BM_FloorListAppend/10"][1], "(floor)", None)
    for n in SIZES:
        cpu = m[f"BM_SelectEntry/{n}"][1]
        add("select a list entry", n, f"BM_SelectEntry/{n}", "-", None, "<= 1 ms", cpu <= 1.0)
    valley = m["BM_FloorValley"][1]
    for n in SIZES:
        cpu = m[f"BM_RemovePoint/{n}"][1]
        floor = m[f"BM_FloorDots/{n}"][1] + valley
        add('"Без точка" (remove)', n, f"BM_RemovePoint/{n}", f"{n} dots + valley", floor,
            "<= 1.5x; < 16.7 ms", cpu <= 1.5 * floor and cpu < FRAME_MS)
    for n in SIZES:
        cpu = m[f"BM_Judge/{n}"][1]
        floor = m[f"BM_FloorLines/{n}"][1]
        add('"Рицар" (judge)', n, f"BM_Judge/{n}", f"{n // 2} lines", floor, "<= 1.3x",
            cpu <= 1.3 * floor)
    for n in SIZES:
        cpu = m[f"BM_ClearAll/{n}"][1]
        add('"Чисти всичко" (clear all)', n, f"BM_ClearAll/{n}", "clear two bare lists",
            m[f"BM_FloorListClear/{n}"][1], "<= 1 ms", cpu <= 1.0)
    add("start-up in a running application", "-", "BM_StartUp", "empty 453x469 widget",
        m["BM_FloorWindow"][1], "(whole program below)", None)
    return rows


def whole_program_rows(results):
    """Rows of the whole-program table: the program beside the bare window (the
    floor its target is set against), then two more floors with their own ratio
    to the bare window: the bare label (what any program that shows text pays)
    and the bare controls (empty controls of the kinds the program shows). A
    floor's columns stay empty without its files."""
    rows = []

    def row(measure, program, bare, label, controls, fmt):
        if not program or not bare:
            return
        p, b = statistics.median(program), statistics.median(bare)
        cells = [measure, len(program), fmt(p), fmt(b), f"{p / b:.2f}x"]
        for floor in (label, controls):
            f = statistics.median(floor) if floor else None
            cells += [fmt(f), f"{f / b:.2f}x"] if f else ["-", "-"]
        cells += ["<= 1.2x", verdict(p / b <= 1.2)]
        rows.append(tuple(cells))

    path = os.path.join(results, "startup.json")
    if os.path.exists(path):
        with open(path, encoding="utf-8") as f:
            runs = {r["command"]: [t * 1000 for t in r["times"]]
                    for r in json.load(f)["results"]}
        row("exec to window on screen (xdotool poll)", runs.get("dragon-valley"),
            runs.get("bare-window"), runs.get("bare-label"), runs.get("bare-controls"), fmt_ms)

    def first_paint(name):
        path = os.path.join(results, f"first-paint-{name}.txt")
        if not os.path.exists(path):
            return []
        with open(path, encoding="utf-8") as f:
            return [float(line.split()[1]) for line in f if len(line.split()) == 2]

    row("exec to first frame (pixels on the display)", first_paint("dragon-valley"),
        first_paint("bare-window"), first_paint("bare-label"), first_paint("bare-controls"),
        fmt_ms)

    def rss(name):
        values = []
        for file in glob.glob(os.path.join(results, f"rss-{name}-*.txt")):
            with open(file, encoding="utf-8") as f:
                numbers = [line.strip() for line in f if line.strip().isdigit()]
            if numbers:
                values.append(int(numbers[-1]) / 1024)
        return values

    row("peak resident memory (MiB)", rss("dragon-valley"), rss("bare-window"),
        rss("bare-label"), rss("bare-controls"), lambda v: f"{v:.1f}")
    return rows


def table(header, rows):
    lines = ["| " + " | ".join(header) + " |", "|" + "|".join("---" for _ in header) + "|"]
    lines += ["| " + " | ".join(str(c) for c in row) + " |" for row in rows]
    return "\n".join(lines)


def main():
    results = sys.argv[1] if len(sys.argv) > 1 else "."
    medians = load_medians(os.path.join(results, "benchmarks.json"))
    print("In the running program (offscreen, medians, ms; ratio = program CPU / floor CPU)\n")
    print(table(("action", "N", "wall", "CPU", "floor", "floor CPU", "ratio", "target", "met"),
                in_process_rows(medians)))
    rows = whole_program_rows(results)
    if rows:
        print("\nWhole program against a bare Qt 6 window, and two more floors beside it"
              " (Xvfb, medians; floor ratios are to the bare window)\n")
        print(table(("measure", "runs", "dragon-valley", "bare window", "ratio", "bare label",
                     "label ratio", "bare controls", "controls ratio", "target", "met"), rows))


if __name__ == "__main__":
    main()
