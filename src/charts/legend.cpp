#include "legend.h"

#include "core/format.h"

#include <algorithm>

namespace kr5 {

namespace {

constexpr int titleTop = 10;
constexpr int firstChargeTop = 35;
constexpr int rowStep = 16;
constexpr int barBelowText = 5;  // the bar's first row, below the top of its text
constexpr int rightMargin = 12;  // right of the bars and of the title

// An upper bound of any charge text's width: a sign, at most four digits or points, and a
// prefix (prefixedNumber keeps five characters before the prefix), or a word for a value
// that is no number. Adding up the widest character of each place leaves room for any mix
// of them.
int widestCharge(const std::function<int(const QString&)>& textWidth) {
    const auto widestOf = [&textWidth](const QString& characters) {
        int widest = 0;
        for (const QChar c : characters) {
            widest = std::max(widest, textWidth(QString(c)));
        }
        return widest;
    };
    const int number = widestOf(QStringLiteral(" -")) +
                       4 * widestOf(QStringLiteral("0123456789.")) + widestOf(QStringLiteral("kM"));
    int word = 0;
    for (const QString& text :
         {QStringLiteral(" NaN"), QStringLiteral(" Inf"), QStringLiteral("-Inf")}) {
        word = std::max(word, textWidth(text));
    }
    return std::max(number, word);
}

}  // namespace

QString legendTitle() {
    return QStringLiteral("pC       Color");
}

QString legendCharge(int range, const InputConstants& constants) {
    return prefixedNumber(attenuatorDivision(range) * constants.adjust);
}

LegendLayout legendLayout(const std::function<int(const QString&)>& textWidth) {
    LegendLayout layout;
    const int barLength = layout.barRight - layout.barLeft;
    layout.barLeft = std::max(layout.barLeft,
                              layout.textLeft + widestCharge(textWidth) + LegendLayout::chargeGap);
    layout.barRight = layout.barLeft + barLength;
    layout.width = std::max({layout.width, layout.barRight + 1 + rightMargin,
                             layout.textLeft + textWidth(legendTitle()) + rightMargin});
    return layout;
}

void drawLegend(Surface& s, const InputConstants& constants, const ColourTable& colours,
                const LegendLayout& layout) {
    s.setForeColour(kBlack);
    s.setPos(layout.textLeft, titleTop);
    s.print(legendTitle(), true);
    for (int i = 0; i <= 9; ++i) {
        const int top = firstChargeTop + rowStep * i;
        s.fillBox(layout.barLeft, top + barBelowText, layout.barRight, top + barBelowText + 1,
                  colours.rangeColours[static_cast<size_t>(i)]);
        s.setPos(layout.textLeft, top);
        s.print(legendCharge(i, constants), true);
    }
}

}  // namespace kr5
