"""Solves timed with real key presses and saved."""

import time
import unittest

from harness import SpinlogTest, wait_for


def hundredths(display):
    whole, fraction = display.split(".")
    seconds = 0
    for part in whole.split(":"):
        seconds = seconds * 60 + int(part)
    return seconds * 100 + int(fraction)


class TimingTest(SpinlogTest):

    def setUp(self):
        super().setUp()
        self.folder.write("Spinlog.ini", b"[Option]\r\nCntDownTm=0\r\nAlarmTm=0\r\n")

    def run_program(self, solves, answer):
        """Starts, times solves with F5, answers the save question, exits."""
        process = self.start()
        main = self.desktop.wait_window("^Spinlog$", pid=process.pid)
        windows = lambda: self.desktop.windows("^Spinlog$", pid=process.pid)
        for _ in range(solves):
            self.desktop.key(main, "F5")
            time.sleep(0.3)
            self.desktop.key(main, "F5")
            time.sleep(0.2)
        wait_for(lambda: len(windows()) == 2, what="the save question")
        self.desktop.key(windows()[-1], answer)
        wait_for(lambda: len(windows()) == 1, what="the question to close")
        self.desktop.key(main, "alt+f")
        self.desktop.key(self.desktop.windows(".", pid=process.pid)[-1], "x")
        self.assertEqual(self.wait_exit(process), 0)

    def test_five_solves_saved(self):
        self.run_program(5, answer="Return")  # Yes
        self.assertEqual(self.folder.sql("select count(*) from W_Time;"), [["0"]])
        rows = self.folder.sql("select * from T_Time;")
        self.assertEqual(len(rows), 1)
        row = rows[0]
        self.assertRegex(row[0], r"^\d{4}/\d\d/\d\d \d\d:\d\d:\d\d$")
        self.assertEqual(row[1], "1")
        values = [hundredths(t) for t in row[2:7]]
        self.assertTrue(all(abs(v - 30) < 30 for v in values), row)  # about 0.3 s each
        self.assertEqual(row[7:14], ["-"] * 7)
        best = min(range(5), key=lambda i: (values[i], i))
        worst = max(range(5), key=lambda i: (values[i], i))
        self.assertEqual((int(row[16]), int(row[19])), (best + 1, worst + 1))
        middle = sum(v for i, v in enumerate(values) if i not in (best, worst))
        self.assertEqual(row[14], "%d.%02d" % divmod(round(middle / 3), 100))


if __name__ == "__main__":
    unittest.main()
