// The queue in front of a server that goes away: tests kept locally, sent once when the
// server is back, through the sender and through the results thread.
#include "results/resultssender.h"
#include "results/resultsservice.h"
#include "storetesting.h"
#include "support/waituntil.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>

namespace kr5::test {
namespace {

class QueueTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(postgres().problem().isEmpty()) << postgres().problem().toStdString();
        location = postgres().newDatabase();
    }
    // The server runs again for the next test whatever this one did.
    void TearDown() override { postgres().start(); }
    int stored() {
        ResultsStore reader(location);
        QString problem;
        return reader.count(&problem);
    }
    // The report each stored test names, by object: "A=a.pdf F=".
    QString reports() {
        ResultsStore reader(location);
        TestTable table;
        QString problem;
        EXPECT_TRUE(reader.list({}, &table, &problem)) << problem.toStdString();
        QStringList named;
        for (const QVariantList& row : table.rows) {
            named << row[table.columns.indexOf(QStringLiteral("object_id"))].toString() + '=' +
                         QFileInfo(
                             row[table.columns.indexOf(QStringLiteral("report_path"))].toString())
                             .fileName();
        }
        return named.join(QLatin1Char(' '));
    }
    QString report(const char* name) {
        QFile file(folder.filePath(QLatin1String(name)));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(name) > 0);
        return file.fileName();
    }
    QTemporaryDir folder;
    ResultsLocation location;
    const QDateTime march{QDate(2026, 3, 2), QTime(10, 0)};
    QString queue() const { return folder.filePath(QStringLiteral("queue.sqlite")); }
};

TEST_F(QueueTest, TestsClosedWhileTheServerIsDownAreKeptAndSentOnceWhenItIsBack) {
    const StoredTest a = closedTest(folder, "a.csv", "A", "cable", march);
    const StoredTest b = closedTest(folder, "b.csv", "B", "cable", march);
    {
        ResultsSender sender(location, queue());
        ASSERT_TRUE(sender.send(closedTest(folder, "first.csv", "F", "cable", march))
                        .message.contains(QStringLiteral("stored")));
        ASSERT_TRUE(postgres().stop());
        const SendReport down = sender.send(a);
        EXPECT_TRUE(down.failed);
        EXPECT_EQ(down.waiting, 1);
        EXPECT_TRUE(down.message.contains(QStringLiteral("local queue")))
            << down.message.toStdString();
        EXPECT_EQ(sender.send(b).waiting, 2);
        EXPECT_TRUE(sender.retry().failed);
        // Listed meanwhile: the reason, and the tests that wait, as the filter lets them.
        TestTable table;
        QString problem;
        TestFilter onlyB;
        onlyB.objectId = QStringLiteral("b");
        onlyB.partial = true;
        EXPECT_FALSE(sender.list(onlyB, &table, &problem));
        EXPECT_FALSE(problem.isEmpty());
        ASSERT_EQ(table.rows.size(), 1);
        EXPECT_EQ(table.rows[0][table.columns.indexOf(QStringLiteral("object_id"))], "B");
        // A report written while the test waits goes with it.
        sender.attachReport(a.measurementPath, report("a.pdf"));
    }
    // The queue outlives the program; the server comes back.
    ASSERT_TRUE(postgres().start());
    ResultsSender sender(location, queue());
    EXPECT_EQ(sender.waiting(), 2);
    const SendReport back = sender.retry();
    EXPECT_FALSE(back.failed) << back.message.toStdString();
    EXPECT_EQ(back.waiting, 0);
    EXPECT_EQ(stored(), 3);
    // And one written after the test was stored.
    sender.attachReport(folder.filePath(QStringLiteral("first.csv")), report("first.pdf"));
    EXPECT_EQ(reports(), QStringLiteral("F=first.pdf A=a.pdf B="));
    // Sent again (a retry after a lost answer, the file stored by hand): still once.
    EXPECT_FALSE(sender.send(a).failed);
    EXPECT_EQ(sender.retry().waiting, 0);
    EXPECT_EQ(stored(), 3);
}

// The windows' side hands the test over and hears back by queued signals, without waiting
// for the store (a listing and the store's count come back the same way: the whole
// program's Results window and RES:COUN? read them).
TEST_F(QueueTest, TheResultsThreadStoresOrQueuesAndTellsHowManyWait) {
    RealTimeWait wait;
    ASSERT_TRUE(postgres().stop());
    ResultsService service(location, queue());
    QStringList messages;
    QObject::connect(&service, &ResultsService::sent, &service,
                     [&messages](const QString& message, bool) { messages << message; });
    service.store(closedTest(folder, "a.csv", "A", "cable", march));
    ASSERT_TRUE(wait.until(20000, [&] { return messages.size() == 1; }));
    EXPECT_EQ(service.waiting(), 1);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("waits"))) << messages[0].toStdString();
    ASSERT_TRUE(postgres().start());
    service.retry();
    ASSERT_TRUE(wait.until(20000, [&] { return messages.size() == 2; }));
    EXPECT_EQ(service.waiting(), 0);
    EXPECT_EQ(stored(), 1);
}

}  // namespace
}  // namespace kr5::test
