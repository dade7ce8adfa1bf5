#include "resultswindow.h"

#include "charts/picturesave.h"
#include "platform/controlnames.h"
#include "results/resultsfigures.h"
#include "results/resultstext.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDateEdit>
#include <QDateTimeAxis>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPen>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>

namespace kr5 {

namespace {

const QDate kAnyDate(2000, 1, 1);  // a date edit at its minimum filters nothing

QDateEdit* dateFilter(const QString& name, QWidget* parent) {
    auto* edit = new QDateEdit(kAnyDate, parent);
    nameControl(edit, name);
    edit->setMinimumDate(kAnyDate);
    edit->setSpecialValueText(QStringLiteral("any"));
    edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    edit->setCalendarPopup(true);
    return edit;
}

QDate chosenDate(const QDateEdit* edit) {
    return edit->date() == kAnyDate ? QDate() : edit->date();
}

// The scale of a value axis: the figures' range with a margin, from 0 while all are above.
void fitAxis(QValueAxis* axis, const std::vector<double>& values) {
    if (values.empty()) {
        axis->setRange(0.0, 1.0);
        return;
    }
    const auto [low, high] = std::minmax_element(values.begin(), values.end());
    const double top = *high > 0.0 ? *high * 1.1 : 1.0;
    axis->setRange(std::min(0.0, *low), top);
}

}  // namespace

ResultsWindow::ResultsWindow(Lister lister, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window), lister_(std::move(lister)), dialogs_(dialogs) {
    nameControl(this, QStringLiteral("results"));
    setWindowTitle(QStringLiteral("Results"));

    table_ = new QTableView(this);
    nameControl(table_, QStringLiteral("restable"));
    table_->setModel(&model_);
    table_->setSortingEnabled(true);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    table_->setWordWrap(false);
    table_->horizontalHeader()->setSortIndicatorShown(true);
    table_->sortByColumn(0, Qt::DescendingOrder);  // the newest test first
    connect(table_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { compareSelected(); });
    // Enter, or a double click.
    connect(table_, &QTableView::activated, this, [this] { openSelectedTest(); });

    openTest_ = namedButton(QStringLiteral("resopen"), QStringLiteral("Open test"), this);
    openReport_ = namedButton(QStringLiteral("resreport"), QStringLiteral("Open report"), this);
    auto* save = namedButton(QStringLiteral("ressave"), QStringLiteral("Save list..."), this);
    status_ = namedLabel(QStringLiteral("resstatus"), QString(), this);
    connect(save, &QPushButton::clicked, this, [this] {
        saveCsv(dialogs_, QString::fromUtf8(tableCsv(model_.tests())),
                QStringLiteral("results.csv"));
    });
    connect(openTest_, &QPushButton::clicked, this, [this] { openSelectedTest(); });
    connect(openReport_, &QPushButton::clicked, this, [this] {
        if (const QString path = selectedValue("report_path"); !path.isEmpty()) {
            emit openReportRequested(path);
        }
    });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(openTest_);
    buttons->addWidget(openReport_);
    buttons->addWidget(save);
    buttons->addWidget(status_, 1);

    auto* top = new QWidget(this);
    auto* topLayout = new QVBoxLayout(top);
    topLayout->setContentsMargins(0, 0, 0, 0);
    topLayout->addWidget(makeFilterRow());
    topLayout->addWidget(table_, 1);
    topLayout->addLayout(buttons);

    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(top);
    splitter->addWidget(makeComparison());
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(splitter);
    resize(960, 680);
    compareSelected();
}

QWidget* ResultsWindow::makeFilterRow() {
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    const auto add = [row, layout](const QString& name, const QString& caption, QWidget* field) {
        QLabel* label = namedLabel(name, caption, row);
        label->setBuddy(field);
        layout->addWidget(label);
        layout->addWidget(field);
    };
    object_ = new QLineEdit(row);
    nameControl(object_, QStringLiteral("resobject"));
    type_ = new QLineEdit(row);
    nameControl(type_, QStringLiteral("restype"));
    customer_ = new QLineEdit(row);
    nameControl(customer_, QStringLiteral("rescustomer"));
    since_ = dateFilter(QStringLiteral("ressince"), row);
    until_ = dateFilter(QStringLiteral("resuntil"), row);
    verdict_ = new QComboBox(row);
    nameControl(verdict_, QStringLiteral("resverdict"));
    verdict_->addItems({QStringLiteral("any"), QStringLiteral("PASS"), QStringLiteral("FAIL")});
    add(QStringLiteral("resobjlabel"), QStringLiteral("&Object"), object_);
    add(QStringLiteral("restypelabel"), QStringLiteral("&Type"), type_);
    add(QStringLiteral("rescustlabel"), QStringLiteral("&Customer"), customer_);
    add(QStringLiteral("ressincelabel"), QStringLiteral("&From"), since_);
    add(QStringLiteral("resuntillabel"), QStringLiteral("T&o"), until_);
    add(QStringLiteral("resverdictlabel"), QStringLiteral("&Verdict"), verdict_);
    auto* show = namedButton(QStringLiteral("resshow"), QStringLiteral("&Show"), row);
    layout->addWidget(show);
    connect(show, &QPushButton::clicked, this, [this] { refresh(); });
    connect(object_, &QLineEdit::returnPressed, this, [this] { refresh(); });
    connect(type_, &QLineEdit::returnPressed, this, [this] { refresh(); });
    connect(customer_, &QLineEdit::returnPressed, this, [this] { refresh(); });
    return row;
}

QWidget* ResultsWindow::makeComparison() {
    auto* box = new QWidget(this);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    scope_ = new QComboBox(box);
    nameControl(scope_, QStringLiteral("resscope"));
    scope_->addItems({QStringLiteral("this test object"), QStringLiteral("its type")});
    connect(scope_, &QComboBox::currentIndexChanged, this, [this] {
        comparedId_.clear();
        compareSelected();
    });
    standing_ = namedLabel(QStringLiteral("resstanding"), QString(), box);
    standing_->setWordWrap(true);
    auto* head = new QHBoxLayout;
    QLabel* scopeLabel =
        namedLabel(QStringLiteral("resscopelabel"), QStringLiteral("Trend of"), box);
    scopeLabel->setBuddy(scope_);
    head->addWidget(scopeLabel);
    head->addWidget(scope_);
    head->addWidget(standing_, 1);
    layout->addLayout(head);

    chart_ = new QChart;
    chart_->legend()->setAlignment(Qt::AlignBottom);
    auto* time = new QDateTimeAxis(chart_);
    time->setFormat(QStringLiteral("yyyy-MM-dd"));
    auto* charge = new QValueAxis(chart_);
    charge->setTitleText(QStringLiteral("pC"));
    auto* voltage = new QValueAxis(chart_);
    voltage->setTitleText(QStringLiteral("kV"));
    chart_->addAxis(time, Qt::AlignBottom);
    chart_->addAxis(charge, Qt::AlignLeft);
    chart_->addAxis(voltage, Qt::AlignRight);
    const char* names[] = {"Largest charge, pC", "Inception voltage, kV", "Qm, pC"};
    for (const char* name : names) {
        auto* series = new QLineSeries(chart_);
        series->setName(QLatin1String(name));
        series->setPointsVisible(true);
        chart_->addSeries(series);
        series->attachAxis(time);
        series->attachAxis(trend_.size() == 1 ? voltage : charge);
        trend_.push_back(series);
    }
    // The selected test's place on the time axis.
    selectedMark_ = new QLineSeries(chart_);
    selectedMark_->setName(QStringLiteral("This test"));
    selectedMark_->setPen(QPen(Qt::darkGray, 1, Qt::DashLine));
    chart_->addSeries(selectedMark_);
    selectedMark_->attachAxis(time);
    selectedMark_->attachAxis(charge);
    chartView_ = new QChartView(chart_, box);
    nameControl(chartView_, QStringLiteral("restrend"));
    chartView_->setMinimumHeight(220);
    layout->addWidget(chartView_, 1);
    return box;
}

TestFilter ResultsWindow::filter() const {
    TestFilter filter;
    filter.objectId = object_->text().trimmed();
    filter.objectType = type_->text().trimmed();
    filter.customer = customer_->text().trimmed();
    filter.partial = true;
    filter.verdict = verdict_->currentIndex() == 0 ? QString() : verdict_->currentText();
    filter.since = chosenDate(since_);
    filter.until = chosenDate(until_);
    filter.columns = {QStringLiteral("bay"),
                      QStringLiteral("id"),
                      QStringLiteral("started_at"),
                      QStringLiteral("object_id"),
                      QStringLiteral("object_type"),
                      QStringLiteral("customer"),
                      QStringLiteral("verdict"),
                      QStringLiteral("largest_charge_pc"),
                      QStringLiteral("inception_v"),
                      QStringLiteral("extinction_v"),
                      QStringLiteral("qm_block_pc"),
                      QStringLiteral("nqn_block"),
                      QStringLiteral("measurement_path"),
                      QStringLiteral("report_path")};
    filter.newest = kShownTests;
    return filter;
}

void ResultsWindow::refresh() {
    status_->setText(QStringLiteral("Reading the results store..."));
    lister_(filter(),
            [this](const TestTable& table, const QString& problem) { showTests(table, problem); });
}

void ResultsWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    refresh();
}

