#include "resultsqueue.h"

#include "results/schema.h"

#include <QDateTime>
#include <QSqlError>
#include <QSqlQuery>

namespace kr5 {

namespace {

ResultsLocation sqliteAt(const QString& path) {
    ResultsLocation location;
    location.sqlitePath = path;
    return location;
}

}  // namespace

ResultsQueue::ResultsQueue(const QString& path) : connection_(sqliteAt(path)) {}

bool ResultsQueue::open(QString* problem) {
    if (ready_) {
        return true;
    }
    if (!connection_.open(problem)) {
        return false;
    }
    QSqlQuery query(connection_.database());
    if (!runSql(query,
                QStringLiteral("CREATE TABLE IF NOT EXISTS waiting (id TEXT PRIMARY KEY, "
                               "queued_at TEXT NOT NULL, test TEXT NOT NULL)"),
                problem)) {
        connection_.close();
        return false;
    }
    ready_ = true;
    return true;
}

bool ResultsQueue::add(const StoredTest& test, QString* problem) {
    if (!open(problem)) {
        return false;
    }
    QSqlQuery query(connection_.database());
    // The same test queued again (with its report named, or a retry that failed once more)
    // replaces itself, in its place.
    query.prepare(
        QStringLiteral("INSERT OR REPLACE INTO waiting (id, queued_at, test) VALUES "
                       "(?, COALESCE((SELECT queued_at FROM waiting WHERE id = ?), ?), ?)"));
    query.addBindValue(test.id);
    query.addBindValue(test.id);
    query.addBindValue(QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs));
    query.addBindValue(QString::fromUtf8(storedTestJson(test)));
    if (!query.exec()) {
        *problem = query.lastError().text();
        return false;
    }
    return true;
}

bool ResultsQueue::waiting(std::vector<StoredTest>* tests, QString* problem) {
    tests->clear();
    if (!open(problem)) {
        return false;
    }
    QSqlQuery query(connection_.database());
    if (!runSql(query, QStringLiteral("SELECT test FROM waiting ORDER BY queued_at, id"),
                problem)) {
        return false;
    }
    while (query.next()) {
        StoredTest test;
        if (storedTestFromJson(query.value(0).toString().toUtf8(), &test)) {
            tests->push_back(test);
        }
    }
    return true;
}

bool ResultsQueue::remove(const QString& id, QString* problem) {
    if (!open(problem)) {
        return false;
    }
    QSqlQuery query(connection_.database());
    query.prepare(QStringLiteral("DELETE FROM waiting WHERE id = ?"));
    query.addBindValue(id);
    if (!query.exec()) {
        *problem = query.lastError().text();
        return false;
    }
    return true;
}

int ResultsQueue::count(QString* problem) {
    if (!open(problem)) {
        return -1;
    }
    QSqlQuery query(connection_.database());
    if (!runSql(query, QStringLiteral("SELECT COUNT(*) FROM waiting"), problem) || !query.next()) {
        return -1;
    }
    return query.value(0).toInt();
}

}  // namespace kr5
