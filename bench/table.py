#!/usr/bin/env python3
"""Gathers the "BENCH <name> <value> <unit>" lines of the benchmark programs
into one Markdown table, with the machine they ran on. With --before, a file
of the same lines from an earlier build is shown beside them.

usage: table.py [--before FILE] OUTPUT_FILE...
"""

import os
import subprocess
import sys

# label, our figure, the command line's figure, our peak memory, the command
# line's peak memory. Names are those the bench_*.cpp programs report; the
# engine alone's figure, where there is one, is ours with ".bare" added.
ROWS = [
    ("Start-up: Main() to main window painted, empty database (median of 20)",
     "startup.empty", None, "startup.empty.peak_rss", None),
    ("Start-up: process start to main window painted, empty database",
     "startup.empty.process", None, None, None),
    ("Start-up: Main() to main window painted, 100 000 series (median of 20)",
     "startup.100000", None, "startup.100000.peak_rss", None),
    ("Start-up: process start to main window painted, 100 000 series",
     "startup.100000.process", None, None, None),
    ("First start-up with 100 000 series an older program saved (indexes added), median of 5",
     "startup.100000.first", None, "startup.100000.first.peak_rss", None),
    ("Start-up with 100 000 series, five types (runs in turn with the next row)",
     "startup.types5", None, None, None),
    ("The same with 100 types", "startup.types100", None, None, None),
    ("Its ratio to five types' (target at most 1.1)", "startup.types100.ratio", None, None, None),
    ("A type chosen until painted, 100 000 series, five types (median of 40 a run)",
     "typechange.types5", None, None, None),
    ("The same with 100 types", "typechange.types100", None, None, None),
    ("Its ratio to five types' (target at most 1.1)", "typechange.types100.ratio", None, None,
     None),
    ("Stop key to solve shown and stored, median of 1000",
     "stop.median", None, "stop.peak_rss", None),
    ("Stop key to solve shown and stored, 99th percentile of 1000",
     "stop.p99", None, None, None),
    ("Stop key to solve shown and stored, worst of 1000",
     "stop.worst", None, None, None),
    ("The same with the scramble window open, median of 1000",
     "stop.scramble.median", None, None, None),
    ("The same with the scramble window open, 99th percentile of 1000",
     "stop.scramble.p99", None, None, None),
    ("The same with Square-1's scramble window open, median of 1000",
     "stop.scramble.sq1.median", None, None, None),
    ("The same with Square-1's scramble window open, 99th percentile of 1000",
     "stop.scramble.sq1.p99", None, None, None),
    ("Penalty key (Ctrl+2) to solve shown and stored, median of 1000",
     "penalty.median", None, None, None),
    ("Penalty key (Ctrl+2) to solve shown and stored, 99th percentile of 1000",
     "penalty.p99", None, None, None),
]
for n, label in ((1000, "1 000"), (10000, "10 000"), (100000, "100 000")):
    ROWS += [
        ("History window open, %s series" % label,
         "history.%d.open" % n, "history.%d.open.cli" % n,
         "history.%d.peak_rss" % n, "history.%d.cli_peak_rss" % n),
        ("History re-sort by average, %s series" % label,
         "history.%d.resort" % n, "history.%d.resort.cli" % n, None, None),
    ]
ROWS.append(("The database file, 100 000 series, a scramble with every solve",
             "file.100000", None, None, None))
for n, label in ((1000, "1 000"), (10000, "10 000"), (100000, "100 000")):
    ROWS.append(("Chart window open (series read, drawn, painted), %s series" % label,
                 "chart.%d.open" % n, None, "chart.%d.peak_rss" % n, None))
ROWS += [
    ("Chart window: memory growth while opening, 100 000 series",
     "chart.100000.growth", None, None, None),
    ("Chart zoom, one wheel step, 100 000 series", "chart.100000.zoom", None, None, None),
    ("CSV export, 100 000 series", "csv.100000", None, "csv.100000.peak_rss", None),
    ("Compaction at exit, 100 000 series",
     "compact.100000", "compact.100000.cli",
     "compact.100000.peak_rss", "compact.100000.cli_peak_rss"),
]
for n, label in ((1000, "1 000"), (10000, "10 000"), (100000, "100 000")):
    ROWS += [
        ("Statistics window open, every type, %s series" % label,
         "stats.%d.open" % n, None, "stats.%d.peak_rss" % n, None),
        ("Its ratio to the history window's opening in the same run, %s series" % label,
         "stats.%d.open_ratio" % n, None, None, None),
        ("Statistics window update after one more save, %s series" % label,
         "stats.%d.update" % n, None, None, None),
    ]
ROWS.append(("spinlog --stats, 100 000 series, process start included (median of 5)",
             "stats.cli.100000", None, "stats.cli.100000.peak_rss", None))
for kind in ("2x2x2", "3x3x3"):
    ROWS.append(("Scramble tables built, %s (fresh process, median of 5)" % kind,
                 "scramble.tables.%s" % kind, None, "scramble.tables.%s.peak_rss" % kind, None))
for kind in ("2x2x2", "3x3x3", "3x3x3bld", "4x4x4", "5x5x5", "6x6x6", "7x7x7"):
    ROWS += [
        ("Scramble %s, median of 1000" % kind, "scramble.%s.median" % kind, None, None, None),
        ("Scramble %s, worst of 1000 in processor time" % kind, "scramble.%s.worst_cpu" % kind,
         None, None, None),
    ]
