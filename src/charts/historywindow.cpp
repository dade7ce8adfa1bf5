#include "historywindow.h"

#include "charts/windownames.h"

#include <QChart>
#include <QChartView>
#include <QDateTimeAxis>
#include <QKeyEvent>
#include <QLineSeries>
#include <QMouseEvent>
#include <QShowEvent>
#include <QValueAxis>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace kr5 {

namespace {

constexpr double wheelStep = 0.8;  // the share of the time span one wheel notch keeps
constexpr double keyPanShare = 0.1;

// The next of 1, 2, 5 x 10^n at or above v, so the value scales end on a round number.
double roundCeiling(double v) {
    if (!(v > 0.0)) {
        return 1.0;
    }
    const double decade = std::pow(10.0, std::floor(std::log10(v)));
    for (double step : {1.0, 2.0, 5.0, 10.0}) {
        if (step * decade >= v) {
            return step * decade;
        }
    }
    return 10.0 * decade;
}

}  // namespace

// The chart with the operator's zoom and pan on time, and the markers drawn over it.
class HistoryChartView : public QChartView {
  public:
    HistoryChartView(QChart* chart, HistoryWindow& window, QWidget* parent)
        : QChartView(chart, parent), window_(window) {
        setRubberBand(QChartView::HorizontalRubberBand);
        setRenderHint(QPainter::Antialiasing, false);
        setViewportUpdateMode(QGraphicsView::FullViewportUpdate);
        setFocusPolicy(Qt::StrongFocus);
    }

    std::vector<HistoryMarker> markers;

  protected:
    void drawForeground(QPainter* painter, const QRectF& rect) override {
        QChartView::drawForeground(painter, rect);
        const QRectF area = chart()->plotArea();
        if (markers.empty() || chart()->series().isEmpty()) {
            return;
        }
        QAbstractSeries* series = chart()->series().first();
        painter->save();
        painter->setPen(QPen(QColor(0x80, 0x00, 0x80), 1, Qt::DashLine));
        for (const HistoryMarker& m : markers) {
            const double x = chart()->mapToPosition(QPointF(m.x, 0.0), series).x();
            if (x < area.left() || x > area.right()) {
                continue;
            }
            painter->drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
            painter->drawText(QPointF(x + 3, area.top() + painter->fontMetrics().ascent() + 2),
                              m.tag);
        }
        painter->restore();
    }

    void wheelEvent(QWheelEvent* event) override {
        const int notches = event->angleDelta().y() / 120;
        if (notches == 0) {
            return;
        }
        const QRectF area = chart()->plotArea();
        const double share = std::pow(wheelStep, notches);
        const double at = std::clamp(event->position().x(), area.left(), area.right());
        chart()->zoomIn(QRectF(at - (at - area.left()) * share, area.top(), area.width() * share,
                               area.height()));
        event->accept();
    }

    void keyPressEvent(QKeyEvent* event) override {
        const double step = chart()->plotArea().width() * keyPanShare;
        switch (event->key()) {
            case Qt::Key_Left:
                chart()->scroll(-step, 0);
                break;
            case Qt::Key_Right:
                chart()->scroll(step, 0);
                break;
            case Qt::Key_Home:
                window_.showWholeTest();
                break;
            default:
                QChartView::keyPressEvent(event);
                return;
        }
        event->accept();
    }

    // The right (or middle) button drags the curves along the time axis; the left one
    // stays with the rubber band.
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::RightButton || event->button() == Qt::MiddleButton) {
            dragFrom_ = event->position().x();
            dragging_ = true;
            event->accept();
            return;
        }
        QChartView::mousePressEvent(event);
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        if (dragging_) {
            chart()->scroll(dragFrom_ - event->position().x(), 0);
            dragFrom_ = event->position().x();
            event->accept();
            return;
        }
        QChartView::mouseMoveEvent(event);
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (dragging_ &&
            (event->button() == Qt::RightButton || event->button() == Qt::MiddleButton)) {
            dragging_ = false;
            event->accept();
            return;
        }
        QChartView::mouseReleaseEvent(event);
    }

  private:
    HistoryWindow& window_;
    bool dragging_ = false;
    double dragFrom_ = 0.0;
};

