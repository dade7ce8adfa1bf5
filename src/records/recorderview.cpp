#include "recorderview.h"

namespace kr5 {

void RecorderView::show(const RecorderState& state) {
    const RecorderState old = std::exchange(s_, state);
    if (old.filePrepared != s_.filePrepared) {
        emit preparedChanged(s_.filePrepared);
    }
    if (old.recOnSelected != s_.recOnSelected) {
        emit selectionChanged(s_.recOnSelected);
    }
    if (old.recOnCaption != s_.recOnCaption) {
        emit recOnCaptionChanged(s_.recOnCaption);
    }
}

}  // namespace kr5
