#include "resultstablemodel.h"

#include <QDateTime>
#include <algorithm>
#include <numeric>

namespace kr5 {

namespace {

QString figureText(const QVariant& value, int decimals, double scale = 1.0) {
    bool isNumber = false;
    const double v = value.toDouble(&isNumber);
    return value.isNull() || !isNumber ? QString() : QString::number(v * scale, 'f', decimals);
}

}  // namespace

const std::vector<ResultsTableModel::Shown>& ResultsTableModel::shownColumns() {
    using Kind = Shown::Kind;
    static const std::vector<Shown> columns{
        {"started_at", "Date", Kind::Date},
        {"object_id", "Test object", Kind::Text},
        {"object_type", "Type", Kind::Text},
        {"customer", "Customer", Kind::Text},
        {"verdict", "Verdict", Kind::Text},
        {"largest_charge_pc", "Largest charge pC", Kind::Charge},
        {"inception_v", "Inception kV", Kind::Voltage},
        {"extinction_v", "Extinction kV", Kind::Voltage},
        {"qm_block_pc", "Qm pC", Kind::Charge},
        {"nqn_block", "NQN", Kind::Number},
        {"bay", "Bay", Kind::Text},
    };
    return columns;
}

void ResultsTableModel::setTests(TestTable table) {
    beginResetModel();
    table_ = std::move(table);
    listingColumn_.clear();
    for (const Shown& shown : shownColumns()) {
        listingColumn_.push_back(int(table_.columns.indexOf(QLatin1String(shown.column))));
    }
    order_.resize(size_t(table_.rows.size()));
    std::iota(order_.begin(), order_.end(), 0);
    endResetModel();
}

QVariant ResultsTableModel::valueAt(int row, const QString& column) const {
    const qsizetype at = table_.columns.indexOf(column);
    if (row < 0 || row >= rowCount() || at < 0) {
        return {};
    }
    return table_.rows[order_[size_t(row)]][at];
}

int ResultsTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(order_.size());
}

int ResultsTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(shownColumns().size());
}

const QVariant& ResultsTableModel::cell(int row, int shown) const {
    static const QVariant none;
    const int at = listingColumn_[size_t(shown)];
    return at < 0 ? none : table_.rows[order_[size_t(row)]][at];
}

QVariant ResultsTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const Shown::Kind kind = shownColumns()[size_t(index.column())].kind;
    if (role == Qt::TextAlignmentRole) {
        return kind == Shown::Kind::Text || kind == Shown::Kind::Date
                   ? QVariant()
                   : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    }
    if (role != Qt::DisplayRole) {
        return {};
    }
    const QVariant& value = cell(index.row(), index.column());
    switch (kind) {
        case Shown::Kind::Date:
            return QDateTime::fromString(value.toString(), Qt::ISODate)
                .toString(QStringLiteral("yyyy-MM-dd HH:mm"));
        case Shown::Kind::Charge:
            return figureText(value, 1);
        case Shown::Kind::Voltage:
            return figureText(value, 2, 0.001);
        case Shown::Kind::Number:
            return figureText(value, 0);
        case Shown::Kind::Text:
            break;
    }
    return value.toString();
}

QVariant ResultsTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= columnCount()) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    return QLatin1String(shownColumns()[size_t(section)].header);
}

void ResultsTableModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= columnCount()) {
        return;
    }
    const Shown::Kind kind = shownColumns()[size_t(column)].kind;
    const bool dates = kind == Shown::Kind::Date;
    const bool numeric = kind != Shown::Kind::Text && !dates;
    // The keys once, not at each comparison: a store of 100,000 tests sorts at once.
    struct Key {
        bool missing;
        double number;
        QString text;
    };
    std::vector<Key> keys(order_.size());
    const int at = listingColumn_[size_t(column)];
    for (size_t row = 0; row < keys.size(); ++row) {
        const QVariant& v = at < 0 ? QVariant() : table_.rows[int(row)][at];
        keys[row].missing = v.isNull();
        if (numeric) {
            keys[row].number = v.toDouble();
        } else {
            keys[row].text = v.toString();
        }
    }
    const bool ascending = order == Qt::AscendingOrder;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const std::vector<int> before = order_;
    std::stable_sort(order_.begin(), order_.end(), [&](int a, int b) {
        const Key& x = keys[size_t(a)];
        const Key& y = keys[size_t(b)];
        if (x.missing || y.missing) {
            return !x.missing && y.missing;  // missing last either way
        }
        int c = 0;
        if (numeric) {
            c = x.number < y.number ? -1 : (y.number < x.number ? 1 : 0);
        } else {
            // ISO times sort as text; names as the operator's language sorts them.
            c = dates ? x.text.compare(y.text) : x.text.localeAwareCompare(y.text);
        }
        return ascending ? c < 0 : c > 0;
    });
    // The selection stays with its tests.
    std::vector<int> rowOfListing(order_.size());
    for (size_t row = 0; row < order_.size(); ++row) {
        rowOfListing[size_t(order_[row])] = int(row);
    }
    const QModelIndexList persistent = persistentIndexList();
    QModelIndexList moved;
    for (const QModelIndex& index : persistent) {
        moved << this->index(rowOfListing[size_t(before[size_t(index.row())])], index.column());
    }
    changePersistentIndexList(persistent, moved);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

}  // namespace kr5
