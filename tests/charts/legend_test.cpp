// The colour legend's layout against its texts: every charge text ends before the bars and
// the title inside the picture, for the picture's own font and for a much wider one, and
// the Color window shows the whole picture and its captions. The legend's classic picture
// pixel by pixel is in primitives_test.cpp; showing and hiding it in windows_test.cpp.
#include "charts/legend.h"
#include "charts/chartprobe.h"
#include "charts/colorwindow.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>

#include <vector>

namespace kr5 {
namespace {

using namespace test;

// Adjusts whose charges give the longest texts: four places and a prefix, "M" included.
const double adjusts[] = {1.0, 2.5, 7.777, 777.7, 8888.8, 0.0123};

// A surface of a wide font (every character 12 pixels) that records where each text went
// and each box was filled.
class WideFontSurface : public Surface {
  public:
    struct Text {
        double x, y;
        QString text;
    };
    struct Box {
        int x1, y1, x2, y2;
    };
    static int textWidth(const QString& text) { return 12 * static_cast<int>(text.size()); }

    int width() const override { return 1000; }
    int height() const override { return 1000; }
    void fillBox(int x1, int y1, int x2, int y2, Colour) override {
        boxes.push_back({x1, y1, x2, y2});
    }
    void line(double, double, double, double, Colour) override {}
    void line(double, double, double, double) override {}
    void arc(double, double, double, double, double) override {}
    void setForeColour(Colour colour) override { fore_ = colour; }
    Colour foreColour() const override { return fore_; }
    void setPos(double x, double y) override {
        x_ = x;
        y_ = y;
    }
    double posX() const override { return x_; }
    double posY() const override { return y_; }
    void print(const QString& text, bool lineEnd) override {
        texts.push_back({x_, y_, text});
        x_ = lineEnd ? 0 : x_ + textWidth(text);
        y_ += lineEnd ? textLineHeight : 0;
    }
    void clear() override {}

    std::vector<Text> texts;
    std::vector<Box> boxes;

  private:
    Colour fore_ = kBlack;
    double x_ = 0;
    double y_ = 0;
};

TEST(LegendLayout, AWideFontMovesTheBarsRightAndWidensThePicture) {
    const LegendLayout classic;
    const LegendLayout layout = legendLayout(&WideFontSurface::textWidth);
    EXPECT_GT(layout.barLeft, classic.barLeft);
    EXPECT_EQ(layout.barRight - layout.barLeft, classic.barRight - classic.barLeft);
    EXPECT_EQ(layout.height, classic.height);

    ColourTable colours;
    fillColourTable(colours);
    for (const double adjust : adjusts) {
        SCOPED_TRACE(adjust);
        InputConstants constants;
        constants.adjust = adjust;
        WideFontSurface s;
        drawLegend(s, constants, colours, layout);
        ASSERT_EQ(s.texts.size(), 11u);
        EXPECT_EQ(s.texts[0].text, QStringLiteral("pC       Color"));
        EXPECT_LE(s.texts[0].x + WideFontSurface::textWidth(s.texts[0].text), layout.width);
        ASSERT_EQ(s.boxes.size(), 10u);
        for (int i = 0; i < 10; ++i) {
            const auto& charge = s.texts[static_cast<size_t>(i) + 1];
            EXPECT_EQ(charge.text, legendCharge(i, constants));
            EXPECT_LE(charge.x + WideFontSurface::textWidth(charge.text), layout.chargeRight())
                << charge.text.toStdString();
            const auto& bar = s.boxes[static_cast<size_t>(i)];
            EXPECT_EQ(std::pair(bar.x1, bar.x2), std::pair(layout.barLeft, layout.barRight));
            EXPECT_LT(bar.x2, layout.width);
            EXPECT_LE(bar.y2, layout.height);
        }
    }
}

// The Color window's own picture, drawn in its font: each charge text fits its box before
// the bars (no ink between the box and the bars), the title fits the picture (no ink in
// its last column), and the window gives the picture and its captions their whole size.
TEST(LegendLayout, TheColorWindowsTextsFitTheirBoxesAtAnyAdjust) {
    ColourTable colours;
    fillColourTable(colours);
    for (const double adjust : adjusts) {
        SCOPED_TRACE(adjust);
        InputConstants constants;
        constants.adjust = adjust;
        ColorWindow window(constants, colours);
        window.showLegend();
        const ImageSurface& legend = window.legend();
        const LegendLayout& layout = window.legendLayout();
        ASSERT_EQ(std::pair(legend.width(), legend.height()),
                  std::pair(layout.width, layout.height));

        const QString title = legendTitle();
        EXPECT_LE(layout.textLeft + legend.textWidth(title), layout.width);
        EXPECT_TRUE(labelAt(legend, title, layout.textLeft, 10, kBlack));
        EXPECT_EQ(countInColumn(legend, layout.width - 1, 0, layout.height - 1, kBlack), 0);
        for (int i = 0; i < 10; ++i) {
            const QString charge = legendCharge(i, constants);
            const int top = 35 + 16 * i;
            SCOPED_TRACE(charge.toStdString());
            EXPECT_LE(layout.textLeft + legend.textWidth(charge), layout.chargeRight());
            EXPECT_TRUE(labelAt(legend, charge, layout.textLeft, top, kBlack));
            EXPECT_EQ(paintedPixels(legend, layout.chargeRight(), top, layout.barLeft - 1,
                                    top + Surface::textLineHeight - 1),
                      0);
            EXPECT_EQ(legend.pixel(layout.barLeft, top + 5), colours.rangeColours[i]);
        }

        auto* view = window.findChild<QWidget*>(QStringLiteral("Coltbl"));
        ASSERT_NE(view, nullptr);
        EXPECT_GE(view->width(), layout.width);
        EXPECT_GE(view->height(), layout.height);
        for (QLabel* label : window.findChildren<QLabel*>()) {
            EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text()))
                << label->text().toStdString();
        }
        EXPECT_EQ(window.findChild<QLabel*>(QStringLiteral("Label1"))->text(),
                  QStringLiteral("P.P.S Graph color. Change for Att Range"));
    }
}

}  // namespace
}  // namespace kr5
