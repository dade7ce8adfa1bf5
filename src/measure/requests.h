// The operator's requests to the instruments, as the panels, the menus and the Options
// window record them. Only the acquisition loop reads them, and it carries them out at
// fixed points of its normal cycle, so no window ever talks to the line.
#pragma once

#include <optional>

namespace kr5 {

struct Requests {
    // The detector.
    std::optional<bool> detectorRemote;  // remote (true) or local to be sent
    int attenuator = 0;                  // attenuator range asked for
    int rate = 0;                        // rate range asked for

    // The noise discriminator.
    std::optional<bool> discriminatorRemote;
    int discriminatorFunction = 0;  // "f": 0 ALL ON, 1 N OFF, 2 PD ON, 3 ANT OFF
    int channelB = 0;               // "c": attenuator step of channel B
    int channelA = 0;               // "a": attenuator step of channel A

    bool speedChange = false;  // move the line to the speed of the operating settings
    bool qnStart = false;      // a Q-N measurement began: its start is to be recorded
    bool end = false;          // end the program after this cycle or pass
};

}  // namespace kr5
