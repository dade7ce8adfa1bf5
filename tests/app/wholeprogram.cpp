#include "wholeprogram.h"

#include "link/reply.h"
#include "records/recordlines.h"

#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStatusBar>

namespace kr5::test {

QStringList readLines(const QString& path) {
    QStringList lines = QString::fromUtf8(readBytes(path)).split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.last().isEmpty()) {
        lines.removeLast();
    }
    return lines;
}

QString pdfText(const QString& path) {
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    text.waitForFinished(20000);
    return QString::fromUtf8(text.readAllStandardOutput());
}

void expectRowsTrue(const QStringList& rows, const QStringList& fromLine) {
    qsizetype at = 0;
    for (const QString& row : rows) {
        const qsizetype found = fromLine.indexOf(row, at);
        ASSERT_GE(found, 0) << "a row no reading made: " << row.toStdString();
        at = found + 1;
    }
}

sim::Scenario quietBench() {
    sim::Scenario s = sim::Scenario::defaultBench();
    s.seed = 7;
    s.operatorActive = false;
    // A quiet, shielded bench: the background stays well below the Start count, so only
    // the test object's discharges can start an inception.
    s.object.noisePps = 20;
    return s;
}

void steadyDischarge(sim::Scenario& s) {
    s.profile = sim::ProfileConfig{10.0, 10.0, 0.0, 1000.0, 0.0, 0.0, false};
    s.object.chargePc = 200.0;
    s.object.shape = 20.0;
    s.object.ratePps = 300.0;
    s.object.rateExponent = 0.0;
}

void WholeProgram::SetUp() {
    ASSERT_TRUE(dir.isValid());
    QDir::setCurrent(dir.path());  // the settings file lives in the working directory
}

void WholeProgram::TearDown() {
    program.reset();
    QDir::setCurrent(previousDir);
}

void WholeProgram::build() {
    bench = std::make_unique<sim::Bench>(scenario);
    port = std::make_unique<sim::SimPort>(*bench, clock);
    // The windows' places are remembered in a folder of the test's own, never in the
    // user's configuration folder.
    ProgramOptions options;
    options.windowMemoryPath = windowMemoryPath();
    options.resultsFolder = configDir.path();
    program = std::make_unique<Program>(Platform{clock, waiter, *port, dialogs, launcher, clipboard,
                                                 files, toEngine, toWindows, runner},
                                        options);
}

void WholeProgram::runSteps() {
    while (!steps.empty() && steps.front().ready()) {
        Step s = steps.front();
        steps.pop_front();
        s.act();
    }
}

void WholeProgram::runProgram(qint64 endMs) {
    if (!program) {
        build();
    }
    const int ticker = clock.startTimer(200, [this] { runSteps(); });
    clock.scheduleAtUs(endMs * 1000, [this] { program->requestEnd(); });  // a safety net
    EXPECT_EQ(program->run(), 0);
    clock.stopTimer(ticker);
    ASSERT_TRUE(steps.empty()) << "stuck before: " << steps.front().what.toStdString() << " at "
                               << now() << " ms";
}

void WholeProgram::enterConstants(const QString& name, const QString& number, int setQIndex,
                                  const QString& adjust) {
    menu("kouseiin")->trigger();
    type(QStringLiteral("kousei"), QStringLiteral("Text1"), name);
    type(QStringLiteral("kousei"), QStringLiteral("Text2"), number);
    type(QStringLiteral("kousei"), QStringLiteral("Text6"), adjust);
    control<QScrollBar>(QStringLiteral("kousei"), QStringLiteral("HScroll3"))->setValue(setQIndex);
    click(QStringLiteral("kousei"), QStringLiteral("Command1"));
}

void WholeProgram::options(int tab, const QStringList& buttons) {
    menu("seting")->trigger();
    auto* tabs = control<QTabWidget>(QStringLiteral("Options"), QStringLiteral("OPtab"));
    ASSERT_NE(tabs, nullptr);
    tabs->setCurrentIndex(tab);
    for (const QString& b : buttons) {
        click(QStringLiteral("Options"), b);
    }
    click(QStringLiteral("Options"), QStringLiteral("Command2"));
}

void WholeProgram::startRecording(const QString& path) {
    dialogs.savePaths.push_back(path);
    menu("csave")->trigger();
    click(QStringLiteral("KR5AU"), QStringLiteral("Option1"));
}

