// The windows' copy of a recorder kept up with it at once, as the engine's state reaches
// the windows after each step of the program.
#pragma once

#include "records/recorder.h"
#include "records/recorderview.h"

namespace kr5::test {

inline void followRecorder(Recorder& recorder, RecorderView& view) {
    const auto show = [&recorder, &view] { view.show(recorder.state()); };
    QObject::connect(&recorder, &Recorder::preparedChanged, &view, show);
    QObject::connect(&recorder, &Recorder::selectionChanged, &view, show);
    QObject::connect(&recorder, &Recorder::recOnCaptionChanged, &view, show);
    show();
}

}  // namespace kr5::test
