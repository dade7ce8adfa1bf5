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
    using QAbstractTableModel::QAbstractTableModel;

    // An empty text empties the table, titles included.
    void setTable(const QString& text);

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
};

}  // namespace kr5
