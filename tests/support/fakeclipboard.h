// A clipboard for tests: holds one picture.
#pragma once

#include "platform/clipboard.h"

namespace kr5::test {

class FakeClipboard : public Clipboard {
  public:
    QImage held;
    int clears = 0;
    void clear() override {
        held = QImage();
        ++clears;
    }
    void setImage(const QImage& image) override { held = image; }
    QImage image() const override { return held; }
};

}  // namespace kr5::test
