#include "primitives.h"

#include "charts/chartscale.h"
#include "core/format.h"
#include "core/numeric.h"

#include <cmath>

namespace kr5 {

namespace {

constexpr int firstLabelTop = chart::stripHeight - 30;  // 291: straddles the bottom line

int stepOf(int w, int ndiv) {
    return roundEvenLong(static_cast<double>(w) / ndiv);
}

void printAt(Surface& s, double x, double y, const QString& text, bool lineEnd) {
    s.setPos(x, y);
    s.print(text, lineEnd);
}

}  // namespace

void drawValueStrip(Surface& s, const QString& title, double top, Colour col, int x, bool linear) {
    s.fillBox(x, 0, x + chart::stripWidth - 1, chart::stripHeight, kWhite);
    if (!(top > 0.0) || !std::isfinite(top)) {
        return;
    }
    s.setForeColour(col);
    double value = top;  // logarithmic: multiplied by 10 from one label to the next
    for (int i = 0; i <= 5; ++i) {
        const double label = linear ? i * top / 5.0 : value;
        printAt(s, x, firstLabelTop - chart::decade * i, prefixedNumber(label), true);
        value *= 10.0;
    }
    printAt(s, x + 8, 2, title, true);
    s.line(x + 8, 16, x + 28, 16, col);
}

void drawFrame(Surface& s, const QString& title, int ndiv, int x0, int w, Colour col) {
    s.fillBox(x0, 0, x0 + w + 24, 320, kWhite);
    for (int i = 0; i < chart::gridLines; ++i) {
        const int y = chart::bottomLine - chart::gridStep * i;
        s.line(x0, y, x0 + w, y, col);
    }
    s.line(x0, chart::bottomLine, x0, chart::borderTop, col);
    s.line(x0 + w, chart::bottomLine, x0 + w, chart::borderTop, col);
    if (ndiv > 0) {
        const int step = stepOf(w, ndiv);
        for (int i = 1; i <= ndiv; ++i) {
            s.line(x0 + step * i, chart::bottomLine, x0 + step * i, chart::borderTop, col);
        }
    }
    s.setForeColour(kBlack);
    // The title's left edge is a real number; the surface places the text.
    printAt(s, w / 2.0 - 5.0 * static_cast<double>(title.size()) + x0, 20, title, true);
}

void drawBottomLabels(Surface& s, chart::Face face, int ndiv, double scale, int x0, int w,
                      Colour col) {
    if (ndiv <= 0) {
        return;
    }
    s.fillBox(x0, chart::bottomLine + 1, x0 + w + 24, 312, kWhite);
    const int step = stepOf(w, ndiv);
    s.setForeColour(col);
    if (face == chart::Face::Normal) {
        for (int i = 0; i <= ndiv; ++i) {
            printAt(s, x0 + step * i - 8, chart::bottomLine, prefixedNumber(i * scale / ndiv),
                    false);
        }
        printAt(s, x0 + w, 306, QStringLiteral("TV"), false);
        return;
    }
    for (int i = 0; i <= 9; ++i) {
        const double charge = attenuatorDivision(i) * scale;
        printAt(s, x0 + step * i - 8, chart::bottomLine, prefixedNumber(charge), false);
    }
    printAt(s, x0 + w, chart::bottomLine, QStringLiteral("pC"), false);
}

void drawSetQLine(Surface& s, const InputConstants& constants, const ColourTable& colours, int x0,
                  int w) {
    if (!(constants.adjust > 0.0) || !(constants.setQ > 0.0)) {
        return;  // no logarithm of 0 or of a negative level
    }
    const int y = chart::pixelIn(chart::logY(constants.setQ / constants.adjust), s.height());
    s.line(x0, y, x0 + w, y, colours.palette[10]);
}

void drawLabel(Surface& s, const QString& text, int y, int x) {
    s.fillBox(x, y, x + 8 * static_cast<int>(text.size()), y + 10, kWhite);
    s.setForeColour(kBlack);
    printAt(s, x, y, text, true);
}

}  // namespace kr5
