// The drawing surface on a QImage: 24-bit colour (held as opaque 32-bit pixels, the form
// the screen draws without converting), no antialiasing, a font whose text line is 12
// pixels high. Tests read its pixels; the windows show it with SurfaceView.
//
// A surface may also keep what is drawn as steps (keepDrawing), to be painted again as
// vectors into a PDF or an SVG file.
//
// One painter stays open on the picture from the first drawing until the picture is next
// read: a chart draws a few lines for every reading, and opening a painter costs more than
// drawing them.
#pragma once

#include "surface.h"
#include "surfacedrawing.h"

#include <QFont>
#include <QImage>
#include <QPainter>

namespace kr5 {

class ImageSurface : public Surface {
  public:
    ImageSurface(int width, int height, Colour background = kWhite);
    ImageSurface(const ImageSurface&) = delete;
    ImageSurface& operator=(const ImageSurface&) = delete;

    int width() const override { return image_.width(); }
    int height() const override { return image_.height(); }
    void fillBox(int x1, int y1, int x2, int y2, Colour colour) override;
    void line(double x1, double y1, double x2, double y2, Colour colour) override;
    void line(double x1, double y1, double x2, double y2) override;
    void arc(double cx, double cy, double r, double a1, double a2) override;
    void setForeColour(Colour colour) override { fore_ = colour; }
    Colour foreColour() const override { return fore_; }
    void setPos(double x, double y) override;
    double posX() const override { return x_; }
    double posY() const override { return y_; }
    void print(const QString& text, bool lineEnd) override;
    void clear() override;

    // The picture as it stands, and the colour of one pixel as 0x00BBGGRR.
    const QImage& image() const {
        finishDrawing();
        return image_;
    }
    Colour pixel(int x, int y) const;
    // Replaces the picture (pasting a copied chart); it is converted to the surface's
    // format and size.
    void setImage(const QImage& image);

    // From now on every drawing is also kept as steps; the surface counts as empty then
    // (call it before the first drawing).
    void keepDrawing();
    // What was drawn since the last clear; a null drawing unless keepDrawing was called, and
    // after a picture was put in with setImage, which is no drawing. The picture itself
    // when more was drawn than a drawing keeps.
    SurfaceDrawing drawing() const {
        return drawing_.overflowed() ? SurfaceDrawing::ofPicture(image()) : drawing_;
    }

    // Width in pixels of a text in the surface's font.
    int textWidth(const QString& text) const;

    // The part of the picture drawn on since the last call (empty when nothing was), so
    // that a view repaints only that.
    QRect takeChanges();

    static QColor toQColor(Colour c);
    static Colour fromQColor(const QColor& c);

  private:
    void touched(const QRect& area);
    // The open painter, opened when needed; closed before the picture is read or replaced,
    // so that a copy taken then never shares pixels a later drawing changes.
    QPainter& painter();
    void finishDrawing() const;

    QImage image_;
    QRect changed_;
    Colour background_;
    Colour fore_ = kBlack;
    double x_ = 0.0;
    double y_ = 0.0;
    QFont font_;
    bool keepsDrawing_ = false;
    SurfaceDrawing drawing_;
    mutable QPainter painter_;  // after the picture: it ends before the picture goes
};

}  // namespace kr5
