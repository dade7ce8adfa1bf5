// The Results window over a store of 100,000 tests, on SQLite and on a throw-away
// PostgreSQL server (when PostgreSQL is installed): the time to list every test (as
// --results does), to open the window (it shows the newest 20,000), to filter by a type, to
// compare a test with its type and to sort, beside the 0.5 s target. Prints the figures; never
// fails on a time.
#include "results/postgresserver.h"
#include "results/resultsstore.h"
#include "results/resultswindow.h"
#include "results/schema.h"
#include "support/fakedialogs.h"

#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QSqlError>
#include <QSqlQuery>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextStream>
#include <QUuid>
#include <functional>

namespace {

using namespace kr5;

QTextStream out(stdout);

// Tests of 1000 objects of 20 types over three years, one in ten failed.
bool fill(ResultsStore& store, int tests, QString* problem) {
    if (!store.open(problem)) {
        return false;
    }
    QSqlDatabase db = store.connection().database();
    QSqlQuery query(db);
    if (!runSql(query, QStringLiteral("BEGIN"), problem)) {
        return false;
    }
    query.prepare(QStringLiteral(
        "INSERT INTO tests (id, measurement_sha256, measurement_path, stored_at, started_at, "
        "object_id, object_type, customer, verdict, largest_charge_pc, inception_v, "
        "extinction_v, qm_block_pc, nqn_block, row_count, summary) "
        "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, '{}')"));
    const QDateTime first(QDate(2024, 1, 1), QTime(8, 0));
    for (int i = 0; i < tests; ++i) {
        const QString id = QUuid::createUuid().toString(QUuid::WithoutBraces);
        const QString started = first.addSecs(qint64(i) * 900).toString(Qt::ISODate);
        const QVariantList values{id,
                                  id,
                                  QStringLiteral("/lab/tests/%1.csv").arg(i),
                                  started,
                                  started,
                                  QStringLiteral("OBJ-%1").arg(i % 1000),
                                  QStringLiteral("type %1").arg(i % 20),
                                  QStringLiteral("customer %1").arg(i % 50),
                                  i % 10 == 0 ? QStringLiteral("FAIL") : QStringLiteral("PASS"),
                                  double(i % 997) / 3.0,
                                  8000.0 + i % 4000,
                                  7000.0 + i % 3000,
                                  double(i % 331) / 7.0,
                                  1000.0 + i % 500,
                                  3600};
        for (int v = 0; v < values.size(); ++v) {
            query.bindValue(v, values[v]);
        }
        if (!query.exec()) {
            *problem = query.lastError().text();
            return false;
        }
    }
    return runSql(query, QStringLiteral("COMMIT"), problem);
}

double msOf(const std::function<void()>& work) {
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e6;
}

void measure(const QString& engine, const ResultsLocation& location, int tests) {
    ResultsStore store(location);
    QString problem;
    QElapsedTimer filling;
    filling.start();
    if (!fill(store, tests, &problem)) {
        out << engine << ": the store could not be filled: " << problem << Qt::endl;
        return;
    }
    out << engine << ": " << tests << " tests stored in " << filling.elapsed() << " ms" << Qt::endl;
    test::FakeDialogs dialogs;
    ResultsWindow window(
        [&store](const TestFilter& filter, ResultsService::Listed listed) {
            TestTable table;
            QString why;
            store.list(filter, &table, &why);
            listed(table, why);
        },
        dialogs);
    const auto figure = [&engine](const char* what, double ms) {
        out << "  " << engine << " " << what << ": " << QString::number(ms, 'f', 0)
            << " ms (target 500 ms, " << QString::number(ms / 500.0, 'f', 2) << " of it)"
            << Qt::endl;
    };
    TestTable all;
    figure("list every test, as --results does", msOf([&] { store.list({}, &all, &problem); }));
    figure("open the window (the newest tests)", msOf([&] {
               window.show();
               QApplication::processEvents();
           }));
    out << "  shown: " << window.status() << Qt::endl;
    figure("filter by a type", msOf([&] {
               window.findChild<QLineEdit*>(QStringLiteral("restype"))
                   ->setText(QStringLiteral("type 7"));
               window.refresh();
               QApplication::processEvents();
           }));
    out << "  shown: " << window.status() << Qt::endl;
    figure("compare a test with its type", msOf([&] {
               window.table().selectRow(0);
               QApplication::processEvents();
           }));
    window.findChild<QLineEdit*>(QStringLiteral("restype"))->clear();
    window.refresh();
    figure("sort the tests shown by largest charge", msOf([&] {
               window.table().sortByColumn(5, Qt::DescendingOrder);
               QApplication::processEvents();
           }));
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int tests = 100000;
    QTemporaryDir folder;
    ResultsLocation sqlite;
    sqlite.sqlitePath = folder.filePath(QStringLiteral("results.sqlite"));
    measure(QStringLiteral("SQLite"), sqlite, tests);
    kr5::test::PostgresServer server;
    if (!server.problem().isEmpty()) {
        out << "PostgreSQL: no server (" << server.problem() << ")" << Qt::endl;
        return 0;
    }
    measure(QStringLiteral("PostgreSQL"), server.newDatabase(), tests);
    return 0;
}
