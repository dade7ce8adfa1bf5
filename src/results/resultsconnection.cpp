#include "resultsconnection.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QUuid>

namespace kr5 {

ResultsConnection::ResultsConnection(const ResultsLocation& location)
    : location_(location),
      name_(QStringLiteral("kr5results-") + QUuid::createUuid().toString(QUuid::WithoutBraces)) {
    const bool sqlite = isSqlite();
    QSqlDatabase db = QSqlDatabase::addDatabase(
        sqlite ? QStringLiteral("QSQLITE") : QStringLiteral("QPSQL"), name_);
    if (sqlite) {
        db.setDatabaseName(location.sqlitePath);
        // Several writers on one file wait for each other instead of failing at once.
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000"));
    } else {
        db.setHostName(location.host);
        db.setPort(location.port);
        db.setUserName(location.user);
        db.setDatabaseName(location.database);
        // A server that does not answer must not hold a test for long: it waits in the
        // queue instead.
        db.setConnectOptions(QStringLiteral("connect_timeout=5"));
    }
}

ResultsConnection::~ResultsConnection() {
    {
        QSqlDatabase db = QSqlDatabase::database(name_, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(name_);
}

bool ResultsConnection::open(QString* problem) {
    QSqlDatabase db = database();
    if (!db.isValid()) {
        *problem = QStringLiteral("the Qt SQL driver for %1 is not installed")
                       .arg(isSqlite() ? QStringLiteral("SQLite") : QStringLiteral("PostgreSQL"));
        return false;
    }
    if (db.isOpen()) {
        return true;
    }
    if (isSqlite()) {
        const QString folder = QFileInfo(location_.sqlitePath).absolutePath();
        if (!QDir().mkpath(folder)) {
            *problem = QStringLiteral("the folder %1 cannot be made").arg(folder);
            return false;
        }
    }
    if (!db.open()) {
        *problem = db.lastError().text();
        return false;
    }
    return true;
}

void ResultsConnection::close() {
    QSqlDatabase db = database();
    db.close();
}

QSqlDatabase ResultsConnection::database() const {
    return QSqlDatabase::database(name_, false);
}

}  // namespace kr5
