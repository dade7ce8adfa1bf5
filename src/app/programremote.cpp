// The remote control's place in the composition root: its server started where the
// command line or the configuration asks, its commands given the paths beyond the models,
// and its clients shown in the status bar.
#include "program.h"

#include "app/exitcodes.h"

#include <QCoreApplication>
#include <QStatusBar>

namespace kr5 {

int Program::startRemoteControl() {
    QTextStream err(stderr);
    const QString name = QCoreApplication::applicationName();
    QString asked = startOptions_.listen;
    if (asked.isEmpty()) {
        asked = testMemory_.remoteListen();
    }
    if (asked.isEmpty()) {
        return kExitDone;
    }
    QString problem;
    const std::optional<ListenAddress> where = parseListenAddress(asked, &problem);
    if (!where || !remoteServer_.listen(where->address, where->port, &problem)) {
        err << name << ": remote control: " << problem << Qt::endl;
        return kExitNoListen;
    }
    remoteServer_.watchIdle(platform_.clock, testMemory_.remoteIdleLimitMs());
    remoteServer_.setHandler([this](int client, const QByteArray& line) {
        ScpiErrorQueue* errors = remoteServer_.errors(client);
        return errors != nullptr ? remoteCommands_.execute(line, *errors) : QByteArray();
    });
    // The port chosen when 0 was asked for: scripts and the tests read it here.
    ListenAddress bound{remoteServer_.address(), remoteServer_.port()};
    err << name << ": remote control listening on " << bound.text() << Qt::endl;
    if (!bound.loopback()) {
        err << name << ": the remote control can be reached from the network" << Qt::endl;
    }
    return kExitDone;
}

void Program::showRemoteClients() {
    if (!remoteServer_.isListening()) {
        return;
    }
    const ListenAddress bound{remoteServer_.address(), remoteServer_.port()};
    QStatusBar* bar = main_.statusBar();
    if (!bound.loopback()) {
        bar->showMessage(
            QStringLiteral("Remote control on %1: reachable from the network").arg(bound.text()));
    }
    QObject::connect(&remoteServer_, &RemoteServer::clientConnected, bar,
                     [bar](int, const QString& peer) {
                         bar->showMessage(QStringLiteral("Remote client %1 connected").arg(peer));
                     });
    QObject::connect(&remoteServer_, &RemoteServer::clientDisconnected, bar,
                     [bar](int, const QString& why) {
                         if (!why.isEmpty()) {
                             bar->showMessage(QStringLiteral("Remote client cut off: %1").arg(why));
                         }
                     });
    QObject::connect(&remoteServer_, &RemoteServer::clientRefused, bar, [bar](const QString& peer) {
        bar->showMessage(QStringLiteral("Remote client %1 refused: too many clients").arg(peer));
    });
}

}  // namespace kr5
