#include "qtlooprunner.h"

#include <QCoreApplication>
#include <QThread>

namespace kr5 {

namespace {

// Runs the loop as the thread's whole work; the thread's event dispatcher serves the
// loop's own event pump.
class LoopThread : public QThread {
  public:
    explicit LoopThread(std::function<void()> loop) : loop_(std::move(loop)) {}

  protected:
    void run() override { loop_(); }

  private:
    std::function<void()> loop_;
};

}  // namespace

void QtLoopRunner::run(std::function<void()> loop) {
    LoopThread worker(std::move(loop));
    worker.setObjectName(QStringLiteral("measurement"));
    receiver_.moveToThread(&worker);
    for (QObject* object : movers_) {
        object->moveToThread(&worker);
    }
    // exit, not quit: quit would first ask the windows to close, and the main window
    // turns a close into a request to end, which is what has just happened.
    QObject::connect(
        &worker, &QThread::finished, QCoreApplication::instance(),
        [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
    worker.start();
    QCoreApplication::exec();
    worker.wait();
    // What the loop posted last (its closing state, the file closed) is carried out here.
    QCoreApplication::sendPostedEvents();
}

}  // namespace kr5
