// The results store on SQLite and on a real PostgreSQL server: a closed test stored whole
// and once, listings filtered, the schema created, migrated and guarded, and two writers
// at once.
#include "results/resultsstore.h"
#include "results/schema.h"
#include "storetesting.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlQuery>
#include <cstdio>

namespace kr5::test {
namespace {

constexpr int kEach = 100;  // tests each of two bays stores at once

class StoreTest : public ::testing::TestWithParam<Backend> {
  protected:
    QVariant one(ResultsStore& store, const QString& sql) {
        QString problem;
        EXPECT_TRUE(store.open(&problem)) << problem.toStdString();
        QSqlQuery query(store.connection().database());
        EXPECT_TRUE(query.exec(sql)) << sql.toStdString();
        return query.next() ? query.value(0) : QVariant();
    }
    QTemporaryDir folder;
    const QDateTime march{QDate(2026, 3, 2), QTime(10, 0)};
};

TEST_P(StoreTest, StoresEveryPartOfAClosedTestOnceEvenUnderANewId) {
    ResultsStore store(freshStore(GetParam(), folder));
    StoredTest test = closedTest(folder, QStringLiteral("t1.csv"), QStringLiteral("CAB-4711"),
                                 QStringLiteral("cable"), march);
    QFile report(folder.filePath(QStringLiteral("t1.pdf")));
    ASSERT_TRUE(report.open(QIODevice::WriteOnly) && report.write("%PDF") == 4);
    report.close();
    test.reportPath.clear();
    hashFiles(test);
    const StoreOutcome first = store.store(test);
    ASSERT_EQ(first.kind, StoreOutcome::Kind::Stored) << first.problem.toStdString();

    const QString where = QStringLiteral(" FROM tests WHERE id = '%1'").arg(test.id);
    const auto column = [&](const char* name) {
        return one(store, QStringLiteral("SELECT ") + QLatin1String(name) + where);
    };
    EXPECT_EQ(column("object_id").toString(), QStringLiteral("CAB-4711"));
    EXPECT_EQ(column("object_type").toString(), QStringLiteral("cable"));
    EXPECT_EQ(column("customer").toString(), QStringLiteral("Grid & Co, \"North\""));
    EXPECT_EQ(column("started_at").toString(), QStringLiteral("2026-03-02T10:00:00"));
    EXPECT_EQ(column("ended_at").toString(), QStringLiteral("2026-03-02T10:10:00"));
    EXPECT_EQ(column("row_count").toInt(), 17);
    EXPECT_EQ(column("constants_name").toString(), QStringLiteral("Rod 7"));
    EXPECT_DOUBLE_EQ(column("adjust_pc_per_v").toDouble(), 1.0);
    EXPECT_DOUBLE_EQ(column("calibrator_pc").toDouble(), 100.0);
    EXPECT_DOUBLE_EQ(column("background_pc").toDouble(), 2.5);
    EXPECT_DOUBLE_EQ(column("set_q_pc").toDouble(), 10.0);
    EXPECT_DOUBLE_EQ(column("inception_v").toDouble(), 8000.0);
    EXPECT_DOUBLE_EQ(column("extinction_v").toDouble(), 7000.0);
    EXPECT_EQ(column("verdict").toString(), QStringLiteral("PASS"));
    EXPECT_DOUBLE_EQ(column("permissible_pc").toDouble(), 50.0);
    EXPECT_DOUBLE_EQ(column("largest_charge_pc").toDouble(), 40.0);
    EXPECT_DOUBLE_EQ(column("largest_rate_pps").toDouble(), 100.0);
    EXPECT_EQ(column("qm_block").toString(), QStringLiteral("11.5 pC"));
    EXPECT_DOUBLE_EQ(column("nqn_block").toDouble(), 120.5);
    EXPECT_EQ(column("measurement_sha256").toString(), test.measurementSha256);
    EXPECT_EQ(column("measurement_sha256").toString().size(), 64);
    EXPECT_EQ(column("report_sha256").toString(), fileSha256(report.fileName()));
    EXPECT_TRUE(column("summary").toString().contains(QStringLiteral("\"passesInBlock\":2")));
    // The pairs in order, a missing extinction as null; each pass with its counts and Qm.
    EXPECT_EQ(one(store, QStringLiteral("SELECT COUNT(*) FROM inception_pairs")).toInt(), 2);
    EXPECT_TRUE(one(store, QStringLiteral("SELECT extinction_v FROM inception_pairs WHERE "
                                          "position = 1"))
                    .isNull());
    EXPECT_EQ(one(store, QStringLiteral("SELECT COUNT(*) FROM qn_passes")).toInt(), 2);
    const double qm =
        one(store, QStringLiteral("SELECT qm_pc FROM qn_passes WHERE pass = 2")).toDouble();
    EXPECT_GT(qm, 5.0);  // between the 20 and 5 pulses a second of ranges 2 and 3
    EXPECT_LT(qm, 10.0);
    // Two equal passes: the block's Qm is theirs, as a number to chart and compare.
    EXPECT_DOUBLE_EQ(column("qm_block_pc").toDouble(), qm);
    EXPECT_GT(one(store, QStringLiteral("SELECT nqn FROM qn_passes WHERE pass = 1")).toDouble(), 0);

    // The same file again, even from another bay under another id: stored once.
    StoredTest again = test;
    again.id = QStringLiteral("another-bay-id");
    const StoreOutcome second = store.store(again);
    EXPECT_EQ(second.kind, StoreOutcome::Kind::AlreadyStored);
    EXPECT_EQ(second.storedId, test.id);
    QString problem;
    EXPECT_EQ(store.count(&problem), 1);
    EXPECT_EQ(one(store, QStringLiteral("SELECT COUNT(*) FROM qn_passes")).toInt(), 2);
    // What the remote control tells of it: by its id, or as the newest of its bay.
    for (const QString& id : {test.id, QString()}) {
        const StoreFacts facts = store.facts(id, test.bay);
        EXPECT_EQ(facts.count, 1);
        EXPECT_EQ(facts.lastId, test.id);
        EXPECT_EQ(facts.lastVerdict, QStringLiteral("PASS"));
        EXPECT_DOUBLE_EQ(facts.inceptionV.toDouble(), 8000.0);
        EXPECT_DOUBLE_EQ(facts.nqnBlock.toDouble(), 120.5);
    }
    EXPECT_TRUE(store.facts(QString(), QStringLiteral("another bay")).lastId.isEmpty());
}

TEST_P(StoreTest, ListsTheTestsOfAnObjectATypeAVerdictAndADateRange) {
    ResultsStore store(freshStore(GetParam(), folder));
    const QString cable = QStringLiteral("cable");
    for (const StoredTest& t :
         {closedTest(folder, "a.csv", "C-1", cable, march),
          closedTest(folder, "b.csv", "C-2", cable, march.addDays(3), QStringLiteral("FAIL")),
          closedTest(folder, "c.csv", "T-1", QStringLiteral("transformer"), march.addDays(5))}) {
        ASSERT_TRUE(store.store(t).kept());
    }
    const auto objects = [&store](const TestFilter& filter) {
        TestTable table;
        QString problem;
        EXPECT_TRUE(store.list(filter, &table, &problem)) << problem.toStdString();
        QStringList ids;
        const qsizetype column = table.columns.indexOf(QStringLiteral("object_id"));
        for (const QVariantList& row : table.rows) {
            ids << row[column].toString();
        }
        return ids.join(QLatin1Char(' '));
    };
    EXPECT_EQ(objects({}), QStringLiteral("C-1 C-2 T-1"));
    EXPECT_EQ(objects({QString(), cable, QString(), {}, {}}), QStringLiteral("C-1 C-2"));
    EXPECT_EQ(objects({QStringLiteral("T-1"), QString(), QString(), {}, {}}),
              QStringLiteral("T-1"));
    EXPECT_EQ(objects({QString(), QString(), QStringLiteral("FAIL"), {}, {}}),
              QStringLiteral("C-2"));
    // The newest only, oldest first, with how many there are.
    TestFilter newest;
    newest.newest = 2;
    newest.columns = QStringList{QStringLiteral("object_id"), QStringLiteral("no such column")};
    EXPECT_EQ(objects(newest), QStringLiteral("C-2 T-1"));
    TestTable limited;
    QString problem;
    ASSERT_TRUE(store.list(newest, &limited, &problem));
    EXPECT_EQ(limited.total, 3);
    EXPECT_EQ(limited.columns, QStringList{QStringLiteral("object_id")});
    // Both ends of the range count whole days.
    EXPECT_EQ(objects({QString(), QString(), QString(), march.date().addDays(3),
                       march.date().addDays(3)}),
              QStringLiteral("C-2"));
}

TEST_P(StoreTest, MigratesAnOlderStoreKeepingItsTestsAndLeavesANewerOneAlone) {
    const ResultsLocation location = freshStore(GetParam(), folder);
    {
        ResultsConnection old(location);
        QString problem;
        ASSERT_TRUE(old.open(&problem)) << problem.toStdString();
        ASSERT_TRUE(migrateSchema(old, &problem, 2)) << problem.toStdString();
        QSqlQuery query(old.database());
        ASSERT_TRUE(runSql(query,
                           QStringLiteral("INSERT INTO tests (id, measurement_sha256, "
                                          "measurement_path, stored_at, started_at, "
                                          "adjust_pc_per_v, summary) VALUES ('old', 'abc', "
                                          "'/old.csv', 'x', '2020-01-01T09:00:00', 1, "
                                          "'{\"nqn\": {\"lastPass\": 5, \"block\": 6}}')"),
                           &problem))
            << problem.toStdString();
        ASSERT_TRUE(runSql(query,
                           QStringLiteral("INSERT INTO qn_passes (test_id, pass, rates) VALUES "
                                          "('old', 1, '[100, 50, 20, 5, 1, 0, 0, 0, 0, 0]')"),
                           &problem))
            << problem.toStdString();
        EXPECT_EQ(schemaVersion(old, &problem), 2);
    }
    ResultsStore store(location);
    ASSERT_TRUE(store.store(closedTest(folder, "new.csv", "X", "cable", march)).kept());
    QString problem;
    EXPECT_EQ(schemaVersion(store.connection(), &problem), kResultsSchemaVersion);
    TestTable table;
    ASSERT_TRUE(store.list({}, &table, &problem)) << problem.toStdString();
    ASSERT_EQ(table.rows.size(), 2);
    EXPECT_EQ(table.rows[0][0].toString(), QStringLiteral("old"));
    EXPECT_TRUE(table.rows[0][table.columns.indexOf(QStringLiteral("object_id"))].isNull());
    // The figures the older store kept only as text or counts, as numbers now.
    const double qm =
        table.rows[0][table.columns.indexOf(QStringLiteral("qm_block_pc"))].toDouble();
    EXPECT_TRUE(qm > 5.0 && qm < 10.0) << qm;
    EXPECT_EQ(table.rows[0][table.columns.indexOf(QStringLiteral("nqn_block"))].toDouble(), 6.0);
    EXPECT_GT(
        one(store, QStringLiteral("SELECT nqn FROM qn_passes WHERE test_id = 'old'")).toDouble(),
        0.0);

    // A store a newer program made: refused with the reason, and not written.
    QSqlQuery query(store.connection().database());
    ASSERT_TRUE(runSql(query, QStringLiteral("UPDATE schema_version SET version = 99"), &problem));
    ResultsStore newer(location);
    const StoreOutcome refused = newer.store(closedTest(folder, "n2.csv", "Y", "cable", march));
    EXPECT_EQ(refused.kind, StoreOutcome::Kind::Failed);
    EXPECT_TRUE(refused.problem.contains(QStringLiteral("newer"))) << refused.problem.toStdString();
    EXPECT_EQ(store.count(&problem), 2);
}

// Two bays at once, each a process of its own (this test program again, running only
// StoreWriter): every test whole, none mixed, and the file both send stored once.
TEST_P(StoreTest, TwoWritersAtOnceStoreEveryTestWhole) {
    const ResultsLocation location = freshStore(GetParam(), folder);
    const QString url = location.kind == ResultsLocation::Kind::Sqlite
                            ? QStringLiteral("sqlite://") + location.sqlitePath
                            : QStringLiteral("postgresql://%1@localhost:%2/%3?host=%4")
                                  .arg(location.user)
                                  .arg(location.port)
                                  .arg(location.database, location.host);
    QProcess writers[2];
    for (int bay = 0; bay < 2; ++bay) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("KR5_STORE_WRITER_URL"), url);
        env.insert(QStringLiteral("KR5_STORE_WRITER_BAY"), QString::number(bay));
        writers[bay].setProcessEnvironment(env);
        writers[bay].start(QCoreApplication::applicationFilePath(),
                           {QStringLiteral("--gtest_filter=StoreWriter.*")});
    }
    int stored = 0;
    for (QProcess& writer : writers) {
        ASSERT_TRUE(writer.waitForFinished(120000));
        const QString out = QString::fromUtf8(writer.readAllStandardOutput());
        EXPECT_EQ(writer.exitCode(), 0) << out.toStdString();
        stored +=
            QRegularExpression(QStringLiteral("stored (\\d+)")).match(out).captured(1).toInt();
    }
    EXPECT_EQ(stored, 2 * kEach + 1);
    ResultsStore reader(location);
    EXPECT_EQ(one(reader, QStringLiteral("SELECT COUNT(DISTINCT id) FROM tests")).toInt(),
              2 * kEach + 1);
    // Every test has its own two pairs and two passes, no more.
    EXPECT_EQ(one(reader, QStringLiteral("SELECT COUNT(*) FROM (SELECT test_id FROM qn_passes "
                                         "GROUP BY test_id HAVING COUNT(*) = 2) whole"))
                  .toInt(),
              2 * kEach + 1);
    EXPECT_EQ(one(reader, QStringLiteral("SELECT COUNT(*) FROM inception_pairs")).toInt(),
              2 * (2 * kEach + 1));
}

