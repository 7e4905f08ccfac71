"""The installed copy (the Debian package's build) as a user meets it, laid
out as the package lays it out: started from its menu entry's Exec line by a
user whose home is empty, it keeps its files in the user's data folder, made
with the delivered ones, and writes nothing beside the program."""

import os, pathlib, re, shutil, subprocess  # noqa: E401
from harness import BUILD_DIR, AppFolder, SpinlogTest

PROGRAM = os.environ.get("SPINLOG_INSTALLED_PROGRAM",
                         os.path.join(BUILD_DIR, "bin", "spinlog_installed_copy"))
APP_ID = re.search(r'kAppId = QStringLiteral\("(.*)"\)', pathlib.Path(
    __file__).resolve().parents[2].joinpath("src/base/version.h").read_text()).group(1)
ENTRY = pathlib.Path(BUILD_DIR, "packaging", APP_ID + ".desktop")
DELIVERED = ("Spinlog.mdb", "Readme.txt", "Sound.wav", "Warn.wav")
TYPES = [["3x3x3"], ["2x2x2"], ["4x4x4"], ["5x5x5"], ["3x3x3目隠し"]]


def files_under(path):
    return {str(p.relative_to(path)): p.read_bytes() for p in pathlib.Path(path).rglob("*")
            if p.is_file()}


def user_folder(path):
    folder = AppFolder.__new__(AppFolder)
    folder.path = str(path)
    return folder


class InstalledCopyTest(SpinlogTest):

    def setUp(self):
        super().setUp()
        self.usr = pathlib.Path(self.tmp, "usr")
        (self.usr / "bin").mkdir(parents=True)
        shutil.copy2(PROGRAM, self.usr / "bin" / "spinlog")
        (self.usr / "share" / "spinlog").mkdir(parents=True)
        for name in DELIVERED:
            shutil.copy2(os.path.join(BUILD_DIR, name), self.usr / "share" / "spinlog")
        self.package = files_under(self.usr)
        self.home = pathlib.Path(self.tmp, "home")
        self.home.mkdir()
        self.env = {k: v for k, v in self.env.items() if k != "XDG_DATA_HOME"}
        self.env.update(HOME=str(self.home), PATH="%s:%s" % (self.usr / "bin", os.environ["PATH"]))
        exec_line = next(l for l in ENTRY.read_text().splitlines() if l.startswith("Exec="))
        self.command = exec_line[len("Exec="):].split()

    def command_line(self, *args, env=None):
        return subprocess.run(self.command + list(args), cwd="/", capture_output=True,
                              env={**self.env, **(env or {})}, timeout=60)

    def test_first_start_from_the_menu_makes_the_users_folder(self):
        process, main = self.launch(command=self.command)
        folder = user_folder(self.home / ".local/share/Spinlog")
        self.assertTrue(folder.exists("Spinlog.mdb"))
        self.leave(process, main)
        # The database is open, and so changed, by then: it is read instead.
        self.assertEqual(folder.sql("select TypeNm from MT_Type order by TypeID;"), TYPES)
        for name in DELIVERED[1:]:
            self.assertEqual(folder.read(name), self.package["share/spinlog/" + name])
        self.assertTrue(folder.exists("Spinlog.ini"))
        self.assertEqual(files_under(self.usr), self.package)
        self.assertEqual(sorted(os.listdir(self.home)), [".local"])

    def test_the_command_line_makes_the_folder_only_when_it_reads_records(self):
        data = pathlib.Path(self.tmp, "data")
        env = {"XDG_DATA_HOME": str(data)}
        scramble = self.command_line("--scramble", "3x3x3", env=env)
        self.assertEqual((scramble.returncode, scramble.stdout.count(b"\n")), (0, 1))
        self.assertFalse(data.exists())
        stats = self.command_line("--stats", env=env)
        self.assertEqual(stats.returncode, 0, stats.stderr)
        self.assertTrue(stats.stdout.startswith("解答数\t0\n".encode()))
        self.assertTrue((data / "Spinlog" / "Spinlog.mdb").is_file())
        self.assertEqual(os.listdir(self.home), [])
        self.assertEqual(files_under(self.usr), self.package)
