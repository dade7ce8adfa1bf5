// The Results window on a real SQLite store of known tests: filtered, sorted with the
// selection kept, and the selected test set against its type by percentile and trend; a
// store that cannot be read is said so.
#include "results/resultswindow.h"
#include "storetesting.h"
#include "support/fakedialogs.h"
#include "support/filebytes.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QChartView>
#include <QComboBox>
#include <QFile>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QTableView>

namespace kr5::test {
namespace {

class ResultsWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const QDateTime march(QDate(2026, 3, 2), QTime(10, 0));
        // Cable tests a day apart: largest charge 10 to 40 pC, inception 5 to 8 kV.
        const char* objects[] = {"C-1", "C-2", "C-1", "C-3"};
        for (int i = 0; i < 4; ++i) {
            StoredTest t =
                closedTest(folder, QStringLiteral("c%1.csv").arg(i), QLatin1String(objects[i]),
                           QStringLiteral("cable"), march.addDays(i));
            t.summary[QStringLiteral("largestChargePc")] = 10.0 * (i + 1);
            QJsonObject inception = t.summary[QStringLiteral("inceptionExtinction")].toObject();
            inception[QStringLiteral("inceptionV")] = 5000.0 + 1000.0 * i;
            t.summary[QStringLiteral("inceptionExtinction")] = inception;
            ASSERT_TRUE(store.store(t).kept());
        }
        QFile report(folder.filePath(QStringLiteral("t.pdf")));
        ASSERT_TRUE(report.open(QIODevice::WriteOnly) && report.write("%PDF") == 4);
        report.close();
        StoredTest failed =
            closedTest(folder, QStringLiteral("t.csv"), QStringLiteral("T-1"),
                       QStringLiteral("transformer"), march.addDays(10), QStringLiteral("FAIL"));
        failed.summary.remove(QStringLiteral("largestChargePc"));
        ASSERT_TRUE(store.store(failed).kept());
    }

    int rowOf(const QString& column, const QString& value) {
        for (int row = 0; row < window.tests().rowCount(); ++row) {
            if (window.tests().valueAt(row, column).toString() == value) {
                return row;
            }
        }
        return -1;
    }
    std::string objects() {
        QStringList shown;
        for (int row = 0; row < window.tests().rowCount(); ++row) {
            shown << window.tests().valueAt(row, QStringLiteral("object_id")).toString();
        }
        return shown.join(QLatin1Char(' ')).toStdString();
    }
    std::vector<double> trend(int figure) {
        std::vector<double> values;
        for (const QPointF& p : window.trendSeries(figure).points()) {
            values.push_back(p.y());
        }
        return values;
    }
    template <typename T>
    T* control(const char* name) {
        return window.findChild<T*>(QLatin1String(name));
    }

    QTemporaryDir folder;
    ResultsStore store{freshStore(Backend::Sqlite, folder)};
    QString unreadable;  // set: the store cannot be read, for this reason
    FakeDialogs dialogs;
    ResultsWindow window{[this](const TestFilter& filter, ResultsService::Listed listed) {
                             TestTable table;
                             QString problem = unreadable;
                             if (problem.isEmpty()) {
                                 store.list(filter, &table, &problem);
                             }
                             listed(table, problem);
                         },
                         dialogs};
};

