"""The program killed at random moments while solves are stored and series
saved: the database always opens whole, the work table holds exactly the
solves the window had shown, no saved series is ever lost or half written, and
the next start brings the series back and can finish it.

The rounds are random but seeded; the seed is printed and can be given back
through SPINLOG_CRASH_SEED to replay a failure (SPINLOG_CRASH_ROUNDS sets how
many rounds run)."""

import collections
import itertools
import os
import random
import re
import subprocess
import sys
import time
import unittest

from harness import KEY, SpinlogTest, wait_for

ROUNDS = int(os.environ.get("SPINLOG_CRASH_ROUNDS", "20"))
TYPE_INDEX = 4  # the fifth delivered type: three solves a series, all counted
TYPE_ID = "5"
COUNT = 3
# The two key presses of a solve are timed from outside the program.
TOLERANCE = 0.15
# What the program is doing when it is killed, taken in turn: a stop just
# pressed, a save just confirmed, a solve running, the save question open, idle.
KILL_MOMENTS = ["stop", "save", "timing", "stop", "question", "save", "idle"]
FIELDS = (["DateTime", "TypeID"] + ["Time%d" % n for n in range(1, 13)] +
          ["AveTime", "AveTimeSS", "BestTimeNo", "BestTime", "BestTimeSS",
           "WorstTimeNo", "WorstTime", "WorstTimeSS"])
DISPLAY = re.compile(r"^(?:(\d+):)?(?:(\d+):)?(\d+)\.(\d\d)$")


def seconds(display):
    """Seconds of a display-form time (9.87, 1:05.43, 1:00:00.00)."""
    match = DISPLAY.match(display)
    if not match:
        raise AssertionError("not a display time: %r" % display)
    parts = [p for p in match.groups()[:3] if p is not None]
    whole = 0
    for p in parts:
        whole = whole * 60 + int(p)
    return whole + int(match.group(4)) / 100


def raw_sql(folder, script):
    """The CLI's whole answer, errors included (the harness drops "ok")."""
    result = subprocess.run(
        ["sqlcipher", "-batch", "-separator", "|", "-cmd", ".nullvalue <NULL>",
         folder.file("Spinlog.mdb")],
        input="PRAGMA key='%s';\n%s\n" % (KEY, script), capture_output=True, text=True,
        timeout=30)
    return result.returncode, result.stdout, result.stderr


class Screen:
    """The pixels of one window, taken from the X server."""

    def __init__(self, desktop, wid):
        data = subprocess.run(
            ["import", "-display", desktop.display, "-window", str(wid), "-depth", "8",
             "ppm:-"], capture_output=True, check=True, timeout=20).stdout
        header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", data)
        assert header, data[:20]
        self.width, self.height = int(header.group(1)), int(header.group(2))
        self.pixels = data[header.end():]

    def dark(self, x0, y0, x1, y1):
        """True when the rectangle holds a dark (text) pixel."""
        for y in range(max(y0, 0), min(y1, self.height)):
            row = y * self.width * 3
            for x in range(max(x0, 0), min(x1, self.width)):
                i = row + x * 3
                if self.pixels[i] + self.pixels[i + 1] + self.pixels[i + 2] < 150:
                    return True
        return False


