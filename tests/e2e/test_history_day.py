"""The end of the day: the history window filtered, sorted, a record deleted,
the list exported to CSV."""

import os
import shutil
import tempfile
import time
import unittest

from day import DayTest
from harness import wait_for

HEADER = "日時,タイプ,1,2,3,4,5,6,7,8,9,10,11,12,平均"


def series(when, type_id, times, average, average_ss, best, worst):
    """A saved series as the program stores it; `times` in display form."""
    cells = times + ["-"] * (12 - len(times))
    ss = lambda t: sum(float(p) * 60 ** i for i, p in enumerate(reversed(t.split(":"))))
    values = ([when, type_id] + cells + [average, average_ss,
              best, times[best - 1], ss(times[best - 1]),
              worst, times[worst - 1], ss(times[worst - 1])])
    return "insert into T_Time values (%s);" % ",".join(
        "'%s'" % v if isinstance(v, str) else repr(v) for v in values)


EARLIER = {
    "A": ("2024/01/05 09:00:00", "1", ["12.34", "10.50", "11.00", "13.20", "9.87"],
          "11.28", 11.28, 5, 4),
    "B": ("2024/01/05 10:00:00", "2", ["5.00", "4.50", "6.00", "5.50", "4.00"],
          "5.00", 5.0, 5, 3),
    "C": ("2024/01/05 11:00:00", "1", ["1:05.43", "1:10.00", "1:00.10", "1:02.00", "1:01.00"],
          "1:02.81", 62.81, 3, 2),
    "D": ("2024/01/05 12:00:00", "5", ["1:30.00", "1:35.50", "1:28.25"],
          "1:31.25", 91.25, 3, 2),
}


def csv_line(row, name):
    return ",".join([row[0], name] + row[2:15])


class HistoryDayTest(DayTest):

    def setUp(self):
        super().setUp()
        self.folder.write("Spinlog.ini", b"[Option]\r\nCntDownTm=0\r\nAlarmTm=0\r\n")
        self.folder.sql("\n".join(series(*v) for v in EARLIER.values()))
        self.out = tempfile.mkdtemp(prefix="spinlog-csv-")
        self.addCleanup(shutil.rmtree, self.out, True)

    def test_history_filtered_sorted_deleted_and_exported(self):
        process, main = self.launch()
        for wait in (0.30, 0.25, 0.35, 0.20, 0.30):
            self.solve(main, wait)
            time.sleep(0.2)
        self.answer(process, main, "Return")  # Yes, save

        self.desktop.key(main, "F12")
        view = self.desktop.wait_window("^計測結果$", pid=process.pid)
        g = self.desktop.geometry(view)
        # Left 1000, top 3000, height 5000 twips; the width is always 12615.
        self.assertEqual((g["X"], g["Y"], g["WIDTH"], g["HEIGHT"]), (67, 200, 841, 333))

        # The grid has the focus; the type list and the order list follow it.
        self.desktop.key(view, "Tab", "Down")                  # 3x3x3
        self.desktop.key(view, "Tab", "Down", "Down", "Down")  # 平均 [降順]
        # The worst average of type 1 is listed first, and Del asks about it.
        self.desktop.key(view, "Delete")
        self.answer(process, main, "Return")  # Yes, delete

        self.desktop.key(view, "shift+Tab", "Up")              # 全て
        self.menu(view, "alt+f", "o")
        dialog = self.desktop.wait_window("^CSVファイル保存先の選択$", pid=process.pid)
        # Typed without an extension: the dialog adds ".csv".
        self.desktop.type(dialog, os.path.join(self.out, "day"))
        self.desktop.key(dialog, "Return")
        path = os.path.join(self.out, "day.csv")
        wait_for(lambda: not self.desktop.windows("CSV", pid=process.pid),
                 what="the save dialog to close")
        wait_for(lambda: os.path.exists(path), what="the CSV file")

        self.menu(view, "alt+f", "x")
        wait_for(lambda: not self.desktop.windows("^計測結果$", pid=process.pid),
                 what="the history window to close")
        self.leave(process, main)

        self.assert_compacted()
        self.assertFalse(self.folder.exists("Err.log"))
        rows = {r[0]: r for r in self.folder.sql("select * from T_Time;")}
        self.assertNotIn(EARLIER["C"][0], rows)
        self.assertEqual(len(rows), 4)
        today = [r for when, r in rows.items() if not when.startswith("2024/")][0]
        names = {"1": "3x3x3", "2": "2x2x2", "5": "3x3x3目隠し"}
        # All types, worst average first.
        order = sorted(rows.values(), key=lambda r: -float(r[15]))
        self.assertEqual(order[-1], today)
        expected = "".join(line + "\r\n" for line in
                           [HEADER] + [csv_line(r, names[r[1]]) for r in order])
        with open(path, "rb") as f:
            self.assertEqual(f.read(), expected.encode("cp932"))

        self.assertEqual([e for e in self.ini_entries() if e[0] == "View"],
                         [("View", "Top", "3000"), ("View", "Left", "1000"),
                          ("View", "Height", "5000"), ("View", "SearchType", "0"),
                          ("View", "SearchOrder", "3")])


if __name__ == "__main__":
    unittest.main()
