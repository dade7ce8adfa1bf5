// kr5au: builds the program's objects, hands each what it needs, and runs.
// For now it calibrates the reply wait and checks the line: every address of ports 1 and
// 2 is asked to identify itself and the units that answer are listed.
#include "app/globals.h"
#include "app/timing.h"
#include "link/link.h"
#include "link/wire.h"
#include "platform/qtclock.h"
#include "platform/qteventpump.h"
#include "platform/qtserialport.h"

#include <QCoreApplication>
#include <QTextStream>

using namespace kr5;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);

    Globals g;
    QtClock clock;
    QtEventPump pump(clock);
    QtSerialPort port;
    Timing timing(g, clock, pump);
    Link link(g, port, clock, pump, timing);

    g.loopcal = calibrateLoop(clock);
    out << "loopcal " << g.loopcal << Qt::endl;
    link.setadr();
    for (int p = 1; p <= 2; ++p) {
        if (!link.openport(p)) {
            out << "port " << p << " (" << QtSerialPort::deviceFor(p) << "): cannot open"
                << Qt::endl;
            continue;
        }
        for (int i = 0; i < 16; ++i) {
            link.sendTo(i, QStringLiteral("v"));
            link.receive(replyIdent, timeoutNormal);
            const QString type = unitType(g.rxbuf);
            if (type == QLatin1String("KR") || type == QLatin1String("AU") ||
                type == QLatin1String("ZN")) {
                out << "port " << p << " address " << i << ": " << unitIdent(g.rxbuf) << Qt::endl;
            }
        }
        link.closeport();
    }
    return 0;
}
