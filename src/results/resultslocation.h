// Where the results store is: SQLite in the user's data folder unless the configuration
// (kr5au.conf, section [results]) names a server by
//     url=postgresql://user@host[:port]/database[?host=/socket/folder]
// or another SQLite file by url=sqlite:///path/results.sqlite. The password of a server
// comes from ~/.pgpass or PGPASSWORD through the PostgreSQL client library, never from
// the file: a URL that carries one is refused.
#pragma once

#include <QString>

class QSettings;

namespace kr5 {

struct ResultsLocation {
    enum class Kind { Sqlite, Postgres };
    Kind kind = Kind::Sqlite;
    QString sqlitePath;
    QString host;  // a name, an address or a socket folder
    int port = 5432;
    QString user;
    QString database;
    // Why the configured URL cannot be used; empty when it can.
    QString problem;

    // "SQLite /home/a/.local/share/kr5au/results.sqlite", "PostgreSQL lab@db1:5432/results".
    QString describe() const;
};

// The location a URL names; an empty URL gives SQLite at defaultSqlitePath.
ResultsLocation parseResultsUrl(const QString& url, const QString& defaultSqlitePath);

// The data folder the store and its queue live in by default: dataFolder when given (the
// tests), else the user's (XDG) data folder of the program.
QString resultsDataFolder(const QString& dataFolder = QString());

// The location from a configuration file's [results] url.
ResultsLocation configuredLocation(const QSettings& settings, const QString& dataFolder);

// The local queue of tests waiting for the server, beside the default store.
QString queuePath(const QString& dataFolder);

}  // namespace kr5