ROWS += [
    ("Scramble tables built, Square-1 (fresh process, median of 5)",
     "scramble.tables.sq1", None, "scramble.tables.sq1.peak_rss", None),
    ("Scramble Square-1, median of 10 000", "scramble.sq1.median", None, None, None),
    ("Scramble Square-1, 99th percentile of 10 000 in processor time", "scramble.sq1.p99_cpu",
     None, None, None),
    ("Scramble Square-1, worst of 10 000 in processor time", "scramble.sq1.worst_cpu",
     None, None, None),
    ("Scramble Square-1, mean length of 10 000 (slices and turns)",
     "scramble.sq1.mean_length", None, None, None),
    ("Scramble Square-1, longest of 10 000", "scramble.sq1.max_length", None, None, None),
]
ROWS.append(("spinlog --scramble 3x3x3 1000, tables included (median of 5)",
             "scramble.cli.3x3x3.1000", None, None, None))
ROWS += [
    ("Import of 500 000 csTimer solves, a scramble and a comment each (read, previewed, added; "
     "median of 5)", "interop.import.500000", None, None, None),
    ("Import: memory growth while importing 500 000 solves",
     "interop.import.500000.growth", None, None, None),
    ("Import: the file's size", "interop.import.500000.file", None, None, None),
    ("The same file imported again (every solve a duplicate; median of 5)",
     "interop.reimport.500000", None, None, None),
    ("csTimer export of 500 000 solves (median of 5)",
     "interop.export.500000", None, None, None),
    ("A 100 MB csTimer file read (3.65 million solves)", "interop.read.100mb", None, None, None),
    ("The 100 MB file read: memory growth", "interop.read.100mb.growth", None, None, None),
    ("Import preview of 100 000 sessions (12 MB): file chosen to table painted, beside "
     "spinlog --import of the file (median of 3)", "interop.preview.sessions.100000",
     "interop.preview.sessions.100000.cli", "interop.preview.sessions.100000.peak_rss",
     "interop.preview.sessions.100000.cli_peak_rss"),
]
ROWS += [
    ("Stackmat decoder: a minute of 48 kHz mono, processor time as % of one core (median of 9)",
     "stackmat.decode.48k_mono", None, None, None),
    ("Stackmat decoder: a minute of 96 kHz stereo, % of one core (median of 9)",
     "stackmat.decode.96k_stereo", None, None, None),
    ("Stackmat decoder: a minute of 8 kHz mono, % of one core (median of 9)",
     "stackmat.decode.8k_mono", None, None, None),
    ("Stackmat packet read, after its last bit ends in the signal (median)",
     "stackmat.read_after_end.median", None, None, None),
    ("Stackmat packet read, after its last bit ends in the signal (latest)",
     "stackmat.read_after_end.latest", None, None, None),
]


def read_figures(paths):
    figures = {}
    for path in paths:
        with open(path, encoding="utf-8", errors="replace") as f:
            for line in f:
                parts = line.split()
                if len(parts) == 4 and parts[0] == "BENCH":
                    try:
                        figures[parts[1]] = (float(parts[2]), parts[3])
                    except ValueError:
                        pass
    return figures


def show(figure):
    if figure is None:
        return "—"
    value, unit = figure
    if unit == "ms" and value < 0.1:
        return "%.3f ms" % value
    if unit == "ms" and value < 10:
        return "%.2f ms" % value
    if unit == "x":
        return "%.2f×" % value
    if unit == "%":
        return "%.3f %%" % value
    if unit == "ms" and value < 0:
        return "%.3f ms" % value
    if unit == "moves" and value != int(value):
        return "%.1f moves" % value
    return "%.0f %s" % (value, unit)


def machine():
    cpu = "unknown CPU"
    try:
        with open("/proc/cpuinfo") as f:
            for line in f:
                if line.startswith("model name"):
                    cpu = line.split(":", 1)[1].strip()
                    break
    except OSError:
        pass
    memory = ""
    try:
        with open("/proc/meminfo") as f:
            for line in f:
                if line.startswith("MemTotal:"):
                    memory = ", %.0f GB memory" % (int(line.split()[1]) / 1024 / 1024)
                    break
    except OSError:
        pass
    try:
        commit = subprocess.run(["git", "rev-parse", "--short", "HEAD"], capture_output=True,
                                text=True, cwd=os.path.dirname(os.path.abspath(__file__))
                                ).stdout.strip()
    except OSError:
        commit = ""
    return "%d cores (nproc), %s%s%s" % (len(os.sched_getaffinity(0)), cpu, memory,
                                        "; commit " + commit if commit else "")


def main():
    args = sys.argv[1:]
    before = {}
    if len(args) >= 2 and args[0] == "--before":
        before = read_figures([args[1]])
        args = args[2:]
    figures = read_figures(args)

    def ratio(mine, theirs):
        if mine and theirs and theirs[0] > 0:
            return "%.2f" % (mine[0] / theirs[0])
        return "—"

    print("| Measure | Spinlog | before | engine alone | ratio | sqlcipher CLI | ratio "
          "| peak memory (Spinlog / before / CLI) |")
    print("|---|---:|---:|---:|---:|---:|---:|---:|")
    for label, ours, cli, mem, cli_mem in ROWS:
        mine = figures.get(ours)
        bare = figures.get(ours + ".bare")
        theirs = figures.get(cli) if cli else None
        memory = ""
        if mem:
            memory = show(figures.get(mem)) + " / " + show(before.get(mem))
        if cli_mem:
            memory += " / " + show(figures.get(cli_mem))
        print("| %s | %s | %s | %s | %s | %s | %s | %s |" % (
            label, show(mine), show(before.get(ours)), show(bare) if bare else "",
            ratio(mine, bare) if bare else "", show(theirs) if cli else "",
            ratio(mine, theirs) if cli else "", memory))
    print()
    print("Machine: " + machine())


if __name__ == "__main__":
    main()
