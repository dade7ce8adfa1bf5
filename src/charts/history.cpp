#include "history.h"

#include <algorithm>
#include <utility>

namespace kr5 {

HistoryModel::HistoryModel(const Clock& clock) : clock_(&clock) {}

HistoryModel::HistoryModel(std::function<QDateTime()> now) : now_(std::move(now)) {}

double HistoryModel::timeOfDay(qint64 takenAtMs) {
    if (now_) {
        return static_cast<double>(now_().toMSecsSinceEpoch());
    }
    if (!anchored_) {
        anchorMonoMs_ = clock_->nowMs();
        anchorEpochMs_ = clock_->localTime().toMSecsSinceEpoch();
        anchored_ = true;
    }
    return static_cast<double>(anchorEpochMs_ + (takenAtMs - anchorMonoMs_));
}

void HistoryModel::takeReading(const Reading& reading) {
    if (axis_ != Axis::Time || reading.isQnStep() || !reading.complete()) {
        return;
    }
    append({timeOfDay(reading.takenAtMs), reading.charge, reading.pulseRate, reading.testVoltage});
}

void HistoryModel::addRow(double rowIndex, double charge, double pulseRate, double testVoltage) {
    if (axis_ == Axis::Row) {
        append({rowIndex, charge, pulseRate, testVoltage});
    }
}

void HistoryModel::addMarker(const QString& tag, const QDateTime& time) {
    if (axis_ == Axis::Time) {
        markers_.push_back({tag, static_cast<double>(time.toMSecsSinceEpoch())});
    }
}

void HistoryModel::addRowMarker(const QString& tag, double rowIndex) {
    if (axis_ == Axis::Row) {
        markers_.push_back({tag, rowIndex});
    }
}

void HistoryModel::addMarkerNow(const QString& tag) {
    if (axis_ == Axis::Time) {
        markers_.push_back({tag, timeOfDay(clock_ != nullptr ? clock_->nowMs() : 0)});
    }
}

void HistoryModel::clear(Axis axis) {
    axis_ = axis;
    points_.clear();
    points_.shrink_to_fit();
    markers_.clear();
    anchored_ = false;
    ++generation_;
    ++starts_;
}

void HistoryModel::setCapacity(std::size_t capacity) {
    capacity_ = std::max<std::size_t>(capacity, 4);
    while (points_.size() > capacity_) {
        thinOldestHalf();
    }
}

void HistoryModel::append(const HistoryPoint& point) {
    if (points_.size() >= capacity_) {
        thinOldestHalf();
    }
    points_.push_back(point);
}

void HistoryModel::thinOldestHalf() {
    // Every second point of the oldest half goes; the first point stays, so the test
    // still starts where it started.
    const std::size_t half = points_.size() / 2;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < half; i += 2) {
        points_[kept++] = points_[i];
    }
    const auto rest = points_.begin() + static_cast<std::ptrdiff_t>(half);
    std::move(rest, points_.end(), points_.begin() + static_cast<std::ptrdiff_t>(kept));
    points_.resize(kept + (points_.size() - half));
    ++generation_;
}

}  // namespace kr5
