"""A first day of use: the first start, the options, a series timed and saved."""

import time
import unittest

from harness import (BEST, COUNTDOWN, DEF, RUNNING, TOLERANCE, WHITE, WORST, SpinlogTest,
                     banker_average, seconds, wait_for)

OPTIONS = [("Option", "CntDownTm", "1"), ("Option", "AlarmTm", "002"),
           ("Option", "DefColor", "14671839"), ("Option", "BestColor", "16744576"),
           ("Option", "WorstColor", "8421631")]


class FirstDayTest(SpinlogTest):

    def test_first_start_options_and_a_saved_series(self):
        self.assertFalse(self.folder.exists("Spinlog.ini"))
        process, main = self.launch()
        self.assertIn("Position: 267,333", self.x("getwindowgeometry", main))  # 4000, 5000 twips
        self.assert_labels(main, [DEF] * 5)  # "3x3x3" comes first: five solves

        # The letter is refused as typed, the leading zeros are kept.
        self.options(process, main, "alt+c", "ctrl+a", ("type", "1x"),
                     "alt+a", "ctrl+a", ("type", "002"))
        self.assertEqual(self.folder.ini_entries(), OPTIONS)

        # Solve 1: Enter in the type list, one second of countdown first.
        self.key(main, "Tab")
        pressed = self.press(main, "Return")
        wait_for(lambda: self.screen(main).clock() == COUNTDOWN, timeout=0.9,
                 what="the countdown colour")
        time.sleep(max(0.0, pressed + 1.55 - time.monotonic()))
        measured = [self.press(main, "F5") - pressed - 1.0]
        self.wait_filled(main, 1)
        for wait in (0.30, 0.80, 0.45):
            measured.append(self.solve(main, wait, countdown=1.0))
            self.wait_filled(main, len(measured))
        self.assert_labels(main, [DEF, BEST, WORST, DEF, DEF])

        # Solve 5 runs past the two-second alarm; it is the worst of the series.
        started = self.press(main, "F5")
        wait_for(lambda: time.monotonic() > started + 1.2 and
                 self.screen(main).clock() == RUNNING, timeout=2.0, what="the running colour")
        time.sleep(max(0.0, started + 2.2 + 1.0 - time.monotonic()))
        measured.append(self.press(main, "F5") - started - 1.0)
        self.answer(process, "Return")  # Yes, save
        self.assert_labels(main, [DEF] * 5)
        self.assertEqual(self.screen(main).clock(), WHITE)

        self.leave(process, main)
        self.assertEqual(self.folder.ini_entries(), OPTIONS + [
            ("Main", "Top", "5000"), ("Main", "Left", "4000"), ("Main", "DefType", "0")])
        self.assert_compacted()
        self.assertFalse(self.folder.exists("Err.log"))
        history, work = self.folder.stored()
        self.assertEqual((len(history), work), (1, []))
        row = history[0]
        self.assertEqual(row[1], "1")
        times = [seconds(t) for t in row[2:7]]
        for value, expected in zip(times, measured):
            self.assertAlmostEqual(value, expected, delta=TOLERANCE)
        self.assertEqual(row[7:14], ["-"] * 7)
        self.assertEqual((row[16], row[19]), ("2", "5"))
        self.assertEqual(row[14], banker_average([times[0], times[2], times[3]]))


if __name__ == "__main__":
    unittest.main()
