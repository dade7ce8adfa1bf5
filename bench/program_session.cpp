#include "program_session.h"

#include <csignal>

#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QHostAddress>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>

namespace kr5::bench {

namespace {

QString captured(const QString& text, const QString& pattern) {
    return QRegularExpression(pattern, QRegularExpression::MultilineOption).match(text).captured(1);
}

}  // namespace

QStringList unitsOnPort1() {
    return {QStringLiteral("--unit"), QStringLiteral("KR 3 1"), QStringLiteral("--unit"),
            QStringLiteral("AU 7 1"), QStringLiteral("--unit"), QStringLiteral("ZN 12 1")};
}

ProgramSession::ProgramSession(const Setup& setup) {
    log_ = dir_.filePath(QStringLiteral("frames.log"));
    clock_.start();
    if (!startSimulator(setup.sim)) {
        return;
    }
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("KR5AU_PORT1"), device_);
    if (setup.display.isEmpty()) {
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    } else {
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("DISPLAY"), setup.display);
    }
    // Window places and settings are kept in the run's own folder, not the user's.
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir_.path());
    env.insert(QStringLiteral("XDG_DATA_HOME"), dir_.path());  // and its results store
    if (!setup.config.isEmpty()) {
        QDir(dir_.path()).mkpath(QStringLiteral("kr5au"));
        QFile config(dir_.filePath(QStringLiteral("kr5au/kr5au.conf")));
        if (config.open(QIODevice::WriteOnly)) {
            config.write(setup.config.toUtf8());
        }
    }
    program_.setProcessEnvironment(env);
    program_.setWorkingDirectory(dir_.path());
    program_.setStandardOutputFile(dir_.filePath(QStringLiteral("status.txt")));
    // The remote control tells its port there.
    program_.setStandardErrorFile(dir_.filePath(QStringLiteral("errors.txt")));
    launchMs_ = nowMs();
    program_.start(setup.program,
                   (setup.statusLines ? QStringList{QStringLiteral("--status")} : QStringList()) +
                       setup.programArgs);
    started_ = program_.waitForStarted();
}

bool ProgramSession::startSimulator(const QString& sim) {
    sim_.setStandardErrorFile(dir_.filePath(QStringLiteral("sim.txt")));
    sim_.start(sim, QStringList{QStringLiteral("--log"), log_, QStringLiteral("--operator"),
                                QStringLiteral("off")} +
                        unitsOnPort1());
    QString lines;
    while (!lines.contains(QLatin1String("READY")) && sim_.waitForReadyRead(5000)) {
        lines += QString::fromLocal8Bit(sim_.readAllStandardOutput());
    }
    device_ = captured(lines, QStringLiteral("^PORT1=(\\S+)$"));
    const QString zeroUs = captured(lines, QStringLiteral("^CLOCK=(\\d+)$"));
    // Both clocks are the machine's monotonic clock: the simulator's zero on ours.
    simZeroMs_ = zeroUs.toDouble() / 1000.0 - static_cast<double>(clock_.msecsSinceReference());
    return !device_.isEmpty() && !zeroUs.isEmpty();
}

ProgramSession::~ProgramSession() {
    finish();
}

void ProgramSession::finish() {
    if (program_.state() != QProcess::NotRunning) {
        program_.terminate();
        program_.waitForFinished(15000);
    }
    if (sim_.state() != QProcess::NotRunning) {
        sim_.terminate();
        sim_.waitForFinished(5000);
    }
}

QList<Frame> ProgramSession::frames(qsizetype from) const {
    QList<Frame> frames;
    QFile f(log_);
    if (!f.open(QIODevice::ReadOnly)) {
        return frames;
    }
    const QList<QByteArray> lines = f.readAll().split('\n');
    for (qsizetype i = from; i < lines.size(); ++i) {
        const QList<QByteArray> w = lines[i].simplified().split(' ');
        if (w.size() >= 5) {
            frames.append({w[0].toDouble() + simZeroMs_, w[2].toInt(), QString::fromLatin1(w[3]),
                           QString::fromLatin1(w[4])});
        }
    }
    return frames;
}

