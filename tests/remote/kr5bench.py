# The real program on the simulated bench for the remote-control tests: kr5sim on its
# pseudo-terminals and kr5au listening on a port the system chooses, both in a folder of their
# own, and both stopped however the test ends.
import os
import re
import signal
import socket
import subprocess
import tempfile
import time

NOT_A_NUMBER = "9.91E37"
LISTENING = re.compile(r"remote control listening on 127\.0\.0\.1:(\d+)")


def programs(argv):
    """The paths of kr5sim and kr5au, and the arguments left for the test runner.

    CTest gives both on the command line after the script; KR5SIM and KR5AU in the
    environment serve a run by hand.
    """
    if len(argv) >= 3 and not argv[1].startswith("-"):
        return argv[1], argv[2], argv[:1] + argv[3:]
    sim, program = os.environ.get("KR5SIM"), os.environ.get("KR5AU")
    if not sim or not program:
        raise SystemExit("usage: %s KR5SIM KR5AU [test options]" % argv[0])
    return sim, program, argv


def _wait_for(what, predicate, process, seconds):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        found = predicate()
        if found:
            return found
        if process.poll() is not None:
            raise RuntimeError("%s ended with %s" % (what, process.returncode))
        time.sleep(0.05)
    raise RuntimeError("%s: nothing after %s s" % (what, seconds))


class Bench:
    """with Bench(sim, program) as bench: ... bench.port, bench.folder."""

    def __init__(self, sim, program, sim_args=(), program_args=()):
        self.sim_path = sim
        self.program_path = program
        self.sim_args = list(sim_args)
        self.program_args = list(program_args)
        self.port = None
        self.exit_code = None
        self.log = ""  # what both printed, kept for a failure's message after the stop
        self._dir = None
        self._sim = None
        self._program = None

    @property
    def folder(self):
        return self._dir.name

    def path(self, name):
        return os.path.join(self.folder, name)

    def text(self, name):
        try:
            with open(self.path(name), encoding="utf-8", errors="replace") as f:
                return f.read()
        except OSError:
            return ""

    def __enter__(self):
        self._dir = tempfile.TemporaryDirectory(prefix="kr5bench-")
        try:
            self._start()
        except BaseException:
            self.stop()
            raise
        return self

    def __exit__(self, *exc):
        self.stop()
        return False

    def _start(self):
        # Output goes to files, so that a chatty process never blocks on a full pipe.
        with open(self.path("sim.out"), "wb") as out, open(self.path("sim.err"), "wb") as err:
            self._sim = subprocess.Popen(
                [self.sim_path, "--operator", "off", "--seed", "7"] + self.sim_args,
                stdout=out, stderr=err, cwd=self.folder)
        _wait_for("kr5sim", lambda: "READY" in self.text("sim.out"), self._sim, 10)
        device = re.search(r"^PORT1=(\S+)$", self.text("sim.out"), re.M).group(1)

        env = dict(os.environ)
        env.update(KR5AU_PORT1=device, KR5AU_PORT2=self.path("no-such-port"),
                   QT_QPA_PLATFORM="offscreen", XDG_CONFIG_HOME=self.folder)
        with open(self.path("kr5au.out"), "wb") as out, \
                open(self.path("kr5au.err"), "wb") as err:
            self._program = subprocess.Popen(
                [self.program_path, "--listen", "0"] + self.program_args,
                stdout=out, stderr=err, cwd=self.folder, env=env)
        found = _wait_for("kr5au", lambda: LISTENING.search(self.text("kr5au.err")),
                          self._program, 15)
        self.port = int(found.group(1))
        self._wait_until_measuring(30)

    def _wait_until_measuring(self, seconds):
        # The server answers while the units are still being searched for; a test wants
        # readings. Its own connection keeps the -230 of the early answers off the test's.
        with socket.create_connection(("127.0.0.1", self.port), timeout=5) as s:
            replies = s.makefile("r", encoding="utf-8", newline="\n")

            def charge_known():
                s.sendall(b"MEAS:CHAR?\n")
                return replies.readline().strip() != NOT_A_NUMBER

            _wait_for("kr5au's first reading", charge_known, self._program, seconds)

    def stop(self):
        # The program first: it closes its measurement file and lets go of the line.
        for attr in ("_program", "_sim"):
            process = getattr(self, attr)
            if process is not None and process.poll() is None:
                process.send_signal(signal.SIGTERM)
                try:
                    process.wait(timeout=15)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()
        if self._program is not None:
            self.exit_code = self._program.returncode
        if self._dir is not None:
            self.log = "".join("--- %s\n%s" % (name, self.text(name))
                               for name in ("sim.err", "kr5au.out", "kr5au.err"))
            self._dir.cleanup()
            self._dir = None
