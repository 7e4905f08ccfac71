"""Keys as a user really gives them: Delete in the options' time boxes, and F5
held down, whose repeats must not start and stop the clock."""

import time
import unittest

from day import TOLERANCE, DayTest, seconds
from harness import wait_for


class HostileKeysTest(DayTest):

    def test_delete_then_a_held_f5_is_one_press(self):
        self.folder.write("Spinlog.ini", b"[Option]\r\nCntDownTm=10\r\nAlarmTm=0\r\n")
        process, main = self.launch()
        # Alt+C, Home, Delete: the countdown loses its first digit.
        self.menu(main, "alt+t", "o")
        dialog = self.desktop.wait_window("^オプション$", pid=process.pid)
        self.desktop.key(dialog, "alt+c", "Home", "Delete")
        self.desktop.xdotool("mousemove", "--window", dialog, 120, 358, "click", "1")
        wait_for(lambda: not self.desktop.windows("^オプション$", pid=process.pid),
                 what="the options dialog to close")

        self.desktop.focus(main)
        self.desktop.xdotool("keydown", "F5")
        held = time.monotonic()
        time.sleep(2.0)
        self.desktop.xdotool("keyup", "F5")
        time.sleep(max(0.0, held + 2.5 - time.monotonic()))
        measured = self.press(main, "F5") - held
        time.sleep(0.3)
        self.leave(process, main)

        self.assertIn(("Option", "CntDownTm", "0"), self.ini_entries())
        rows = self.folder.sql("select No, Time from W_Time;")
        self.assertEqual(len(rows), 1, rows)
        self.assertAlmostEqual(seconds(rows[0][1]), measured, delta=TOLERANCE)


if __name__ == "__main__":
    unittest.main()
