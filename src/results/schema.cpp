#include "schema.h"

#include "results/resultsconnection.h"

#include "modes/qm.h"
#include "results/storedtest.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <optional>
#include <vector>

namespace kr5 {

namespace {

// Version 1: the tests with their figures, their inception and extinction pairs and the
// counts of their Q-N passes.
const char* const kVersion1[] = {
    "CREATE TABLE tests ("
    " id TEXT PRIMARY KEY,"
    " measurement_sha256 TEXT NOT NULL UNIQUE,"
    " measurement_path TEXT NOT NULL,"
    " report_path TEXT,"
    " report_sha256 TEXT,"
    " bay TEXT,"
    " stored_at TEXT NOT NULL,"
    " program TEXT,"
    " started_at TEXT,"
    " ended_at TEXT,"
    " row_count INTEGER,"
    " constants_name TEXT,"
    " constants_number TEXT,"
    " temperature TEXT,"
    " humidity TEXT,"
    " pt_ratio DOUBLE PRECISION,"
    " adjust_pc_per_v DOUBLE PRECISION,"
    " calibration TEXT,"
    " calibrator_pc DOUBLE PRECISION,"
    " background_pc DOUBLE PRECISION,"
    " background_below_kv DOUBLE PRECISION,"
    " set_q_pc DOUBLE PRECISION,"
    " inception_v DOUBLE PRECISION,"
    " extinction_v DOUBLE PRECISION,"
    " inception_doubt TEXT,"
    " acceptance TEXT,"
    " test_kv DOUBLE PRECISION,"
    " permissible_pc DOUBLE PRECISION,"
    " verdict TEXT,"
    " acceptance_state TEXT,"
    " largest_charge_pc DOUBLE PRECISION,"
    " largest_rate_pps DOUBLE PRECISION,"
    " qm_last_pass TEXT,"
    " qm_block TEXT,"
    " qm_passes_in_block INTEGER,"
    " summary TEXT NOT NULL)",
    "CREATE TABLE inception_pairs ("
    " test_id TEXT NOT NULL REFERENCES tests(id),"
    " position INTEGER NOT NULL,"
    " inception_v DOUBLE PRECISION,"
    " extinction_v DOUBLE PRECISION,"
    " set_q_pc DOUBLE PRECISION,"
    " inception_at TEXT,"
    " extinction_at TEXT,"
    " doubt TEXT,"
    " PRIMARY KEY (test_id, position))",
    "CREATE TABLE qn_passes ("
    " test_id TEXT NOT NULL REFERENCES tests(id),"
    " pass INTEGER NOT NULL,"
    " rates TEXT NOT NULL,"
    " qm_pc DOUBLE PRECISION,"
    " qm_text TEXT,"
    " PRIMARY KEY (test_id, pass))",
    "CREATE INDEX tests_started ON tests(started_at)",
};

// Version 2: the test object's details, which the summary gained later, and the indexes
// the Results window filters by.
const char* const kVersion2[] = {
    "ALTER TABLE tests ADD COLUMN object_id TEXT",
    "ALTER TABLE tests ADD COLUMN object_type TEXT",
    "ALTER TABLE tests ADD COLUMN customer TEXT",
    "ALTER TABLE tests ADD COLUMN details TEXT",
    "CREATE INDEX tests_object ON tests(object_id)",
    "CREATE INDEX tests_type ON tests(object_type)",
};

// Version 3: the figures the Results window charts and compares, as numbers: Qm of the
// block, and NQN of the last pass and the block (and of each pass); filled in for the tests
// stored before (fillVersion3).
const char* const kVersion3[] = {
    "ALTER TABLE tests ADD COLUMN qm_block_pc DOUBLE PRECISION",
    "ALTER TABLE tests ADD COLUMN nqn_last_pass DOUBLE PRECISION",
    "ALTER TABLE tests ADD COLUMN nqn_block DOUBLE PRECISION",
    "ALTER TABLE qn_passes ADD COLUMN nqn DOUBLE PRECISION",
    "CREATE INDEX tests_verdict ON tests(verdict)",
};

QVariant numberOrNull(const QJsonValue& value) {
    return value.isDouble() ? QVariant(value.toDouble()) : QVariant();
}

QVariant numberOrNull(std::optional<double> value) {
    return value ? QVariant(*value) : QVariant();
}

// The figures version 3 keeps as numbers, for the tests stored before it: Qm of the block
// and NQN of each pass from the passes' counts at the test's Adjust, NQN of the last pass
// and of the block from the summary.
bool fillVersion3(QSqlQuery& query, QString* problem) {
    struct Stored {
        QString id;
        double adjust;
        QJsonObject nqn;
    };
    std::vector<Stored> tests;
    if (!runSql(query, QStringLiteral("SELECT id, adjust_pc_per_v, summary FROM tests"), problem)) {
        return false;
    }
    while (query.next()) {
        const QJsonObject summary =
            QJsonDocument::fromJson(query.value(2).toString().toUtf8()).object();
        tests.push_back({query.value(0).toString(), query.value(1).toDouble(),
                         summary.value(QStringLiteral("nqn")).toObject()});
    }
    for (const Stored& test : tests) {
        if (!runPrepared(
                query,
                QStringLiteral("SELECT rates FROM qn_passes WHERE test_id = ? ORDER BY pass"),
                {test.id}, problem)) {
            return false;
        }
        QnPasses passes;
        while (query.next()) {
            passes.push_back(
                ratesFromJson(QJsonDocument::fromJson(query.value(0).toString().toUtf8()).array()));
        }
        for (size_t pass = 0; pass < passes.size(); ++pass) {
            if (!runPrepared(
                    query,
                    QStringLiteral("UPDATE qn_passes SET nqn = ? WHERE test_id = ? AND pass = ?"),
                    {numberOrNull(normalisedQuantityNumber(passes[pass], test.adjust)), test.id,
                     int(pass + 1)},
                    problem)) {
                return false;
            }
        }
        if (!runPrepared(query,
                         QStringLiteral("UPDATE tests SET qm_block_pc = ?, nqn_last_pass = ?, "
                                        "nqn_block = ? WHERE id = ?"),
                         {numberOrNull(blockQmPc(passes, test.adjust)),
                          numberOrNull(test.nqn.value(QStringLiteral("lastPass"))),
                          numberOrNull(test.nqn.value(QStringLiteral("block"))), test.id},
                         problem)) {
            return false;
        }
    }
    return true;
}

template <size_t N>
bool runAll(QSqlQuery& query, const char* const (&statements)[N], QString* problem) {
    for (const char* sql : statements) {
        if (!runSql(query, QString::fromLatin1(sql), problem)) {
            return false;
        }
    }
    return true;
}

bool runStep(QSqlQuery& query, int version, QString* problem) {
    switch (version) {
        case 1:
            return runAll(query, kVersion1, problem);
        case 2:
            return runAll(query, kVersion2, problem);
        case 3:
            return runAll(query, kVersion3, problem) && fillVersion3(query, problem);
        default:
            *problem = QStringLiteral("no step to schema version %1").arg(version);
            return false;
    }
}

int readVersion(QSqlQuery& query, QString* problem) {
    if (!runSql(query, QStringLiteral("SELECT MAX(version) FROM schema_version"), problem)) {
        return -1;
    }
    return query.next() && !query.value(0).isNull() ? query.value(0).toInt() : 0;
}

}  // namespace

bool runSql(QSqlQuery& query, const QString& sql, QString* problem) {
    if (query.exec(sql)) {
        return true;
    }
    *problem = query.lastError().text();
    return false;
}

bool runPrepared(QSqlQuery& query, const QString& sql, const QVariantList& values,
                 QString* problem) {
    query.prepare(sql);
    for (const QVariant& value : values) {
        query.addBindValue(value);
    }
    if (query.exec()) {
        return true;
    }
    *problem = query.lastError().text();
    return false;
}

bool beginWriting(ResultsConnection& connection, QSqlQuery& query, QString* problem) {
    return runSql(
        query, connection.isSqlite() ? QStringLiteral("BEGIN IMMEDIATE") : QStringLiteral("BEGIN"),
        problem);
}

int schemaVersion(ResultsConnection& connection, QString* problem) {
    QSqlQuery query(connection.database());
    const QStringList tables = connection.database().tables();
    if (!tables.contains(QStringLiteral("schema_version"))) {
        // An empty list may also mean a file that is not a database: ask it something.
        if (!runSql(query, QStringLiteral("SELECT 1"), problem)) {
            return -1;
        }
        return 0;
    }
    return readVersion(query, problem);
}

bool migrateSchema(ResultsConnection& connection, QString* problem, int target) {
    QSqlQuery query(connection.database());
    if (!beginWriting(connection, query, problem)) {
        return false;
    }
    const auto fail = [&query, problem](const QString& why) {
        QString ignored;
        runSql(query, QStringLiteral("ROLLBACK"), &ignored);
        *problem = why;
        return false;
    };
    // Two bays opening a new server at once: the second waits here for the first's tables.
    if (!connection.isSqlite() &&
        !runSql(query, QStringLiteral("SELECT pg_advisory_xact_lock(290529)"), problem)) {
        return fail(*problem);
    }
    if (!connection.database().tables().contains(QStringLiteral("schema_version")) &&
        !runSql(query, QStringLiteral("CREATE TABLE schema_version (version INTEGER NOT NULL)"),
                problem)) {
        return fail(*problem);
    }
    const int version = readVersion(query, problem);
    if (version < 0) {
        return fail(*problem);
    }
    if (version > kResultsSchemaVersion) {
        return fail(QStringLiteral("the store's schema is version %1, newer than this "
                                   "program's %2: update the program")
                        .arg(version)
                        .arg(kResultsSchemaVersion));
    }
    for (int step = version + 1; step <= target; ++step) {
        if (!runStep(query, step, problem)) {
            return fail(
                QStringLiteral("migrating to schema version %1: %2").arg(step).arg(*problem));
        }
    }
    if (target > version) {
        if (!runSql(query, QStringLiteral("DELETE FROM schema_version"), problem) ||
            !runSql(query,
                    QStringLiteral("INSERT INTO schema_version (version) VALUES (%1)").arg(target),
                    problem)) {
            return fail(*problem);
        }
    }
    if (!runSql(query, QStringLiteral("COMMIT"), problem)) {
        return fail(*problem);
    }
    return true;
}

}  // namespace kr5
