// The clipboard as the chart windows use it: pictures in and out.
#pragma once

#include <QImage>

namespace kr5 {

class Clipboard {
  public:
    virtual ~Clipboard() = default;
    virtual void clear() = 0;
    virtual void setImage(const QImage& image) = 0;
    // The picture on the clipboard; a null image when there is none.
    virtual QImage image() const = 0;
};

}  // namespace kr5
