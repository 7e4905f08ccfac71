"""Keys as a user really gives them: Delete in the options' time boxes, and F5
held down, whose repeats must not start and stop the clock."""

import time

from harness import TOLERANCE, SpinlogTest, seconds


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
