"""Drives the real Spinlog under its own Xvfb with xdotool, as a user would.

Each test gets a private X server, a temporary application folder holding a
copy of the built program and its delivered files, and helpers to find
windows, type keys and read back the files the program wrote.
"""

import os
import shutil
import signal
import subprocess
import tempfile
import time
import unittest

BUILD_DIR = os.environ.get("SPINLOG_BUILD_DIR",
                           os.path.join(os.path.dirname(__file__), "..", "..", "build"))
DELIVERED = ["spinlog", "Spinlog.mdb", "Readme.txt", "Sound.wav"]
KEY = "wubd"


class Timeout(AssertionError):
    pass


def wait_for(predicate, timeout=10.0, interval=0.05, what="condition"):
    """Polls until predicate() is truthy; returns its value."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise Timeout("timed out waiting for " + what)
        time.sleep(interval)


class Desktop:
    """A private Xvfb display."""

    def __init__(self):
        read_fd, write_fd = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "1280x1024x24",
             "-nolisten", "tcp", "-dpi", "96",
             # Without it the server resets whenever its last client leaves,
             # and a program started at that moment cannot connect.
             "-noreset"],
            pass_fds=[write_fd], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_fd)
        with os.fdopen(read_fd) as pipe:
            number = pipe.readline().strip()
        if not number:
            raise RuntimeError("Xvfb did not start")
        self.display = ":" + number
        self.runtime = tempfile.mkdtemp(prefix="spinlog-xdg-")
        os.chmod(self.runtime, 0o700)

    def env(self):
        env = dict(os.environ)
        env.update({"DISPLAY": self.display, "XDG_RUNTIME_DIR": self.runtime,
                    "LANG": "C.UTF-8", "QT_QPA_PLATFORM": "xcb"})
        env.pop("WAYLAND_DISPLAY", None)
        return env

    def xdotool(self, *args, check=True):
        result = subprocess.run(["xdotool", *map(str, args)], env=self.env(),
                                capture_output=True, text=True, timeout=20)
        if check and result.returncode != 0:
            raise AssertionError("xdotool %s failed: %s" % (args, result.stderr))
        return result.stdout.strip()

    def windows(self, name=None, pid=None):
        args = ["search", "--all", "--onlyvisible"]
        if pid is not None:
            args += ["--pid", pid]
        args += ["--name", name if name is not None else "."]
        out = self.xdotool(*args, check=False)
        return [w for w in out.split() if w]

    def window_name(self, wid):
        return self.xdotool("getwindowname", wid, check=False)

    def wait_window(self, name, pid=None, timeout=10.0):
        return wait_for(lambda: (self.windows(name, pid) or [None])[-1], timeout,
                        what="window " + name)

    def focus(self, wid):
        self.xdotool("windowfocus", "--sync", wid)

    def key(self, wid, *keys):
        self.focus(wid)
        for k in keys:
            # The key may close the window it was sent to; that is no failure.
            # Real (XTEST) key events go to the focused window; events sent to a
            # window id are synthetic and Qt ignores them.
            self.xdotool("key", "--clearmodifiers", k, check=False)

    def type(self, wid, text):
        self.focus(wid)
        self.xdotool("type", "--delay", "30", text)

    def geometry(self, wid):
        out = self.xdotool("getwindowgeometry", "--shell", wid)
        values = dict(line.split("=", 1) for line in out.splitlines() if "=" in line)
        return {k: int(v) for k, v in values.items() if k in ("X", "Y", "WIDTH", "HEIGHT")}

    def screenshot(self, path, wid="root"):
        subprocess.run(["import", "-display", self.display, "-window", str(wid), path],
                       check=True, timeout=20)

    def close(self):
        self.process.terminate()
        try:
            self.process.wait(5)
        except subprocess.TimeoutExpired:
            self.process.kill()
        shutil.rmtree(self.runtime, ignore_errors=True)


class AppFolder:
    """A temporary application folder holding a fresh copy of the build."""

    def __init__(self, files=DELIVERED):
        self.path = tempfile.mkdtemp(prefix="spinlog-app-")
        for name in files:
            shutil.copy2(os.path.join(BUILD_DIR, name), self.file(name))

    def file(self, name):
        return os.path.join(self.path, name)

    def exists(self, name):
        return os.path.exists(self.file(name))

    def read(self, name):
        with open(self.file(name), "rb") as f:
            return f.read()

    def write(self, name, data):
        with open(self.file(name), "wb") as f:
            f.write(data)

    def sql(self, statement, db="Spinlog.mdb", key=KEY):
        """Runs statements through the sqlcipher CLI; returns rows as lists."""
        script = ("PRAGMA key='%s';\n" % key if key is not None else "") + statement + "\n"
        result = subprocess.run(["sqlcipher", "-batch", "-separator", "|", self.file(db)],
                                input=script, capture_output=True, text=True, timeout=30)
        if result.returncode != 0 or "Error" in result.stderr:
            raise AssertionError("sqlcipher: " + result.stderr.strip())
        lines = [l for l in result.stdout.splitlines() if l != "ok"]
        return [l.split("|") for l in lines]

    def ini(self):
        return self.read("Spinlog.ini").decode("cp932") if self.exists("Spinlog.ini") else ""

    def log_entries(self):
        """The Err.log texts, header first, decoded from code page 932."""
        if not self.exists("Err.log"):
            return []
        data = self.read("Err.log")
        records = [data[i:i + 323] for i in range(0, len(data), 323)]
        return [r[21:321].decode("cp932", "replace").rstrip(" ") for r in records]

    def remove(self):
        shutil.rmtree(self.path, ignore_errors=True)


class SpinlogTest(unittest.TestCase):
    """Base class: a desktop and an application folder per test."""

    def setUp(self):
        self.desktop = Desktop()
        self.folder = AppFolder()
        self.processes = []

    def tearDown(self):
        for p in self.processes:
            if p.poll() is None:
                p.kill()
                p.wait(5)
            p.stderr_log.close()
        self.desktop.close()
        self.folder.remove()

    def start(self, folder=None, env=None):
        folder = folder or self.folder
        # The program's messages go to a file: a pipe nobody reads could fill
        # and stall the program on a write.
        log = tempfile.TemporaryFile()
        process = subprocess.Popen([folder.file("spinlog")],
                                   env={**self.desktop.env(), **(env or {})}, cwd="/",
                                   stdout=subprocess.DEVNULL, stderr=log)
        process.stderr_log = log
        self.processes.append(process)
        return process

    @staticmethod
    def stderr_text(process):
        process.stderr_log.seek(0)
        return process.stderr_log.read().decode(errors="replace")

    def wait_exit(self, process, timeout=20.0):
        try:
            return process.wait(timeout)
        except subprocess.TimeoutExpired:
            raise Timeout("the program did not end")

    def kill(self, process):
        process.send_signal(signal.SIGKILL)
        process.wait(5)
