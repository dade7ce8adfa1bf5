#include "testvoltagecurve.h"

#include <optional>

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

// A curve of millions of points kept to what a page can show: consecutive points in runs, at
// most kMostRuns of them, each kept as its first, lowest, highest and last point, so that no
// peak of the voltage is lost. The runs double in length whenever there are too many.
class CurveThinner {
  public:
    void add(const QPointF& p) {
        if (runs_.empty() || runs_.back().count == runLength_) {
            runs_.push_back({p, p, p, p, 0});
        }
        Run& r = runs_.back();
        r.lowest = p.y() < r.lowest.y() ? p : r.lowest;
        r.highest = p.y() > r.highest.y() ? p : r.highest;
        r.last = p;
        ++r.count;
        if (runs_.size() > kMostRuns) {
            halve();
        }
    }

    std::vector<QPointF> points() const {
        std::vector<QPointF> out;
        for (const Run& r : runs_) {
            const bool lowFirst = r.lowest.x() <= r.highest.x();
            for (const QPointF& p : {r.first, lowFirst ? r.lowest : r.highest,
                                     lowFirst ? r.highest : r.lowest, r.last}) {
                if (out.empty() || p != out.back()) {
                    out.push_back(p);
                }
            }
        }
        return out;
    }

  private:
    static constexpr std::size_t kMostRuns = 2000;
    struct Run {
        QPointF first, lowest, highest, last;
        qint64 count;
    };

    void halve() {
        std::vector<Run> merged;
        for (std::size_t i = 0; i < runs_.size(); i += 2) {
            Run r = runs_[i];
            if (i + 1 < runs_.size()) {
                const Run& next = runs_[i + 1];
                r.lowest = next.lowest.y() < r.lowest.y() ? next.lowest : r.lowest;
                r.highest = next.highest.y() > r.highest.y() ? next.highest : r.highest;
                r.last = next.last;
                r.count += next.count;
            }
            merged.push_back(r);
        }
        runs_ = std::move(merged);
        runLength_ *= 2;
    }

    std::vector<Run> runs_;
    qint64 runLength_ = 1;
};

VoltageCurve byRow(const RecordedTest& test) {
    VoltageCurve curve;
    curve.byRow = true;
    CurveThinner thinner;
    for (std::size_t i = 0; i < test.rows.size(); ++i) {
        thinner.add({double(i + 1), test.rows[i].testVoltageV / 1000.0});
    }
    curve.points = thinner.points();
    return curve;
}

}  // namespace

VoltageCurve voltageCurveOf(const HistoryModel& history, const QDateTime& from) {
    VoltageCurve curve;
    if (history.axis() != HistoryModel::Axis::Time) {
        return curve;
    }
    const double fromMs = from.isValid() ? double(from.toMSecsSinceEpoch()) : -1e300;
    std::optional<double> firstMs;
    CurveThinner thinner;
    for (const HistoryPoint& p : history.points()) {
        if (p.x < fromMs) {
            continue;
        }
        firstMs = firstMs.value_or(p.x);
        thinner.add({(p.x - *firstMs) / 1000.0, p.testVoltage / 1000.0});
    }
    curve.points = thinner.points();
    return curve;
}

VoltageCurve voltageCurveOf(const RecordedTest& test) {
    const std::vector<Anchor> anchors = anchorsOf(test);
    const double pace = paceOf(anchors);
    if (anchors.empty() || pace <= 0.0) {
        return byRow(test);
    }
    VoltageCurve curve;
    CurveThinner thinner;
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
        thinner.add({std::max(0.0, seconds), test.rows[i].testVoltageV / 1000.0});
    }
    curve.points = thinner.points();
    return curve;
}

}  // namespace kr5
