"""A Stackmat timer as the clock: the real program listening to a pipe source
of a PulseAudio server started here, fed a timer's signal made from its
protocol by the stackmat_signal tool."""

import os, subprocess  # noqa: E401

from harness import BUILD_DIR, NO_COUNTDOWN, SpinlogTest, wait_for

LOST = "[frmMain]-[Stackmat] "


class StackmatTest(SpinlogTest):

    def setUp(self):
        super().setUp()
        # Only the native protocol, on a socket here; it ends itself once its
        # last client has gone, should the test die before ending it.
        env = dict(os.environ, HOME=self.tmp, PULSE_RUNTIME_PATH=self.tmp + "/runtime",
                   PULSE_STATE_PATH=self.tmp + "/state")
        server = subprocess.Popen(
            ["pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=10", "--use-pid-file=no",
             "--realtime=no", "--high-priority=no", "--disable-shm=yes", "--log-level=error",
             "-L", "module-native-protocol-unix auth-anonymous=1 socket=%s/native" % self.tmp],
            env=env, stdout=subprocess.DEVNULL)
        self.processes.append(server)
        self.pulse = {"PULSE_SERVER": "unix:%s/native" % self.tmp}
        pactl = lambda *args: subprocess.run(["pactl", *args], env={**env, **self.pulse},
                                             capture_output=True, timeout=10).returncode == 0
        wait_for(lambda: pactl("info"), what="the sound server")
        self.fifo = os.path.join(self.tmp, "stackmat.fifo")
        self.assertTrue(pactl("load-module", "module-pipe-source", "source_name=stackmat",
                              "file=" + self.fifo, "format=s16le", "rate=48000", "channels=1"))
        self.folder.write("Spinlog.ini",
                          NO_COUNTDOWN + b"Timer=stackmat\r\nStackmatDevice=stackmat\r\n")

    def feed(self, *steps):
        with open(self.fifo, "wb") as line:
            subprocess.run([os.path.join(BUILD_DIR, "bin", "stackmat_signal"), *steps],
                           stdout=line, check=True, timeout=60)

    def test_a_solve_timed_by_the_timer(self):
        process, main = self.launch(self.pulse)
        self.feed("generation=4", "reset:1", "run:12.345", "stop:2")
        self.wait_filled(main, 1, "from the timer")
        self.leave(process, main)
        self.assertEqual(self.folder.stored()[1], [["1", "12.34", "12.34"]])
        self.assertFalse(self.folder.exists("Err.log"))

    def test_the_signal_cut_while_running(self):
        process, main = self.launch(self.pulse)
        self.feed("generation=4", "reset:1", "run:3")
        wait_for(lambda: any(e.startswith(LOST) for e in self.folder.log_entries()), 10,
                 "the lost solve told")
        self.assertEqual([f for _, f in self.labels(main, 1)], [False])
        self.leave(process, main)
        self.assertEqual(self.folder.stored()[1], [])
