// The chart windows' exports read back: pictures as PNG and SVG, the Q-N counts as CSV, and a
// file that cannot be written.
#include "charts/chartprobe.h"
#include "charts/picturesave.h"
#include "charts/primitives.h"
#include "charts/qnwindow.h"
#include "charts/vqwindow.h"
#include "charts/wavewindow.h"
#include "support/fakeclipboard.h"
#include "support/fakedialogs.h"
#include "support/filebytes.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QPainter>
#include <QSvgRenderer>
#include <QTemporaryDir>

#include <cmath>

namespace kr5 {
namespace {

using namespace test;

QImage rgb(const QImage& image) {
    return image.convertToFormat(QImage::Format_RGB32);
}

QImage renderSvg(const QString& path, QSize size) {
    QSvgRenderer renderer(path);
    EXPECT_TRUE(renderer.isValid()) << path.toStdString();
    EXPECT_EQ(renderer.defaultSize(), size);
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    renderer.render(&painter);
    return image;
}

bool near(const QColor& a, const QColor& b) {
    return std::abs(a.red() - b.red()) < 60 && std::abs(a.green() - b.green()) < 60 &&
           std::abs(a.blue() - b.blue()) < 60;
}

// The SVG holds the chart as vectors (its lines as paths, its text as text, no bitmap) and,
// drawn, shows it: the colours of the picture inside its boxes and on its line.
void expectVectorChart(const QString& file, const QImage& picture) {
    SCOPED_TRACE(file.toStdString());
    const QString svg = QString::fromUtf8(readBytes(file));
    EXPECT_TRUE(svg.contains(QStringLiteral("<path")));
    EXPECT_FALSE(svg.contains(QStringLiteral("<image")));
    EXPECT_TRUE(svg.contains(QStringLiteral("12.5 pC")));
    const QImage drawn = renderSvg(file, picture.size());
    for (const QPoint at :
         {QPoint(35, 25), QPoint(150, 60), QPoint(255, 32), QPoint(210, 230), QPoint(300, 200)}) {
        EXPECT_TRUE(near(drawn.pixelColor(at), picture.pixelColor(at)))
            << at.x() << "," << at.y() << ": " << drawn.pixelColor(at).name().toStdString()
            << " for " << picture.pixelColor(at).name().toStdString();
    }
}

// The files' numbers carry 15 significant digits.
::testing::AssertionResult sameTo15Digits(const QString& cell, double value) {
    bool ok = false;
    const double read = cell.toDouble(&ok);
    if (ok && std::abs(read - value) <= 1e-14 * std::abs(value)) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << cell.toStdString() << " is not " << value;
}

void drawSomething(ImageSurface& surface) {
    surface.fillBox(10, 10, 60, 40, 0x0000FF);
    surface.line(0, 100, 300, 20, 0xFF0000);
    surface.setPos(80, 60);
    surface.print(QStringLiteral("12.5 pC"), false);
}

struct Exports : ::testing::Test {
    QString path(const char* name) const { return dir.filePath(QLatin1String(name)); }

