"""A new user's first look at the progress chart: two puzzle types saved, the
chart of all and of one type saved as pictures, the window where it was left."""

import os
import shutil
import subprocess
import tempfile

import screen
from day import DayTest
from harness import wait_for
from test_history_day import series

DOT = (0x2F, 0x6F, 0xC0)  # the average dots' colour


def dot_columns(path):
    """Groups of pixel columns showing a dot (lines may cross one), between the
    title and the legend."""
    image = screen.parse_ppm(subprocess.run(["convert", path, "-depth", "8", "ppm:-"],
                                            check=True, capture_output=True).stdout)
    rows = range(image.height // 10, image.height * 4 // 5)
    hit = [any(image.pixel(x, y) == DOT for y in rows) for x in range(image.width)]
    return sum(1 for x in range(8, image.width) if hit[x] and not any(hit[x - 8:x]))


class ChartDayTest(DayTest):

    def test_chart_of_all_types_and_of_one(self):
        self.folder.sql("\n".join(series("2024/01/%02d 09:00:00" % day, type_id, times,
                                         times[0], float(times[0]), 2, 3)
                                  for day, type_id, times in [
            (5, "1", ["30.00", "29.00", "31.00"]), (6, "2", ["8.00", "7.00", "9.00"]),
            (7, "1", ["36.00", "35.00", "37.00"]), (8, "2", ["9.00", "8.50", "9.50"]),
            (9, "1", ["33.00", "32.00", "34.00"])]))
        out = tempfile.mkdtemp(prefix="spinlog-png-")
        self.addCleanup(shutil.rmtree, out, True)
        process, main = self.launch()
        self.desktop.key(main, "F12")
        view = self.desktop.wait_window("^計測結果$", pid=process.pid)
        for name, dots in (("all", 5), ("one", 3)):
            self.menu(view, "alt+f", "g")
            chart = self.desktop.wait_window("^グラフ$", pid=process.pid)
            self.menu(chart, "alt+f", "s")
            dialog = self.desktop.wait_window("^画像の保存先の選択$", pid=process.pid)
            self.desktop.key(dialog, "ctrl+a")
            self.desktop.type(dialog, os.path.join(out, name))
            self.desktop.key(dialog, "Return")
            path = os.path.join(out, name + ".png")
            wait_for(lambda: os.path.exists(path), what="the picture")
            self.assertEqual(dot_columns(path), dots)
            if name == "all":
                self.desktop.xdotool("windowmove", chart, 210, 120)
            g = self.desktop.geometry(chart)
            self.assertEqual((g["X"], g["Y"], g["WIDTH"], g["HEIGHT"]), (210, 120, 800, 533))
            self.desktop.key(chart, "Escape")
            wait_for(lambda: not self.desktop.windows("^グラフ$", pid=process.pid), what="close")
            self.desktop.key(view, "Tab", "Down")  # the type list: 3x3x3 only
        self.menu(view, "alt+f", "x")
        self.leave(process, main)
        self.assertFalse(self.folder.exists("Err.log"))
