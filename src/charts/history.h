// The whole test as the History window shows it: every complete normal-cycle reading as
// a point (time of day, charge, pulse rate, test voltage) and the recording's markers.
// The acquisition hands it readings at full speed; the model only collects, and the
// window takes what is new when it next draws, so a slow chart never holds up a cycle.
//
// A file that holds no times is shown by row number instead (the row axis): the model
// then takes rows, and live readings are left out, since they have no place on that axis.
//
// Memory: a point takes 32 bytes, an hour at 10 readings a second 36 000 points. Up to
// capacity() points (two million by default, over two days at that pace, 64 MB) are kept
// as taken. When the next point would pass the cap, the oldest half is thinned to every
// second point: the start of a very long test is kept at half the resolution, again
// each time the cap is reached, while the latest part stays whole.
#pragma once

#include "measure/reading.h"
#include "platform/clock.h"

#include <QDateTime>
#include <QString>
#include <cstddef>
#include <functional>
#include <vector>

namespace kr5 {

struct HistoryPoint {
    double x = 0.0;  // ms since the epoch, or the row number on the row axis
    double charge = 0.0;
    double pulseRate = 0.0;
    double testVoltage = 0.0;  // V
};

struct HistoryMarker {
    QString tag;  // "REC ON", "PAUSE", "RECOFF", "QN start", "QN end"
    double x = 0.0;
};

class HistoryModel : public ReadingListener {
  public:
    enum class Axis { Time, Row };

    static constexpr std::size_t defaultCapacity = 2'000'000;

    // The time of day of a reading is the clock's time of day when the first reading came
    // plus the monotonic milliseconds since then, so that points are spaced as the readings
    // were taken even though the time of day has whole seconds only.
    explicit HistoryModel(const Clock& clock);
    // The time of day of each reading as `now` tells it when the reading is taken.
    explicit HistoryModel(std::function<QDateTime()> now);

    // Keeps a complete normal-cycle reading; Q-N steps, incomplete readings and readings
    // on the row axis are left out.
    void takeReading(const Reading& reading) override;
    // A row of a file without times (row axis only; ignored on the time axis).
    void addRow(double rowIndex, double charge, double pulseRate, double testVoltage);

    // A recording marker at a time of day (time axis) or at a row (row axis).
    void addMarker(const QString& tag, const QDateTime& time);
    void addRowMarker(const QString& tag, double rowIndex);
    // A marker at the time of day the clock or the time function gives now.
    void addMarkerNow(const QString& tag);

    // Forgets everything and starts over on the given axis.
    void clear(Axis axis = Axis::Time);

    Axis axis() const { return axis_; }
    const std::vector<HistoryPoint>& points() const { return points_; }
    const std::vector<HistoryMarker>& markers() const { return markers_; }

    // Changes each time points already handed out move (a clear, a thinning), so that a
    // reader that has taken the first n points knows whether it may take only the rest.
    int generation() const { return generation_; }
    // Changes on each clear: a new test, which a reader shows whole again.
    int starts() const { return starts_; }

    std::size_t capacity() const { return capacity_; }
    // At least 4, so that thinning always leaves room.
    void setCapacity(std::size_t capacity);

  private:
    double timeOfDay(qint64 takenAtMs);
    void append(const HistoryPoint& point);
    void thinOldestHalf();

    const Clock* clock_ = nullptr;
    std::function<QDateTime()> now_;
    bool anchored_ = false;
    qint64 anchorMonoMs_ = 0;
    qint64 anchorEpochMs_ = 0;

    Axis axis_ = Axis::Time;
    std::vector<HistoryPoint> points_;
    std::vector<HistoryMarker> markers_;
    std::size_t capacity_ = defaultCapacity;
    int generation_ = 0;
    int starts_ = 0;
};

}  // namespace kr5
