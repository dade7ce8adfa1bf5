# The example sequencers against the real program and kr5sim: the measurement file and
# summary examples/sequencer.py leaves, its refusal to go on when the program refuses the
# file, and the short script in the README, run as the README shows it.
import json
import os
import subprocess
import sys
import unittest

import kr5bench

EXAMPLES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "examples")
SEQUENCER = os.path.join(EXAMPLES, "sequencer.py")
README = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "README.md")
SECONDS = 3
HEADER_LINES = 14


def csv_text(text):
    return '"' + text.replace('"', '""') + '"'


class Sequencer(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.bench = kr5bench.Bench(SIM, PROGRAM).__enter__()

    @classmethod
    def tearDownClass(cls):
        cls.bench.stop()

    def sequence(self, path, name):
        return subprocess.run(
            [sys.executable, SEQUENCER, path, "--address", "127.0.0.1:%d" % self.bench.port,
             "--name", name, "--seconds", str(SECONDS), "--sample", "0"],
            capture_output=True, text=True, timeout=40)

    def test_records_a_named_file_with_its_markers_rows_and_summary(self):
        # A quote and a comma: the name must survive SCPI's quoting and the file's.
        name = 'Cable "7", phase B'
        path = self.bench.path("cable7.csv")
        run = self.sequence(path, name)
        self.assertEqual(run.returncode, 0, run.stdout + run.stderr)
        self.assertEqual(run.stderr, "")
        printed = run.stdout.splitlines()
        self.assertTrue(printed[0].startswith("KR5AU,"), printed[0])
        readings = [line for line in printed if line.count(",") >= 6]
        self.assertEqual(len(readings), SECONDS, run.stdout)
        counted = [line for line in printed if line.startswith("rows recorded: ")]
        self.assertEqual(len(counted), 1, run.stdout)
        rows_counted = int(counted[0].split(": ")[1])

        with open(path, "rb") as f:
            data = f.read()
        self.assertTrue(data.endswith(b"\r\n"))
        self.assertEqual(data.count(b"\n"), data.count(b"\r\n"), "a line without CR")
        lines = data.decode("utf-8").split("\r\n")[:-1]
        self.assertEqual(lines[0], '"Name",%s,"dummy","dummy","dummy"' % csv_text(name))
        self.assertEqual(lines[HEADER_LINES - 1], '"ATT.R","pC","RATE.R","P.P.S","TV"')
        self.assertTrue(lines[HEADER_LINES].startswith('"RECON",'), lines[HEADER_LINES])
        self.assertTrue(lines[-2].startswith('"PAUSE",'), lines[-2])
        self.assertTrue(lines[-1].startswith('"RECOFF",'), lines[-1])
        rows = lines[HEADER_LINES + 1:-2]
        for row in rows:
            self.assertEqual(len([float(v) for v in row.split(",")]), 5, row)
        self.assertGreaterEqual(len(rows), SECONDS)
        self.assertEqual(len(rows), rows_counted)

        with open(self.bench.path("cable7.json"), encoding="utf-8") as f:
            summary = json.load(f)
        self.assertEqual(summary["inputConstants"]["name"], name)
        self.assertEqual(summary["rows"], rows_counted)

    def test_an_existing_file_stops_it_before_recording(self):
        path = self.bench.path("earlier.csv")
        with open(path, "w") as f:
            f.write("an earlier test\n")
        run = self.sequence(path, "Second try")
        self.assertEqual(run.returncode, 1, run.stdout)
        self.assertIn("exists", run.stderr)
        self.assertNotIn("rows recorded", run.stdout)
        with open(path) as f:
            self.assertEqual(f.read(), "an earlier test\n")

    def test_the_readmes_script_records_its_ten_seconds(self):
        with open(README, encoding="utf-8") as f:
            readme = f.read()
        start = readme.index("```python\n", readme.index("## Remote control")) + len("```python\n")
        script = self.bench.path("short_test.py")
        with open(script, "w", encoding="utf-8") as f:
            f.write(readme[start:readme.index("```", start)])
        path = self.bench.path("c7.csv")
        run = subprocess.run([sys.executable, script, "127.0.0.1", str(self.bench.port), path],
                             capture_output=True, text=True, timeout=40)
        self.assertEqual(run.returncode, 0, run.stdout + run.stderr)
        printed = run.stdout.splitlines()
        rows = int(next(line for line in printed if line.startswith("rows: ")).split()[1])
        with open(path, "rb") as f:
            lines = f.read().split(b"\r\n")
        self.assertTrue(lines[0].startswith(b'"Name","Cable 7"'))
        self.assertGreaterEqual(rows, 10)
        self.assertEqual(len(lines[HEADER_LINES + 1:-3]), rows)


# The calibrator stays connected; the high voltage stays off for the first 20 s (the
# calibration and the background), then rises to 3 kV and falls again every 8 s.
ACCEPTANCE_BENCH = ["--calibrator", "pc=100", "--profile",
                    "start=0 peak=3 up=3 down=3 hold=4 pause=1 delay=20 repeat=yes"]


class AcceptanceRun(unittest.TestCase):
    """examples/acceptance_run.py, and its PyVISA twin, from calibration to the reports."""

    def run_example(self, script, objects):
        with kr5bench.Bench(SIM, PROGRAM, sim_args=ACCEPTANCE_BENCH) as bench:
            run = subprocess.run(
                [sys.executable, os.path.join(EXAMPLES, script), "--address",
                 "127.0.0.1:%d" % bench.port, "--level", "2", "--hold", "1", "--limit", "10000",
                 "--reports", bench.folder] + objects,
                capture_output=True, text=True, timeout=80)
            self.assertEqual(run.returncode, 0, run.stdout + run.stderr + bench.log)
            for item in objects:
                ident = item.split(":")[0]
                self.assertRegex(run.stdout, "\\n%s: (PASS|FAIL), " % ident)
                report = subprocess.run(["pdftotext", bench.path(ident + ".pdf"), "-"],
                                        capture_output=True, text=True)
                self.assertIn(ident, report.stdout)
            self.assertRegex(run.stdout, "calibrated: .*warnings: [0-9.]+,[0-9.]+,")

    def test_calibrates_measures_the_background_and_reports_each_object(self):
        self.run_example("acceptance_run.py",
                         ["T-4711:bushing", "T-4712:bushing", "T-4713:cable end"])

    def test_the_same_through_pyvisa(self):
        self.run_example("acceptance_run_pyvisa.py", ["T-4714:bushing"])


if __name__ == "__main__":
    SIM, PROGRAM, rest = kr5bench.programs(sys.argv)
    unittest.main(argv=rest)