QString WholeProgram::record(const QString& name) {
    const QString path = dir.filePath(name + QStringLiteral(".csv"));
    enterConstants(name);
    startRecording(path);
    return path;
}

void WholeProgram::setUpAcceptance(const QString& kv, const QString& holdS, const QString& pc) {
    menu("acctest")->trigger();
    type(QStringLiteral("acceptance"), QStringLiteral("testkv"), kv);
    type(QStringLiteral("acceptance"), QStringLiteral("holds"), holdS);
    type(QStringLiteral("acceptance"), QStringLiteral("permpc"), pc);
    click(QStringLiteral("acceptance"), QStringLiteral("accok"));
}

void WholeProgram::startQn(int passes) {
    options(4, {QStringLiteral("Option4(0)"), QStringLiteral("Option5(%1)").arg(passes)});
    menu("mesqn")->trigger();
}

QStringList WholeProgram::frames() const {
    QStringList out;
    for (const auto& f : port->frameLog()) {
        out << QStringLiteral("%1 %2 %3")
                   .arg(f.baud)
                   .arg(f.address)
                   .arg(QString::fromLatin1(f.command));
    }
    return out;
}

WholeProgram::Body WholeProgram::body(const QStringList& lines) {
    static const QRegularExpression marker(QStringLiteral("^\"(\\w+)\",\"\\d\\d:\\d\\d:\\d\\d\""));
    Body b;
    for (const QString& line : lines.mid(14)) {
        const auto m = marker.match(line);
        if (m.hasMatch()) {
            b.markers << m.captured(1);
            b.after << QStringList();
        } else {
            b.rows << line;
            if (!b.after.isEmpty()) {
                b.after.last() << line;
            }
        }
    }
    return b;
}

QStringList WholeProgram::rowsFromTheLine(const InputConstants& constants) const {
    const auto whole = [](const QByteArray& answer) {
        return Reply{Reply::Status::Whole, QString::fromLatin1(answer)};
    };
    QStringList rows;
    double es = 0.0;
    int stepRange = -1;    // the attenuator range a Q-N gate counted at
    bool counted = false;  // a gate counted since the last "x": the reading is a Q-N step
    qint32 stepRate = 0;
    std::optional<DetectorFields> detector;
    const auto& log = port->frameLog();
    for (size_t i = 0; i < log.size(); ++i) {
        const sim::FrameRecord& f = log[i];
        const QString command = QString::fromLatin1(f.command);
        if (f.address == 0 && command != QLatin1String("x")) {
            counted = false;  // a step's count is read by the very next "x" or not at all
        }
        if (f.address == 0 && command.size() == 2 && command[0] == QLatin1Char('a')) {
            stepRange = command.mid(1).toInt();
        } else if (f.address == 0 && command.startsWith(QLatin1Char('c'))) {
            const int gate = command.mid(1).toInt();
            if (const auto count = gateCount(whole(f.answer))) {
                counted = true;
                stepRate = countRate(*count, gate);
            }
        } else if (f.address == 0 && command == QLatin1String("x")) {
            detector = detectorFields(whole(f.answer));
        } else if (f.address == 1 && command == QLatin1String("t") && detector) {
            const auto ac = acFields(whole(f.answer));
            if (!ac) {
                continue;
            }
            es = ac->voltage(es);
            const double tv = es * constants.ptRatio;
            if (counted) {
                const double charge =
                    attenuatorDivision(stepRange) * detector->rawPeak() * constants.adjust;
                rows << dataRowLine(stepRange, charge, 0, stepRate, tv);
            } else {
                const double charge =
                    attenuatorDivision(detector->attRange) * detector->rawPeak() * constants.adjust;
                rows << dataRowLine(detector->attRange, charge, detector->rateRange,
                                    rateMultiplier(detector->rateRange) * detector->rawRate(), tv);
            }
            counted = false;
            detector.reset();
        }
    }
    return rows;
}

QString WholeProgram::unitStatusText() const {
    const auto* label = program->mainWindow().findChild<QLabel*>(QStringLiteral("unitStatus"));
    return label && !label->isHidden() ? label->text() : QString();
}

QString WholeProgram::statusMessage() const {
    return program->mainWindow().statusBar()->currentMessage();
}

QJsonObject WholeProgram::summaryOf(const QString& path) {
    return QJsonDocument::fromJson(readBytes(path)).object();
}

}  // namespace kr5::test
