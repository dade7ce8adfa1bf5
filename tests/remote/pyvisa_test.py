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


if __name__ == "__main__":
    SIM, PROGRAM, rest = kr5bench.programs(sys.argv)
    unittest.main(argv=rest)
