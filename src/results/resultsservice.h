// The results store off the measurement's path and off the windows' thread: a thread of
// its own with its own connections, given each closed test at once and telling back, by
// queued signals, what became of it and how many tests wait for the store. Nothing here
// waits for the database on the caller's thread, except the end, which lets the test being
// sent finish.
#pragma once

#include "results/resultslocation.h"
#include "results/resultsstore.h"
#include "results/storedtest.h"

#include <QObject>
#include <QString>
#include <QThread>
#include <atomic>
#include <functional>
#include <memory>

namespace kr5 {

class ResultsSender;

class ResultsService : public QObject {
    Q_OBJECT
  public:
    ResultsService(const ResultsLocation& store, const QString& queuePath,
                   QObject* parent = nullptr);
    ~ResultsService() override;
    ResultsService(const ResultsService&) = delete;
    ResultsService& operator=(const ResultsService&) = delete;

    // Each returns at once; `sent` follows from the results thread.
    void store(const StoredTest& test);
    // Sends what waits in the queue.
    void retry();
    // Reads the count and last test again (factsChanged follows).
    void readFacts();
    // A report was written of the test of this measurement file, stored or waiting.
    void attachReport(const QString& measurementPath, const QString& reportPath);
    // Lists the store's tests on the results thread; `listed` runs on receiver's thread
    // with the tests, or the reason they could not be read and the tests waiting for the
    // store (never once receiver is gone).
    using Listed = std::function<void(const TestTable& table, const QString& problem)>;
    void list(const TestFilter& filter, QObject* receiver, Listed listed);
    // The tests waiting, as last counted.
    int waiting() const { return waiting_; }
    // The store's count and last test as last read (after each test sent, and at the
    // start); on the caller's thread.
    const StoreFacts& facts() const { return facts_; }
    const ResultsLocation& location() const { return location_; }

  signals:
    // failed: the store did not take a test now (it waits, or the message says it is lost).
    void sent(const QString& message, bool failed);
    void waitingChanged(int waiting);
    // The count, the last test or the problem reading them changed.
    void factsChanged();

  private:
    // Runs job on the results thread, with the sender made there on first use.
    void post(std::function<void(ResultsSender&)> job);
    void tellWaiting(int count);
    // Reads the facts on the results thread and hands them to this object's thread.
    void tellFacts(ResultsSender& sender);

    ResultsLocation location_;
    QString queuePath_;
    QThread thread_;
    QObject* threadContext_;                 // lives on thread_; deleted there
    std::unique_ptr<ResultsSender> sender_;  // made, used and ended on thread_
    std::atomic<int> waiting_{0};
    StoreFacts facts_;  // on this object's thread
};

}  // namespace kr5
