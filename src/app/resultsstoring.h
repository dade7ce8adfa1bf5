// Every closed measurement file into the results store, without the windows or the
// measurement waiting for it: the test goes to the results thread, the operator is told
// when it could not be stored, the status bar and --status say how many tests wait for the
// store, and a timer on the program's clock sends them again while any wait.
#pragma once

#include "app/mainwindow.h"
#include "app/statusprinter.h"
#include "core/qncounts.h"
#include "platform/clock.h"
#include "results/resultsservice.h"

#include <QJsonObject>
#include <QString>

namespace kr5 {

class ResultsStoring {
  public:
    struct Parts {
        Clock& clock;
        MainWindow& main;
        StatusPrinter& status;
        // The configuration file that may name a server; empty: the user's kr5au.conf.
        QString configPath;
        // Where the SQLite store and the queue lie; empty: the user's data folder.
        QString dataFolder;
    };
    explicit ResultsStoring(const Parts& parts);
    ~ResultsStoring();
    ResultsStoring(const ResultsStoring&) = delete;
    ResultsStoring& operator=(const ResultsStoring&) = delete;

    // Stores a closed measurement file's test, or a recorded test once opened and judged.
    void store(const QJsonObject& summary, const QnPasses& passes, const QString& path);
    // A report was written of the test of this measurement file.
    void reportWritten(const QString& measurementPath, const QString& reportPath) {
        service_.attachReport(measurementPath, reportPath);
    }
    ResultsService& service() { return service_; }

    static constexpr int kRetryMs = 30000;

  private:
    void showWaiting(int waiting);

    Parts p_;
    ResultsService service_;
    int retryTimer_ = 0;
};

// The store the configuration names: the user's kr5au.conf, or the file at configPath.
ResultsLocation configuredResultsLocation(const QString& configPath, const QString& dataFolder);

}  // namespace kr5
