"""The benchmark tools: measure_child's figures for a command-line process and
the table scripts/bench prints from the programs' BENCH lines."""

import os
import subprocess
import sys
import tempfile
import unittest

MEASURE_CHILD = os.environ["SPINLOG_MEASURE_CHILD"]
TABLE = os.path.join(os.path.dirname(__file__), "..", "..", "bench", "table.py")

# A child that holds about MB megabytes resident, then exits with CODE.
HOLD = "import sys; b = bytearray(int(sys.argv[1]) << 20); b[::4096] = b'x' * len(b[::4096]); sys.exit(int(sys.argv[2]))"


def measure(*command):
    with tempfile.NamedTemporaryFile("r") as result:
        status = subprocess.run([MEASURE_CHILD, result.name, *command]).returncode
        wall_ns, peak_kb, cpu_us = (int(v) for v in result.read().split())
    return status, wall_ns / 1e6, peak_kb / 1024, cpu_us / 1e3


class MeasureChildTest(unittest.TestCase):
    def test_figures_are_the_childs_own(self):
        status, wall_ms, peak_mb, cpu_ms = measure(sys.executable, "-c", HOLD, "120", "3")
        self.assertEqual(status, 3)  # the child's exit status is passed on
        self.assertGreater(peak_mb, 120)
        self.assertLess(peak_mb, 200)
        self.assertGreater(wall_ms, 0)
        self.assertGreater(cpu_ms, 0)

    def test_a_large_parent_does_not_inflate_the_childs_peak(self):
        # Started through a parent holding 300 MB, a small child still reports
        # its own few megabytes: the kernel would carry the parent's high-water
        # mark across exec if the parent itself were measured.
        script = ("import subprocess, sys\n"
                  "b = bytearray(300 << 20); b[::4096] = b'x' * len(b[::4096])\n"
                  "sys.exit(subprocess.run(sys.argv[1:]).returncode)\n")
        with tempfile.NamedTemporaryFile("r") as result:
            subprocess.run([sys.executable, "-c", script, MEASURE_CHILD, result.name,
                            sys.executable, "-c", HOLD, "1", "0"], check=True)
            peak_mb = int(result.read().split()[1]) / 1024
        self.assertLess(peak_mb, 60)

    def test_a_program_that_cannot_start_fails(self):
        with tempfile.NamedTemporaryFile("r") as result:
            status = subprocess.run([MEASURE_CHILD, result.name, "/nonexistent/program"],
                                    stderr=subprocess.DEVNULL).returncode
        self.assertEqual(status, 127)


class TableTest(unittest.TestCase):
    def table(self, text, before=None):
        with tempfile.NamedTemporaryFile("w", suffix=".txt") as figures, \
                tempfile.NamedTemporaryFile("w", suffix=".txt") as earlier:
            figures.write(text)
            figures.flush()
            earlier.write(before or "")
            earlier.flush()
            args = ["--before", earlier.name] if before else []
            out = subprocess.run([sys.executable, TABLE, *args, figures.name],
                                 capture_output=True, text=True, check=True).stdout
        return {line.split(" | ")[0].lstrip("| "): line.strip(" |").split(" | ")
                for line in out.splitlines() if line.startswith("| ")}

    def test_rows_ratios_and_missing_figures(self):
        rows = self.table(
            "noise before BENCH lines\n"
            "BENCH compact.100000 500.0 ms\n"
            "BENCH compact.100000.cli 400.0 ms\n"
            "BENCH compact.100000.peak_rss 30.4 MB\n"
            "BENCH compact.100000.cli_peak_rss 11.6 MB\n"
            "BENCH stop.median 0.456 ms\n"
            "BENCH stop.worst not-a-number ms\n"
            "BENCH history.1000.open 12 ms\n"
            "BENCH history.1000.open.bare 8 ms\n",
            before="BENCH compact.100000 250 ms\nBENCH compact.100000.peak_rss 20 MB\n")
        compact = rows["Compaction at exit, 100 000 series"]
        self.assertEqual(compact[1:], ["500 ms", "250 ms", "", "", "400 ms", "1.25",
                                       "30 MB / 20 MB / 12 MB"])
        # Small times keep two decimals; a bad value counts as missing.
        self.assertEqual(rows["Stop key to solve shown and stored, median of 1000"][1], "0.46 ms")
        self.assertEqual(rows["Stop key to solve shown and stored, worst of 1000"][1], "—")
        # The engine alone gives a ratio; without the command line's figure there is none.
        history = rows["History window open, 1 000 series"]
        self.assertEqual(history[1:7], ["12 ms", "—", "8.00 ms", "1.50", "—", "—"])


if __name__ == "__main__":
    unittest.main()