def label_rect(screen, n):
    """The inside of solve label n in window pixels (15 twips a pixel)."""
    client_top = screen.height - 195 - 19  # under the menu bar, above the status bar
    left = (105, 1305, 2505, 3705)[(n - 1) % 4] // 15
    top = client_top + (1710, 2115, 2535)[(n - 1) // 4] // 15
    return left + 4, top + 4, left + 76 - 4, top + 22 - 4


def filled_labels(desktop, wid):
    """Which of the series' solve labels show a time."""
    screen = Screen(desktop, wid)
    return [screen.dark(*label_rect(screen, n)) for n in range(1, COUNT + 1)]


class CrashTest(SpinlogTest):

    def setUp(self):
        super().setUp()
        self.folder.write("Spinlog.ini", b"[Main]\r\nDefType=%d\r\n[Option]\r\nCntDownTm=0\r\n"
                          b"AlarmTm=0\r\n" % TYPE_INDEX)
        # Series saved before the first round, of this type and of another.
        self.folder.sql(
            "insert into T_Time values ('2007/05/01 21:03:09','5','12.34','1:05.43','9.87',"
            "'-','-','-','-','-','-','-','-','-','29.21',29.21,3,'9.87',9.87,2,'1:05.43',"
            "65.43);\n"
            "insert into T_Time values ('2007/05/02 08:00:00','1','10.00','10.00','12.00',"
            "'11.00','13.00','-','-','-','-','-','-','-','11.00',11.0,1,'10.00',10.0,5,"
            "'13.00',13.0);")

    # --- reading the files back ---------------------------------------------

    def read_state(self, context):
        code, out, err = raw_sql(self.folder, "PRAGMA integrity_check;")
        self.assertEqual((code, err.strip(), out.strip()), (0, "", "ok"),
                         "the database does not open whole " + context)
        history = self.folder.sql("select %s from T_Time;" % ",".join(FIELDS))
        for row in history:
            self.check_history_row(row, context)
        work = self.folder.sql("select [No],[Time],TimeSS from W_Time order by [No];")
        for no, display, ss in work:
            self.assertAlmostEqual(seconds(display), float(ss), places=6, msg=context)
        return collections.Counter(map(tuple, history)), [w[1] for w in work], work

    def check_history_row(self, row, context):
        """Every field of a saved series filled as a save writes it."""
        message = "half a row %r %s" % (row, context)
        self.assertEqual(len(row), len(FIELDS), message)
        self.assertNotIn("<NULL>", row, message)
        field = dict(zip(FIELDS, row))
        self.assertRegex(field["DateTime"], r"^\d{4}/\d\d/\d\d \d\d:\d\d:\d\d$", message)
        count = {"1": 5, "5": 3}[field["TypeID"]]
        times = [field["Time%d" % n] for n in range(1, 13)]
        self.assertEqual(times[count:], ["-"] * (12 - count), message)
        values = [seconds(t) for t in times[:count]]
        best, worst = int(field["BestTimeNo"]), int(field["WorstTimeNo"])
        self.assertEqual(field["BestTime"], times[best - 1], message)
        self.assertEqual(field["WorstTime"], times[worst - 1], message)
        self.assertEqual(values[best - 1], min(values), message)
        self.assertEqual(values[worst - 1], max(values), message)
        for text, number in (("AveTime", "AveTimeSS"), ("BestTime", "BestTimeSS"),
                             ("WorstTime", "WorstTimeSS")):
            self.assertAlmostEqual(seconds(field[text]), float(field[number]), places=6,
                                   msg=message)
        if field["TypeID"] == "5":  # best and worst counted
            self.assertLessEqual(abs(sum(values) / count - seconds(field["AveTime"])), 0.011,
                                 message)

    def check_times(self, texts, expected, context):
        """Stored display times against what the test timed: a float from a
        stop timed here, or the exact text read back before."""
        self.assertEqual(len(texts), len(expected), "%r vs %r %s" % (texts, expected, context))
        for text, want in zip(texts, expected):
            if isinstance(want, str):
                self.assertEqual(text, want, context)
            else:
                self.assertLess(abs(seconds(text) - want), TOLERANCE,
                                "stored %s, timed %.3f %s" % (text, want, context))

    def check_saved(self, rows, series, context):
        """The rows a round added are the series it saved, in some order
        (two saves within one second cannot be told apart by their time)."""
        failure = None
        for order in itertools.permutations(rows):
            try:
                for row, times in zip(order, series):
                    self.assertEqual(row[1], TYPE_ID)
                    self.check_times(list(row[2:2 + COUNT]), times, "in the history " + context)
                return
            except AssertionError as e:
                failure = e
        raise failure

    # --- driving the window -------------------------------------------------

    def press(self, key):
        self.desktop.xdotool("key", "--clearmodifiers", key, check=False)
        return time.monotonic()

    def press_and_kill(self, key, process, delay):
        """Kills the program delay seconds after the key leaves, while the
        program may still be handling it."""
        sender = subprocess.Popen(["xdotool", "key", "--clearmodifiers", key],
                                  env=self.desktop.env())
        time.sleep(delay)
        self.kill(process)
        sender.wait(20)

    def boxes(self, process):
        return len(self.desktop.windows("^Spinlog$", pid=process.pid)) - 1

    def wait_filled(self, main, n, context):
        expected = [i < n for i in range(COUNT)]
        wait_for(lambda: filled_labels(self.desktop, main) == expected, timeout=10,
                 what="labels %r %s" % (expected, context))

    def solve(self, rng, main):
        """Starts and stops one solve; returns the time between the presses."""
        self.desktop.focus(main)
        started = self.press("F5")
        time.sleep(rng.uniform(0.05, 0.5))
        return self.press("F5") - started

    def question(self, process, main):
        boxes = lambda: [w for w in self.desktop.windows("^Spinlog$", pid=process.pid)
                         if w != main]
        return wait_for(boxes, what="the save question")[-1]

    def play(self, rng, process, main, work, final, context):
        """Times and saves until the kill at the moment named by final; returns
        the solves that must be stored, the series that must have been saved
        and, for a stop caught in flight, its time."""
        work = list(work)
        saved = []
        steps = rng.randint(0, 4)
        while True:
            # A complete series must be saved before a solve can run.
            last = steps <= 0 and not (final in ("stop", "timing") and len(work) == COUNT)
            steps -= 1
            if len(work) < COUNT:
                if last and final == "timing":
                    self.desktop.focus(main)
                    self.press("F5")
                    time.sleep(rng.uniform(0.05, 0.5))
                    return work, saved, None
                if last and final == "stop":
                    self.desktop.focus(main)
                    started = self.press("F5")
                    time.sleep(rng.uniform(0.05, 0.5))
                    timed = time.monotonic() - started
                    # Within the few milliseconds the program needs to store a solve.
                    self.press_and_kill("F5", process, rng.uniform(0, 0.03))
                    return work, saved, timed
                timed = self.solve(rng, main)
                if len(work) + 1 < COUNT:
                    self.wait_filled(main, len(work) + 1, context)
                    work.append(timed)
                    if last:
                        return work, saved, None
                    continue
                # The question shows only once the last solve is stored.
                box = self.question(process, main)
                work.append(timed)
            else:
                # A complete series brought back at start is saved from the
                # menu; the menu takes the keyboard, so "s" reaches it.
                self.desktop.key(main, "alt+f", "s")
                box = self.question(process, main)
            if last and final == "question":
                return work, saved, None
            self.desktop.focus(box)
            if last and final == "save":
                self.press_and_kill("Return", process, rng.uniform(0, 0.1))  # Yes
                return work, saved, None
            self.press("Return")  # Yes
            wait_for(lambda: self.boxes(process) == 0, what="the question to close")
            # The labels are emptied only after the series is in the history.
            self.wait_filled(main, 0, context)
            saved.append(work)
            work = []
            if last and final == "idle":
                return work, saved, None

    # --- the test -----------------------------------------------------------

    def test_killed_at_random_moments(self):
        seed = int(os.environ.get("SPINLOG_CRASH_SEED", random.randrange(1 << 31)))
        print("\ncrash rounds: %d, seed %d" % (ROUNDS, seed), file=sys.stderr, flush=True)
        rng = random.Random(seed)
        history, work, _ = self.read_state("before the first start")
        outcomes = collections.Counter()
        for number in range(1, ROUNDS + 1):
            context = "(seed %d, round %d)" % (seed, number)
            process = self.start()
            main = self.desktop.wait_window("^Spinlog$", pid=process.pid)
            # The series left by the last kill is back on the screen.
            self.wait_filled(main, len(work), "after the restart " + context)

            kind = KILL_MOMENTS[(number - 1) % len(KILL_MOMENTS)]
            planned, saved, timed = self.play(rng, process, main, work, kind, context)
            self.kill(process)
            context = "after a kill while %s %s" % (kind, context)

            new_history, new_work, _ = self.read_state(context)
            self.assertFalse(history - new_history, "saved series lost " + context)
            added = list((new_history - history).elements())
            outcome = kind
            if kind == "stop":
                # The stop in flight may or may not have been stored.
                stored = len(new_work) == len(planned) + 1
                planned = planned + [timed] if stored else planned
                outcome += " (stored)" if stored else " (not stored)"
            if kind == "save":
                # The series is either still in the work table or wholly moved.
                moved = not new_work
                saved, planned = (saved + [planned], []) if moved else (saved, planned)
                outcome += " (moved)" if moved else " (not moved)"
            self.check_times(new_work, planned, "in the work table " + context)
            self.assertEqual(len(added), len(saved), "saved series %r %s" % (added, context))
            self.check_saved(added, saved, context)
            history, work = new_history, new_work
            outcomes[outcome] += 1
        print("kill moments and what the files held: %s" % dict(outcomes),
              file=sys.stderr, flush=True)


if __name__ == "__main__":
    unittest.main()
