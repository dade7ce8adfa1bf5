// One connection to the results store, of the thread that opens it (Qt SQL connections
// may not change threads): a name of its own, removed when it goes.
#pragma once

#include "results/resultslocation.h"

#include <QSqlDatabase>
#include <QString>

namespace kr5 {

class ResultsConnection {
  public:
    explicit ResultsConnection(const ResultsLocation& location);
    ~ResultsConnection();
    ResultsConnection(const ResultsConnection&) = delete;
    ResultsConnection& operator=(const ResultsConnection&) = delete;

    // Opens it when it is not open; false with the reason when it cannot be.
    bool open(QString* problem);
    // Closes it, so that the next open() tries the server again.
    void close();
    QSqlDatabase database() const;
    bool isSqlite() const { return location_.kind == ResultsLocation::Kind::Sqlite; }
    const ResultsLocation& location() const { return location_; }

  private:
    ResultsLocation location_;
    QString name_;
};

}  // namespace kr5
