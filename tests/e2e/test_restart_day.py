"""A series over restarts: left half done, then complete but declined, each
back as it was left, and an exit refused while the clock runs."""

import time
import unittest

from harness import BEST, DEF, TOLERANCE, WORST, SpinlogTest, banker_average, seconds


class RestartDayTest(SpinlogTest):

    def test_series_comes_back_after_each_restart(self):
        # The blindfolded type: three solves, all of them in the average.
        self.folder.write("Spinlog.ini", b"[Main]\r\nDefType=4\r\n[Option]\r\nCntDownTm=0\r\n"
                          b"AlarmTm=0\r\n")
        process, main = self.launch()
        measured = [self.solve(main, 0.40)]
        self.wait_filled(main, 1)
        measured.append(self.solve(main, 0.60))
        self.wait_filled(main, 2)
        self.leave(process, main)

        process, main = self.launch()
        self.wait_filled(main, 2, "after the first restart")
        self.assert_labels(main, [BEST, WORST, DEF])
        # Leaving while the clock runs is refused; the solve goes on untouched.
        started = self.press(main, "F5")
        self.menu(main, "alt+f", "x")
        self.answer(process, "Return")
        time.sleep(max(0.0, started + 0.9 - time.monotonic()))
        measured.append(self.press(main, "F5") - started)
        self.answer(process, "Tab", "space")  # No, not now
        self.leave(process, main)
        self.assertEqual(self.folder.sql("select count(*) from T_Time;"), [["0"]])

        process, main = self.launch()
        self.wait_filled(main, 3, "after the second restart")
        self.assert_labels(main, [BEST, DEF, WORST])
        self.menu(main, "alt+f", "s")
        self.answer(process, "Return")  # Yes, save
        self.wait_filled(main, 0)
        self.leave(process, main)

        self.assert_compacted()
        self.assertFalse(self.folder.exists("Err.log"))
        history, work = self.folder.stored()
        self.assertEqual((len(history), work), (1, []))
        row = history[0]
        self.assertEqual(row[1], "5")
        times = [seconds(t) for t in row[2:5]]
        for value, expected in zip(times, measured):
            self.assertAlmostEqual(value, expected, delta=TOLERANCE)
        self.assertEqual(row[5:14], ["-"] * 9)
        self.assertEqual(row[14], banker_average(times))
        self.assertEqual((row[16], row[19]), ("1", "3"))


if __name__ == "__main__":
    unittest.main()
