"""Faults a user's machine can throw at the real program: a compaction at exit
that fails at each of its steps, damaged database files, settings that are no
numbers, and a damaged error log. Each gives its message box and log line, and
nothing already stored is lost."""

import os
import random
import shutil
import subprocess
import tempfile
import time
import unittest

from harness import KEY, SpinlogTest, Timeout, wait_for
from test_crash import filled_labels

RECORD = 323
HISTORY_ROW = ("insert into T_Time values ('2007/05/%02d 21:%02d:%02d','1','10.00','10.00',"
               "'12.00','11.00','13.00','-','-','-','-','-','-','-','11.00',11.0,1,'10.00',"
               "10.0,5,'13.00',13.0);")
WORK_ROWS = ("insert into W_Time ([No],[Time],[TimeSS]) values (1,'12.34',12.34);\n"
             "insert into W_Time ([No],[Time],[TimeSS]) values (2,'1:05.43',65.43);")


def log_header():
    return time.strftime("%Y/%m/%d %H:%M:%S").encode() + b"\0\0" + b"00000".ljust(300) + b"\r\n"


def history_rows(count):
    return "\n".join(HISTORY_ROW % (1 + i // 3600 % 28, i // 60 % 60, i % 60)
                     for i in range(count))


class FaultTest(SpinlogTest):
    """Drives the program through its message boxes."""

    def setUp(self):
        super().setUp()
        self.folder.write("Spinlog.ini", b"[Option]\r\nCntDownTm=0\r\nAlarmTm=0\r\n")
        self.fill_database(history=3)

    def fill_database(self, history):
        self.folder.sql("begin;\n%s\n%s\ncommit;" % (history_rows(history), WORK_ROWS))

    def stored(self, folder=None):
        """The saved history and the series under way, through the CLI."""
        path = os.path.join(folder or self.folder.path, "Spinlog.mdb")
        result = subprocess.run(
            ["sqlcipher", "-batch", "-separator", "|", path],
            input="PRAGMA key='%s';\nselect * from T_Time order by DateTime;\nselect '--';\n"
                  "select * from W_Time order by [No];\n" % KEY,
            capture_output=True, text=True, timeout=30)
        self.assertEqual((result.returncode, result.stderr), (0, ""), "the database does not open")
        history, work = result.stdout.split("--\n")
        return history.splitlines(), work.splitlines()

    def is_box(self, wid):
        out = subprocess.run(["xprop", "-display", self.desktop.display, "-id", wid,
                              "_NET_WM_WINDOW_TYPE"], capture_output=True, text=True,
                             timeout=20).stdout
        return "_NET_WM_WINDOW_TYPE_DIALOG" in out

    def main_window(self, process):
        windows = [w for w in self.desktop.windows("^Spinlog$", pid=process.pid)
                   if not self.is_box(w)]
        return windows[0] if windows else None

    def answer_boxes(self, process, quiet=0.5, timeout=20.0):
        """Presses Return on every message box until the program has ended or
        has shown no box for `quiet` seconds; returns the number answered."""
        answered = 0
        calm_since = time.monotonic()
        deadline = time.monotonic() + timeout
        while process.poll() is None:
            if time.monotonic() > deadline:
                raise Timeout("the program neither ended nor settled")
            boxes = [w for w in self.desktop.windows("^Spinlog$", pid=process.pid)
                     if self.is_box(w)]
            if boxes:
                self.desktop.key(boxes[-1], "Return")
                answered += 1
                wait_for(lambda: process.poll() is not None or
                         boxes[-1] not in self.desktop.windows("^Spinlog$", pid=process.pid),
                         what="the box to close")
                calm_since = time.monotonic()
            elif self.main_window(process) and time.monotonic() - calm_since > quiet:
                break
            time.sleep(0.05)
        return answered

    def exit_program(self, process):
        """Closes the main window from its menu and answers what follows."""
        main = self.main_window(process)
        self.assertIsNotNone(main, "no main window to close")
        self.desktop.key(main, "alt+f", "x")
        answered = self.answer_boxes(process, quiet=30)
        self.assertEqual(self.wait_exit(process), 0)
        return answered

    def prefixes(self):
        """The log entries, header first, cut at their description."""
        entries = self.folder.log_entries()
        return entries[:1] + [e[:e.index("] ") + 2] if "] " in e else e for e in entries[1:]]

    def solve(self, process):
        main = self.main_window(process)
        self.desktop.key(main, "F5")
        time.sleep(0.2)
        self.desktop.key(main, "F5")


class CompactionFaultTest(FaultTest):
    """The exit's backup and compaction fail: the database stays as it was at
    exit, byte for byte and with its key."""

    def run_to_exit(self, fault, expected_log, boxes=1):
        process = self.start()
        main = self.desktop.wait_window("^Spinlog$", pid=process.pid)
        # One more solve, so the file at exit differs from the one at start.
        self.solve(process)
        wait_for(lambda: filled_labels(self.desktop, main) == [True] * 3,
                 what="the third solve to show")
        # The program holds the file locked: its data is read from a copy.
        at_exit = self.folder.read("Spinlog.mdb")
        copy = tempfile.mkdtemp(prefix="spinlog-copy-")
        self.addCleanup(shutil.rmtree, copy)
        shutil.copy(self.folder.file("Spinlog.mdb"), copy)
        data = self.stored(copy)
        fault()
        self.assertEqual(self.exit_program(process), boxes)
        self.assertEqual(self.folder.read("Spinlog.mdb"), at_exit)
        self.assertEqual(self.stored(), data)
        self.assertEqual(len(data[1]), 3)
        entries = self.folder.log_entries()
        self.assertEqual(len(entries), 2, entries)
        self.assertTrue(entries[1].startswith(expected_log) and
                        len(entries[1]) > len(expected_log), entries[1])
        self.assertFalse(os.path.isfile(self.folder.file("COMSpinlog.mdb")))

    def test_directory_where_the_backup_goes(self):
        os.mkdir(self.folder.file("BKSpinlog.mdb"))
        self.run_to_exit(lambda: None, "[mdlCommon]-[Fun_MDBCompact]-[ErrBackup] ")
        self.assertTrue(os.path.isdir(self.folder.file("BKSpinlog.mdb")))

    def test_directory_where_the_compacted_copy_goes(self):
        os.mkdir(self.folder.file("COMSpinlog.mdb"))
        self.run_to_exit(lambda: None, "[mdlCommon]-[Fun_MDBCompact]-[ErrCompact] ")
        self.assertTrue(os.path.isdir(self.folder.file("COMSpinlog.mdb")))
        self.assertFalse(self.folder.exists("BKSpinlog.mdb"))

    def test_read_only_folder(self):
        # Root ignores permission bits, so the folder is made immutable. The
        # log already exists there and can still be written.
        self.folder.write("Err.log", log_header())
        probe = subprocess.run(["chattr", "+i", self.folder.path], capture_output=True,
                               text=True)
        if probe.returncode != 0:
            self.skipTest("cannot make a folder immutable here: " + probe.stderr.strip())
        self.addCleanup(subprocess.run, ["chattr", "-i", self.folder.path])
        subprocess.run(["chattr", "-i", self.folder.path], check=True)
        before = sorted(os.listdir(self.folder.path))
        self.run_to_exit(lambda: subprocess.run(["chattr", "+i", self.folder.path], check=True),
                         "[mdlCommon]-[Fun_MDBCompact]-[ErrBackup] ")
        after = sorted(os.listdir(self.folder.path))
        # The engine cannot delete its spent journal in such a folder; what it
        # leaves must not be one that would roll the database back.
        if "Spinlog.mdb-journal" in after:
            after.remove("Spinlog.mdb-journal")
            journal = self.folder.read("Spinlog.mdb-journal")
            self.assertFalse(any(journal[:28]), "a live journal was left behind")
        self.assertEqual(after, before)

    def full_disk(self, leave):
        """Moves the application folder onto a small file system of its own,
        where the exit will find only `leave(database size)` bytes free."""
        mount = tempfile.mkdtemp(prefix="spinlog-tmpfs-")
        self.addCleanup(os.rmdir, mount)
        result = subprocess.run(["mount", "-t", "tmpfs", "-o", "size=48m", "tmpfs", mount],
                                capture_output=True, text=True)
        if result.returncode != 0:
            self.skipTest("mounting a tmpfs is not allowed here: " + result.stderr.strip())
        self.addCleanup(subprocess.run, ["umount", "-l", mount])
        for name in os.listdir(self.folder.path):
            shutil.copy2(self.folder.file(name), os.path.join(mount, name))
        shutil.rmtree(self.folder.path)
        self.folder.path = mount
        # A database large enough that half of it is many pages.
        self.folder.sql("begin;\n%s\ncommit;" % history_rows(2000))

        def fill():
            size = len(self.folder.read("Spinlog.mdb"))
            stat = os.statvfs(mount)
            free = stat.f_bavail * stat.f_frsize
            with open(os.path.join(mount, "filler"), "wb") as filler:
                filler.write(b"\0" * max(free - leave(size), 0))
        return fill

    def test_full_disk_at_the_backup(self):
        fill = self.full_disk(lambda size: size // 2 + 16384)
        self.run_to_exit(fill, "[mdlCommon]-[Fun_MDBCompact]-[ErrBackup] ")
        self.assertFalse(self.folder.exists("BKSpinlog.mdb"))
        self.assertIn("No space left on device", self.folder.log_entries()[1])

    def test_full_disk_keeps_the_settings(self):
        fill = self.full_disk(lambda size: 0)
        # The log's first page is taken already, so its entry still fits.
        self.folder.write("Err.log", log_header())
        settings = self.folder.read("Spinlog.ini")
        self.run_to_exit(fill, "[mdlCommon]-[Fun_MDBCompact]-[ErrBackup] ")
        self.assertEqual(self.folder.read("Spinlog.ini"), settings)
        self.assertIn("BKSpinlog.mdb: No space left on device", self.folder.log_entries()[1])

    def test_full_disk_at_the_compaction(self):
        fill = self.full_disk(lambda size: size + size // 2 + 16384)
        self.run_to_exit(fill, "[mdlCommon]-[Fun_MDBCompact]-[ErrCompact] ")
        self.assertFalse(self.folder.exists("BKSpinlog.mdb"))


class DatabaseFileFaultTest(FaultTest):
    """A Spinlog.mdb that cannot be used is refused at start and left alone."""

    def test_damaged_database_files(self):
        good = self.folder.read("Spinlog.mdb")
        big = self.folder.file("big.mdb")
        shutil.copy(self.folder.file("Spinlog.mdb"), big)
        self.folder.sql("begin;\n%s\ncommit;" % history_rows(1000), db="big.mdb")
        truncated = self.folder.read("big.mdb")
        truncated = truncated[:len(truncated) // 2]
        self.folder.sql("PRAGMA rekey='other';", db="big.mdb")
        other_key = self.folder.read("big.mdb")
        os.remove(big)
        self.folder.write("Spinlog.mdb", good)
        self.folder.sql("drop table MT_Type;")
        missing_table = self.folder.read("Spinlog.mdb")
        cases = {
            "garbage": random.Random(7).randbytes(len(good)),
            "truncated": truncated,
            "another key": other_key,
            "a table missing": missing_table,
            "empty": b"",
        }
        for name, content in cases.items():
            with self.subTest(name):
                for leftover in ("Err.log", "Spinlog.ini"):
                    if self.folder.exists(leftover):
                        os.remove(self.folder.file(leftover))
                self.folder.write("Spinlog.mdb", content)
                before = sorted(os.listdir(self.folder.path))
                process = self.start()
                self.assertEqual(self.answer_boxes(process), 1)
                self.assertEqual(self.wait_exit(process), 0)
                self.assertEqual(self.folder.read("Spinlog.mdb"), content)
                self.assertEqual(sorted(os.listdir(self.folder.path)), sorted(before + ["Err.log"]))
                entries = self.folder.log_entries()
                self.assertEqual(len(self.folder.read("Err.log")), 2 * RECORD)
                self.assertEqual(entries[0], "00001")
                self.assertRegex(entries[1], r"^\[mdlCommon\]-\[Fun_MDBOpen\] \S")


class DesktopFaultTest(FaultTest):
    """The database deleted while the program runs; no program for text files."""

    def wait_box(self, process):
        wait_for(lambda: any(self.is_box(w) for w in self.desktop.windows(
            "^Spinlog$", pid=process.pid)), what="a message box")
        self.assertEqual(self.answer_boxes(process), 1)

    def test_database_deleted_while_running(self):
        self.folder.write("Spinlog.ini", b"[Main]\r\nDefType=4\r\n[Option]\r\nCntDownTm=0\r\n")
        self.folder.sql("delete from W_Time;")
        history, _ = self.stored()
        process = self.start()
        main = self.desktop.wait_window("^Spinlog$", pid=process.pid)
        for n in range(2):
            self.solve(process)
            wait_for(lambda: filled_labels(self.desktop, main)[n], what="solve %d" % (n + 1))
            if n == 0:  # after a write, as later ones then still seem to succeed
                os.remove(self.folder.file("Spinlog.mdb"))
        self.solve(process)  # the third of three
        self.wait_box(process)  # saved
        self.assertEqual(self.exit_program(process), 1)
        saved = [n for n in os.listdir(self.folder.path) if n.startswith("Spinlog-recovered-")]
        self.assertEqual(len(saved), 1, os.listdir(self.folder.path))
        self.assertEqual(self.prefixes()[1:], ["[mdlCommon]-[Fun_MDBCompact]-[ErrMoved] "])
        os.rename(self.folder.file(saved[0]), self.folder.file("Spinlog.mdb"))
        new_history, work = self.stored()
        self.assertEqual((new_history[:-1], work), (history, []))

    def test_no_program_for_text_files(self):
        xdg = tempfile.mkdtemp(prefix="spinlog-xdg-")
        self.addCleanup(shutil.rmtree, xdg)
        os.symlink("/usr/share/mime", os.path.join(xdg, "mime"))  # the types, but no programs
        with open(os.path.join(xdg, "xdg-open"), "w") as opener:
            opener.write('#!/bin/sh\ntouch "$0.started"\n')
        os.chmod(opener.name, 0o755)
        env = dict.fromkeys(["XDG_CONFIG_HOME", "XDG_CONFIG_DIRS", "XDG_DATA_HOME",
                             "XDG_DATA_DIRS"], xdg)
        process = self.start(env=dict(env, PATH=xdg + ":" + os.environ["PATH"]))
        self.desktop.key(self.desktop.wait_window("^Spinlog$", pid=process.pid), "F1")
        self.wait_box(process)
        self.exit_program(process)
        self.assertEqual(self.folder.log_entries()[1].split("\u3000")[0],
                         "[mdlCommon]-[Sub_ShowHelpFlie] 関連付けられているファイルがありません")
        self.assertFalse(os.path.exists(opener.name + ".started"))


class SettingsFaultTest(FaultTest):
    """Every settings key holding a non-number, a negative, a huge or an empty
    value: the window that uses it reports it, and nothing stored is lost."""

    VALUES = {"non-numeric": "abc", "negative": "-7", "huge": "99999999999999999999",
              "empty": ""}
    LOAD = "[frmMain]-[Form_Load] "

    def expected(self, key, kind):
        """The log prefixes, whether the program ends at load, and the solves
        the run can add."""
        if key in ("Left", "Top"):
            return ([], False, 0) if kind == "negative" else ([self.LOAD], True, 0)
        if key == "DefType":
            return ["[frmMain]-[Sub_cmbTypeSet] "], False, 0
        if key == "CntDownTm":
            # A negative countdown counts as none and the solve runs.
            return ([], False, 1) if kind == "negative" else (
                ["[frmMain]-[Sub_StartStop] "], False, 0)
        if key == "AlarmTm":
            # A negative interval does not come round within the solve; a huge
            # one does not convert, as no other number would.
            if kind == "negative":
                return [], False, 1
            return ["[frmMain]-[tmrCount_Timer] "], False, 1
        if key == "DefColor":
            # The empty display fails, then so does the restored series.
            return ["[frmMain]-[Sub_MainDspSet] ", self.LOAD], True, 0
        if key in ("BestColor", "WorstColor"):
            return [self.LOAD], True, 0
        return [], False, 0  # the history window's keys are not read here

    def settings(self, key, value):
        base = {"Main": {"Left": "4000", "Top": "5000", "DefType": "0"},
                "Option": {"CntDownTm": "0", "AlarmTm": "0"},
                "View": {}}
        if key == "View":
            base["View"] = {k: value for k in ("Top", "Left", "Height", "SearchType",
                                               "SearchOrder")}
        else:
            section = "Main" if key in base["Main"] else "Option"
            base[section][key] = value
        text = "".join("[%s]\r\n" % s + "".join("%s=%s\r\n" % kv for kv in keys.items())
                       for s, keys in base.items())
        return text.encode("ascii")

    def run_case(self, template, key, kind):
        value = self.VALUES[kind]
        self.folder.write("Spinlog.mdb", template)
        for leftover in ("Err.log", "BKSpinlog.mdb", "COMSpinlog.mdb"):
            if self.folder.exists(leftover):
                os.remove(self.folder.file(leftover))
        self.folder.write("Spinlog.ini", self.settings(key, value))
        history, work = self.stored()
        prefixes, ends, solves = self.expected(key, kind)

        process = self.start()
        answered = self.answer_boxes(process)
        if not ends:
            main = self.main_window(process)
            if key == "AlarmTm":
                self.desktop.key(main, "F5")
                if prefixes:
                    wait_for(lambda: any(self.is_box(w) for w in self.desktop.windows(
                        "^Spinlog$", pid=process.pid)), what="the timer's error")
                    answered += self.answer_boxes(process, quiet=0)
                else:
                    time.sleep(1.2)
                # Stopped before the next tick can fail again.
                self.desktop.key(main, "F5")
                answered += self.answer_boxes(process)
            elif key == "CntDownTm":
                self.desktop.key(main, "F5")
                answered += self.answer_boxes(process, quiet=0.3)
                if not prefixes:
                    self.desktop.key(main, "F5")
            if solves:
                wait_for(lambda: filled_labels(self.desktop, main)[:3] == [True] * 3,
                         what="the solve to show")
            answered += self.exit_program(process)
        self.assertEqual(self.wait_exit(process), 0)

        entries = self.prefixes()[1:]
        if key == "AlarmTm" and prefixes:
            # Each failing tick reports; at least one came before the stop.
            self.assertTrue(entries and set(entries) == set(prefixes), entries)
            self.assertEqual(answered, len(entries))
        else:
            self.assertEqual(entries, prefixes)
            self.assertEqual(answered, len(prefixes))
        for entry in self.folder.log_entries()[1:]:
            self.assertNotRegex(entry, r"\] $", "a log line without its description")
        new_history, new_work = self.stored()
        self.assertEqual(new_history, history)
        self.assertEqual(new_work[:len(work)], work)
        self.assertEqual(len(new_work), len(work) + solves)

    def test_bad_values_in_every_key(self):
        template = self.folder.read("Spinlog.mdb")
        for key in ("Left", "Top", "DefType", "CntDownTm", "AlarmTm", "DefColor", "BestColor",
                    "WorstColor", "View"):
            for kind in self.VALUES:
                with self.subTest(key=key, kind=kind):
                    self.run_case(template, key, kind)


class ErrorLogFaultTest(FaultTest):
    """A damaged Err.log: the next failure still lands where the header says."""

    def record(self, text):
        return b"2007/05/01 21:03:09\0\0" + text.ljust(300) + b"\r\n"

    def fail_once(self):
        os.rename(self.folder.file("Spinlog.mdb"), self.folder.file("away.mdb"))
        process = self.start()
        self.assertEqual(self.answer_boxes(process), 1)
        self.assertEqual(self.wait_exit(process), 0)
        os.rename(self.folder.file("away.mdb"), self.folder.file("Spinlog.mdb"))
        return self.folder.read("Err.log")

    def check_entry(self, log, record, count):
        self.assertEqual(log[21:26], b"%05d" % count)
        entry = log[record * RECORD:(record + 1) * RECORD]
        self.assertTrue(entry[21:].startswith(b"[mdlCommon]-[Fun_MDBOpen] "), entry)
        self.assertEqual(entry[19:21] + entry[-2:], b"\0\0\r\n")

    def test_garbage_header(self):
        old = [self.record(b"[x]-[y] %d" % n) for n in (1, 2)]
        self.folder.write("Err.log", b"\xff\xfe garbage \x81" + b"?" * 311 + b"".join(old))
        log = self.fail_once()
        self.assertEqual(len(log), 3 * RECORD)
        self.check_entry(log, 1, 1)
        self.assertEqual(log[2 * RECORD:], old[1])

    def test_length_not_a_multiple_of_the_record(self):
        old = [self.record(b"[x]-[y] %d" % n) for n in (1, 2)]
        self.folder.write("Err.log", self.record(b"00002") + b"".join(old) + b"tail" * 25)
        log = self.fail_once()
        self.assertEqual(len(log), 4 * RECORD)
        self.check_entry(log, 3, 3)
        self.assertEqual(log[RECORD:3 * RECORD], b"".join(old))
        # Shorter than the header says: the entry still goes where it counts.
        self.folder.write("Err.log", self.record(b"00005") + old[0] + b"cut")
        log = self.fail_once()
        self.assertEqual(len(log), 7 * RECORD)
        self.check_entry(log, 6, 6)
        self.assertEqual(log[RECORD:2 * RECORD], old[0])


if __name__ == "__main__":
    unittest.main()
