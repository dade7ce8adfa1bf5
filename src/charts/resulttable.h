// The V-Q window's result table as a table model: the first line of the tab-separated
// result text gives the column titles, each further line one row, so a value always lies
// under its own title however long the test's name is. Line ends may be CR LF or LF.
#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <QStringList>
#include <vector>

namespace kr5 {

class ResultTableModel : public QAbstractTableModel {
  public:
    static constexpr int kCsvColumn = 2;
    static constexpr int kCevColumn = 3;

    using QAbstractTableModel::QAbstractTableModel;

    // An empty text empties the table, titles included, and takes any doubt away.
    void setTable(const QString& text);
    // Why the voltages of the last row cannot be trusted: its CSV and CEV cells turn red
    // and carry the reason as their tool tip. Empty: nothing to doubt.
    void setDoubt(const QString& doubt);
    QString doubt() const { return doubt_; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

  private:
    QStringList titles_;
    std::vector<QStringList> rows_;
    int columns_ = 0;
    QString doubt_;
};

}  // namespace kr5
