// A measurement file written with the program's own line functions (header, markers, rows
// every Q-N block and pause), for the benchmarks that read one back.
#pragma once

#include <QString>

namespace kr5::bench {

// Writes about targetBytes to path; returns the size written in bytes, or -1.
qint64 writeRecording(const QString& path, qint64 targetBytes);

}  // namespace kr5::bench
