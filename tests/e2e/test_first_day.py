"""A first day of use: the first start, the options, a series timed and saved."""

import time
import unittest

from day import (BEST, COUNTDOWN, DEF, RUNNING, TOLERANCE, WHITE, WORST, DayTest,
                 banker_average, seconds)
from harness import wait_for

DEFAULT_COLOURS = [("Option", "DefColor", "14671839"), ("Option", "BestColor", "16744576"),
                   ("Option", "WorstColor", "8421631")]


class FirstDayTest(DayTest):

    def set_options(self, process, main, countdown, alarm):
        """Tools, Options; types both times (with a stray letter); clicks OK."""
        self.menu(main, "alt+t", "o")
        dialog = self.desktop.wait_window("^オプション$", pid=process.pid)
        self.desktop.key(dialog, "alt+c", "ctrl+a")
        self.desktop.type(dialog, countdown)
        self.desktop.key(dialog, "alt+a", "ctrl+a")
        self.desktop.type(dialog, alarm)
        # OK is no default button; click it (1230, 5205, 1140 x 345 twips).
        self.desktop.xdotool("mousemove", "--window", dialog, 120, 358, "click", "1")
        wait_for(lambda: not self.desktop.windows("^オプション$", pid=process.pid),
                 what="the options dialog to close")

    def test_first_start_options_and_a_saved_series(self):
        self.assertFalse(self.folder.exists("Spinlog.ini"))
        process, main = self.launch()
        geometry = self.desktop.geometry(main)
        self.assertEqual((geometry["X"], geometry["Y"]), (267, 333))  # 4000, 5000 twips
        # "3x3x3" comes first: five solves, the other labels hidden.
        labels = self.assert_solve_labels(main, [DEF] * 5)
        self.assertTrue(all(labels[n] not in (DEF, WHITE) for n in range(6, 13)), labels)

        # The letter is refused as typed, the leading zeros are kept.
        self.set_options(process, main, "1x", "002")
        self.assertEqual(self.ini_entries(),
                         [("Option", "CntDownTm", "1"), ("Option", "AlarmTm", "002")]
                         + DEFAULT_COLOURS)

        # Solve 1: Enter in the type list, one second of countdown first.
        self.desktop.key(main, "Tab")
        pressed = self.press(main, "Return")
        wait_for(lambda: self.clock_colour(main) == COUNTDOWN, timeout=0.9,
                 what="the countdown colour")
        time.sleep(max(0.0, pressed + 1.55 - time.monotonic()))
        measured = [self.press(main, "F5") - pressed - 1.0]
        time.sleep(0.2)
        for wait in (0.30, 0.80, 0.45):
            measured.append(self.solve(main, wait, countdown=1.0))
            time.sleep(0.2)

        self.assert_solve_labels(main, [DEF, BEST, WORST, DEF, DEF])

        # Solve 5 runs past the two-second alarm; it is the worst of the series.
        started = self.press(main, "F5")
        wait_for(lambda: time.monotonic() > started + 1.2 and self.clock_colour(main) == RUNNING,
                 timeout=2.0, what="the running colour")
        time.sleep(max(0.0, started + 2.2 + 1.0 - time.monotonic()))
        measured.append(self.press(main, "F5") - started - 1.0)
        self.answer(process, main, "Return")  # Yes, save
        self.assert_solve_labels(main, [DEF] * 5)
        self.assertEqual(self.clock_colour(main), WHITE)

        # The database is held exclusively while the program runs.
        self.leave(process, main)
        self.assertEqual(self.ini_entries(),
                         [("Option", "CntDownTm", "1"), ("Option", "AlarmTm", "002")]
                         + DEFAULT_COLOURS
                         + [("Main", "Top", "5000"), ("Main", "Left", "4000"),
                            ("Main", "DefType", "0")])
        self.assert_compacted()
        self.assertFalse(self.folder.exists("Err.log"))
        self.assertEqual(self.folder.sql("select count(*) from W_Time;"), [["0"]])
        self.assertEqual(self.folder.sql("select TypeID, TypeNm, TypeCnt, TypeBW from MT_Type"
                                         " order by TypeID limit 1;"),
                         [["1", "3x3x3", "5", "0"]])
        rows = self.folder.sql("select * from T_Time;")
        self.assertEqual(len(rows), 1)
        row = rows[0]
        self.assertRegex(row[0], r"^\d{4}/\d\d/\d\d \d\d:\d\d:\d\d$")
        self.assertEqual(row[1], "1")
        times = [seconds(t) for t in row[2:7]]
        for value, expected in zip(times, measured):
            self.assertAlmostEqual(value, expected, delta=TOLERANCE)
        self.assertEqual(row[7:14], ["-"] * 7)
        self.assertEqual((row[16], row[19]), ("2", "5"))
        self.assertEqual(row[14], banker_average([times[0], times[2], times[3]]))


if __name__ == "__main__":
    unittest.main()
