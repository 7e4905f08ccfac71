"""The benchmark tools: measure_child's figures are the child's own, and the
table scripts/bench prints from the programs' BENCH lines."""

import os, subprocess, sys, tempfile, unittest  # noqa: E401

MEASURE_CHILD = os.environ["SPINLOG_MEASURE_CHILD"]
TABLE = os.path.join(os.path.dirname(__file__), "table.py")
# A process that holds argv[1] MB resident, then runs argv[2:] or exits with argv[2].
HOLD = ("import subprocess, sys; b = bytearray(int(sys.argv[1]) << 20); b[::4096] = b'x' * len("
        "b[::4096]); sys.exit(int(sys.argv[2]) if len(sys.argv) == 3 else "
        "subprocess.run(sys.argv[2:]).returncode)")


class BenchToolsTest(unittest.TestCase):
    def test_measure_child(self):
        # Through a parent of 300 MB, whose high-water mark the kernel would
        # carry across exec: the child's 120 MB, its status, its times.
        with tempfile.NamedTemporaryFile("r") as result:
            status = subprocess.run([sys.executable, "-c", HOLD, "300", MEASURE_CHILD, result.name,
                                     sys.executable, "-c", HOLD, "120", "3"]).returncode
            wall_ns, peak_kb, cpu_us = (int(v) for v in result.read().split())
            self.assertEqual((status, 120 < peak_kb / 1024 < 200, wall_ns > 0, cpu_us > 0),
                             (3, True, True, True), peak_kb)
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
