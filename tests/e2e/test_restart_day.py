"""A series over restarts: left half done, then complete but declined, each
back as it was left, and an exit refused while the clock runs."""

import time

from harness import BEST, DEF, WORST, SpinlogTest


class RestartDayTest(SpinlogTest):

    def test_series_comes_back_after_each_restart(self):
        # The blindfolded type: three solves, all of them in the average.
        self.folder.write("Spinlog.ini", b"[Main]\r\nDefType=4\r\n[Option]\r\nCntDownTm=0\r\n"
                          b"AlarmTm=0\r\n")
        process, main = self.launch()
        measured = []
        for wait in (0.40, 0.60):
            measured.append(self.solve(main, wait))
            self.wait_filled(main, len(measured))
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

        process, main = self.launch()
        self.wait_filled(main, 3, "after the second restart")
        self.assert_labels(main, [BEST, DEF, WORST])
        self.menu(main, "alt+f", "s")
        self.answer(process, "Return")  # Yes, save
        self.wait_filled(main, 0)
        self.leave(process, main)

        self.assert_saved("5", measured, (1, 2, 3), best=1, worst=3)
