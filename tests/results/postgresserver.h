// A throw-away PostgreSQL server for the tests: initdb into a temporary folder, started
// with pg_ctl on a Unix socket in that folder only (no TCP), stopped and removed at the
// end. initdb refuses root, so as root the server runs as the unprivileged user nobody in
// a folder that user owns.
#pragma once

#include "results/resultslocation.h"

#include <QString>
#include <QTemporaryDir>

namespace kr5::test {

class PostgresServer {
  public:
    PostgresServer();
    ~PostgresServer();
    PostgresServer(const PostgresServer&) = delete;
    PostgresServer& operator=(const PostgresServer&) = delete;

    // Why there is no server (no PostgreSQL installed, initdb failed); empty when it runs.
    const QString& problem() const { return problem_; }
    // Each true when the server runs, or is stopped, afterwards.
    bool start();
    bool stop();
    bool running() const;
    // A new empty database on it, and where it is.
    ResultsLocation newDatabase();

  private:
    bool run(const QString& program, const QStringList& arguments);

    QTemporaryDir folder_;
    QString bin_;
    QString data_;
    QString socket_;
    QString runAs_;  // empty: this user
    QString problem_;
    QString output_;  // of the last command that failed
    int databases_ = 0;
};

}  // namespace kr5::test
