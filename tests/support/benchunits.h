// The line as start-up leaves it on the default simulated bench: the detector at address
// 0, the AC unit at 1 and the noise discriminator at 2, all found on port 1, which is open
// at 9600 baud.
#pragma once

#include "app/globals.h"
#include "link/link.h"

namespace kr5::test {

// Returns whether port 1 could be opened.
inline bool startOnDefaultBench(Globals& g, Link& link, bool withAc = true, bool withZn = true) {
    link.setadr();
    g.comport = 1;
    g.portstr = QStringLiteral("1");
    g.kradr = g.adrtbl[0];
    g.acuok = withAc;
    g.acuadr = withAc ? g.adrtbl[1] : QString();
    g.znok = withZn;
    g.znadr = withZn ? g.adrtbl[2] : QString();
    return link.openport(1);
}

}  // namespace kr5::test
