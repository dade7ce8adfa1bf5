// The system clipboard.
#pragma once

#include "clipboard.h"

namespace kr5 {

class QtClipboard : public Clipboard {
  public:
    void clear() override;
    void setImage(const QImage& image) override;
    QImage image() const override;
};

}  // namespace kr5
