#include "historymarkers.h"

namespace kr5 {

void HistoryMarkers::recordingSelected(bool recOn) {
    if (recorder_.filePrepared()) {
        history_.addMarkerNow(recOn ? QStringLiteral("REC ON") : QStringLiteral("PAUSE"));
    }
}

void HistoryMarkers::filePreparedChanged(bool prepared) {
    if (!prepared) {
        history_.addMarkerNow(QStringLiteral("RECOFF"));
    }
}

void HistoryMarkers::qnStarted() {
    history_.addMarkerNow(QStringLiteral("QN start"));
}

void HistoryMarkers::qnEnded() {
    history_.addMarkerNow(QStringLiteral("QN end"));
}

}  // namespace kr5
