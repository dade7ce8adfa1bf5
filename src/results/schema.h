// The results store's tables, the same on SQLite and PostgreSQL, and their version. The
// program creates them in an empty store and brings an older store up to its own version,
// step by step, in one transaction, so that two bays starting at once migrate it once. A
// store of a newer version is left alone: this program would not know its columns.
#pragma once

#include <QString>
#include <QVariantList>

class QSqlQuery;

namespace kr5 {

class ResultsConnection;

inline constexpr int kResultsSchemaVersion = 3;

// Creates or migrates the open store up to version `target` (the tests build older ones).
// False with the reason when it cannot; nothing is changed then.
bool migrateSchema(ResultsConnection& connection, QString* problem,
                   int target = kResultsSchemaVersion);

// The version the store has; 0 when it has no tables yet, -1 with the reason when it
// cannot be read.
int schemaVersion(ResultsConnection& connection, QString* problem);

// Runs sql on query; false with the statement's error in problem.
bool runSql(QSqlQuery& query, const QString& sql, QString* problem);
// Runs sql with its ? bound to values, in order; false with the statement's error.
bool runPrepared(QSqlQuery& query, const QString& sql, const QVariantList& values,
                 QString* problem);

// Begins a transaction that writes: on SQLite the file is locked for writing at once, so
// that two writers wait for each other instead of failing half-way.
bool beginWriting(ResultsConnection& connection, QSqlQuery& query, QString* problem);

}  // namespace kr5
