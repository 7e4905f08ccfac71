"""Keys as a user really gives them: Delete in the options' time boxes, F5
held down, whose repeats must not start and stop the clock, and Space held for
hold-to-start on a busy machine, whose clock starts at the release."""

import subprocess, sys, time  # noqa: E401

from harness import NO_COUNTDOWN, TOLERANCE, SpinlogTest, seconds


class HostileKeysTest(SpinlogTest):

    def hold(self, main, key):
        """Holds the key for two seconds, stops with F5 half a second after
        it went up; returns the time from the key's first going down."""
        self.x("windowfocus", "--sync", main)
        self.x("keydown", key)
        held = time.monotonic()
        time.sleep(2.0)
        self.x("keyup", key)
        time.sleep(max(0.0, held + 2.5 - time.monotonic()))
        measured = self.press(main, "F5") - held
        self.wait_filled(main, 1)
        return measured

    def assert_one_solve(self, measured):
        rows = self.folder.sql("select No, Time from W_Time;")
        self.assertEqual(len(rows), 1, rows)
        self.assertAlmostEqual(seconds(rows[0][1]), measured, delta=TOLERANCE)

    def test_delete_then_a_held_f5_is_one_press(self):
        self.folder.write("Spinlog.ini", b"[Option]\r\nCntDownTm=10\r\nAlarmTm=0\r\n")
        process, main = self.launch()
        # Alt+C, Home, Delete: the countdown loses its first digit.
        self.options(process, main, "alt+c", "Home", "Delete")
        measured = self.hold(main, "F5")
        self.leave(process, main)
        self.assert_one_solve(measured)
        self.assertIn(b"CntDownTm=0\r\n", self.folder.read("Spinlog.ini"))

    def test_hold_to_start_times_from_the_release_on_a_busy_machine(self):
        # Both cores busy: the program takes a repeat's release and its press
        # apart, and the first repeat must not start the clock.
        self.folder.write("Spinlog.ini", NO_COUNTDOWN + b"HoldToStart=1\r\n")
        process, main = self.launch()
        busy = [subprocess.Popen([sys.executable, "-c", "while True: pass"]) for _ in range(2)]
        self.addCleanup(lambda: [b.kill() for b in busy])
        measured = []
        for n in (1, 2):
            self.x("windowfocus", "--sync", main)
            self.x("keydown", "space")
            time.sleep(2.0)
            self.x("keyup", "space")
            released = time.monotonic()
            time.sleep(1.0)
            measured.append(self.press(main, "space") - released)
            self.wait_filled(main, n)
        for b in busy:
            b.kill()
        self.leave(process, main)
        stored = [seconds(t) for (t,) in self.folder.sql("select Time from W_Time order by No;")]
        self.assertEqual(len(stored), 2)
        for got, want in zip(stored, measured):
            self.assertAlmostEqual(got, want, delta=TOLERANCE)
