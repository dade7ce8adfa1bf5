#include "resultsstore.h"

#include "modes/qm.h"
#include "results/schema.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>
#include <utility>
#include <vector>

namespace kr5 {

namespace {

using Columns = std::vector<std::pair<const char*, QVariant>>;

// A number or text of the summary as the column takes it; null stays null.
QVariant valueOf(const QJsonValue& v) {
    if (v.isDouble()) {
        return v.toDouble();
    }
    if (v.isString()) {
        return v.toString();
    }
    if (v.isBool()) {
        return v.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    }
    return {};
}

QVariant textOf(const QJsonValue& v) {
    const QVariant value = valueOf(v);
    return value.isNull() ? value : QVariant(value.toString());
}

QVariant jsonText(const QJsonValue& v) {
    if (!v.isObject()) {
        return {};
    }
    return QString::fromUtf8(QJsonDocument(v.toObject()).toJson(QJsonDocument::Compact));
}

QVariant orNull(const QString& text) {
    return text.isEmpty() ? QVariant() : QVariant(text);
}

bool insert(QSqlDatabase db, const char* table, const Columns& columns, QString* problem) {
    QStringList names;
    QStringList marks;
    for (const auto& column : columns) {
        names << QLatin1String(column.first);
        marks << QStringLiteral("?");
    }
    QSqlQuery query(db);
    query.prepare(
        QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
            .arg(QLatin1String(table), names.join(QLatin1Char(',')), marks.join(QLatin1Char(','))));
    for (const auto& column : columns) {
        query.addBindValue(column.second);
    }
    if (!query.exec()) {
        *problem = query.lastError().text();
        return false;
    }
    return true;
}

QVariant orNull(std::optional<double> value) {
    return value ? QVariant(*value) : QVariant();
}

QVariant qmPc(const Qm& qm) {
    return qm.where == Qm::Where::Found ? QVariant(qm.pC) : QVariant();
}

Columns testColumns(const StoredTest& t) {
    const QJsonObject& s = t.summary;
    const QJsonObject constants = s.value(QStringLiteral("inputConstants")).toObject();
    const QJsonObject background = s.value(QStringLiteral("background")).toObject();
    const QJsonObject inception = s.value(QStringLiteral("inceptionExtinction")).toObject();
    const QJsonObject acceptance = s.value(QStringLiteral("acceptance")).toObject();
    const QJsonObject calibration = s.value(QStringLiteral("calibration")).toObject();
    const QJsonObject qm = s.value(QStringLiteral("qm")).toObject();
    const QJsonObject details = s.value(QStringLiteral("details")).toObject();
    const QJsonObject nqn = s.value(QStringLiteral("nqn")).toObject();
    const auto c = [](const QJsonObject& o, const char* key) {
        return valueOf(o.value(QLatin1String(key)));
    };
    return {
        {"id", t.id},
        {"measurement_sha256", t.measurementSha256},
        {"measurement_path", t.measurementPath},
        {"report_path", orNull(t.reportPath)},
        {"report_sha256", orNull(t.reportSha256)},
        {"bay", orNull(t.bay)},
        {"stored_at", QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs)},
        {"program", c(s, "program")},
        {"started_at", c(s, "start")},
        {"ended_at", c(s, "end")},
        {"row_count", s.value(QStringLiteral("rows")).toInt()},
        {"constants_name", textOf(constants.value(QStringLiteral("name")))},
        {"constants_number", textOf(constants.value(QStringLiteral("number")))},
        {"temperature", textOf(constants.value(QStringLiteral("temperature")))},
        {"humidity", textOf(constants.value(QStringLiteral("humidity")))},
        {"pt_ratio", c(constants, "ptRatio")},
        {"adjust_pc_per_v", c(constants, "adjustPcPerV")},
        {"calibration", jsonText(s.value(QStringLiteral("calibration")))},
        {"calibrator_pc", c(calibration, "calibratorPc")},
        {"background_pc", c(background, "levelPc")},
        {"background_below_kv", c(background, "belowKv")},
        {"set_q_pc", c(s, "setQPc")},
        {"inception_v", c(inception, "inceptionV")},
        {"extinction_v", c(inception, "extinctionV")},
        {"inception_doubt", orNull(inception.value(QStringLiteral("doubt")).toString())},
        {"acceptance", jsonText(s.value(QStringLiteral("acceptance")))},
        {"test_kv", c(acceptance, "testKv")},
        {"permissible_pc", c(acceptance, "permissiblePc")},
        {"verdict", c(acceptance, "verdict")},
        {"acceptance_state", c(acceptance, "state")},
        {"largest_charge_pc", c(s, "largestChargePc")},
        {"largest_rate_pps", c(s, "largestPulseRatePps")},
        {"qm_last_pass", c(qm, "lastPass")},
        {"qm_block", c(qm, "block")},
        {"qm_passes_in_block", c(qm, "passesInBlock")},
        {"qm_block_pc", orNull(blockQmPc(t.qnPasses, t.adjust))},
        {"nqn_last_pass", c(nqn, "lastPass")},
        {"nqn_block", c(nqn, "block")},
        {"object_id", orNull(details.value(QStringLiteral("objectId")).toString())},
        {"object_type", orNull(details.value(QStringLiteral("objectType")).toString())},
        {"customer", orNull(details.value(QStringLiteral("customer")).toString())},
        {"details", jsonText(s.value(QStringLiteral("details")))},
        {"summary", QString::fromUtf8(QJsonDocument(s).toJson(QJsonDocument::Compact))},
    };
}

// The columns a listing shows, in order.
const char* const kListed[] = {
    "id",          "started_at",       "ended_at",    "object_id",
    "object_type", "customer",         "verdict",     "largest_charge_pc",
    "inception_v", "extinction_v",     "qm_block",    "row_count",
    "bay",         "measurement_path", "report_path", "measurement_sha256",
    "qm_block_pc", "nqn_block"};

}  // namespace

