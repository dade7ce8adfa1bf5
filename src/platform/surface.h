// A persistent picture the charts and the pointer meters draw on: what is drawn stays in
// the picture's bitmap until it is cleared, so it survives covering and can be copied or
// saved. Coordinates are whole pixels, origin top left, y downward. Colours are
// 0x00BBGGRR. Text is drawn with its top at the current position, in a font whose line
// is 12 pixels high.
#pragma once

#include <QString>
#include <QtGlobal>

namespace kr5 {

using Colour = quint32;  // 0x00BBGGRR
inline constexpr Colour kWhite = 0xFFFFFF;
inline constexpr Colour kBlack = 0x000000;

class Surface {
  public:
    static constexpr int textLineHeight = 12;

    virtual ~Surface() = default;

    virtual int width() const = 0;
    virtual int height() const = 0;

    // Fills the rectangle with both corners included.
    virtual void fillBox(int x1, int y1, int x2, int y2, Colour colour) = 0;
    virtual void line(double x1, double y1, double x2, double y2, Colour colour) = 0;
    // A line in the foreground colour.
    virtual void line(double x1, double y1, double x2, double y2) = 0;
    // Arc around (cx, cy) from angle a1 to a2, radians counter-clockwise from the positive
    // x axis, in the foreground colour.
    virtual void arc(double cx, double cy, double r, double a1, double a2) = 0;

    virtual void setForeColour(Colour colour) = 0;
    virtual Colour foreColour() const = 0;

    // Current text position; y is the top of the text line.
    virtual void setPos(double x, double y) = 0;
    virtual double posX() const = 0;
    virtual double posY() const = 0;

    // Draws text at the current position. With lineEnd the position moves to x = 0 one
    // text line lower; without, x moves to the end of the text and y stays.
    virtual void print(const QString& text, bool lineEnd) = 0;

    // Erases the picture to its background colour.
    virtual void clear() = 0;
};

}  // namespace kr5
