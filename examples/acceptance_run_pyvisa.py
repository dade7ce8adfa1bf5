#!/usr/bin/env python3
# The same unattended acceptance run as acceptance_run.py, through PyVISA (its pure-Python
# backend, pyvisa-py) instead of a bare socket: kr5au is a raw TCP socket instrument whose
# lines end in LF. Same arguments, same exit code.
#
#   python3 acceptance_run_pyvisa.py --address 127.0.0.1:5025 --level 22 --hold 60 \
#       --limit 10 --reports /data/reports "T-4711:bushing" "T-4712:bushing"
import sys

import pyvisa

import acceptance_run
from sequencer import NO_ERROR


class VisaInstrument:
    """kr5au as a VISA resource, with the write, query and errors acceptance_run uses."""

    def __init__(self, address):
        host, _, port = address.rpartition(":")
        self.resource = pyvisa.ResourceManager("@py").open_resource(
            "TCPIP0::%s::%s::SOCKET" % (host or "127.0.0.1", port),
            read_termination="\n", write_termination="\n", timeout=5000, encoding="utf-8")

    def write(self, command):
        self.resource.write(command)

    def query(self, command):
        return self.resource.query(command)

    def errors(self):
        found = []
        while (error := self.query("SYST:ERR?")) != NO_ERROR:
            found.append(error)
        return found


if __name__ == "__main__":
    try:
        sys.exit(acceptance_run.main(connect=VisaInstrument))
    except pyvisa.errors.VisaIOError as e:
        print("error:", e, file=sys.stderr)
        sys.exit(1)
