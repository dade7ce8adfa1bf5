#include "resulttable.h"

#include <algorithm>

namespace kr5 {

void ResultTableModel::setTable(const QString& text) {
    beginResetModel();
    titles_.clear();
    rows_.clear();
    columns_ = 0;
    QString lines = text;
    lines.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    if (!lines.isEmpty()) {
        const QStringList split = lines.split(QLatin1Char('\n'));
        titles_ = split.first().split(QLatin1Char('\t'));
        columns_ = static_cast<int>(titles_.size());
        for (qsizetype i = 1; i < split.size(); ++i) {
            rows_.push_back(split[i].split(QLatin1Char('\t')));
            // A row with more fields than titles still shows them all, under blank titles.
            columns_ = std::max(columns_, static_cast<int>(rows_.back().size()));
        }
    }
    endResetModel();
}

int ResultTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ResultTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : columns_;
}

QVariant ResultTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || role != Qt::DisplayRole || index.row() >= rowCount()) {
        return {};
    }
    // The inception row ends before CEV and the date: those cells are blank.
    return rows_[static_cast<size_t>(index.row())].value(index.column());
}

QVariant ResultTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return {};
    }
    return titles_.value(section);
}

Qt::ItemFlags ResultTableModel::flags(const QModelIndex& index) const {
    // Selectable, so a value can be copied; never editable.
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

}  // namespace kr5
