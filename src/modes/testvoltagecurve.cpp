#include "testvoltagecurve.h"

#include <QTime>
#include <algorithm>

namespace kr5 {

namespace {

constexpr double kSecondsPerDay = 86400.0;

struct Anchor {
    int rowsBefore = 0;
    double seconds = 0.0;  // since the first marker
};

// The markers' times as seconds since the first; a day is added whenever the time of day
// goes back (a test over midnight).
std::vector<Anchor> anchorsOf(const RecordedTest& test) {
    std::vector<Anchor> anchors;
    double day = 0.0;
    double first = 0.0;
    for (const RecordedMarker& m : test.markers) {
        const QTime t = QTime::fromString(m.time, QStringLiteral("HH:mm:ss"));
        if (!t.isValid()) {
            continue;
        }
        double seconds = t.msecsSinceStartOfDay() / 1000.0 + day;
        if (anchors.empty()) {
            first = seconds;
        } else if (seconds - first < anchors.back().seconds) {
            day += kSecondsPerDay;
            seconds += kSecondsPerDay;
        }
        anchors.push_back({m.rowsBefore, seconds - first});
    }
    return anchors;
}

// Seconds per row over the stretches between markers that hold rows; 0 when none does.
double paceOf(const std::vector<Anchor>& anchors) {
    double seconds = 0.0;
    int rows = 0;
    for (std::size_t i = 1; i < anchors.size(); ++i) {
        const int n = anchors[i].rowsBefore - anchors[i - 1].rowsBefore;
        if (n > 0) {
            rows += n;
            seconds += anchors[i].seconds - anchors[i - 1].seconds;
        }
    }
    return rows > 0 ? seconds / rows : 0.0;
}

VoltageCurve byRow(const RecordedTest& test) {
    VoltageCurve curve;
    curve.byRow = true;
    for (std::size_t i = 0; i < test.rows.size(); ++i) {
        curve.points.emplace_back(double(i + 1), test.rows[i].testVoltageV / 1000.0);
    }
    return curve;
}

}  // namespace

VoltageCurve voltageCurveOf(const HistoryModel& history, const QDateTime& from) {
    VoltageCurve curve;
    if (history.axis() != HistoryModel::Axis::Time) {
        return curve;
    }
    const double fromMs = from.isValid() ? double(from.toMSecsSinceEpoch()) : -1e300;
    double firstMs = 0.0;
    for (const HistoryPoint& p : history.points()) {
        if (p.x < fromMs) {
            continue;
        }
        if (curve.points.empty()) {
            firstMs = p.x;
        }
        curve.points.emplace_back((p.x - firstMs) / 1000.0, p.testVoltage / 1000.0);
    }
    return curve;
}

VoltageCurve voltageCurveOf(const RecordedTest& test) {
    const std::vector<Anchor> anchors = anchorsOf(test);
    const double pace = paceOf(anchors);
    if (anchors.empty() || pace <= 0.0) {
        return byRow(test);
    }
    VoltageCurve curve;
    std::size_t at = 0;  // the last marker at or before the row
    for (std::size_t i = 0; i < test.rows.size(); ++i) {
        const int row = int(i);
        while (at + 1 < anchors.size() && anchors[at + 1].rowsBefore <= row) {
            ++at;
        }
        const Anchor& a = anchors[at];
        double seconds = a.seconds + (row - a.rowsBefore) * pace;
        if (at + 1 < anchors.size()) {
            const Anchor& b = anchors[at + 1];
            seconds = a.seconds + (b.seconds - a.seconds) * (row - a.rowsBefore) /
                                      (b.rowsBefore - a.rowsBefore);
        }
        curve.points.emplace_back(std::max(0.0, seconds), test.rows[i].testVoltageV / 1000.0);
    }
    return curve;
}

}  // namespace kr5
