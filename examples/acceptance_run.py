#!/usr/bin/env python3
# An unattended acceptance run through kr5au's remote control (kr5au --listen PORT), with
# nothing but Python's own socket module: calibrate the charge with the calibrator connected,
# measure the background with the high voltage off, then for each test object fill in its
# test details, start the acceptance test afresh, wait for its verdict and write its report.
# It exits 1 when the program refused or reported anything, or a step did not end in time.
#
#   python3 acceptance_run.py --address 127.0.0.1:5025 --level 22 --hold 60 --limit 10 \
#       --charge 100 --reports /data/reports "T-4711:bushing" "T-4712:bushing" "T-4713:bushing"
#
# The report paths are the program's: a relative one lies in kr5au's working folder.
import argparse
import os
import sys
import time

from sequencer import NOT_A_NUMBER, Instrument, quoted, run_and_tell


def wait_for(kr5, query, done, seconds, what):
    """Asks query until done(reply) holds; the reply, or TimeoutError after seconds."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        reply = kr5.query(query)
        if done(reply):
            return reply
        time.sleep(0.5)
    raise TimeoutError("%s: no answer after %s s" % (what, seconds))


def calibrate(kr5, charge_pc):
    kr5.write("CAL:CHAR %s;:CAL:STAR" % charge_pc)
    proposal = wait_for(kr5, "CAL:PROP?", lambda r: not r.startswith(NOT_A_NUMBER), 30,
                        "the calibration")
    kr5.write("*CLS")  # the "averaging" answers meanwhile left their reasons
    kr5.write("CAL:ACC")
    print("calibrated: Adjust, mean raw peak, spread, warnings:", proposal)


def measure_background(kr5):
    kr5.write("MEAS:BACK:STAR")
    time.sleep(6)  # the program looks for 5 s
    level = kr5.query("MEAS:BACK?")
    print("background:", level, "pC")
    return level != NOT_A_NUMBER


def test_object(kr5, ident, kind, report, seconds):
    kr5.write("TEST:DET:OBJ %s;TYPE %s" % (quoted(ident), quoted(kind)))
    kr5.write("TEST:RESTART")
    verdict = wait_for(kr5, "TEST:VERD?", lambda r: r in ("PASS", "FAIL"), seconds,
                       "the acceptance test of " + ident)
    print("%s: %s, %s" % (ident, verdict, kr5.query("TEST:STAT?")))
    kr5.write("REP " + quoted(report))


def run(kr5, args):
    identity = kr5.query("*IDN?")
    if not identity.startswith("KR5AU,"):
        return ["not kr5au: " + identity]
    print(identity)
    kr5.write("*CLS")
    calibrate(kr5, args.charge)
    failed = kr5.errors()
    if not measure_background(kr5):
        failed.append("no background: was the high voltage off?")
    kr5.write("TEST:LEV %s;HOLD %s;LIM %s;BACK:THR %s"
              % (args.level, args.hold, args.limit, args.background_below))
    failed += kr5.errors()
    if failed:
        return failed
    for item in args.objects:
        ident, _, kind = item.partition(":")
        report = os.path.join(args.reports, ident + ".pdf")
        test_object(kr5, ident, kind, report, args.timeout)
        failed += kr5.errors()
    return failed


def arguments():
    parser = argparse.ArgumentParser(description="An acceptance run on several test objects.")
    parser.add_argument("objects", nargs="+", help="ID:TYPE of each test object, in test order")
    parser.add_argument("--address", default="127.0.0.1:5025", help="HOST:PORT of kr5au")
    parser.add_argument("--charge", type=float, default=100, help="the calibrator's charge, pC")
    parser.add_argument("--level", type=float, required=True, help="the test level, kV")
    parser.add_argument("--hold", type=float, required=True, help="the hold time, s")
    parser.add_argument("--limit", type=float, required=True, help="permissible charge, pC")
    parser.add_argument("--background-below", type=float, default=1,
                        help="the voltage (kV) below which the background is read")
    parser.add_argument("--reports", default=".", help="the folder the reports go to")
    parser.add_argument("--timeout", type=float, default=600,
                        help="seconds to wait for each object's verdict")
    return parser.parse_args()


def main(connect=Instrument):
    # TimeoutError, a step that did not end in time, is an OSError too.
    return run_and_tell(run, connect, arguments())


if __name__ == "__main__":
    sys.exit(main())
