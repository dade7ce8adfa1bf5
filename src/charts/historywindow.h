// The History window `history`: the whole test at a glance, charge, pulse rate and test
// voltage on one time axis (or on the row axis for a file without times), with the
// recording's markers as tagged vertical lines.
//
// The window never slows the acquisition: HistoryModel collects the readings, and the
// window moves what is new into its curves from a clock timer at most four times a
// second, and only while it is shown; on being shown it catches up at once.
//
// The operator zooms on time with a rubber band (left button) or the wheel, pans by
// dragging with the right button or with the arrow keys, and "Whole test" (histreset,
// also the Home key) shows everything again. While nothing is zoomed the window follows
// the test as it grows.
#pragma once

#include "charts/history.h"
#include "platform/clock.h"

#include <QMainWindow>
#include <vector>

class QChart;
class QDateTimeAxis;
class QLineSeries;
class QValueAxis;

namespace kr5 {

class HistoryChartView;

class HistoryWindow : public QMainWindow {
    Q_OBJECT

  public:
    static constexpr int refreshMs = 250;
    // A curve holds at most two points (the lowest and highest) per bucket of the view.
    static constexpr std::size_t shownBuckets = 300;

    HistoryWindow(const HistoryModel& model, Clock& clock, QWidget* parent = nullptr);
    ~HistoryWindow() override;

    // Moves what the model gained since the last time into the curves (all of it again
    // after a clear or a thinning), and follows the test unless the operator zoomed.
    void catchUp();
    // histreset: every point in view; the window follows the test again.
    void showWholeTest();
    // False once the operator zoomed or panned, until the whole test is shown again.
    bool following() const { return following_; }

    QChart& chart() const;
    QLineSeries& chargeSeries() const { return *charge_; }
    QLineSeries& rateSeries() const { return *rate_; }
    QLineSeries& voltageSeries() const { return *voltage_; }
    // The x axis in use, as values (ms since the epoch, or rows).
    double xMin() const;
    double xMax() const;
    bool onRowAxis() const { return axis_ == HistoryModel::Axis::Row; }

  signals:
    // Not sent when the window system hides or shows it by itself.
    void shownChanged(bool shown);

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    void useAxis(HistoryModel::Axis axis);
    void rebuild();
    void appendNew();
    void showCurves();
    void take(const HistoryPoint& p);
    void fitValueAxes();
    void setXRange(double from, double to);
    void operatorMovedView();

    const HistoryModel& model_;
    Clock& clock_;
    int timer_ = 0;

    HistoryChartView* view_ = nullptr;
    QLineSeries* charge_ = nullptr;
    QLineSeries* rate_ = nullptr;
    QLineSeries* voltage_ = nullptr;
    QDateTimeAxis* timeAxis_ = nullptr;
    QValueAxis* rowAxis_ = nullptr;
    QValueAxis* chargeAxis_ = nullptr;
    QValueAxis* rateAxis_ = nullptr;
    QValueAxis* voltageAxis_ = nullptr;

    HistoryModel::Axis axis_ = HistoryModel::Axis::Time;
    int generation_ = -1;
    int starts_ = 0;
    std::size_t taken_ = 0;
    std::size_t markersTaken_ = 0;
    double maxCharge_ = 0.0;
    double maxRate_ = 0.0;
    double maxVoltage_ = 0.0;
    bool following_ = true;
    bool settingRange_ = false;
};

}  // namespace kr5
