"""Later the same day: a series left unfinished over a restart, a second copy
started by mistake, the version window, and the exit that compacts."""

import os
import time
import unittest

from day import BEST, DEF, TOLERANCE, WHITE, WORST, DayTest, banker_average, seconds
from harness import wait_for


class RestartDayTest(DayTest):

    def setUp(self):
        super().setUp()
        self.folder.write("Spinlog.ini", b"[Option]\r\nCntDownTm=0\r\nAlarmTm=0\r\n")

    def test_unfinished_series_is_finished_after_a_restart(self):
        process, main = self.launch()
        measured = [self.solve(main, 0.60)]
        time.sleep(0.2)
        measured.append(self.solve(main, 0.35))
        time.sleep(0.2)

        # A second copy is refused and leaves the running one and every file alone.
        before = {n: self.folder.read(n) for n in os.listdir(self.folder.path)}
        second = self.start()
        box = self.desktop.wait_window("^Spinlog$", pid=second.pid)
        self.desktop.key(box, "Return")
        self.assertEqual(self.wait_exit(second), 0)
        self.assertEqual({n: self.folder.read(n) for n in os.listdir(self.folder.path)}, before)
        self.assertIsNone(process.poll())

        self.leave(process, main)
        self.assert_compacted()
        rows = self.folder.sql("select No, Time, TimeSS from W_Time order by No;")
        self.assertEqual([r[0] for r in rows], ["1", "2"])
        for row, expected in zip(rows, measured):
            self.assertEqual(seconds(row[1]), float(row[2]))
            self.assertAlmostEqual(float(row[2]), expected, delta=TOLERANCE)
        self.assertEqual(self.folder.sql("select count(*) from T_Time;"), [["0"]])

        # The restart shows the two solves marked; the next ones are 3 to 5.
        process, main = self.launch()
        self.assert_solve_labels(main, [WORST, BEST, DEF, DEF, DEF])
        for wait in (0.50, 0.90, 0.40):
            measured.append(self.solve(main, wait))
            time.sleep(0.2)
        self.answer(process, main, "Return")  # Yes, save
        self.assert_solve_labels(main, [DEF] * 5)

        # The version window opens centred over the main window; Return closes it.
        self.menu(main, "alt+h", "a")
        about = self.desktop.wait_window("^バージョン情報$", pid=process.pid)
        outer, inner = self.desktop.geometry(main), self.desktop.geometry(about)
        self.assertEqual((inner["WIDTH"], inner["HEIGHT"]), (226, 160))  # 3390 x 2400 twips
        centre = lambda g: (g["X"] + g["WIDTH"] / 2, g["Y"] + g["HEIGHT"] / 2)
        for a, b in zip(centre(outer), centre(inner)):
            self.assertLessEqual(abs(a - b), 1)
        self.desktop.key(about, "Return")
        wait_for(lambda: not self.desktop.windows("^バージョン情報$", pid=process.pid),
                 what="the version window to close")
        self.assertIsNone(process.poll())

        self.leave(process, main)
        self.assert_compacted()
        self.assertFalse(self.folder.exists("Err.log"))
        self.assertEqual(self.folder.sql("select count(*) from W_Time;"), [["0"]])
        rows = self.folder.sql("select * from T_Time;")
        self.assertEqual(len(rows), 1)
        times = [seconds(t) for t in rows[0][2:7]]
        for value, expected in zip(times, measured):
            self.assertAlmostEqual(value, expected, delta=TOLERANCE)
        self.assertEqual((rows[0][16], rows[0][19]), ("2", "4"))  # 0.35 best, 0.90 worst
        self.assertEqual(self.ini_entries()[-3:], [("Main", "Top", "5000"),
                                                   ("Main", "Left", "4000"),
                                                   ("Main", "DefType", "0")])

    def test_declined_save_waits_over_a_restart_for_the_save_item(self):
        # The blindfolded type: three solves, all of them in the average.
        self.folder.write("Spinlog.ini",
                          b"[Main]\r\nDefType=4\r\n[Option]\r\nCntDownTm=0\r\nAlarmTm=0\r\n")
        process, main = self.launch()
        measured = [self.solve(main, 0.40)]
        time.sleep(0.2)

        # Leaving while the clock runs is refused; the solve goes on untouched.
        started = self.press(main, "F5")
        time.sleep(0.2)
        self.menu(main, "alt+f", "x")
        self.answer(process, main, "Return")
        time.sleep(max(0.0, started + 0.9 - time.monotonic()))
        measured.append(self.press(main, "F5") - started)
        self.assertIsNone(process.poll())
        time.sleep(0.2)

        measured.append(self.solve(main, 0.55))
        self.answer(process, main, "Tab", "space")  # No, not now
        self.leave(process, main)
        self.assertEqual(self.folder.sql("select count(*) from T_Time;"), [["0"]])
        self.assertEqual(len(self.folder.sql("select * from W_Time;")), 3)

        # Restarted complete: F5 starts nothing, the save item asks again.
        process, main = self.launch()
        labels = self.assert_solve_labels(main, [BEST, WORST, DEF])
        self.assertNotIn(labels[4], (DEF, WHITE))
        self.press(main, "F5")
        time.sleep(0.3)
        self.assertEqual(self.clock_colour(main), WHITE)
        self.menu(main, "alt+f", "s")
        self.answer(process, main, "Return")  # Yes, save
        self.leave(process, main)

        self.assert_compacted()
        self.assertFalse(self.folder.exists("Err.log"))
        self.assertEqual(self.folder.sql("select count(*) from W_Time;"), [["0"]])
        row = self.folder.sql("select * from T_Time;")[0]
        self.assertEqual(row[1], "5")
        times = [seconds(t) for t in row[2:5]]
        for value, expected in zip(times, measured):
            self.assertAlmostEqual(value, expected, delta=TOLERANCE)
        self.assertEqual(row[5:14], ["-"] * 9)
        self.assertEqual(row[14], banker_average(times))
        self.assertEqual((row[16], row[19]), ("1", "2"))
        self.assertEqual([e for e in self.ini_entries() if e[0] == "Main"],
                         [("Main", "DefType", "4"), ("Main", "Top", "5000"),
                          ("Main", "Left", "4000")])


if __name__ == "__main__":
    unittest.main()
