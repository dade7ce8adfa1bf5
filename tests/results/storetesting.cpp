#include "storetesting.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <memory>

namespace kr5::test {

namespace {

// Stops the server while the application object still exists, after the last test.
class ServerEnvironment : public ::testing::Environment {
  public:
    PostgresServer& server() {
        if (!server_) {
            server_ = std::make_unique<PostgresServer>();
        }
        return *server_;
    }
    void TearDown() override { server_.reset(); }

  private:
    std::unique_ptr<PostgresServer> server_;
};

ServerEnvironment* const environment =
    static_cast<ServerEnvironment*>(::testing::AddGlobalTestEnvironment(new ServerEnvironment));

}  // namespace

PostgresServer& postgres() {
    return environment->server();
}

std::string backendName(Backend backend) {
    return backend == Backend::Sqlite ? "Sqlite" : "Postgres";
}

ResultsLocation freshStore(Backend backend, const QTemporaryDir& folder) {
    if (backend == Backend::Sqlite) {
        ResultsLocation location;
        location.sqlitePath = folder.filePath(QStringLiteral("store/results.sqlite"));
        return location;
    }
    EXPECT_TRUE(postgres().problem().isEmpty()) << postgres().problem().toStdString();
    return postgres().newDatabase();
}

StoredTest closedTest(const QTemporaryDir& folder, const QString& fileName, const QString& objectId,
                      const QString& objectType, const QDateTime& start, const QString& verdict) {
    const QString path = folder.filePath(fileName);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QStringLiteral("rows of %1 at %2\r\n").arg(fileName, start.toString()).toUtf8());
    file.close();
    const QJsonObject pairOne{{"inceptionV", 8000.0},
                              {"extinctionV", 7000.0},
                              {"setQPc", 10.0},
                              {"inceptionAt", "2026-03-02T10:01:00"},
                              {"extinctionAt", QJsonValue::Null},
                              {"doubt", ""}};
    const QJsonObject pairTwo{{"inceptionV", 8200.0},
                              {"extinctionV", QJsonValue::Null},
                              {"setQPc", 10.0},
                              {"inceptionAt", QJsonValue::Null},
                              {"extinctionAt", QJsonValue::Null},
                              {"doubt", "rose again"}};
    const QJsonObject summary{
        {"program", "kr5au 1.5"},
        {"measurementFile", fileName},
        {"start", start.toString(Qt::ISODate)},
        {"end", start.addSecs(600).toString(Qt::ISODate)},
        {"rows", 17},
        {"inputConstants", QJsonObject{{"name", "Rod 7"},
                                       {"number", "42"},
                                       {"temperature", "21"},
                                       {"humidity", "40"},
                                       {"ptRatio", 100.0},
                                       {"adjustPcPerV", 1.0},
                                       {"setQIndex", 3},
                                       {"startCount", 1},
                                       {"stopCount", 3}}},
        {"calibration", QJsonObject{{"calibratorPc", 100.0}, {"adjustPcPerV", 1.0}}},
        {"background", QJsonObject{{"levelPc", 2.5}, {"belowKv", 1.0}}},
        {"setQPc", 10.0},
        {"inceptionExtinction", QJsonObject{{"inceptionV", 8000.0},
                                            {"extinctionV", 7000.0},
                                            {"doubt", ""},
                                            {"pairs", QJsonArray{pairOne, pairTwo}}}},
        {"acceptance", QJsonObject{{"testKv", 12.0},
                                   {"holdS", 60.0},
                                   {"permissiblePc", 50.0},
                                   {"verdict", verdict},
                                   {"state", "held 60 s"}}},
        {"largestChargePc", 40.0},
        {"largestPulseRatePps", 100.0},
        {"qm", QJsonObject{{"lastPass", "12.0 pC"}, {"block", "11.5 pC"}, {"passesInBlock", 2}}},
        {"nqn", QJsonObject{{"lastPass", 123.4}, {"block", 120.5}}},
        {"details", QJsonObject{{"objectId", objectId},
                                {"objectType", objectType},
                                {"customer", "Grid & Co, \"North\""}}},
    };
    QnRates rates{0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0};
    rates[0] = 100.0;
    rates[1] = 50.0;
    rates[2] = 20.0;
    rates[3] = 5.0;
    rates[4] = 1.0;
    StoredTest test = newStoredTest(summary, {rates, rates}, path);
    hashFiles(test);
    return test;
}

}  // namespace kr5::test
