#!/usr/bin/env python3
# A short test sequence through kr5au's remote control (kr5au --listen PORT), with nothing
# but Python's own socket module: name the test, record it into a new file for some seconds
# while printing the readings, close the file and ask for the inception and extinction
# voltages. It exits 1 when the program refused or reported anything.
#
#   python3 sequencer.py /data/cable-7.csv --address 127.0.0.1:5025 --name "Cable 7" --seconds 60
#
# The file's path is the program's: a relative one lies in kr5au's working folder.
import argparse
import socket
import sys
import time

NOT_A_NUMBER = "9.91E37"  # SCPI's answer for a value the program does not have
NO_ERROR = '0,"No error"'


class Instrument:
    """One SCPI connection: a command is a line; only queries (ending in ?) are answered."""

    def __init__(self, address):
        host, _, port = address.rpartition(":")
        self.sock = socket.create_connection((host or "127.0.0.1", int(port)), timeout=5)
        self.replies = self.sock.makefile("r", encoding="utf-8", newline="\n")

    def write(self, command):
        self.sock.sendall(command.encode("utf-8") + b"\n")

    def query(self, command):
        self.write(command)
        reply = self.replies.readline()
        if not reply:
            raise ConnectionError("kr5au closed the connection")
        return reply.rstrip("\r\n")

    def errors(self):
        """Empties the error queue, oldest first."""
        found = []
        while True:
            error = self.query("SYST:ERR?")
            if error == NO_ERROR:
                return found
            found.append(error)


def quoted(text):
    return '"' + text.replace('"', '""') + '"'


def voltage(kr5, query):
    """The voltage in kV, or why there is none: its reason is the next error queued."""
    reply = kr5.query(query)
    return reply + " kV" if reply != NOT_A_NUMBER else "none (%s)" % kr5.query("SYST:ERR?")


def run(kr5, args):
    failed = []
    identity = kr5.query("*IDN?")
    if not identity.startswith("KR5AU,"):
        return ["not kr5au: " + identity]
    print(identity)
    kr5.write("*CLS")  # what earlier clients left is none of this test's business

    if args.sample is not None:
        kr5.write("CONF:SAMP %d" % args.sample)
    kr5.write("CONF:NAME " + quoted(args.name))
    kr5.write("REC:FILE " + quoted(args.file))
    # Recording without a file, or into someone else's, would be worse than stopping here.
    failed += kr5.errors()
    if failed:
        return failed

    kr5.write("REC:STAT ON")
    for _ in range(args.seconds):
        time.sleep(1)
        print(kr5.query("READ?"))
    kr5.write("REC:STAT PAUS")
    print("rows recorded:", kr5.query("REC:COUN?"))
    kr5.write("REC:STAT CLOS")
    if kr5.query("REC:STAT?") != "CLOS":
        failed.append("the file is still open")
    failed += kr5.errors()

    print("inception:", voltage(kr5, "VQ:INC?"))
    print("extinction:", voltage(kr5, "VQ:EXT?"))
    return failed + kr5.errors()


def main():
    parser = argparse.ArgumentParser(description="A short test through kr5au's remote control.")
    parser.add_argument("file", help="the new measurement file (the program refuses an old one)")
    parser.add_argument("--address", default="127.0.0.1:5025", help="HOST:PORT of kr5au")
    parser.add_argument("--name", default="Sequencer test", help="the test's name")
    parser.add_argument("--seconds", type=int, default=10, help="how long to record")
    parser.add_argument("--sample", type=int, choices=(0, 100, 200, 500),
                        help="the sample time in ms (the program's own when not given)")
    return run_and_tell(run, Instrument, parser.parse_args())


def run_and_tell(run, connect, args):
    """Runs run(instrument, args); says each problem on standard error; the exit code."""
    try:
        failed = run(connect(args.address), args)
    except (OSError, ValueError) as e:  # refused, timed out, cut off, a bad address
        failed = ["%s: %s" % (args.address, e)]
    for problem in failed:
        print("error:", problem, file=sys.stderr)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