void ResultsWindow::showTests(const TestTable& table, const QString& problem) {
    if (!problem.isEmpty()) {
        // What the bay keeps until the store is back is shown; else the table stays.
        if (!table.rows.isEmpty()) {
            model_.setTests(table);
        }
        status_->setText(QStringLiteral("The results store cannot be read: %1%2")
                             .arg(problem, table.rows.isEmpty()
                                               ? QString()
                                               : QStringLiteral(". Shown: the %1 test(s) "
                                                                "waiting for it")
                                                     .arg(table.rows.size())));
        return;
    }
    const QString selected = selectedValue("id");
    const bool first = model_.rowCount() == 0;
    model_.setTests(table);
    if (first) {
        table_->resizeColumnsToContents();  // from the first rows the view samples
    }
    const QHeaderView* header = table_->horizontalHeader();
    if (header->sortIndicatorSection() >= 0 &&
        header->sortIndicatorSection() < model_.columnCount()) {
        model_.sort(header->sortIndicatorSection(), header->sortIndicatorOrder());
    }
    if (table.total > model_.rowCount()) {
        status_->setText(QStringLiteral("The newest %1 of %2 tests (sorting orders these): narrow "
                                        "the filter to see the others")
                             .arg(model_.rowCount())
                             .arg(table.total));
    } else {
        status_->setText(QStringLiteral("%1 test(s)").arg(model_.rowCount()));
    }
    for (int row = 0; row < model_.rowCount() && !selected.isEmpty(); ++row) {
        if (model_.valueAt(row, QStringLiteral("id")).toString() == selected) {
            table_->selectRow(row);
            return;
        }
    }
    compareSelected();
}