HistoryWindow::HistoryWindow(const HistoryModel& model, Clock& clock, QWidget* parent)
    : QMainWindow(parent), model_(model), clock_(clock) {
    nameControl(this, QStringLiteral("history"));
    setWindowTitle(QStringLiteral("History"));

    auto* chart = new QChart;
    chart->legend()->setVisible(true);
    chart->legend()->setAlignment(Qt::AlignBottom);
    charge_ = new QLineSeries(chart);
    charge_->setName(QStringLiteral("Charge pC"));
    rate_ = new QLineSeries(chart);
    rate_->setName(QStringLiteral("Pulse rate P.P.S."));
    voltage_ = new QLineSeries(chart);
    voltage_->setName(QStringLiteral("Test voltage kV"));
    charge_->setColor(QColor(0xC0, 0x00, 0x00));
    rate_->setColor(QColor(0x00, 0x60, 0xC0));
    voltage_->setColor(QColor(0x00, 0x90, 0x00));
    for (QLineSeries* s : {charge_, rate_, voltage_}) {
        chart->addSeries(s);
    }

    timeAxis_ = new QDateTimeAxis(chart);
    timeAxis_->setFormat(QStringLiteral("HH:mm:ss"));
    timeAxis_->setTitleText(QStringLiteral("Time of day"));
    timeAxis_->setTickCount(7);
    rowAxis_ = new QValueAxis(chart);
    rowAxis_->setLabelFormat(QStringLiteral("%.0f"));
    rowAxis_->setTitleText(QStringLiteral("Row"));
    chargeAxis_ = new QValueAxis(chart);
    chargeAxis_->setTitleText(QStringLiteral("Charge, pC"));
    rateAxis_ = new QValueAxis(chart);
    rateAxis_->setTitleText(QStringLiteral("Pulse rate, P.P.S."));
    voltageAxis_ = new QValueAxis(chart);
    voltageAxis_->setTitleText(QStringLiteral("Test voltage, kV"));
    chart->addAxis(chargeAxis_, Qt::AlignLeft);
    chart->addAxis(rateAxis_, Qt::AlignRight);
    chart->addAxis(voltageAxis_, Qt::AlignRight);
    charge_->attachAxis(chargeAxis_);
    rate_->attachAxis(rateAxis_);
    voltage_->attachAxis(voltageAxis_);
    for (QValueAxis* a : {chargeAxis_, rateAxis_, voltageAxis_}) {
        a->setLinePenColor(a == chargeAxis_ ? charge_->color()
                           : a == rateAxis_ ? rate_->color()
                                            : voltage_->color());
    }
    axis_ = HistoryModel::Axis::Row;  // so that useAxis attaches the time axis
    useAxis(HistoryModel::Axis::Time);

    connect(timeAxis_, &QDateTimeAxis::rangeChanged, this, [this] { operatorMovedView(); });
    connect(rowAxis_, &QValueAxis::rangeChanged, this, [this] { operatorMovedView(); });

    view_ = new HistoryChartView(chart, *this, this);
    nameControl(view_, QStringLiteral("histchart"));
    setCentralWidget(view_);

    QAction* hclose = charts::menuItem(this, QStringLiteral("hclose"), QStringLiteral("Close(&X)"));
    QAction* histreset =
        charts::menuItem(this, QStringLiteral("histreset"), QStringLiteral("Whole test(&W)"));
    connect(hclose, &QAction::triggered, this, &HistoryWindow::hide);
    connect(histreset, &QAction::triggered, this, &HistoryWindow::showWholeTest);
    resize(820, 480);
}

HistoryWindow::~HistoryWindow() {
    if (timer_ != 0) {
        clock_.stopTimer(timer_);
    }
}

