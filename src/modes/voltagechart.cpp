#include "voltagechart.h"

#include "core/format.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPolygonF>
#include <algorithm>
#include <cmath>

namespace kr5 {

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("kr5::VoltageChart", text);
}

// The step of 1, 2 or 5 times a power of ten that divides span into at most `most` parts.
double niceStep(double span, int most) {
    if (!(span > 0.0)) {
        return 1.0;
    }
    const double rough = span / most;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (const double factor : {1.0, 2.0, 5.0, 10.0}) {
        if (factor * power >= rough) {
            return factor * power;
        }
    }
    return 10.0 * power;
}

struct TimeUnit {
    double seconds;
    QString caption;
};

TimeUnit timeUnitFor(const VoltageCurve& curve, double span) {
    if (curve.byRow) {
        return {1.0, tr("Row of the measurement file")};
    }
    if (span > 3 * 3600.0) {
        return {3600.0, tr("Time since the start, h")};
    }
    if (span > 600.0) {
        return {60.0, tr("Time since the start, min")};
    }
    return {1.0, tr("Time since the start, s")};
}

QFont chartFont(double points) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 0.05);
    return font;
}

}  // namespace

std::vector<QPointF> thinnedCurve(const std::vector<QPointF>& points, std::size_t most) {
    if (points.size() <= most || most < 3) {
        return points;
    }
    const std::size_t run = (points.size() * 3 + most - 1) / most;
    std::vector<QPointF> kept;
    for (std::size_t first = 0; first < points.size(); first += run) {
        const auto begin = points.begin() + static_cast<std::ptrdiff_t>(first);
        const auto end =
            points.begin() + static_cast<std::ptrdiff_t>(std::min(first + run, points.size()));
        const auto [low, high] = std::minmax_element(
            begin, end, [](const QPointF& a, const QPointF& b) { return a.y() < b.y(); });
        kept.push_back(*begin);
        for (const auto extreme : {std::min(low, high), std::max(low, high)}) {
            if (extreme != begin && kept.back() != *extreme) {
                kept.push_back(*extreme);
            }
        }
    }
    return kept;
}

void drawVoltageChart(QPainter& p, const QRectF& target, const VoltageCurve& curve,
                      std::optional<double> testLevelKv, double mm) {
    const QFont font = chartFont(7);
    p.setFont(font);
    const QRectF plot = target.adjusted(16 * mm, 4 * mm, -5 * mm, -11 * mm);
    double xMax = 0.0;
    double yMax = testLevelKv.value_or(0.0);
    for (const QPointF& point : curve.points) {
        xMax = std::max(xMax, point.x());
        yMax = std::max(yMax, point.y());
    }
    const TimeUnit unit = timeUnitFor(curve, xMax);
    const double xStep = niceStep(xMax / unit.seconds, 8);
    const double yStep = niceStep(yMax > 0 ? yMax * 1.05 : 1.0, 6);
    const double xTop = std::max(xStep, std::ceil(xMax / unit.seconds / xStep) * xStep);
    const double yTop = std::max(yStep, std::ceil(yMax * 1.05 / yStep) * yStep);
    const auto at = [&](double xSeconds, double kv) {
        return QPointF(plot.left() + plot.width() * xSeconds / unit.seconds / xTop,
                       plot.bottom() - plot.height() * kv / yTop);
    };

    const QPen grid(QColor(200, 200, 200), 0.15 * mm);
    const QPen axis(Qt::black, 0.2 * mm);
    const double label = 3.5 * mm;
    for (double y = 0; y <= yTop + yStep / 2; y += yStep) {
        const QPointF left = at(0, y);
        p.setPen(grid);
        p.drawLine(left, QPointF(plot.right(), left.y()));
        p.setPen(Qt::black);
        p.drawText(
            QRectF(target.left(), left.y() - label / 2, plot.left() - target.left() - mm, label),
            Qt::AlignRight | Qt::AlignVCenter, plainNumber(y));
    }
    for (double x = 0; x <= xTop + xStep / 2; x += xStep) {
        const QPointF bottom = at(x * unit.seconds, 0);
        p.setPen(grid);
        p.drawLine(bottom, QPointF(bottom.x(), plot.top()));
        p.setPen(Qt::black);
        p.drawText(QRectF(bottom.x() - 8 * mm, plot.bottom() + mm, 16 * mm, label),
                   Qt::AlignHCenter | Qt::AlignTop, plainNumber(x));
    }
    p.setPen(axis);
    p.drawRect(plot);
    p.setPen(Qt::black);
    p.drawText(QRectF(plot.left(), plot.bottom() + mm + label, plot.width(), label + mm),
               Qt::AlignHCenter | Qt::AlignTop, unit.caption);
    p.save();
    p.translate(target.left() + label / 2, plot.center().y());
    p.rotate(-90);
    p.drawText(QRectF(-plot.height() / 2, -label / 2, plot.height(), label + mm),
               Qt::AlignHCenter | Qt::AlignTop, tr("Test voltage, kV"));
    p.restore();

    if (testLevelKv) {
        const QPointF left = at(0, *testLevelKv);
        p.setPen(QPen(QColor(200, 0, 0), 0.25 * mm, Qt::DashLine));
        p.drawLine(left, QPointF(plot.right(), left.y()));
        p.setPen(QColor(200, 0, 0));
        p.drawText(QRectF(plot.left() + mm, left.y() - label - 0.5 * mm, plot.width() / 2, label),
                   Qt::AlignLeft | Qt::AlignBottom,
                   tr("test level %1 kV").arg(testLevelText(*testLevelKv)));
    }
    QPolygonF line;
    for (const QPointF& point : thinnedCurve(curve.points, 3000)) {
        line << at(point.x(), point.y());
    }
    p.setClipRect(plot.adjusted(-mm, -mm, mm, mm));
    p.setPen(QPen(QColor(0, 70, 170), 0.3 * mm, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(line);
}

}  // namespace kr5
