"""Penalties as a cuber gives them."""

import os

from harness import NO_COUNTDOWN, TOLERANCE, SpinlogTest, seconds


class PenaltiesTest(SpinlogTest):

    def test_plus_two_and_dnf_saved_listed_and_exported(self):
        self.folder.write("Spinlog.ini", NO_COUNTDOWN)
        process, main = self.launch()
        measured = []
        for n, wait in enumerate((0.50, 0.40, 0.70, 0.60, 0.30), start=1):
            measured.append(self.solve(main, wait))
            if n < 5:
                self.wait_filled(main, n)
            if n == 2:
                self.key(main, "ctrl+2")
            elif n == 4:
                self.key(main, "ctrl+3")
        self.answer(process, "Return")  # Yes, save
        self.wait_filled(main, 0)

        self.key(main, "F12")
        view = self.wait_window("^計測結果$", process.pid)
        self.menu(view, "alt+f", "o")
        self.save_as(process, "^CSVファイル保存先の選択$", "penalties")
        self.menu(view, "alt+f", "x")
        self.leave(process, main)

        row = self.folder.stored()[0][0]
        times = row[2:7]
        self.assertTrue(times[1].endswith("+") and times[3] == "DNF", times)
        self.assertAlmostEqual(seconds(times[1][:-1]), measured[1] + 2, delta=TOLERANCE)
        # The DNF is the worst, left out with the best; the +2 counts as shown.
        counted = sorted([seconds(times[0]), seconds(times[1][:-1]), seconds(times[2]),
                          seconds(times[4])])[1:]
        average = round(round(sum(counted) * 100) / 3) / 100
        self.assertAlmostEqual(seconds(row[14]), average, delta=0.005)
        self.assertEqual(row[19:21], ["4", "DNF"])  # the worst solve: the DNF
        csv = self.folder.read(os.path.join(self.tmp, "penalties.csv")).decode("cp932")
        self.assertIn("," + times[1] + ",", csv)
        self.assertIn(",DNF,", csv)
        self.assertTrue(csv.splitlines()[1].endswith("," + row[14]))