QChart& HistoryWindow::chart() const {
    return *view_->chart();
}

double HistoryWindow::xMin() const {
    return onRowAxis() ? rowAxis_->min()
                       : static_cast<double>(timeAxis_->min().toMSecsSinceEpoch());
}

double HistoryWindow::xMax() const {
    return onRowAxis() ? rowAxis_->max()
                       : static_cast<double>(timeAxis_->max().toMSecsSinceEpoch());
}

void HistoryWindow::useAxis(HistoryModel::Axis axis) {
    if (axis == axis_) {
        return;
    }
    QAbstractAxis* from =
        axis == HistoryModel::Axis::Time ? static_cast<QAbstractAxis*>(rowAxis_) : timeAxis_;
    QAbstractAxis* to =
        axis == HistoryModel::Axis::Time ? static_cast<QAbstractAxis*>(timeAxis_) : rowAxis_;
    QChart* chart = charge_->chart();
    // The new axis takes the old one's range as it is attached: no move of the operator's.
    settingRange_ = true;
    if (chart->axes(Qt::Horizontal).contains(from)) {
        for (QLineSeries* s : {charge_, rate_, voltage_}) {
            s->detachAxis(from);
        }
        chart->removeAxis(from);
        from->setParent(chart);  // removeAxis gives it up; it is used again later
    }
    chart->addAxis(to, Qt::AlignBottom);
    for (QLineSeries* s : {charge_, rate_, voltage_}) {
        s->attachAxis(to);
    }
    settingRange_ = false;
    axis_ = axis;
}

void HistoryWindow::take(const HistoryPoint& p) {
    maxCharge_ = std::max(maxCharge_, p.charge);
    maxRate_ = std::max(maxRate_, p.pulseRate);
    maxVoltage_ = std::max(maxVoltage_, p.testVoltage / 1000.0);
}

void HistoryWindow::rebuild() {
    maxCharge_ = maxRate_ = maxVoltage_ = 0.0;
    taken_ = 0;
    appendNew();
}

void HistoryWindow::appendNew() {
    const std::vector<HistoryPoint>& points = model_.points();
    for (std::size_t i = taken_; i < points.size(); ++i) {
        take(points[i]);
    }
    taken_ = points.size();
    showCurves();
}

namespace {

// The points of one curve between first and last as the chart gets them: all of them
// when there are few, else per bucket of neighbouring points its lowest and its highest,
// in their order, so that no peak is lost however many points share a pixel.
template <typename Value>
QList<QPointF> curvePoints(const std::vector<HistoryPoint>& points, std::size_t first,
                           std::size_t last, Value value) {
    QList<QPointF> out;
    const std::size_t count = last - first;
    if (count <= 2 * HistoryWindow::shownBuckets) {
        out.reserve(qsizetype(count));
        for (std::size_t i = first; i < last; ++i) {
            out.append({points[i].x, value(points[i])});
        }
        return out;
    }
    out.reserve(2 * HistoryWindow::shownBuckets);
    for (std::size_t b = 0; b < HistoryWindow::shownBuckets; ++b) {
        const std::size_t from = first + count * b / HistoryWindow::shownBuckets;
        const std::size_t to = first + count * (b + 1) / HistoryWindow::shownBuckets;
        std::size_t low = from;
        std::size_t high = from;
        for (std::size_t i = from; i < to; ++i) {
            if (value(points[i]) < value(points[low])) {
                low = i;
            }
            if (value(points[i]) > value(points[high])) {
                high = i;
            }
        }
        for (const std::size_t i : {std::min(low, high), std::max(low, high)}) {
            out.append({points[i].x, value(points[i])});
        }
    }
    return out;
}

}  // namespace

