"""kill -9 at random moments while solves are stored and series saved: the
database opens whole, the work table holds the solves the window showed, no
saved series is lost or half written, the next start brings the series back.
Seeded: SPINLOG_CRASH_SEED replays a printed seed, SPINLOG_CRASH_ROUNDS sets
the rounds."""

import collections, itertools, os, random, subprocess, sys, time  # noqa: E401

from harness import SpinlogTest, insert_series, seconds, wait_for

ROUNDS = int(os.environ.get("SPINLOG_CRASH_ROUNDS", "10"))
COUNT = 3  # the blindfolded type: three solves a series, all counted
TOLERANCE = 0.15  # both presses of a solve are timed from outside the program
# What the program is doing when it is killed, taken in turn: a stop just
# pressed, a save just confirmed, a solve running, the save question open, idle.
KILL_MOMENTS = ["stop", "save", "timing", "question", "idle"]


class CrashTest(SpinlogTest):

    def setUp(self):
        super().setUp()
        self.folder.write("Spinlog.ini", b"[Main]\r\nDefType=4\r\n[Option]\r\nCntDownTm=0\r\n")
        self.folder.sql(insert_series(  # saved before the first round
            "2007/05/01 21:03:09", "5", ["12.34", "1:05.43", "9.87"], "29.21", 3, 2))

    def read_state(self, context):
        self.assertEqual(self.folder.sql("PRAGMA integrity_check;"), [], context)
        history, work = self.folder.stored()
        for row in history:  # every field filled as a save writes it
            message = "half a row %r %s" % (row, context)
            self.assertRegex(row[0], r"^\d{4}/\d\d/\d\d \d\d:\d\d:\d\d$", message)
            values = [seconds(t) for t in row[2:5]]
            best, worst = int(row[16]), int(row[19])
            self.assertEqual((len(row), row[1], row[5:14], row[17], row[20], values[best - 1],
                              values[worst - 1]), (22, "5", ["-"] * 9, row[1 + best],
                                                   row[1 + worst], min(values), max(values)),
                             message)
            for text in (14, 17, 20):
                self.assertAlmostEqual(seconds(row[text]), float(row[text + 1]), msg=message)
            # All three counted in the average.
            self.assertLessEqual(abs(sum(values) / 3 - seconds(row[14])), 0.011, message)
        for no, display, ss in work:
            self.assertAlmostEqual(seconds(display), float(ss), msg=context)
        return collections.Counter(map(tuple, history)), [w[1] for w in work]

    @staticmethod
    def matches(texts, expected):
        """Stored times against those timed here, or read back before exactly."""
        return len(texts) == len(expected) and all(
            t == w if isinstance(w, str) else abs(seconds(t) - w) < TOLERANCE
            for t, w in zip(texts, expected))

    def tap(self, key, process=None, kill_after=0):
        """Sends a key; with a process, kills it `kill_after` seconds after the
        key left, while the program may still be handling it."""
        sender = subprocess.Popen(["xdotool", "key", "--clearmodifiers", key], env=self.env)
        if process:
            time.sleep(kill_after)
            process.kill()
        sender.wait(20)
        return time.monotonic()

    def play(self, rng, process, main, work, final, context):
        """Times and saves until the kill at the moment named by final; returns
        the solves the window showed, the series saved and, for a stop caught
        in flight, its time."""
        saved = []
        for step in itertools.count(-rng.randint(0, 4)):
            # The last step is one that reaches the moment: a solve needs a
            # series under way, the question a series' last solve.
            last = step >= 0 and (len(work) < COUNT if final in ("stop", "timing")
                                  else final == "idle" or len(work) >= COUNT - 1)
            if len(work) < COUNT:
                self.x("windowfocus", "--sync", main)
                started = self.tap("F5")
                time.sleep(rng.uniform(0.05, 0.5))
                if last and final in ("stop", "timing"):
                    timed = time.monotonic() - started
                    if final == "stop":  # within the milliseconds a solve takes to store
                        self.tap("F5", process, rng.uniform(0, 0.03))
                    return work, saved, timed
                work = work + [self.tap("F5") - started]
                if len(work) < COUNT:
                    self.wait_filled(main, len(work), context)
                    if last:
                        return work, saved, None
                    continue
            else:  # a complete series brought back at start
                self.menu(main, "alt+f", "s")
            # The question shows only once the last solve is stored.
            box = wait_for(lambda: self.boxes(process), what="the question")[-1]
            if last and final == "question":
                return work, saved, None
            self.x("windowfocus", "--sync", box)
            if last and final == "save":
                self.tap("Return", process, rng.uniform(0, 0.1))  # Yes
                return work, saved, None
            self.tap("Return")  # Yes
            # The labels are emptied only after the series is in the history.
            self.wait_filled(main, 0, context)
            saved, work = saved + [work], []
            if last:
                return work, saved, None

    def test_killed_at_random_moments(self):
        seed = int(os.environ.get("SPINLOG_CRASH_SEED", random.randrange(1 << 31)))
        print("\ncrash rounds: %d, seed %d" % (ROUNDS, seed), file=sys.stderr, flush=True)
        rng = random.Random(seed)
        history, work = self.read_state("before the first start")
        outcomes = collections.Counter()
        for number in range(ROUNDS):
            kind = KILL_MOMENTS[number % len(KILL_MOMENTS)]
            context = "(seed %d, round %d, killed while %s)" % (seed, number + 1, kind)
            process = self.start()
            main = self.wait_window("^Spinlog$", process.pid)
            # The series left by the last kill is back on the screen.
            self.wait_filled(main, len(work), "after the restart " + context)
            planned, saved, timed = self.play(rng, process, main, work, kind, context)
            process.kill()
            process.wait(5)

            new_history, new_work = self.read_state(context)
            self.assertFalse(history - new_history, "saved series lost " + context)
            if kind == "stop":  # the stop in flight may or may not have been stored
                stored = len(new_work) > len(planned)
                planned += [timed] * stored
                kind += " (stored)" if stored else " (not stored)"
            if kind == "save" and not new_work:  # the series wholly moved, or not at all
                saved, planned, kind = saved + [planned], [], "save (moved)"
            self.assertTrue(self.matches(new_work, planned),
                            "work table %r, shown %r %s" % (new_work, planned, context))
            # In some order: two saves within a second cannot be told apart.
            added = list((new_history - history).elements())
            self.assertTrue(len(added) == len(saved) and any(
                all(self.matches(row[2:2 + COUNT], times) for row, times in zip(order, saved))
                for order in itertools.permutations(added)),
                "saved %r, timed %r %s" % (added, saved, context))
            history, work = new_history, new_work
            outcomes[kind] += 1
        print("kill moments and what the files held: %s" % dict(outcomes),
              file=sys.stderr, flush=True)
