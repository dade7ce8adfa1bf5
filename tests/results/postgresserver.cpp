#include "postgresserver.h"

#include "results/resultsconnection.h"
#include "results/schema.h"

#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlQuery>
#include <algorithm>

namespace kr5::test {

namespace {

constexpr const char* kUser = "kr5";
constexpr int kPort = 5432;  // only names the socket file in the server's own folder

QString postgresBin() {
    const QDir lib(QStringLiteral("/usr/lib/postgresql"));
    QStringList versions = lib.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    std::sort(versions.begin(), versions.end(),
              [](const QString& a, const QString& b) { return a.toInt() > b.toInt(); });
    for (const QString& version : versions) {
        const QString bin = lib.filePath(version + QStringLiteral("/bin"));
        if (QFile::exists(bin + QStringLiteral("/initdb"))) {
            return bin;
        }
    }
    return {};
}

}  // namespace

PostgresServer::PostgresServer() {
    bin_ = postgresBin();
    if (bin_.isEmpty()) {
        problem_ = QStringLiteral(
            "no PostgreSQL server under /usr/lib/postgresql (install "
            "postgresql: scripts/deps.sh)");
        return;
    }
    data_ = folder_.filePath(QStringLiteral("data"));
    socket_ = folder_.filePath(QStringLiteral("socket"));
    QDir().mkpath(data_);
    QDir().mkpath(socket_);
    if (::geteuid() == 0) {
        runAs_ = QStringLiteral("nobody");
        // nobody must reach its folders, and own them.
        QFile::setPermissions(folder_.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                  QFile::ExeOwner | QFile::ReadOther |
                                                  QFile::ExeOther);
        if (!run(QStringLiteral("chown"), {QStringLiteral("nobody"), data_, socket_})) {
            problem_ = QStringLiteral("cannot give the server's folder to nobody");
            return;
        }
    }
    if (!run(bin_ + QStringLiteral("/initdb"),
             {QStringLiteral("-D"), data_, QStringLiteral("-U"), QLatin1String(kUser),
              QStringLiteral("--auth=trust"), QStringLiteral("--no-sync"),
              QStringLiteral("--encoding=UTF8"), QStringLiteral("--locale=C")})) {
        problem_ = QStringLiteral("initdb failed") + output_;
        return;
    }
    if (!start()) {
        problem_ = QStringLiteral("pg_ctl start failed") + output_;
    }
}

PostgresServer::~PostgresServer() {
    if (!bin_.isEmpty() && running()) {
        stop();
    }
}

bool PostgresServer::run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setWorkingDirectory(folder_.path());
    process.setProcessChannelMode(QProcess::MergedChannels);
    const bool asOther = !runAs_.isEmpty() && program != QLatin1String("chown");
    if (asOther) {
        process.start(
            QStringLiteral("runuser"),
            QStringList{QStringLiteral("-u"), runAs_, QStringLiteral("--"), program} + arguments);
    } else {
        process.start(program, arguments);
    }
    const bool ended = process.waitForFinished(60000);
    if (!ended || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        output_ = QStringLiteral(": ") + QString::fromLocal8Bit(process.readAll());
        return false;
    }
    return true;
}

bool PostgresServer::start() {
    if (running()) {
        return true;
    }
    return run(
        bin_ + QStringLiteral("/pg_ctl"),
        {QStringLiteral("start"), QStringLiteral("-w"), QStringLiteral("-s"), QStringLiteral("-D"),
         data_, QStringLiteral("-l"), data_ + QStringLiteral("/server.log"), QStringLiteral("-o"),
         QStringLiteral("-c listen_addresses='' -k %1 -p %2 -c fsync=off")
             .arg(socket_)
             .arg(kPort)});
}

bool PostgresServer::running() const {
    return QFile::exists(data_ + QStringLiteral("/postmaster.pid"));
}

bool PostgresServer::stop() {
    return run(bin_ + QStringLiteral("/pg_ctl"),
               {QStringLiteral("stop"), QStringLiteral("-w"), QStringLiteral("-s"),
                QStringLiteral("-m"), QStringLiteral("fast"), QStringLiteral("-D"), data_});
}

ResultsLocation PostgresServer::newDatabase() {
    ResultsLocation location;
    location.kind = ResultsLocation::Kind::Postgres;
    location.host = socket_;
    location.port = kPort;
    location.user = QLatin1String(kUser);
    location.database = QStringLiteral("postgres");
    const QString name = QStringLiteral("results%1").arg(++databases_);
    {
        ResultsConnection admin(location);
        QString problem;
        if (admin.open(&problem)) {
            QSqlQuery query(admin.database());
            runSql(query, QStringLiteral("CREATE DATABASE ") + name, &problem);
        }
    }
    location.database = name;
    return location;
}

}  // namespace kr5::test
