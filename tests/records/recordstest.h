// Helpers shared by the records tests: file contents as bytes and as lines, and readings
// as the measurement hands them over (built by hand or from the units' replies).
#pragma once

#include "measure/reading.h"
#include "support/filebytes.h"
#include "support/replies.h"

#include <QDir>
#include <QList>
#include <ostream>

// Failure messages show texts as text.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QByteArray& bytes, std::ostream* os) {
    *os << '"' << bytes.toStdString() << '"';
}

namespace kr5::recordstest {

using test::detectorReply;
using test::readBytes;
using test::writeBytes;

// The lines of bytes written with CR LF ends; any other line end gives one line saying so,
// which no expected content matches.
inline QList<QByteArray> crlfLines(QByteArray bytes) {
    if (bytes.isEmpty()) {
        return {};
    }
    if (!bytes.endsWith("\r\n") || bytes.count('\n') != bytes.count("\r\n")) {
        return {"<a line without CR LF>"};
    }
    bytes.replace("\r\n", "\n").chop(1);
    return bytes.split('\n');
}
inline QList<QByteArray> crlfLines(const QString& path) {
    return crlfLines(readBytes(path));
}

// The AC unit's whole reply to "t" with code 2 (Es is digits / 10 V).
inline Reply acReply(int digits) {
    return test::whole(QString::asprintf("A1t2%03d\r\n", digits));
}

// A marker line as the file holds it, and the data row of cycleReading(2, q, 1, 10, 1000).
inline QByteArray marker(const char* tag, const char* time = "14:05:09") {
    return QByteArray("\"") + tag + "\",\"" + time + "\",\"dummy\",\"dummy\",\"dummy\"";
}
inline QByteArray row(int q) {
    return " 2," + QByteArray::number(q) + ".0, 1,10.0,1000.0";
}

// A complete reading of a normal cycle with the values of a data row.
inline Reading cycleReading(int att, double charge, int rateRange, double pulseRate,
                            double testVoltage) {
    Reading r;
    r.detector = DetectorFields{};
    r.es = testVoltage / 100.0;
    r.attRange = att;
    r.rateRange = rateRange;
    r.charge = charge;
    r.pulseRate = pulseRate;
    r.testVoltage = testVoltage;
    return r;
}

}  // namespace kr5::recordstest
