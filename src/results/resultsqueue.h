// The tests waiting for the results store: a small SQLite file of the bay's own, so that
// a test closed while the server cannot be reached outlives the program until it is sent.
#pragma once

#include "results/resultsconnection.h"
#include "results/storedtest.h"

#include <QString>
#include <vector>

namespace kr5 {

class ResultsQueue {
  public:
    explicit ResultsQueue(const QString& path);

    // Keeps the test; false with the reason when even the queue cannot be written.
    bool add(const StoredTest& test, QString* problem);
    // The tests waiting, oldest first; a line that is no test any more is passed over.
    bool waiting(std::vector<StoredTest>* tests, QString* problem);
    bool remove(const QString& id, QString* problem);
    // How many wait; -1 when the queue cannot be read.
    int count(QString* problem);

  private:
    bool open(QString* problem);

    ResultsConnection connection_;
    bool ready_ = false;
};

}  // namespace kr5