void HistoryWindow::showCurves() {
    // Qt Charts lays out every point it holds on each change, which for an hour of
    // readings takes longer than a cycle: the curves hold what the view can show.
    const std::vector<HistoryPoint>& points = model_.points();
    std::size_t first = 0;
    std::size_t last = points.size();
    if (!following_ && !points.empty()) {
        const double from = xMin();
        const double to = xMax();
        const auto below =
            std::lower_bound(points.begin(), points.end(), from,
                             [](const HistoryPoint& p, double x) { return p.x < x; });
        const auto above =
            std::upper_bound(points.begin(), points.end(), to,
                             [](double x, const HistoryPoint& p) { return x < p.x; });
        // One point beyond each edge, so that the curves run to the edges.
        first = std::size_t(std::max<std::ptrdiff_t>(0, below - points.begin() - 1));
        last = std::min(points.size(), std::size_t(above - points.begin()) + 1);
    }
    charge_->replace(
        curvePoints(points, first, last, [](const HistoryPoint& p) { return p.charge; }));
    rate_->replace(
        curvePoints(points, first, last, [](const HistoryPoint& p) { return p.pulseRate; }));
    voltage_->replace(curvePoints(points, first, last,
                                  [](const HistoryPoint& p) { return p.testVoltage / 1000.0; }));
}

void HistoryWindow::catchUp() {
    const bool moved = model_.generation() != generation_ || model_.axis() != axis_;
    if (moved) {
        if (model_.starts() != starts_ || model_.axis() != axis_) {
            following_ = true;
            starts_ = model_.starts();
        }
        useAxis(model_.axis());
        generation_ = model_.generation();
        markersTaken_ = 0;
        view_->markers.clear();
        rebuild();
    } else if (model_.points().size() > taken_) {
        appendNew();
    }
    if (model_.markers().size() != markersTaken_) {
        view_->markers = model_.markers();
        markersTaken_ = model_.markers().size();
        view_->viewport()->update();
    }
    fitValueAxes();
    if (following_) {
        showWholeTest();
    }
}

void HistoryWindow::fitValueAxes() {
    settingRange_ = true;
    chargeAxis_->setRange(0.0, roundCeiling(maxCharge_));
    rateAxis_->setRange(0.0, roundCeiling(maxRate_));
    voltageAxis_->setRange(0.0, roundCeiling(maxVoltage_));
    settingRange_ = false;
}

void HistoryWindow::showWholeTest() {
    following_ = true;
    const std::vector<HistoryPoint>& points = model_.points();
    double from = points.empty() ? 0.0 : points.front().x;
    double to = points.empty() ? 0.0 : points.back().x;
    for (const HistoryMarker& m : model_.markers()) {
        from = std::min(from, m.x);
        to = std::max(to, m.x);
    }
    if (points.empty() && !model_.markers().empty()) {
        from = to = model_.markers().front().x;
    }
    if (to <= from) {
        // A single point (or none) still gets a span to stand in.
        const double pad = onRowAxis() ? 1.0 : 1000.0;
        from -= pad;
        to += pad;
    }
    setXRange(from, to);
}

void HistoryWindow::setXRange(double from, double to) {
    settingRange_ = true;
    if (onRowAxis()) {
        rowAxis_->setRange(from, to);
    } else {
        timeAxis_->setRange(QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(std::floor(from))),
                            QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(std::ceil(to))));
    }
    settingRange_ = false;
}

void HistoryWindow::operatorMovedView() {
    if (!settingRange_) {
        following_ = false;
        showCurves();  // finer where the operator zoomed in
    }
}

void HistoryWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (timer_ == 0) {
        timer_ = clock_.startTimer(refreshMs, [this] { catchUp(); });
        catchUp();
    }
    if (!event->spontaneous()) {
        emit shownChanged(true);
    }
}

void HistoryWindow::hideEvent(QHideEvent* event) {
    QMainWindow::hideEvent(event);
    if (timer_ != 0) {
        clock_.stopTimer(timer_);
        timer_ = 0;
    }
    if (!event->spontaneous()) {
        emit shownChanged(false);
    }
}

}  // namespace kr5
