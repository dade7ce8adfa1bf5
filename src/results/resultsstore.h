// The results store on one connection: stores closed tests, each whole in one transaction
// or not at all, and lists them. A test whose measurement file is in the store already
// (the same SHA-256) is not stored again. Use it on one thread only: the one it was made on.
#pragma once

#include "results/resultsconnection.h"
#include "results/storedtest.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>

namespace kr5 {

struct StoreOutcome {
    enum class Kind {
        Stored,
        AlreadyStored,  // its measurement file was stored before, by this bay or another
        Failed,         // the store could not be reached or written: `problem` says why
    };
    Kind kind = Kind::Failed;
    QString problem;
    QString storedId;  // the id the store holds the test under

    bool kept() const { return kind != Kind::Failed; }
};

// Which tests a listing shows; empty fields do not filter.
struct TestFilter {
    QString objectId;
    QString objectType;
    QString verdict;
    QDate since;
    QDate until;
};

// A listing: the column names and one list of values per test, oldest first.
struct TestTable {
    QStringList columns;
    QList<QVariantList> rows;
};

class ResultsStore {
  public:
    explicit ResultsStore(const ResultsLocation& location) : connection_(location) {}

    // Connects and brings the schema up to date once; false with the reason when either
    // fails. Called by store() and list() as needed.
    bool open(QString* problem);
    // Stores the test, whose files were hashed (hashFiles).
    StoreOutcome store(const StoredTest& test);
    // The tests the filter lets through; false with the reason when the store cannot be
    // read.
    bool list(const TestFilter& filter, TestTable* table, QString* problem);
    // How many tests the store holds; -1 when it cannot be read.
    int count(QString* problem);

    ResultsConnection& connection() { return connection_; }

  private:
    // The id of the test stored from this measurement file; empty when none is.
    QString idOfMeasurement(const QString& sha256, QString* problem);
    bool insertTest(const StoredTest& test, QString* problem);
    bool insertPairs(const StoredTest& test, QString* problem);
    bool insertPasses(const StoredTest& test, QString* problem);
    // A connection that failed is opened again next time: the server may be back.
    void forget();

    ResultsConnection connection_;
    bool ready_ = false;
};

}  // namespace kr5
