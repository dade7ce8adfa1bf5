#include "resultsservice.h"

#include "results/resultssender.h"

#include <QPointer>

namespace kr5 {

ResultsService::ResultsService(const ResultsLocation& store, const QString& queuePath,
                               QObject* parent)
    : QObject(parent), location_(store), queuePath_(queuePath), threadContext_(new QObject) {
    thread_.setObjectName(QStringLiteral("results"));
    threadContext_->moveToThread(&thread_);
    thread_.start(QThread::LowPriority);
    // What waited since the last run is counted, and sent if the store takes it.
    retry();
    readFacts();
}

void ResultsService::readFacts() {
    post([this](ResultsSender& sender) { tellFacts(sender); });
}

ResultsService::~ResultsService() {
    // The connections end on the thread that made them; then the thread.
    QMetaObject::invokeMethod(threadContext_, [this] {
        sender_.reset();
        delete threadContext_;
        QThread::currentThread()->quit();
    });
    thread_.wait();
}

void ResultsService::post(std::function<void(ResultsSender&)> job) {
    QMetaObject::invokeMethod(threadContext_, [this, job = std::move(job)] {
        if (!sender_) {
            sender_ = std::make_unique<ResultsSender>(location_, queuePath_);
        }
        job(*sender_);
    });
}

void ResultsService::tellWaiting(int count) {
    if (waiting_.exchange(count) != count) {
        emit waitingChanged(count);
    }
}

void ResultsService::tellFacts(ResultsSender& sender) {
    QMetaObject::invokeMethod(this, [this, facts = sender.facts()] {
        // Told only when they changed: a window shown reads the store again then.
        const bool changed = facts.count != facts_.count || facts.lastId != facts_.lastId ||
                             facts.problem != facts_.problem;
        facts_ = facts;
        if (changed) {
            emit factsChanged();
        }
    });
}

void ResultsService::store(const StoredTest& test) {
    post([this, test](ResultsSender& sender) {
        const SendReport report = sender.send(test);
        tellWaiting(report.waiting);
        emit sent(report.message, report.failed);
        tellFacts(sender);
    });
}

void ResultsService::attachReport(const QString& measurementPath, const QString& reportPath) {
    post([measurementPath, reportPath](ResultsSender& sender) {
        sender.attachReport(measurementPath, reportPath);
    });
}

void ResultsService::list(const TestFilter& filter, QObject* receiver, Listed listed) {
    // The answer comes back by this object, which outlives the thread; the receiver may be
    // gone by then (a window closed as the program ends), which only its own thread can tell.
    post([this, filter, receiver = QPointer<QObject>(receiver),
          listed = std::move(listed)](ResultsSender& sender) {
        TestTable table;
        QString problem;
        sender.list(filter, &table, &problem);
        QMetaObject::invokeMethod(this, [receiver, listed, table = std::move(table), problem] {
            if (receiver) {
                listed(table, problem);
            }
        });
    });
}

void ResultsService::retry() {
    post([this](ResultsSender& sender) {
        if (sender.waiting() == 0) {
            tellWaiting(0);
            return;
        }
        const SendReport report = sender.retry();
        tellWaiting(report.waiting);
        // A store still away is told by the count waiting, not once more every retry.
        if (!report.failed) {
            emit sent(report.message, false);
        }
        tellFacts(sender);
    });
}

}  // namespace kr5
