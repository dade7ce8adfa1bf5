// The report's chart of the test voltage over the test, drawn with a painter into any
// rectangle (the PDF's, as vectors): the curve, the test level when an acceptance test was
// set, and scales in steps of 1, 2 or 5.
#pragma once

#include "modes/report.h"

#include <QRectF>
#include <optional>

class QPainter;

namespace kr5 {

// mm: one millimetre in the painter's units, for the lines, the text and the margins.
void drawVoltageChart(QPainter& painter, const QRectF& target, const VoltageCurve& curve,
                      std::optional<double> testLevelKv, double mm);

// At most about `most` points that draw as the curve does: beyond that, each run of points
// is kept as its first point, its lowest and its highest, in their order.
std::vector<QPointF> thinnedCurve(const std::vector<QPointF>& points, std::size_t most);

}  // namespace kr5