    FakeDialogs dialogs;
    FakeClipboard clipboard;
    QTemporaryDir dir;
};

TEST_F(Exports, EachChartWindowSavesItsPictureAsPngOrSvg) {
    WaveWindow wave(clipboard, dialogs);
    VqWindow vq(clipboard, dialogs);
    drawSomething(wave.surface());
    drawSomething(vq.surface());
    vq.surface().fillBox(200, 200, 220, 260, 0x00FF00);

    dialogs.savePaths = {path("trend.png"), path("trend.svg"), path("vq"), path("vq.SVG")};
    dialogs.saveFilters = {1, 1, 2, 1};
    trigger(wave, "savepic");
    trigger(wave, "savepic");
    trigger(vq, "savepic");  // no ending: the chosen SVG filter decides and adds it
    trigger(vq, "savepic");
    ASSERT_EQ(dialogs.saveRequests.size(), 4u);
    EXPECT_EQ(dialogs.saveRequests[0].fileName, QStringLiteral("trend.png"));
    EXPECT_TRUE(dialogs.shown.empty());

    const QImage trend = rgb(wave.surface().image());
    EXPECT_EQ(rgb(QImage(path("trend.png"), "PNG")), trend);
    expectVectorChart(path("trend.svg"), trend);
    const QImage vqPicture = rgb(vq.surface().image());
    expectVectorChart(path("vq.svg"), vqPicture);
    expectVectorChart(path("vq.SVG"), vqPicture);
    EXPECT_NE(vqPicture, trend);

    // The Q-N window has nothing to save before its chart is copied in.
    QnWindow qn(clipboard, dialogs);
    trigger(qn, "savepic");
    EXPECT_EQ(dialogs.saveRequests.size(), 4u);
    qn.copyIn(vq.surface().image(), vq.surface().drawing());
    dialogs.savePaths = {path("qn.png"), path("qn.svg")};
    trigger(qn, "savepic");
    trigger(qn, "savepic");
    const QImage qnPicture = rgb(qn.picture().surface().image());
    EXPECT_EQ(rgb(QImage(path("qn.png"))), qnPicture);
    expectVectorChart(path("qn.svg"), qnPicture);
}

// A chart drawn for hours keeps no more drawing steps than it shows: a sweep's lines go
// with the frame drawn over them, a path drawn over again adds nothing, and Erase empties it.
TEST(ChartDrawing, KeepsNoMoreStepsThanTheChartShows) {
    ImageSurface surface(385, 345);
    surface.keepDrawing();
    const auto sweep = [&surface] {
        drawFrame(surface, QStringLiteral("V-Q"), 10, 30, 330, 0x808080);
        for (int x = 30; x < 360; ++x) {
            surface.line(x, 100 + x % 7, x + 1, 100 + (x + 1) % 7, 0x0000FF);
        }
        return surface.drawing().steps();
    };
    const std::size_t oneSweep = sweep();
    EXPECT_GT(oneSweep, 330u);
    EXPECT_EQ(sweep(), oneSweep);
    for (int ramp = 0; ramp < 3; ++ramp) {
        for (int x = 30; x < 200; ++x) {
            surface.line(x, 300 - x, x + 1, 299 - x, 0x00FF00);
            surface.line(x + 1, 250 - x, x, 251 - x, 0xFF0000);
        }
    }
    EXPECT_EQ(surface.drawing().steps(), oneSweep + 2 * 170);
    surface.clear();
    EXPECT_EQ(surface.drawing().steps(), 0u);
    // More different lines than a drawing keeps: the drawing is the picture itself, which
    // paints as the surface shows it, and holds no steps.
    for (int i = 0; i <= int(SurfaceDrawing::kMostSteps); ++i) {
        surface.line(i % 400, i / 400 % 300, (i + 7) % 400, (i / 400 + 1) % 300, 0x0000FF);
    }
    const SurfaceDrawing picture = surface.drawing();
    EXPECT_EQ(picture.steps(), 0u);
    QImage painted(picture.size(), QImage::Format_RGB32);
    QPainter painter(&painted);
    picture.paint(painter);
    painter.end();
    EXPECT_EQ(painted, surface.image().convertToFormat(QImage::Format_RGB32));
}

TEST_F(Exports, QnCountsAsCsvParseBackToTheSameNumbers) {
    QnWindow qn(clipboard, dialogs);
    trigger(qn, "savecounts");  // no pass yet: nothing asked, nothing written
    EXPECT_TRUE(dialogs.saveRequests.empty());

    QnRates first{};
    QnRates second{};
    for (int range = 0; range < kAttenuatorRanges; ++range) {
        first[static_cast<std::size_t>(range)] = 1000.0 / (range + 1) + 0.25;
        if (range % 3 != 1) {
            second[static_cast<std::size_t>(range)] = range * 12.5;
        }
    }
    const double adjust = 1.37;
    qn.setCounts({first, second}, adjust);
    dialogs.savePaths = {path("qn.csv")};
    trigger(qn, "savecounts");
    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    EXPECT_EQ(dialogs.saveRequests[0].fileName, QStringLiteral("qn.csv"));

    const QStringList lines =
        QString::fromUtf8(readBytes(path("qn.csv"))).split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), kAttenuatorRanges + 2);  // title, ranges, the empty rest
    EXPECT_EQ(lines[0], QStringLiteral("\"range\",\"threshold pC\",\"pass 1\",\"pass 2\""));
    EXPECT_TRUE(lines.last().isEmpty());
    for (int range = 0; range < kAttenuatorRanges; ++range) {
        const QStringList cells = lines[range + 1].split(QLatin1Char(','));
        ASSERT_EQ(cells.size(), 4) << range;
        EXPECT_EQ(cells[0], QStringLiteral("1/%1").arg(attenuatorDivision(range)));
        EXPECT_TRUE(sameTo15Digits(cells[1], attenuatorDivision(range) * adjust));
        const auto index = static_cast<std::size_t>(range);
        EXPECT_TRUE(sameTo15Digits(cells[2], *first[index]));
        if (second[index]) {
            EXPECT_TRUE(sameTo15Digits(cells[3], *second[index]));
        } else {
            EXPECT_TRUE(cells[3].isEmpty());
        }
    }
}

TEST_F(Exports, AFileThatCannotBeWrittenIsReportedAndLeavesNothing) {
    WaveWindow wave(clipboard, dialogs);
    QnWindow qn(clipboard, dialogs);
    qn.setCounts({QnRates{}}, 1.0);
    const QString missing = path("no such folder");
    dialogs.savePaths = {missing + "/trend.png", missing + "/trend.svg", missing + "/qn.csv"};
    trigger(wave, "savepic");
    trigger(wave, "savepic");
    trigger(qn, "savecounts");
    ASSERT_EQ(dialogs.shown.size(), 3u);
    EXPECT_EQ(dialogs.shown[2].text, QStringLiteral("Can not write the file ") +
                                         QDir::toNativeSeparators(missing + "/qn.csv") + ".");
    EXPECT_FALSE(dialogs.shown[0].detail.isEmpty());
    EXPECT_FALSE(QDir(missing).exists());
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());

    // A file already there is replaced whole, or kept as it was.
    ASSERT_TRUE(writeBytes(path("kept.png"), "old"));
    EXPECT_TRUE(writePicture(wave.surface().image(), wave.surface().drawing(), path("kept.png"),
                             PictureFormat::Png));
    EXPECT_EQ(rgb(QImage(path("kept.png"))), rgb(wave.surface().image()));
}

}  // namespace
}  // namespace kr5
