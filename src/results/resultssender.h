// Sends closed tests to the results store, and keeps each one the store cannot take in the
// local queue until a later send or retry gets it there. A test leaves the queue only once
// the store holds it, so none is lost; the store knows a measurement file it holds, so
// none is stored twice. Blocks on the store: run it off the windows' thread (ResultsService).
#pragma once

#include "results/resultsqueue.h"
#include "results/resultsstore.h"

#include <QString>

namespace kr5 {

struct SendReport {
    // What the operator is to be told: stored, waiting and why, or lost to both files.
    QString message;
    bool failed = false;       // the store did not take a test (it waits, or was not kept)
    bool heldAlready = false;  // the store had the test before: what was sent changed nothing
    int waiting = 0;           // tests in the queue after this; -1 when the queue cannot be read
};

class ResultsSender {
  public:
    ResultsSender(const ResultsLocation& store, const QString& queuePath)
        : location_(store), store_(store), queue_(queuePath) {}

    // Hashes the test's files, stores it, then what waits; or queues it.
    SendReport send(StoredTest test);
    // Sends what waits, oldest first, until the store refuses one.
    SendReport retry();
    // A report written of a test after it was sent: the test in the store, or waiting in
    // the queue, names it from now on. Nothing when neither holds the test.
    void attachReport(const QString& measurementPath, const QString& reportPath);
    int waiting();
    // The store's tests the filter lets through; when the store cannot be read, false with
    // the reason, and the tests waiting in the queue that the filter lets through.
    bool list(const TestFilter& filter, TestTable* table, QString* problem);
    // The store's count and the last test this sender stored (else this bay's newest).
    StoreFacts facts();

    ResultsStore& store() { return store_; }

  private:
    // Sends the queue; false with the reason when a test could not be sent.
    bool sendWaiting(QString* problem);

    ResultsLocation location_;
    ResultsStore store_;
    ResultsQueue queue_;
    QString lastStoredId_;
};

}  // namespace kr5