void ResultsWindow::openSelectedTest() {
    if (const QString path = selectedValue("measurement_path"); !path.isEmpty()) {
        emit openTestRequested(path);
    }
}

int ResultsWindow::selectedRow() const {
    const QModelIndexList rows = table_->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

QString ResultsWindow::selectedValue(const char* column) const {
    return model_.valueAt(selectedRow(), QLatin1String(column)).toString();
}

void ResultsWindow::compareSelected() {
    const QString id = selectedValue("id");
    openTest_->setEnabled(!id.isEmpty());
    openReport_->setEnabled(!selectedValue("report_path").isEmpty());
    if (id == comparedId_ && !id.isEmpty()) {
        return;
    }
    comparedId_ = id;
    TestFilter others;
    others.columns = {QStringLiteral("started_at"), QStringLiteral("object_id")};
    for (const ComparedFigure& figure : comparedFigures()) {
        others.columns << QLatin1String(figure.column);
    }
    others.objectType = selectedValue("object_type");
    if (others.objectType.isEmpty()) {
        others.objectId = selectedValue("object_id");
    }
    if (id.isEmpty() || (others.objectType.isEmpty() && others.objectId.isEmpty())) {
        standing_->setText(id.isEmpty() ? QStringLiteral("Select a test to compare it.")
                                        : QStringLiteral("This test names no object or type."));
        drawTrend({});
        return;
    }
    standing_->setText(QStringLiteral("Reading the tests of its type..."));
    lister_(others, [this, id](const TestTable& table, const QString& problem) {
        showComparison(id, table, problem);
    });
}

void ResultsWindow::showComparison(const QString& testId, const TestTable& others,
                                   const QString& problem) {
    if (testId != comparedId_) {
        return;  // another test was selected meanwhile
    }
    if (!problem.isEmpty()) {
        standing_->setText(QStringLiteral("The results store cannot be read: %1").arg(problem));
        return;
    }
    const QString type = selectedValue("object_type");
    QStringList places;
    for (const ComparedFigure& figure : comparedFigures()) {
        const QVariant mine = model_.valueAt(selectedRow(), QLatin1String(figure.column));
        const std::optional<double> rank =
            percentileRank(columnNumbers(others, QLatin1String(figure.column)), mine.toDouble());
        places << (mine.isNull() || !rank
                       ? QStringLiteral("%1 none").arg(QLatin1String(figure.name))
                       : QStringLiteral("%1 %2 percentile")
                             .arg(QLatin1String(figure.name), ordinalPercentile(*rank)));
    }
    standing_->setText(
        QStringLiteral("Among the %1 test(s) of %2: %3")
            .arg(others.rows.size())
            .arg(type.isEmpty() ? QStringLiteral("this object") : QStringLiteral("type ") + type,
                 places.join(QStringLiteral(", "))));
    if (scope_->currentIndex() == 1 || type.isEmpty()) {
        drawTrend(others);
        return;
    }
    TestTable object{others.columns, {}};
    const qsizetype column = others.columns.indexOf(QStringLiteral("object_id"));
    const QString objectId = selectedValue("object_id");
    for (const QVariantList& row : others.rows) {
        if (row[column].toString() == objectId) {
            object.rows << row;
        }
    }
    drawTrend(object);
}

void ResultsWindow::drawTrend(const TestTable& tests) {
    std::vector<double> times;
    std::vector<double> values[2];  // pC on the left, kV on the right
    for (size_t i = 0; i < trend_.size(); ++i) {
        const bool volts = i == 1;
        QList<QPointF> points;
        for (const TrendPoint& p : trendOf(tests, QLatin1String(comparedFigures()[i].column))) {
            const double value = volts ? p.value / 1000.0 : p.value;
            points << QPointF(double(p.at.toMSecsSinceEpoch()), value);
            times.push_back(points.back().x());
            values[volts ? 1 : 0].push_back(value);
        }
        trend_[i]->replace(points);
    }
    auto* time = qobject_cast<QDateTimeAxis*>(chart_->axes(Qt::Horizontal).first());
    if (!times.empty()) {
        const auto [first, last] = std::minmax_element(times.begin(), times.end());
        const double margin = std::max(3600e3, (*last - *first) * 0.05);
        time->setRange(QDateTime::fromMSecsSinceEpoch(qint64(*first - margin)),
                       QDateTime::fromMSecsSinceEpoch(qint64(*last + margin)));
        // Days apart: the dates; within days: the hours too, so no two ticks read alike.
        constexpr double kTenDaysMs = 10 * 24 * 3600e3;
        time->setFormat(*last - *first > kTenDaysMs ? QStringLiteral("yyyy-MM-dd")
                                                    : QStringLiteral("MM-dd hh:mm"));
    }
    const auto vertical = chart_->axes(Qt::Vertical);
    auto* charge = qobject_cast<QValueAxis*>(vertical[0]);
    fitAxis(charge, values[0]);
    fitAxis(qobject_cast<QValueAxis*>(vertical[1]), values[1]);
    const QDateTime selected = QDateTime::fromString(selectedValue("started_at"), Qt::ISODate);
    if (times.empty() || !selected.isValid()) {
        selectedMark_->clear();
        return;
    }
    const double at = double(selected.toMSecsSinceEpoch());
    selectedMark_->replace({QPointF(at, charge->min()), QPointF(at, charge->max())});
}

QString ResultsWindow::standing() const {
    return standing_->text();
}

QString ResultsWindow::status() const {
    return status_->text();
}

}  // namespace kr5
