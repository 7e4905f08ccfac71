"""Faults a user's machine throws at the real program, each with its message
box and log line, and nothing stored lost."""

import os, pathlib, shutil, subprocess  # noqa: E401

from harness import NO_COUNTDOWN, SpinlogTest, insert_series

# A saved series and a series under way that no fault may lose.
STORED = (insert_series("2007/05/01 21:03:09", "1", ["10.00", "9.00", "12.00", "11.00", "13.00"],
                        "11.00", 2, 5) + "insert into W_Time ([No],[Time],TimeSS) values (1,'1:02.34',62.34),(2,'5.43',5.43);")
BACKUP_FAILED = "[mdlCommon]-[Fun_MDBCompact]-[ErrBackup] "
SNAPSHOT_SKIPPED = "[mdlCommon]-[Snapshot] "


def log_record(text):
    return b"2007/05/01 21:03:09\0\0" + text.ljust(300) + b"\r\n"


class FaultTest(SpinlogTest):

    def setUp(self):
        super().setUp()
        self.folder.write("Spinlog.ini", NO_COUNTDOWN)
        self.folder.sql(STORED)
        self.before = self.folder.stored()

    def sources(self):
        """The log entries after the header, cut after their source."""
        return [e[:e.index("] ") + 2] for e in self.folder.log_entries()[1:]]

    def exit_with(self, fault, logs):
        """A solve, the fault, the exit: the database stays as it was at exit,
        byte for byte and with its key, and the log names the failing step."""
        process, main = self.launch()
        self.solve(main, 0.2)
        self.wait_filled(main, 3)
        at_exit = self.folder.read("Spinlog.mdb")
        fault()
        self.leave(process, main, boxes=1)
        self.assertEqual(self.folder.read("Spinlog.mdb"), at_exit)
        history, work = self.folder.stored()  # and with its key
        self.assertEqual((history, work[:2], len(work)), (self.before[0], self.before[1], 3))
        self.assertEqual(self.sources(), logs)
        self.assertFalse(os.path.isfile(self.folder.file("COMSpinlog.mdb")))
        return self.folder.log_entries()[1:]

    def on_small_disk(self):
        """Moves the application folder onto a tmpfs of its own; returns a
        function that fills it up."""
        mount = os.path.join(self.tmp, "disk")
        os.mkdir(mount)
        result = subprocess.run(["mount", "-t", "tmpfs", "-o", "size=48m", "tmpfs", mount],
                                capture_output=True, text=True)
        if result.returncode != 0:
            self.skipTest("mounting a tmpfs is not allowed here: " + result.stderr.strip())
        self.addCleanup(subprocess.run, ["umount", "-l", mount])
        shutil.copytree(self.folder.path, mount, dirs_exist_ok=True)
        shutil.rmtree(self.folder.path)
        self.folder.path = mount
        # The log's first page is taken already, so its entry still fits.
        self.folder.write("Err.log", log_record(b"00000"))
        free = lambda: os.statvfs(mount).f_bavail * os.statvfs(mount).f_frsize
        return lambda: self.folder.write("filler", b"\0" * free())

    def test_full_disk_at_exit_keeps_the_settings(self):
        fill = self.on_small_disk()
        settings = self.folder.read("Spinlog.ini")
        # The day's snapshot is skipped for want of room, then the backup fails.
        snapshot, entry = self.exit_with(fill, [SNAPSHOT_SKIPPED, BACKUP_FAILED])
        self.assertIn("バックアップを取りませんでした", snapshot)
        self.assertEqual(os.listdir(self.folder.file("Backup")), [])
        self.assertIn("BKSpinlog.mdb: No space left on device", entry)
        self.assertEqual(self.folder.read("Spinlog.ini"), settings)

    def test_bad_settings(self):
        load = "[frmMain]-[Form_Load] "
        for settings, log in ((b"[Option]\r\nDefColor=\r\n", ["[frmMain]-[Sub_MainDspSet] ", load]),
                              (b"[Option]\r\nCntDownTm=abc\r\n", ["[frmMain]-[Sub_StartStop] "])):
            with self.subTest(settings):
                self.folder.write("Spinlog.ini", settings)
                self.folder.write("Err.log", b"")
                process = self.start()
                if b"CntDownTm" in settings:  # the countdown fails at the press
                    main = self.wait_window("^Spinlog$", process.pid)
                    self.key(main, "F5")
                    self.answer(process, "Return")
                    self.leave(process, main)
                while process.poll() is None:  # each failure of the load in its box
                    self.answer(process, "Return")
                self.assertEqual((process.wait(), self.sources()), (0, log))
                self.assertEqual(self.folder.stored(), self.before)

    def test_second_copy_is_refused_and_touches_nothing(self):
        first, main = self.launch()
        files = lambda: {n: self.folder.read(n) for n in os.listdir(self.folder.path)}
        before = files()
        second = self.start()
        self.key(self.wait_window("^Spinlog$", second.pid), "Return")
        self.assertEqual((second.wait(20), files(), first.poll()), (0, before, None))

    def test_no_program_for_text_files(self):
        xdg = os.path.join(self.tmp, "xdg")
        os.mkdir(xdg)
        os.symlink("/usr/share/mime", os.path.join(xdg, "mime"))  # the types, but no programs
        opener = pathlib.Path(xdg, "xdg-open")
        opener.write_text('#!/bin/sh\ntouch "$0.started"\n')
        opener.chmod(0o755)
        env = dict.fromkeys(["XDG_CONFIG_HOME", "XDG_CONFIG_DIRS", "XDG_DATA_HOME",
                             "XDG_DATA_DIRS"], xdg)
        process, main = self.launch(env=dict(env, PATH=xdg + ":" + os.environ["PATH"]))
        self.key(main, "F1")
        self.answer(process, "Return")
        self.leave(process, main)
        self.assertEqual(self.folder.log_entries()[1].split("\u3000")[0],
                         "[mdlCommon]-[Sub_ShowHelpFlie] 関連付けられているファイルがありません")
        self.assertFalse(os.path.exists(xdg + "/xdg-open.started"))
