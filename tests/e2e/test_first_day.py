"""A first day of use: the first start, the options, a series timed and saved."""

import time

from harness import BEST, COUNTDOWN, DEF, RUNNING, WHITE, WORST, SpinlogTest, wait_for

OPTIONS = (b"[Option]\r\nCntDownTm=1\r\nAlarmTm=002\r\nDefColor=14671839\r\n"
           b"BestColor=16744576\r\nWorstColor=8421631\r\n"
           b"Inspection=0\r\nHoldToStart=0\r\nNoInspection=5\r\n")  # 5: 3x3x3目隠し


class FirstDayTest(SpinlogTest):

    def test_first_start_options_and_a_saved_series(self):
        self.assertFalse(self.folder.exists("Spinlog.ini"))
        process, main = self.launch()
        self.assertIn("Position: 267,333", self.x("getwindowgeometry", main))  # 4000, 5000 twips
        self.assert_labels(main, [DEF] * 5)  # "3x3x3" comes first: five solves
        clock = lambda: self.screen(main)(165, 390)  # just inside its border

        # The letter is refused as typed, the leading zeros are kept.
        self.options(process, main, "alt+c", "ctrl+a", "1", "x", "alt+a", "ctrl+a", "0", "0", "2")
        self.assertEqual(self.folder.read("Spinlog.ini"), OPTIONS)

        # Solve 1: Enter in the type list, one second of countdown first.
        self.key(main, "Tab")
        pressed = self.press(main, "Return")
        wait_for(lambda: clock() == COUNTDOWN, timeout=0.9, what="the countdown colour")
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
                 clock() == RUNNING, timeout=2.0, what="the running colour")
        time.sleep(max(0.0, started + 2.2 + 1.0 - time.monotonic()))
        measured.append(self.press(main, "F5") - started - 1.0)
        self.answer(process, "Return")  # Yes, save
        self.assert_labels(main, [DEF] * 5)
        self.assertEqual(clock(), WHITE)

        self.leave(process, main)
        self.assertEqual(self.folder.read("Spinlog.ini"),
                         OPTIONS + b"[Main]\r\nTop=5000\r\nLeft=4000\r\nDefType=0\r\n")
        self.assert_saved("1", measured, (1, 3, 4), best=2, worst=5)