QStringList listedColumns(const TestFilter& filter) {
    // Only names of the listing reach a statement, whatever the caller asked.
    QStringList columns;
    for (const char* name : kListed) {
        if (filter.columns.isEmpty() || filter.columns.contains(QLatin1String(name))) {
            columns << QLatin1String(name);
        }
    }
    return columns;
}

bool listedAs(const StoredTest& test, const TestFilter& filter, QVariantList* row) {
    QVariantMap values;
    for (const auto& [name, value] : testColumns(test)) {
        values.insert(QLatin1String(name), value);
    }
    const auto has = [&](const char* column, const QString& wanted) {
        const QString value = values.value(QLatin1String(column)).toString();
        return wanted.isEmpty() ||
               (filter.partial ? value.contains(wanted, Qt::CaseInsensitive) : value == wanted);
    };
    const QDate started =
        QDateTime::fromString(values.value(QStringLiteral("started_at")).toString(), Qt::ISODate)
            .date();
    if (!has("object_id", filter.objectId) || !has("object_type", filter.objectType) ||
        !has("customer", filter.customer) ||
        (!filter.verdict.isEmpty() && values.value(QStringLiteral("verdict")) != filter.verdict) ||
        (filter.since.isValid() && !(started >= filter.since)) ||
        (filter.until.isValid() && !(started <= filter.until))) {
        return false;
    }
    row->clear();
    for (const QString& column : listedColumns(filter)) {
        *row << values.value(column);
    }
    return true;
}

bool ResultsStore::open(QString* problem) {
    if (ready_ && connection_.database().isOpen()) {
        return true;
    }
    if (!connection_.open(problem) || !migrateSchema(connection_, problem)) {
        forget();
        return false;
    }
    ready_ = true;
    return true;
}

void ResultsStore::forget() {
    ready_ = false;
    connection_.close();
}

QString ResultsStore::idOfMeasurement(const QString& sha256, QString* problem) {
    QSqlQuery query(connection_.database());
    if (!runPrepared(query, QStringLiteral("SELECT id FROM tests WHERE measurement_sha256 = ?"),
                     {sha256}, problem)) {
        return {};
    }
    return query.next() ? query.value(0).toString() : QString();
}

bool ResultsStore::insertTest(const StoredTest& test, QString* problem) {
    return insert(connection_.database(), "tests", testColumns(test), problem);
}