double ProgramSession::cpuSeconds() const {
    QFile f(QStringLiteral("/proc/%1/stat").arg(program_.processId()));
    if (!f.open(QIODevice::ReadOnly)) {
        return 0.0;
    }
    const QString text = QString::fromLatin1(f.readAll());
    const QStringList w = text.mid(text.lastIndexOf(QLatin1Char(')')) + 2).split(QLatin1Char(' '));
    // After the command name: state is field 3, utime field 14, stime field 15.
    const double ticks = w.value(11).toDouble() + w.value(12).toDouble();
    return ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
}

double ProgramSession::residentMb() const {
    QFile f(QStringLiteral("/proc/%1/status").arg(program_.processId()));
    if (!f.open(QIODevice::ReadOnly)) {
        return 0.0;
    }
    const QString kb =
        captured(QString::fromLatin1(f.readAll()), QStringLiteral("^VmRSS:\\s+(\\d+)"));
    return kb.toDouble() / 1024.0;
}

quint16 ProgramSession::remotePort(int timeoutMs) const {
    const double giveUp = nowMs() + timeoutMs;
    const QRegularExpression listening(QStringLiteral("remote control listening on \\S+:(\\d+)$"),
                                       QRegularExpression::MultilineOption);
    while (program_.state() == QProcess::Running && nowMs() < giveUp) {
        QFile f(dir_.filePath(QStringLiteral("errors.txt")));
        if (f.open(QIODevice::ReadOnly)) {
            const QRegularExpressionMatch m = listening.match(QString::fromLocal8Bit(f.readAll()));
            if (m.hasMatch()) {
                return m.captured(1).toUShort();
            }
        }
        QThread::msleep(20);
    }
    return 0;
}

QString ProgramSession::lastLine(const QString& name) const {
    QFile f(dir_.filePath(name));
    if (!f.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QStringList lines =
        QString::fromLocal8Bit(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    return lines.isEmpty() ? QString() : lines.constLast();
}

ReadClient::ReadClient(quint16 port, int intervalMs) {
    clock_.start();
    QObject::connect(&socket_, &QTcpSocket::readyRead, [this] { readAnswers(); });
    QObject::connect(&timer_, &QTimer::timeout, [this] { ask(); });
    socket_.connectToHost(QHostAddress::LocalHost, port);
    if (socket_.waitForConnected(5000)) {
        timer_.start(intervalMs);
    }
}

void ReadClient::restartCount() {
    replies_ = 0;
    latencies_.clear();
}

void ReadClient::ask() {
    askedMs_.push_back(static_cast<double>(clock_.nsecsElapsed()) / 1e6);
    socket_.write("READ?\n");
}

void ReadClient::readAnswers() {
    pending_ += socket_.readAll();
    qsizetype end = 0;
    while ((end = pending_.indexOf('\n')) >= 0) {
        pending_.remove(0, end + 1);
        if (askedMs_.empty()) {
            continue;  // nothing asked it: not an answer to time
        }
        latencies_.push_back(static_cast<double>(clock_.nsecsElapsed()) / 1e6 - askedMs_.front());
        askedMs_.pop_front();
        ++replies_;
    }
}

VirtualDisplay::VirtualDisplay() {
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (xvfb.isEmpty()) {
        return;
    }
    // -displayfd: the server picks a free display and writes its number when ready.
    server_.start(xvfb,
                  {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                   QStringLiteral("0"), QStringLiteral("1920x1080x24"), QStringLiteral("-nolisten"),
                   QStringLiteral("tcp")});
    QByteArray number;
    while (!number.contains('\n') && server_.waitForReadyRead(10000)) {
        number += server_.readAllStandardOutput();
    }
    if (!number.trimmed().isEmpty()) {
        name_ = QLatin1Char(':') + QString::fromLatin1(number.trimmed());
    }
}

void VirtualDisplay::stop() {
    if (server_.processId() > 0) {
        ::kill(static_cast<pid_t>(server_.processId()), SIGSTOP);
    }
}

void VirtualDisplay::resume() {
    if (server_.processId() > 0) {
        ::kill(static_cast<pid_t>(server_.processId()), SIGCONT);
    }
}

VirtualDisplay::~VirtualDisplay() {
    resume();
    server_.terminate();
    server_.waitForFinished(5000);
}

}  // namespace kr5::bench
