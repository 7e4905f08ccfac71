"""The main window as a user meets it: where it opens, its menus, its exit."""

import unittest

from harness import SpinlogTest


class MainWindowTest(SpinlogTest):

    def open_main(self):
        process = self.start()
        return process, self.desktop.wait_window("^Spinlog$", pid=process.pid)

    def exit_by_menu(self, process, main):
        self.desktop.key(main, "alt+f")
        menu = self.desktop.wait_window(".", pid=process.pid)
        self.desktop.key(menu, "x")
        self.assertEqual(self.wait_exit(process), 0)

    def test_opens_at_default_place_and_exit_remembers_it(self):
        process, main = self.open_main()
        where = self.desktop.geometry(main)
        self.assertEqual((where["X"], where["Y"]), (267, 333))  # 4000, 5000 twips
        self.desktop.xdotool("windowmove", main, 300, 200)
        self.exit_by_menu(process, main)

        ini = self.folder.ini()
        top, left, def_type = (ini.find("Top=3000"), ini.find("Left=4500"),
                               ini.find("DefType=0"))
        self.assertTrue(0 < top < left < def_type, ini)
        self.assertTrue(self.folder.exists("Spinlog.mdb"))
        self.assertFalse(self.folder.exists("BKSpinlog.mdb"))
        self.assertFalse(self.folder.exists("COMSpinlog.mdb"))
        self.assertEqual(self.folder.sql("select TypeNm from MT_Type where TypeID='1';"),
                         [["3x3x3"]])

        process, main = self.open_main()
        where = self.desktop.geometry(main)
        self.assertEqual((where["X"], where["Y"]), (300, 200))
        self.exit_by_menu(process, main)

    def test_stored_type_is_chosen_and_kept(self):
        self.folder.write("Spinlog.ini", b"[Main]\r\nDefType=2\r\n")
        process, main = self.open_main()
        self.exit_by_menu(process, main)
        self.assertIn("DefType=2", self.folder.ini())

    def test_bad_position_reports_and_ends(self):
        self.folder.write("Spinlog.ini", b"[Main]\r\nLeft=left\r\n")
        process = self.start()
        box = self.desktop.wait_window("^Spinlog$", pid=process.pid)
        self.desktop.key(box, "Return")
        self.assertEqual(self.wait_exit(process), 0)
        entries = self.folder.log_entries()
        self.assertTrue(entries[1].startswith("[frmMain]-[Form_Load] "), entries)


if __name__ == "__main__":
    unittest.main()
