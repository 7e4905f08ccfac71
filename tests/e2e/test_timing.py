"""Solves timed with real key presses, saved, and brought back after a restart."""

import re
import time
import unittest

from harness import SpinlogTest, wait_for

NO_WAITING = b"[Option]\r\nCntDownTm=0\r\nAlarmTm=0\r\n"


def hundredths(display):
    """1:05.43 -> 6543"""
    whole, fraction = display.split(".")
    seconds = 0
    for part in whole.split(":"):
        seconds = seconds * 60 + int(part)
    return seconds * 100 + int(fraction)


class TimingTest(SpinlogTest):

    def setUp(self):
        super().setUp()
        self.folder.write("Spinlog.ini", NO_WAITING)

    def open_main(self):
        process = self.start()
        return process, self.desktop.wait_window("^Spinlog$", pid=process.pid)

    def boxes(self, process):
        return self.desktop.windows("^Spinlog$", pid=process.pid)

    def solve(self, main, seconds=0.3):
        self.desktop.key(main, "F5")
        time.sleep(seconds)
        self.desktop.key(main, "F5")
        time.sleep(0.2)

    def answer_question(self, process, key):
        wait_for(lambda: len(self.boxes(process)) == 2, what="the save question")
        self.desktop.key(self.boxes(process)[-1], key)
        wait_for(lambda: len(self.boxes(process)) == 1, what="the question to close")

    def exit(self, process, main):
        self.desktop.key(main, "alt+f")
        time.sleep(0.2)
        self.desktop.key(self.desktop.windows(".", pid=process.pid)[-1], "x")
        self.assertEqual(self.wait_exit(process), 0)

    def test_five_solves_saved(self):
        process, main = self.open_main()
        for _ in range(5):
            self.solve(main)
        self.answer_question(process, "Return")  # Yes
        self.exit(process, main)

        self.assertEqual(self.folder.sql("select count(*) from W_Time;"), [["0"]])
        rows = self.folder.sql(
            "select DateTime, TypeID, Time1, Time2, Time3, Time4, Time5, Time6, Time12, "
            "AveTime, BestTimeNo, WorstTimeNo from T_Time;")
        self.assertEqual(len(rows), 1)
        row = rows[0]
        self.assertRegex(row[0], r"^\d{4}/\d\d/\d\d \d\d:\d\d:\d\d$")
        self.assertEqual(row[1], "1")
        times = row[2:7]
        for t in times:
            self.assertRegex(t, r"^\d+\.\d\d$")
            self.assertLess(abs(hundredths(t) - 30), 30, times)  # about 0.3 s each
        self.assertEqual(row[7:9], ["-", "-"])
        values = [hundredths(t) for t in times]
        best = min(range(5), key=lambda i: (values[i], i))
        worst = max(range(5), key=lambda i: (values[i], i))
        self.assertEqual((int(row[10]), int(row[11])), (best + 1, worst + 1))
        middle = [v for i, v in enumerate(values) if i not in (best, worst)]
        average = round(sum(middle) / 3)  # three values: never an exact half
        self.assertEqual(row[9], "%d.%02d" % divmod(average, 100))

    def test_unfinished_series_comes_back(self):
        process, main = self.open_main()
        for _ in range(3):
            self.solve(main)
        self.exit(process, main)
        self.assertEqual(self.folder.sql("select [No] from W_Time order by [No];"),
                         [["1"], ["2"], ["3"]])

        process, main = self.open_main()
        self.assertEqual(len(self.boxes(process)), 1)
        self.solve(main)
        self.exit(process, main)
        self.assertEqual(self.folder.sql("select [No] from W_Time order by [No];"),
                         [["1"], ["2"], ["3"], ["4"]])

    def test_declined_save_waits_for_the_save_item(self):
        process, main = self.open_main()
        for _ in range(5):
            self.solve(main)
        self.answer_question(process, "Escape")  # No
        self.exit(process, main)
        self.assertEqual(self.folder.sql("select count(*) from W_Time;"), [["5"]])
        self.assertEqual(self.folder.sql("select count(*) from T_Time;"), [["0"]])

        # Complete again at start, without a question; F5 does nothing.
        process, main = self.open_main()
        time.sleep(0.5)
        self.assertEqual(len(self.boxes(process)), 1)
        self.solve(main)
        self.assertEqual(len(self.boxes(process)), 1)
        self.desktop.key(main, "alt+f")
        time.sleep(0.2)
        self.desktop.key(self.desktop.windows(".", pid=process.pid)[-1], "s")
        self.answer_question(process, "Return")
        self.exit(process, main)
        self.assertEqual(self.folder.sql("select count(*) from W_Time;"), [["0"]])
        self.assertEqual(self.folder.sql("select Time5, Time6 from T_Time;")[0][1], "-")


if __name__ == "__main__":
    unittest.main()