bool ResultsStore::insertPairs(const StoredTest& test, QString* problem) {
    const QJsonArray pairs = test.summary.value(QStringLiteral("inceptionExtinction"))
                                 .toObject()
                                 .value(QStringLiteral("pairs"))
                                 .toArray();
    for (qsizetype i = 0; i < pairs.size(); ++i) {
        const QJsonObject p = pairs[i].toObject();
        const Columns columns{{"test_id", test.id},
                              {"position", int(i)},
                              {"inception_v", valueOf(p.value(QStringLiteral("inceptionV")))},
                              {"extinction_v", valueOf(p.value(QStringLiteral("extinctionV")))},
                              {"set_q_pc", valueOf(p.value(QStringLiteral("setQPc")))},
                              {"inception_at", valueOf(p.value(QStringLiteral("inceptionAt")))},
                              {"extinction_at", valueOf(p.value(QStringLiteral("extinctionAt")))},
                              {"doubt", valueOf(p.value(QStringLiteral("doubt")))}};
        if (!insert(connection_.database(), "inception_pairs", columns, problem)) {
            return false;
        }
    }
    return true;
}

bool ResultsStore::insertPasses(const StoredTest& test, QString* problem) {
    for (size_t i = 0; i < test.qnPasses.size(); ++i) {
        const QnRates& rates = test.qnPasses[i];
        QJsonArray text;
        for (const std::optional<double>& rate : rates) {
            text.append(rate ? QJsonValue(*rate) : QJsonValue(QJsonValue::Null));
        }
        const Qm qm = chargeAtTenPulses(rates, test.adjust);
        const Columns columns{
            {"test_id", test.id},
            {"pass", int(i + 1)},
            {"rates", QString::fromUtf8(QJsonDocument(text).toJson(QJsonDocument::Compact))},
            {"qm_pc", qmPc(qm)},
            {"qm_text", qm.text()},
            {"nqn", orNull(normalisedQuantityNumber(rates, test.adjust))}};
        if (!insert(connection_.database(), "qn_passes", columns, problem)) {
            return false;
        }
    }
    return true;
}

StoreOutcome ResultsStore::store(const StoredTest& test) {
    StoreOutcome outcome;
    if (!open(&outcome.problem)) {
        return outcome;
    }
    QSqlQuery query(connection_.database());
    if (!beginWriting(connection_, query, &outcome.problem)) {
        forget();
        return outcome;
    }
    QString problem;
    const QString before = idOfMeasurement(test.measurementSha256, &problem);
    const bool written = problem.isEmpty() && before.isEmpty() && insertTest(test, &problem) &&
                         insertPairs(test, &problem) && insertPasses(test, &problem);
    QString ignored;
    if (written && runSql(query, QStringLiteral("COMMIT"), &problem)) {
        outcome.kind = StoreOutcome::Kind::Stored;
        outcome.storedId = test.id;
        return outcome;
    }
    runSql(query, QStringLiteral("ROLLBACK"), &ignored);
    // Stored before, or by another bay a moment ago (the unique hash refused ours).
    const QString existing = idOfMeasurement(test.measurementSha256, &ignored);
    if (!existing.isEmpty()) {
        outcome.kind = StoreOutcome::Kind::AlreadyStored;
        outcome.storedId = existing;
        return outcome;
    }
    outcome.problem = problem;
    forget();
    return outcome;
}

