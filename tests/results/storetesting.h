// What the results store's tests share: a store of each kind, fresh for each test (SQLite
// in a temporary folder, a new database on the suite's own PostgreSQL server), and a
// closed test with every part of a summary filled in.
#pragma once

#include "results/postgresserver.h"
#include "results/storedtest.h"

#include <QDateTime>
#include <QTemporaryDir>

namespace kr5::test {

enum class Backend { Sqlite, Postgres };

// The suite's server, started at its first use and stopped when the tests end.
PostgresServer& postgres();

// A fresh, empty store of the kind; fails the test (with the reason) when there is none.
ResultsLocation freshStore(Backend backend, const QTemporaryDir& folder);

// A test of objectId/objectType started at `start`, its measurement file written into
// folder under fileName (so that its SHA-256 is that of its own bytes).
StoredTest closedTest(const QTemporaryDir& folder, const QString& fileName, const QString& objectId,
                      const QString& objectType, const QDateTime& start,
                      const QString& verdict = QStringLiteral("PASS"));

std::string backendName(Backend backend);

}  // namespace kr5::test
