"""Start-up as a user meets it: a missing database, a second copy."""

import os
import unittest

from harness import SpinlogTest


class StartupTest(SpinlogTest):

    def test_missing_database_reports_logs_and_ends_without_window(self):
        os.remove(self.folder.file("Spinlog.mdb"))
        process = self.start()
        box = self.desktop.wait_window("^Spinlog$", pid=process.pid)
        self.desktop.key(box, "Return")
        self.assertEqual(self.wait_exit(process), 0)
        log = self.folder.read("Err.log")
        self.assertEqual(len(log), 646)
        entries = self.folder.log_entries()
        self.assertEqual(entries[0], "00001")
        self.assertTrue(entries[1].startswith("[mdlCommon]-[Fun_MDBOpen] "), entries[1])
        self.assertFalse(self.folder.exists("Spinlog.ini"))

    def test_second_copy_is_refused_and_touches_nothing(self):
        first = self.start()
        main = self.desktop.wait_window("^Spinlog$", pid=first.pid)
        before = {n: self.folder.read(n) for n in os.listdir(self.folder.path)}
        second = self.start()
        box = self.desktop.wait_window("^Spinlog$", pid=second.pid)
        self.desktop.key(box, "Return")
        self.assertEqual(self.wait_exit(second), 0)
        after = {n: self.folder.read(n) for n in os.listdir(self.folder.path)}
        self.assertEqual(before, after)
        self.assertIsNone(first.poll(), "the first copy must keep running")
        self.assertIn(main, self.desktop.windows("^Spinlog$", pid=first.pid))


if __name__ == "__main__":
    unittest.main()
