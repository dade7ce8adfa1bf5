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
    // The columns to list, of those a listing has; empty: all of them.
    QStringList columns = {};
    // List only this many, the newest; 0: every test.
    int newest = 0;
    // Object, type and customer match where the text stands anywhere in them, in any case
    // ("cab" finds CAB-4711); else they match whole.
    bool partial = false;
    QString customer = {};
};

// A listing: the column names and one list of values per test, oldest first (the newest of
// them when the filter limits it).
struct TestTable {
    QStringList columns = {};
    QList<QVariantList> rows;
    int total = 0;  // the tests the filter lets through: more than the rows when limited
};

// What the remote control tells of the store: how many tests it holds and the figures of
// the last one this bay stored.
struct StoreFacts {
    int count = -1;  // -1: the store cannot be read, `problem` says why
    QString problem;
    QString lastId;  // empty: this bay stored none yet
    QString lastVerdict;
    QVariant largestChargePc;  // each null where the test has none
    QVariant inceptionV;
    QVariant extinctionV;
    QVariant qmBlockPc;
    QVariant nqnBlock;
};

// The test as a listing under the filter would show it, in the filter's columns; false when
// the filter leaves it out. For tests not in a store (waiting in the local queue).
bool listedAs(const StoredTest& test, const TestFilter& filter, QVariantList* row);
// The columns a listing under the filter has.
QStringList listedColumns(const TestFilter& filter);

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
    // Names the report written of the test stored from the measurement file with this
    // SHA-256; false when the store holds no such test (or cannot be written: `problem`).
    bool attachReport(const QString& measurementSha256, const QString& reportPath,
                      const QString& reportSha256, QString* problem);
    // The count, and the figures of the test stored under lastId, or else of the newest test
    // of this bay.
    StoreFacts facts(const QString& lastId, const QString& bay);

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
