# The remote control through a real VISA client: PyVISA with its pure-Python backend on a
# TCPIP SOCKET resource, as a lab's scripts open the program.
import csv
import math
import os
import sys
import time
import unittest

import kr5bench

try:
    import pyvisa
except ImportError as e:
    pyvisa = None
    MISSING = str(e)

NEEDED = "PyVISA is missing (%s): install python3-pyvisa and python3-pyvisa-py"


class PyVisaClient(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        # Missing, the client fails the test: the README's test command installs it.
        if pyvisa is None:
            raise AssertionError(NEEDED % MISSING)
        try:
            cls.manager = pyvisa.ResourceManager("@py")
        except Exception as e:  # the backend is a package of its own
            raise AssertionError(NEEDED % e)
        cls.bench = kr5bench.Bench(SIM, PROGRAM).__enter__()
        try:
            cls.kr5 = cls.manager.open_resource(
                "TCPIP::127.0.0.1::%d::SOCKET" % cls.bench.port,
                read_termination="\n", write_termination="\n", timeout=5000)
        except BaseException:
            cls.bench.stop()
            raise

    @classmethod
    def tearDownClass(cls):
        cls.kr5.close()
        cls.manager.close()
        cls.bench.stop()

    def setUp(self):
        self.kr5.write("*CLS")

    def assertNoError(self):
        self.assertEqual(self.kr5.query("SYST:ERR?"), '0,"No error"')

    def test_identity_and_a_reading_parse(self):
        self.assertTrue(self.kr5.query("*IDN?").startswith("KR5AU,"))
        fields = next(csv.reader([self.kr5.query("READ?")]))
        self.assertEqual(len(fields), 7, fields)
        charge, rate, kilovolts, att, rate_range = (float(f) for f in fields[:5])
        for value in (charge, rate, kilovolts):
            self.assertTrue(math.isfinite(value) and 0 <= value < 9.9e37, fields)
        self.assertEqual((att, rate_range), (int(att), int(rate_range)), fields)
        self.assertEqual(fields[5], "OK")
        self.assertRegex(fields[6], r"^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}$")
        self.assertNoError()

    def test_a_recording_holds_the_rows_it_counted(self):
        path = self.bench.path("visa.csv")
        for command in ("CONF:SAMP 0", 'CONF:NAME "Through VISA"', 'REC:FILE "%s"' % path,
                        "REC:STAT ON"):
            self.kr5.write(command)
        self.assertNoError()
        deadline = time.monotonic() + 15
        while int(self.kr5.query("REC:COUN?")) <= 3 and time.monotonic() < deadline:
            time.sleep(0.1)
        self.kr5.write("REC:STAT CLOS")
        self.assertEqual(self.kr5.query("REC:STAT?"), "CLOS")
        counted = int(self.kr5.query("REC:COUN?"))
        self.assertGreater(counted, 3)
        self.assertNoError()
        with open(path, encoding="utf-8") as f:
            lines = f.read().splitlines()
        rows = [line for line in lines if not line.startswith('"')]
        self.assertEqual(len(rows), counted)
        self.assertTrue(os.path.exists(self.bench.path("visa.json")))

    def test_each_setup_command_and_its_errors(self):
        """The sequencer's commands on the real program: each answers, or refuses with its
        error, as a script meets them."""
        report = self.bench.path("visa.pdf")
        walk = [
            ("TEST:RESTART", None, "-221,"),
            ("TEST:LEV 16.1;HOLD 60;LIM 100;BACK:THR 0", None, "0,"),
            ("TEST:LEV?;HOLD?;LIM?;BACK:THR?", "16.1;60;100;0", "0,"),
            ("TEST:HOLD 0", None, "-222,"),
            ("TEST:RESTART", None, "0,"),
            ('TEST:DET:OBJ "T 1";TYPE "bushing";CAP 1000;FREQ 50', None, "0,"),
            ("TEST:DET:OBJ?;TYPE?;CAP?;FREQ?", '"T 1";"bushing";"1000";"50"', "0,"),
            ('TEST:DET:CHEC "2026-13-01"', None, "-222,"),
            ("CAL:STAR", None, "-221,"),
            ("CAL:CHAR 0", None, "-222,"),
            ("CAL:CHAR 100;CHAR?", "100", "0,"),
            ("CAL:PROP?", "9.91E37", "-230,"),
            ("CAL:REC?", "9.91E37", "-230,"),
            ("MEAS:BACK:STAR", None, "0,"),
            ("QN:GATE 200;GATE?;PASS 10;PASS?", "200;10", "0,"),
            ("QN:GATE 300", None, "-222,"),
            ("QN:PASS NST;PASS?", "NST", "0,"),
            ("QN:QM?", "9.91E37,9.91E37", "-230,"),
            ("QN:NQN?", "9.91E37,9.91E37", "-230,"),
            ('REP "%s"' % report, None, "0,"),
            ('REP "%s"' % report, None, "-200,"),
        ]
        for line, reply, error in walk:
            with self.subTest(line):
                if reply is None:
                    self.kr5.write(line)
                else:
                    self.assertEqual(self.kr5.query(line), reply)
                self.assertTrue(self.kr5.query("SYST:ERR?").startswith(error))
                self.kr5.write("*CLS")
        self.assertTrue(os.path.exists(report))


if __name__ == "__main__":
    SIM, PROGRAM, rest = kr5bench.programs(sys.argv)
    unittest.main(argv=rest)
