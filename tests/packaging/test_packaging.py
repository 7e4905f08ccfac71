"""What the desktop reads of Spinlog, as its own checkers read it: the menu
entries (the package's, and the one scripts/menu-entry writes for a folder),
the AppStream metadata, the manual page against the program's usage, and the
icons."""

import os, pathlib, re, struct, subprocess, tempfile, unittest  # noqa: E401
import xml.etree.ElementTree as ET

BUILD = pathlib.Path(os.environ.get("SPINLOG_BUILD_DIR", "../../build"))
SOURCE = pathlib.Path(__file__).resolve().parents[2]
# The version window's facts: texts and numbers, by name.
FACTS = {name: text or number for name, text, number in re.findall(
    r"k(\w+) = (?:QStringLiteral\(\"([^\"]*)\"\)|(\d+))",
    (SOURCE / "src/base/version.h").read_text())}
APP_ID = FACTS["AppId"]
SIZES = [16, 22, 24, 32, 48, 64, 128, 256]


def run(*args, **kwargs):
    return subprocess.run([str(a) for a in args], capture_output=True, text=True, timeout=60,
                          **kwargs)


def exec_program(entry):
    """The program an entry's Exec line starts, undoing the value's escapes
    and then the argument's quoting, as the desktop does."""
    line = next(l for l in entry.read_text().splitlines() if l.startswith("Exec="))
    value = re.sub(r"\\(.)", lambda m: {"s": " ", "n": "\n", "t": "\t", "r": "\r"}.get(
        m.group(1), m.group(1)), line[len("Exec="):])
    if value.startswith('"'):
        value = re.sub(r'\\([\\"`$])', r"\1", value[1:-1])
    return value.replace("%%", "%")


class MenuEntryTest(unittest.TestCase):

    def assert_valid(self, entry):
        result = run("desktop-file-validate", entry)
        self.assertEqual((result.returncode, result.stdout + result.stderr), (0, ""))

    def test_the_package_entry_starts_the_program_on_the_path(self):
        entry = BUILD / "packaging" / (APP_ID + ".desktop")
        self.assert_valid(entry)
        self.assertEqual(exec_program(entry), "spinlog")
        self.assertIn("Icon=%s\n" % APP_ID, entry.read_text())

    def test_a_folder_of_any_name_gets_an_entry_that_starts_it(self):
        with tempfile.TemporaryDirectory() as home:
            folder = pathlib.Path(home, 'my "cubes" $HOME 100%', "back\\slash `x`")
            folder.mkdir(parents=True)
            # A relative XDG_DATA_HOME is no folder: the default is used.
            env = dict(os.environ, HOME=home, XDG_DATA_HOME="relative")
            result = run(SOURCE / "scripts/menu-entry", folder, BUILD, env=env)
            self.assertEqual(result.returncode, 0, result.stderr)
            data = pathlib.Path(home, ".local/share")
            entry = data / "applications" / (APP_ID + ".desktop")
            self.assert_valid(entry)
            self.assertEqual(exec_program(entry), str(folder / "spinlog"))
            icons = data / "icons/hicolor"
            self.assertTrue((icons / "scalable/apps" / (APP_ID + ".svg")).is_file())
            for size in SIZES:
                self.assertTrue((icons / ("%dx%d/apps" % (size, size)) / (APP_ID + ".png")).is_file())


class MetadataTest(unittest.TestCase):

    def test_validates_and_names_this_release_and_entry(self):
        path = BUILD / "packaging" / (APP_ID + ".metainfo.xml")
        result = run("appstreamcli", "validate", "--no-net", "--no-color", path)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        root = ET.parse(path).getroot()
        release = root.find("releases/release")
        self.assertEqual((release.get("version"), release.get("date")),
                         ("%s.%s" % (FACTS["Major"], FACTS["Minor"]),
                          FACTS["Comment"].replace("/", "-")))
        self.assertEqual(root.findtext("launchable"), APP_ID + ".desktop")
        self.assertEqual(len(root.findall("screenshots/screenshot/image")), 2)


class ManualPageTest(unittest.TestCase):

    def test_shows_every_command_and_kind_the_usage_lists(self):
        usage = run(BUILD / "spinlog", "--help").stdout
        page = BUILD / "packaging/spinlog.1"
        shown = run("man", "--warnings", "-l", page,
                    env=dict(os.environ, MANWIDTH="1000", LC_ALL="C.UTF-8", MANPAGER="cat"))
        self.assertEqual((shown.returncode, shown.stderr), (0, ""))
        options = lambda text: set(re.findall(r"(?<![\w-])--[a-z][a-z-]*", text))  # noqa: E731
        self.assertGreaterEqual(len(options(usage)), 6)
        self.assertEqual(options(shown.stdout), options(usage))
        kinds = re.search(r"種類: (.*)", usage).group(1).split(", ")
        self.assertGreaterEqual(len(kinds), 12)
        for kind in kinds:
            self.assertRegex(shown.stdout, r"(?<![\w-])%s(?![\w-])" % re.escape(kind))
        self.assertIn(re.search(r"最大 (\d+)", usage).group(1), shown.stdout)


class IconTest(unittest.TestCase):

    def test_each_size_is_drawn_at_its_size_and_the_windows_use_it(self):
        icons = SOURCE / "packaging/icons"
        self.assertEqual(sorted(int(p.stem.split("x")[0]) for p in icons.glob("*x*.png")), SIZES)
        for size in SIZES:
            png = (icons / ("%dx%d.png" % (size, size))).read_bytes()
            self.assertEqual(png[12:16], b"IHDR")
            self.assertEqual(struct.unpack(">II", png[16:24]), (size, size))
        view = ET.parse(icons / "spinlog.svg").getroot().get("viewBox").split()
        self.assertEqual(view[2], view[3])
        self.assertEqual((SOURCE / "assets/icon.png").read_bytes(),
                         (icons / "32x32.png").read_bytes())