TEST_F(ResultsWindowTest, FiltersSortsAndSetsTheSelectedTestAgainstItsType) {
    window.show();
    // The newest first.
    EXPECT_EQ(objects(), "T-1 C-3 C-1 C-2 C-1");
    EXPECT_EQ(window.status(), QStringLiteral("5 test(s)"));
    control<QLineEdit>("restype")->setText(QStringLiteral("cable"));
    window.refresh();
    EXPECT_EQ(objects(), "C-3 C-1 C-2 C-1");
    control<QLineEdit>("restype")->clear();
    // Any part of the name, in any case; a wildcard typed is a character like any other.
    for (const auto& [typed, found] : {std::pair("c-1", "C-1 C-1"), std::pair("%", "")}) {
        control<QLineEdit>("resobject")->setText(QLatin1String(typed));
        window.refresh();
        EXPECT_EQ(objects(), found);
    }
    control<QLineEdit>("resobject")->clear();
    control<QComboBox>("resverdict")->setCurrentText(QStringLiteral("FAIL"));
    window.refresh();
    EXPECT_EQ(objects(), "T-1");
    control<QComboBox>("resverdict")->setCurrentIndex(0);
    window.refresh();

    // The third cable test, 30 pC at 7 kV: among four, two below it and itself.
    const QString third = window.tests().valueAt(2, QStringLiteral("id")).toString();
    window.table().selectRow(2);
    EXPECT_EQ(window.standing(),
              QStringLiteral("Among the 4 test(s) of type cable: largest charge 63rd percentile, "
                             "inception voltage 63rd percentile, Qm 50th percentile, NQN 50th "
                             "percentile"));
    // Its object's two tests over time, then its type's four.
    EXPECT_EQ(trend(0), (std::vector<double>{10.0, 30.0}));
    EXPECT_EQ(trend(1), (std::vector<double>{5.0, 7.0}));
    control<QComboBox>("resscope")->setCurrentIndex(1);
    EXPECT_EQ(trend(0), (std::vector<double>{10.0, 20.0, 30.0, 40.0}));
    // A dashed line marks the selected test's day among them.
    const auto* mark = static_cast<const QLineSeries*>(
        control<QChartView>("restrend")->chart()->series().constLast());
    ASSERT_EQ(mark->count(), 2);
    EXPECT_EQ(QDateTime::fromMSecsSinceEpoch(qint64(mark->at(0).x())).date(), QDate(2026, 3, 4));

    // Sorted by largest charge, numbers as numbers, the test without one last either way;
    // the selection stays with its test.
    window.table().sortByColumn(5, Qt::DescendingOrder);
    EXPECT_EQ(objects(), "C-3 C-1 C-2 C-1 T-1");
    window.table().sortByColumn(5, Qt::AscendingOrder);
    EXPECT_EQ(objects(), "C-1 C-2 C-1 C-3 T-1");
    EXPECT_EQ(window.table().selectionModel()->selectedRows().value(0).row(),
              rowOf(QStringLiteral("id"), third));
    EXPECT_EQ(window.tests().data(window.tests().index(0, 6), Qt::DisplayRole).toString(),
              QStringLiteral("5.00"));  // inception in kV

    // A row opens its measurement file, or its report where one was written.
    QStringList tests;
    QStringList reports;
    QObject::connect(&window, &ResultsWindow::openTestRequested,
                     [&tests](const QString& path) { tests << path; });
    QObject::connect(&window, &ResultsWindow::openReportRequested,
                     [&reports](const QString& path) { reports << path; });
    EXPECT_FALSE(control<QAbstractButton>("resreport")->isEnabled());
    control<QAbstractButton>("resopen")->click();
    window.table().selectRow(rowOf(QStringLiteral("object_id"), QStringLiteral("T-1")));
    control<QAbstractButton>("resreport")->click();
    ASSERT_EQ(tests.size(), 1);
    EXPECT_TRUE(tests[0].endsWith(QStringLiteral("/c2.csv")));
    ASSERT_EQ(reports.size(), 1);
    EXPECT_TRUE(reports[0].endsWith(QStringLiteral("/t.pdf")));
    EXPECT_TRUE(window.standing().contains(QStringLiteral("largest charge none")))
        << window.standing().toStdString();

    // Save list writes the tests shown, a header line first.
    const QString saved = folder.filePath(QStringLiteral("list.csv"));
    dialogs.savePaths.push_back(saved);
    control<QAbstractButton>("ressave")->click();
    const QList<QByteArray> lines = readBytes(saved).split('\n');
    ASSERT_EQ(lines.size(), 7);  // and the end of the last line
    EXPECT_TRUE(lines[0].startsWith("id,started_at,object_id,object_type,customer,verdict,"));
}

TEST_F(ResultsWindowTest, AStoreThatCannotBeReadIsSaidAndTheTableKept) {
    window.show();
    unreadable = QStringLiteral("could not connect to server");
    window.refresh();
    EXPECT_EQ(window.tests().rowCount(), 5);
    EXPECT_EQ(window.status(),
              QStringLiteral("The results store cannot be read: could not connect to server"));
}

}  // namespace
}  // namespace kr5::test
