// The real program and kr5sim as processes: the simulator started with its pseudo-terminals,
// the program started on its port 1 without a display, and what each printed.
#pragma once

#include "support/filebytes.h"
#include "support/waituntil.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace kr5 {

struct ProgramRun : ::testing::Test {
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    void TearDown() override {
        for (QProcess* p : {&program, &sim}) {
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(2000);
            }
        }
    }
    // Starts kr5sim logging its frames to `logPath`; returns the device of its port 1.
    QString startSimulator(const QString& logPath, const QStringList& settings) {
        QObject::connect(&sim, &QProcess::readyReadStandardOutput,
                         [this] { simOut += QString::fromLocal8Bit(sim.readAllStandardOutput()); });
        sim.start(QStringLiteral(KR5SIM_PATH),
                  QStringList{"--log", logPath, "--operator", "off", "--seed", "11"} + settings);
        if (!wait.until(5000, [this] { return simOut.contains(QLatin1String("READY")); })) {
            return {};
        }
        return QRegularExpression(QStringLiteral("^PORT1=(\\S+)$"),
                                  QRegularExpression::MultilineOption)
            .match(simOut)
            .captured(1);
    }
    void startProgram(const QString& device, const QStringList& arguments) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("KR5AU_PORT1"), device);
        env.insert(QStringLiteral("KR5AU_PORT2"), dir.filePath(QStringLiteral("no-such-port")));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        // The results store of the test's own, never the user's.
        env.insert(QStringLiteral("XDG_DATA_HOME"), dir.filePath(QStringLiteral("data")));
        program.setProcessEnvironment(env);
        program.setWorkingDirectory(dir.path());
        QObject::connect(&program, &QProcess::readyReadStandardOutput, [this] {
            programOut += QString::fromLocal8Bit(program.readAllStandardOutput());
        });
        QObject::connect(&program, &QProcess::readyReadStandardError, [this] {
            programErr += QString::fromLocal8Bit(program.readAllStandardError());
        });
        program.start(QStringLiteral(KR5AU_PATH), arguments);
    }
    // "<baud> <address byte> <command>" for each frame the simulator logged.
    QStringList frames(const QString& logPath) const {
        QStringList log;
        for (const QString& line :
             QString::fromLatin1(test::readBytes(logPath)).split(QLatin1Char('\n'))) {
            const QStringList words = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
            if (words.size() >= 5) {
                log << words.mid(2, 3).join(QLatin1Char(' '));
            }
        }
        return log;
    }
    QTemporaryDir dir;
    QProcess sim, program;
    QString simOut, programOut, programErr;
    test::RealTimeWait wait;
};

}  // namespace kr5
