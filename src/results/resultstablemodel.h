// The Results window's table: a listing of the store as rows of a model, each figure in its
// unit, sorted by any column without going back to the store (numbers as numbers, tests
// without the figure last).
#pragma once

#include "results/resultsstore.h"

#include <QAbstractTableModel>
#include <vector>

namespace kr5 {

class ResultsTableModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    using QAbstractTableModel::QAbstractTableModel;

    // The tests of a listing, oldest first until sorted again.
    void setTests(TestTable table);
    const TestTable& tests() const { return table_; }

    // The listing's value of `column` for the test shown in row.
    QVariant valueAt(int row, const QString& column) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void sort(int column, Qt::SortOrder order) override;

  private:
    struct Shown {
        const char* column;  // in the listing
        const char* header;
        enum class Kind { Text, Date, Charge, Voltage, Number } kind;
    };
    static const std::vector<Shown>& shownColumns();
    const QVariant& cell(int row, int shown) const;

    TestTable table_;
    std::vector<int> listingColumn_;  // of each shown column; -1 when the listing lacks it
    std::vector<int> order_;          // the listing's row shown in each row
};

}  // namespace kr5
