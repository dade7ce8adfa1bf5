// The operator's requests to the instruments, as the panel's handlers record them and the
// acquisition loop carries them out at fixed points of its cycle.
#pragma once

#include <QString>

namespace kr5 {

struct Requests {
    QString remcmd;           // "m1" or "m0": remote command for the detector
    bool remreq = false;      // remcmd must be sent
    int attreq = 0;           // attenuator range asked for by the panel
    int ratereq = 0;          // rate range asked for by the panel
    bool qnstartreq = false;  // the start of a Q-N measurement is to be recorded
};

}  // namespace kr5
