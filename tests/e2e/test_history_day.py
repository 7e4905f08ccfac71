"""The end of the day: the history list exported to CSV through the real save
dialog, a name that needs quotes among the types."""

import os

from harness import NO_COUNTDOWN, SpinlogTest, insert_series

SERIES = [  # date, type, times, average, best and worst solve
    ("2024/01/05 09:00:00", "1", ["12.34", "10.50", "11.00", "13.20", "9.87"], "11.28", 5, 4),
    ("2024/01/06 10:00:00", "2", ["5.00", "4.50", "6.00", "5.50", "4.00"], "5.00", 5, 3),
    ("2024/01/08 12:00:00", "5", ["1:30.00", "1:35.50", "1:28.25"], "1:31.25", 3, 2),
]
CSV = ("日時,タイプ,1,2,3,4,5,6,7,8,9,10,11,12,平均\r\n"
       "2024/01/05 09:00:00,3x3x3,12.34,10.50,11.00,13.20,9.87,-,-,-,-,-,-,-,11.28\r\n"
       '2024/01/06 10:00:00,"2x2x2, ""片手""",5.00,4.50,6.00,5.50,4.00,-,-,-,-,-,-,-,5.00\r\n'
       "2024/01/08 12:00:00,3x3x3目隠し,1:30.00,1:35.50,1:28.25,-,-,-,-,-,-,-,-,-,1:31.25\r\n"
       ).encode("cp932")


class HistoryDayTest(SpinlogTest):

    def test_exported_through_the_save_dialog(self):
        self.folder.write("Spinlog.ini", NO_COUNTDOWN)
        self.folder.sql("".join(insert_series(*s) for s in SERIES) +
                        "update MT_Type set TypeNm='2x2x2, \"片手\"' where TypeID='2';")
        process, main = self.launch()
        self.key(main, "F12")
        view = self.wait_window("^計測結果$", process.pid)
        self.menu(view, "alt+f", "o")
        self.save_as(process, "^CSVファイル保存先の選択$", "day")
        self.menu(view, "alt+f", "x")
        self.leave(process, main)
        self.assertFalse(self.folder.exists("Err.log"))
        self.assertEqual(self.folder.read(os.path.join(self.tmp, "day.csv")), CSV)
