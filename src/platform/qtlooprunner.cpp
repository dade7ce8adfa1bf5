#include "qtlooprunner.h"

#include <QCoreApplication>
#include <QThread>

namespace kr5 {

namespace {

// Runs the loop as the thread's whole work: a fiber over the thread's event loop.
class LoopThread : public QThread {
  public:
    LoopThread(FiberWaiter& waiter, std::function<void()> loop)
        : waiter_(waiter), loop_(std::move(loop)) {}

  protected:
    void run() override { waiter_.run(loop_); }

  private:
    FiberWaiter& waiter_;
    std::function<void()> loop_;
};

}  // namespace

void QtLoopRunner::run(std::function<void()> loop) {
    LoopThread worker(waiter_, std::move(loop));
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
