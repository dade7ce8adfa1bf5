// The Results window (`results`): the store's tests as a table, filtered by test object,
// type and customer (any part of them, in any case), date range and verdict and sorted by any
// column; the selected test opened as a recorded test or its report opened; and the selected test
// compared with the lab's tests of its type: a chart of its object's (or type's) figures over time,
// and its percentile rank for each figure. Save list writes the tests shown as CSV, as kr5au
// --results does.
//
// The window never reads the store itself: it asks its lister, which reads on the results
// thread and answers later, so a slow or absent server never holds the windows.
#pragma once

#include "platform/dialogs.h"
#include "results/resultsservice.h"
#include "results/resultstablemodel.h"

#include <QWidget>
#include <functional>
#include <vector>

class QChart;
class QChartView;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QLineSeries;
class QPushButton;
class QTableView;

namespace kr5 {

class ResultsWindow : public QWidget {
    Q_OBJECT
  public:
    // Reads the tests a filter lets through and hands them to `listed` later, on the
    // window's thread (or never, once the window is gone).
    using Lister = std::function<void(const TestFilter& filter, ResultsService::Listed listed)>;

    // dialogs asks where Save list writes the tests shown.
    ResultsWindow(Lister lister, Dialogs& dialogs, QWidget* parent = nullptr);

    // The table shows at most this many tests, the newest the filter lets through: enough to
    // browse, and read within a blink from a store of any size.
    static constexpr int kShownTests = 20000;

    // Reads the tests again with the filter as it stands.
    void refresh();
    TestFilter filter() const;

    ResultsTableModel& tests() { return model_; }
    QTableView& table() const { return *table_; }
    // The trend of each compared figure (largest charge, inception voltage, Qm), as drawn.
    QLineSeries& trendSeries(int figure) const { return *trend_[size_t(figure)]; }
    QString standing() const;
    QString status() const;

  signals:
    void openTestRequested(const QString& measurementPath);
    void openReportRequested(const QString& reportPath);

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    QWidget* makeFilterRow();
    QWidget* makeComparison();
    void showTests(const TestTable& table, const QString& problem);
    // The selected test (or none) against the tests of its type.
    void compareSelected();
    void showComparison(const QString& testId, const TestTable& others, const QString& problem);
    void drawTrend(const TestTable& tests);
    void openSelectedTest();
    int selectedRow() const;
    QString selectedValue(const char* column) const;

    Lister lister_;
    Dialogs& dialogs_;
    ResultsTableModel model_;
    QLineEdit* object_ = nullptr;
    QLineEdit* type_ = nullptr;
    QLineEdit* customer_ = nullptr;
    QDateEdit* since_ = nullptr;
    QDateEdit* until_ = nullptr;
    QComboBox* verdict_ = nullptr;
    QTableView* table_ = nullptr;
    QPushButton* openTest_ = nullptr;
    QPushButton* openReport_ = nullptr;
    QLabel* status_ = nullptr;
    QComboBox* scope_ = nullptr;
    QLabel* standing_ = nullptr;
    QChartView* chartView_ = nullptr;
    QChart* chart_ = nullptr;
    std::vector<QLineSeries*> trend_;
    QLineSeries* selectedMark_ = nullptr;
    QString comparedId_;  // the test the comparison under way or shown is for
};

}  // namespace kr5
