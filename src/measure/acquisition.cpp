#include "acquisition.h"

#include "app/numeric.h"
#include "link/wire.h"

namespace kr5 {

namespace {

// A digit command: the letter and the last character of the value's decimal text.
QString digitCommand(char letter, int value) {
    return QLatin1Char(letter) + QString::number(value).right(1);
}

}  // namespace

Acquisition::Acquisition(Globals& g, Requests& requests, Link& link, Timing& timing,
                         EventPump& pump, Reading& reading, LoopWindows& windows)
    : g_(g),
      req_(requests),
      link_(link),
      timing_(timing),
      pump_(pump),
      reading_(reading),
      windows_(windows) {}

void Acquisition::loopStart() {
    timing_.startTimers();
    for (const char* cmd : {"m1", "a0", "r0"}) {
        link_.krcommand(QLatin1String(cmd));
    }
    req_.ratereq = ratesent = req_.attreq = attsent = 0;
    windows_.showZn4Panel(g_.znok, g_.portstr);
    if (g_.znok) {
        for (const char* cmd : {"m1", "a0", "c0", "f0"}) {
            link_.zncommand(QLatin1String(cmd));
        }
    }
    windows_.startCharts(g_.portstr);
    windows_.tickRemote();
}

void Acquisition::mesloop() {
    loopStart();
    while (true) {
        if (g_.qnmode) {
            // A start that came after this cycle's request point is still pending: its
            // marker goes before the first pass, so that it precedes the end marker.
            startPendingQn();
            qnscan();
            if (g_.qnstop) {
                if (qnend) {
                    qnend();
                }
                g_.qnstop = false;
            }
        } else {
            normalCycle();
        }
        if (g_.endreq) {
            break;
        }
    }
    link_.shutdown();
    timing_.stopTimers();
}

void Acquisition::normalCycle() {
    timing_.cyccnt = roundEvenLong(g_.samplems / 100.0);
    reading_.mesread();
    sendRequests();
    ++g_.cyccount;
    timing_.waitcycle();
}

void Acquisition::sendRequests() {
    if (req_.remreq) {
        remsend();
        req_.remreq = false;
    }
    // Compare and copy first, then send: a request that changes during the send is
    // seen in the next cycle.
    if (req_.attreq != attsent) {
        attsent = req_.attreq;
        krcmd = digitCommand('a', attsent);
        rangesend();
    }
    if (req_.ratereq != ratesent) {
        ratesent = req_.ratereq;
        krcmd = digitCommand('r', ratesent);
        rangesend();
    }
    if (g_.znremreq) {
        znremsend();
        g_.znremreq = false;
    }
    sendZnSetting('f', g_.znfunc, g_.znfuncsent);
    sendZnSetting('c', g_.znatt1, g_.znatt1sent);
    sendZnSetting('a', g_.znatt2, g_.znatt2sent);
    if (g_.speedreq) {
        link_.setspeed(g_.comspeed);
        g_.speedreq = false;
    }
    startPendingQn();
}

void Acquisition::startPendingQn()
{
    if (req_.qnstartreq) {
        if (qnstart) {
            qnstart();
        }
        req_.qnstartreq = false;
    }
}

void Acquisition::sendZnSetting(char letter, int value, int& sent) {
    if (value != sent) {
        sent = value;
        znsetcmd = digitCommand(letter, sent);
        znsend();
    }
}

void Acquisition::acknowledge() {
    pump_.pumpOnce();
    link_.receive(replyShort, timeoutNormal);
    timing_.wait(200);
}

void Acquisition::remsend() {
    link_.krout(req_.remcmd);
    acknowledge();
}

void Acquisition::rangesend() {
    link_.krout(krcmd);
    acknowledge();
}

void Acquisition::znremsend() {
    link_.znout(g_.zncmd);
    acknowledge();
}

void Acquisition::znsend() {
    link_.znout(znsetcmd);
    acknowledge();
}

void Acquisition::qnscan() {
    for (int i = 0; i < 10; ++i) {
        windows_.selectAttButton(i);
        link_.krout(digitCommand('a', i));
        pump_.pumpOnce();
        link_.receive(replyShort, timeoutNormal);
        timing_.wait(100);
        link_.krout(QStringLiteral("c") + QString::number(g_.gatetime));
        timing_.wait(g_.gatetime);
        link_.receive(replyRead, 2 * g_.gatetime);
        const qint32 rate = qnrate(qncount(g_.rxbuf), g_.gatetime);
        reading_.qnread(rate, i);
    }
}

}  // namespace kr5
