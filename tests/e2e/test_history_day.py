"""The end of the day: the history window filtered, sorted, a record deleted,
the list exported to CSV."""

import os

from harness import NO_COUNTDOWN, SpinlogTest, insert_series

SERIES = [  # date, type, times, average, best and worst solve
    ("2024/01/05 09:00:00", "1", ["12.34", "10.50", "11.00", "13.20", "9.87"], "11.28", 5, 4),
    ("2024/01/06 10:00:00", "2", ["5.00", "4.50", "6.00", "5.50", "4.00"], "5.00", 5, 3),
    ("2024/01/07 11:00:00", "1", ["1:05.43", "1:10.00", "1:00.10", "1:02.00", "1:01.00"],
     "1:02.81", 3, 2),
    ("2024/01/08 12:00:00", "5", ["1:30.00", "1:35.50", "1:28.25"], "1:31.25", 3, 2),
    ("2024/01/09 09:00:00", "1", ["30.00", "29.00", "31.00", "32.00", "28.00"], "30.00", 5, 4),
]
# All types by average, worst first, after the worst 3x3x3 series was deleted;
# the second type renamed so that its name needs quotes.
CSV = ("日時,タイプ,1,2,3,4,5,6,7,8,9,10,11,12,平均\r\n"
       "2024/01/08 12:00:00,3x3x3目隠し,1:30.00,1:35.50,1:28.25,-,-,-,-,-,-,-,-,-,1:31.25\r\n"
       "2024/01/09 09:00:00,3x3x3,30.00,29.00,31.00,32.00,28.00,-,-,-,-,-,-,-,30.00\r\n"
       "2024/01/05 09:00:00,3x3x3,12.34,10.50,11.00,13.20,9.87,-,-,-,-,-,-,-,11.28\r\n"
       '2024/01/06 10:00:00,"2x2x2, ""片手""",5.00,4.50,6.00,5.50,4.00,-,-,-,-,-,-,-,5.00\r\n'
       ).encode("cp932")


class HistoryDayTest(SpinlogTest):

    def setUp(self):
        super().setUp()
        self.folder.write("Spinlog.ini", NO_COUNTDOWN)
        self.folder.sql("".join(insert_series(*s) for s in SERIES) +
                        "update MT_Type set TypeNm='2x2x2, \"片手\"' where TypeID='2';")
        self.process, self.main = self.launch()
        self.key(self.main, "F12")
        self.view = self.wait_window("^計測結果$", self.process.pid)
        self.key(self.view, "Tab", "Down")  # the grid has the focus; the type list: 3x3x3

    def leave_both(self):
        """Closes both windows; the file written by then, as its menu opened."""
        self.menu(self.view, "alt+f", "x")
        self.leave(self.process, self.main)
        self.assertFalse(self.folder.exists("Err.log"))

    def test_filtered_sorted_deleted_and_exported(self):
        self.key(self.view, "Tab", "Down", "Down", "Down")  # the order list: 平均 [降順]
        # The worst average of type 1 is listed first, and Del asks about it.
        self.key(self.view, "Delete")
        self.answer(self.process, "Return")  # Yes, delete
        self.key(self.view, "shift+Tab", "Up")  # 全て
        self.menu(self.view, "alt+f", "o")
        self.save_as(self.process, "^CSVファイル保存先の選択$", "day")
        self.leave_both()
        self.assertEqual(self.folder.read(os.path.join(self.tmp, "day.csv")), CSV)
        self.assertEqual(len(self.folder.sql("select * from T_Time;")), 4)
        # A file from before penalties: the rows as they were, no tokens made up.
        self.assertEqual(self.folder.sql("select count(*) from T_Time where Solves is null;"),
                         [["4"]])