bool ResultsStore::list(const TestFilter& filter, TestTable* table, QString* problem) {
    if (!open(problem)) {
        return false;
    }
    const QStringList columns = listedColumns(filter);
    QStringList where;
    QVariantList values;
    const auto require = [&where, &values](const char* condition, const QVariant& value) {
        where << QLatin1String(condition);
        values << value;
    };
    // A text column holds the value whole, or (partial) anywhere in any case.
    const auto text = [&](const char* column, const QString& value, bool partial) {
        if (value.isEmpty()) {
            return;
        }
        if (!partial) {
            where << QLatin1String(column) + QStringLiteral(" = ?");
            values << value;
            return;
        }
        QString pattern = value.toLower();
        pattern.replace(QLatin1Char('\\'), QStringLiteral("\\\\"))
            .replace(QLatin1Char('%'), QStringLiteral("\\%"))
            .replace(QLatin1Char('_'), QStringLiteral("\\_"));
        where << QStringLiteral("LOWER(%1) LIKE ? ESCAPE '\\'").arg(QLatin1String(column));
        values << QLatin1Char('%') + pattern + QLatin1Char('%');
    };
    text("object_id", filter.objectId, filter.partial);
    text("object_type", filter.objectType, filter.partial);
    text("customer", filter.customer, filter.partial);
    text("verdict", filter.verdict, false);
    // The times are ISO text: they sort and compare as the dates do.
    if (filter.since.isValid()) {
        require("started_at >= ?", filter.since.toString(Qt::ISODate));
    }
    if (filter.until.isValid()) {
        require("started_at < ?", filter.until.addDays(1).toString(Qt::ISODate));
    }
    const QString whereSql = where.isEmpty()
                                 ? QString()
                                 : QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND "));
    QSqlQuery query(connection_.database());
    query.setForwardOnly(true);
    const auto run = [&](const QString& sql) {
        if (runPrepared(query, sql, values, problem)) {
            return true;
        }
        forget();
        return false;
    };
    const bool limited = filter.newest > 0;
    if (!run(QStringLiteral("SELECT %1 FROM tests").arg(columns.join(QLatin1Char(','))) + whereSql +
             (limited ? QStringLiteral(" ORDER BY started_at DESC, stored_at DESC, id DESC "
                                       "LIMIT %1")
                            .arg(filter.newest)
                      : QStringLiteral(" ORDER BY started_at, stored_at, id")))) {
        return false;
    }
    table->columns = columns;
    table->rows.clear();
    while (query.next()) {
        QVariantList row;
        for (int i = 0; i < columns.size(); ++i) {
            row << query.value(i);
        }
        table->rows << row;
    }
    if (limited) {
        std::reverse(table->rows.begin(), table->rows.end());
    }
    table->total = int(table->rows.size());
    if (limited && table->total == filter.newest) {
        if (!run(QStringLiteral("SELECT COUNT(*) FROM tests") + whereSql) || !query.next()) {
            return false;
        }
        table->total = query.value(0).toInt();
    }
    return true;
}

int ResultsStore::count(QString* problem) {
    if (!open(problem)) {
        return -1;
    }
    QSqlQuery query(connection_.database());
    if (!runSql(query, QStringLiteral("SELECT COUNT(*) FROM tests"), problem) || !query.next()) {
        forget();
        return -1;
    }
    return query.value(0).toInt();
}

bool ResultsStore::attachReport(const QString& measurementSha256, const QString& reportPath,
                                const QString& reportSha256, QString* problem) {
    if (!open(problem)) {
        return false;
    }
    QSqlQuery query(connection_.database());
    if (!runPrepared(query,
                     QStringLiteral("UPDATE tests SET report_path = ?, report_sha256 = ? WHERE "
                                    "measurement_sha256 = ?"),
                     {reportPath, reportSha256, measurementSha256}, problem)) {
        forget();
        return false;
    }
    return query.numRowsAffected() > 0;
}

StoreFacts ResultsStore::facts(const QString& lastId, const QString& bay) {
    StoreFacts facts;
    facts.count = count(&facts.problem);
    if (facts.count <= 0) {
        return facts;
    }
    QSqlQuery query(connection_.database());
    const QString figures = QStringLiteral(
        "SELECT id, verdict, largest_charge_pc, inception_v, extinction_v, qm_block_pc, "
        "nqn_block FROM tests WHERE ");
    const bool byBay = lastId.isEmpty();
    if (!runPrepared(query,
                     figures + (byBay ? QStringLiteral("bay = ? ORDER BY stored_at DESC, id "
                                                       "DESC LIMIT 1")
                                      : QStringLiteral("id = ?")),
                     {byBay ? bay : lastId}, &facts.problem)) {
        return facts;
    }
    if (query.next()) {
        facts.lastId = query.value(0).toString();
        facts.lastVerdict = query.value(1).toString();
        facts.largestChargePc = query.value(2);
        facts.inceptionV = query.value(3);
        facts.extinctionV = query.value(4);
        facts.qmBlockPc = query.value(5);
        facts.nqnBlock = query.value(6);
    }
    return facts;
}

}  // namespace kr5