// One bay of TwoWritersAtOnceStoreEveryTestWhole, in a process of its own.
TEST(StoreWriter, StoresItsTestsAndTheOneInCommon) {
    const QString url = qEnvironmentVariable("KR5_STORE_WRITER_URL");
    if (url.isEmpty()) {
        GTEST_SKIP() << "run by TwoWritersAtOnceStoreEveryTestWhole";
    }
    const int bay = qEnvironmentVariableIntValue("KR5_STORE_WRITER_BAY");
    const QDateTime march(QDate(2026, 3, 2), QTime(10, 0));
    QTemporaryDir folder;
    ResultsStore store(parseResultsUrl(url, QString()));
    int stored = 0;
    for (int i = 0; i <= kEach; ++i) {
        // The last is a file both bays send, alike to the byte.
        const StoredTest test =
            i < kEach ? closedTest(folder, QStringLiteral("b%1-%2.csv").arg(bay).arg(i),
                                   QStringLiteral("O%1").arg(i), "cable", march)
                      : closedTest(folder, "common.csv", "common", "cable", march);
        const StoreOutcome outcome = store.store(test);
        ASSERT_TRUE(outcome.kept()) << outcome.problem.toStdString();
        stored += outcome.kind == StoreOutcome::Kind::Stored ? 1 : 0;
    }
    std::printf("stored %d\n", stored);
}

INSTANTIATE_TEST_SUITE_P(Backends, StoreTest, ::testing::Values(Backend::Sqlite, Backend::Postgres),
                         [](const auto& param) { return backendName(param.param); });

// A file that is not an SQLite database is never written over: the test is refused with
// the reason, and the file keeps its bytes.
TEST(SqliteStore, AFileThatIsNoDatabaseIsRefusedAndLeftAsItWas) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("results.sqlite"));
    const QByteArray bytes = QByteArray("a spreadsheet, not a database\n").repeated(200);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    file.close();
    ResultsLocation location;
    location.sqlitePath = path;
    ResultsStore store(location);
    const StoreOutcome outcome =
        store.store(closedTest(folder, "t.csv", "X", "cable", QDateTime::currentDateTime()));
    EXPECT_EQ(outcome.kind, StoreOutcome::Kind::Failed);
    EXPECT_TRUE(outcome.problem.contains(QStringLiteral("not a database")))
        << outcome.problem.toStdString();
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), bytes);
}

}  // namespace
}  // namespace kr5::test
