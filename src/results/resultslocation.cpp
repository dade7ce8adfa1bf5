#include "resultslocation.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <QUrl>
#include <QUrlQuery>

namespace kr5 {

QString ResultsLocation::describe() const {
    if (kind == Kind::Sqlite) {
        return QStringLiteral("SQLite ") + sqlitePath;
    }
    return QStringLiteral("PostgreSQL %1@%2:%3/%4").arg(user, host).arg(port).arg(database);
}

ResultsLocation parseResultsUrl(const QString& url, const QString& defaultSqlitePath) {
    ResultsLocation location;
    location.sqlitePath = defaultSqlitePath;
    const QString trimmed = url.trimmed();
    if (trimmed.isEmpty()) {
        return location;
    }
    const QUrl parsed(trimmed, QUrl::StrictMode);
    const QString scheme = parsed.scheme().toLower();
    const auto refuse = [&location, &trimmed](const QString& why) {
        location.problem =
            QStringLiteral("The results url '%1' in kr5au.conf %2.").arg(trimmed, why);
        return location;
    };
    if (!parsed.isValid()) {
        return refuse(QStringLiteral("is not a URL"));
    }
    if (scheme == QLatin1String("sqlite")) {
        if (parsed.path().isEmpty()) {
            return refuse(QStringLiteral("names no file"));
        }
        location.sqlitePath = parsed.path();
        return location;
    }
    if (scheme != QLatin1String("postgresql") && scheme != QLatin1String("postgres")) {
        return refuse(QStringLiteral("is neither postgresql:// nor sqlite://"));
    }
    if (!parsed.password().isEmpty()) {
        return refuse(
            QStringLiteral("holds a password: remove it and put it in ~/.pgpass or PGPASSWORD"));
    }
    location.kind = ResultsLocation::Kind::Postgres;
    location.user = parsed.userName();
    location.host = parsed.host();
    location.port = parsed.port(5432);
    location.database = parsed.path().mid(1);
    const QUrlQuery query(parsed);
    if (query.hasQueryItem(QStringLiteral("host"))) {
        location.host = query.queryItemValue(QStringLiteral("host"), QUrl::FullyDecoded);
    }
    if (location.host.isEmpty() || location.database.isEmpty() || location.user.isEmpty()) {
        return refuse(
            QStringLiteral("lacks the user, the host or the database "
                           "(postgresql://user@host/database)"));
    }
    return location;
}

QString resultsDataFolder(const QString& dataFolder) {
    if (!dataFolder.isEmpty()) {
        return dataFolder;
    }
    // GenericDataLocation is ~/.local/share (XDG_DATA_HOME); the program's folder is its own.
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(QStringLiteral("kr5au"));
}

ResultsLocation configuredLocation(const QSettings& settings, const QString& dataFolder) {
    const QString folder = resultsDataFolder(dataFolder);
    return parseResultsUrl(settings.value(QStringLiteral("results/url")).toString(),
                           QDir(folder).filePath(QStringLiteral("results.sqlite")));
}

QString queuePath(const QString& dataFolder) {
    return QDir(resultsDataFolder(dataFolder)).filePath(QStringLiteral("results-queue.sqlite"));
}

}  // namespace kr5
