#include "resulttable.h"

#include <QColor>
#include <algorithm>

namespace kr5 {

void ResultTableModel::setTable(const QString& text) {
    beginResetModel();
    titles_.clear();
    rows_.clear();
    columns_ = 0;
    doubt_.clear();
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

void ResultTableModel::setDoubt(const QString& doubt) {
    doubt_ = doubt;
    if (!rows_.empty()) {
        const int last = rowCount() - 1;
        emit dataChanged(index(last, kCsvColumn), index(last, kCevColumn));
    }
}

QVariant ResultTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const bool doubted = !doubt_.isEmpty() && index.row() == rowCount() - 1 &&
                         (index.column() == kCsvColumn || index.column() == kCevColumn);
    if (doubted && role == Qt::ForegroundRole) {
        return QColor(Qt::red);
    }
    if (doubted && (role == Qt::ToolTipRole || role == Qt::AccessibleDescriptionRole)) {
        return doubt_;
    }
    if (role != Qt::DisplayRole) {
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
