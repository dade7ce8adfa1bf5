// The record of every frame the units' side of the line received, for tests and for the
// kr5sim log file. One line per frame:
//   "<ms since start, 3 decimals> port<n> <baud> <address byte in hex> <command>"
//   e.g. "12.345 port1 9600 C0 v"
// A frame without a valid address and command shows "??" and its bytes in hex instead:
//   "12.400 port1 9600 ?? 4142430D0A"
#pragma once

#include <QByteArray>
#include <QString>

namespace kr5::sim {

struct FrameRecord {
    double atUs = 0.0;  // when its last byte arrived
    int port = 0;
    int baud = 0;        // the speed the bytes were sent at
    int address = -1;    // index 0..15, -1 when the frame is not well formed
    QByteArray command;  // empty when the frame is not well formed
    QByteArray raw;      // every byte of the frame, LF included
    QByteArray answer;   // what the addressed unit answered, before any fault bent it
};

QString formatFrame(const FrameRecord& frame);

// Splits a frame into address and command: the last address byte (0xC0..0xCF) before a
// final CR LF starts it, and the command is 1..32 printable ASCII characters. Leaves
// address -1 and command empty when the frame is anything else.
void parseFrame(FrameRecord& frame);

}  // namespace kr5::sim
