// The frame log's lines, from the link on the simulated bench and on a fake line, and the
// link's diagnostics. The frames and replies of whole cycles beside the simulator's own log
// are in the app suite's program_e2e_test.
#include "link/framelog.h"
#include "link/diagnostics.h"
#include "link/link.h"
#include "support/benchunits.h"
#include "support/fakelink.h"
#include "support/filebytes.h"
#include "support/simlink.h"

#include <gtest/gtest.h>

#include <QLoggingCategory>
#include <QTemporaryDir>

#include <atomic>
#include <thread>

namespace kr5 {
namespace {

using test::readBytes;

TEST(FrameLogLines, FramesReadLikeTheSimulatorsLogAndRepliesShowEveryByte) {
    EXPECT_EQ(FrameLog::frameLine(1039, 1, 9600, "\xC0x\r\n"), "1039 port1 9600 C0 x");
    EXPECT_EQ(FrameLog::frameLine(0, 2, 38400, "\317b5\r\n"), "0 port2 38400 CF b5");
    // Not well formed: no address byte, no CR LF, a command too long or not printable.
    EXPECT_EQ(FrameLog::frameLine(5, 1, 9600, "ABC\r\n"), "5 port1 9600 ?? 4142430D0A");
    EXPECT_EQ(FrameLog::frameLine(5, 1, 9600, "\xC0x"), "5 port1 9600 ?? C078");
    EXPECT_EQ(FrameLog::frameLine(5, 1, 9600, "\xC0 x\r\n"), "5 port1 9600 ?? C020780D0A");
    EXPECT_EQ(FrameLog::frameLine(5, 1, 9600, "\xC0" + QByteArray(33, 'x') + "\r\n"),
              "5 port1 9600 ?? C0" + QByteArray(33, 'x').toHex().toUpper() + "0D0A");

    EXPECT_EQ(FrameLog::receivedLine(1045, 1, 9600, "A0x7F3121\r\n"),
              "1045 port1 9600 < A0x7F3121\\r\\n");
    EXPECT_EQ(FrameLog::receivedLine(7, 1, 19200, QByteArray("\x00\xC1\\ \x7F", 5)),
              "7 port1 19200 < \\x00\\xC1\\\\ \\x7F");
}

// The default bench's units (detector 0, AC unit 1, noise discriminator 2 on port 1) with the
// link open on the parts' port and a frame log in a temporary folder.
template <class Parts>
struct Logged : Parts {
    template <class... Args>
    explicit Logged(const Args&... args) : Parts(args...) {
        EXPECT_TRUE(dir.isValid() && test::startOnDefaultBench(this->units, this->link));
        EXPECT_TRUE(log.open(path));
        this->link.setFrameListener(&log);
    }
    Reply exchange(UnitKind unit, const char* command, int len) {
        this->link.send(unit, QString::fromLatin1(command));
        return this->link.receive(unit, len, kNormalTimeout);
    }
    QList<QByteArray> lines() {
        log.flush();
        return readBytes(path).trimmed().split('\n');
    }

    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("frames.log"));
    FrameLog log{this->clock};
};

// On the simulated bench without operators, or on a fake port that the test scripts.
struct LoggedBench : Logged<test::SimLinkParts> {
    LoggedBench() : Logged(test::scenarioOf(QStringLiteral("operator off"))) {}
};
using LoggedLine = Logged<test::FakeLinkParts>;

TEST(FrameLogOnTheLine, StraysAreLoggedBeforeTheNextFrameAndAMissingReplyLeavesNoLine) {
    LoggedLine line;
    test::FakeSerialPort& port = line.port;
    EXPECT_EQ(line.exchange(UnitKind::Detector, "x", kMeasureLength).status,
              Reply::Status::Missing);
    port.deliverIn(10, "A0x7F");  // the tail of nothing in particular, come late
    line.clock.advanceMs(20);
    // A reply in two pieces is one line.
    port.responder = [&port](const QByteArray&) {
        port.deliverIn(5, "A1t2");
        port.deliverIn(8, "123\r\n");
    };
    EXPECT_TRUE(line.exchange(UnitKind::AcUnit, "t", kShortReadLength).whole());
    line.log.close();
    // A reply line carries the time the link was done with the reply: on a line that just
    // had strays, a few character times after its last byte came (at 128 ms).
    EXPECT_EQ(readBytes(line.path).toStdString(),
              "0 port1 9600 C0 x\n"
              "120 port1 9600 < A0x7F\n"
              "120 port1 9600 C1 t\n"
              "132 port1 9600 < A1t2123\\r\\n\n");
}

TEST(FrameLogFile, LinesReachTheFileOnceASecondAndWhenTheLogClosesOrItIsRefused) {
    LoggedBench b;
    ASSERT_TRUE(b.exchange(UnitKind::Detector, "x", kMeasureLength).whole());
    EXPECT_EQ(readBytes(b.path), "");  // held back: nothing written during the cycle
    b.clock.advanceMs(1000);           // the flush timer's tick
    const QByteArray firstSecond = readBytes(b.path);
    EXPECT_EQ(firstSecond.count('\n'), 2) << firstSecond.toStdString();
    ASSERT_TRUE(b.exchange(UnitKind::AcUnit, "t", kShortReadLength).whole());
    EXPECT_EQ(readBytes(b.path), firstSecond);
    b.log.close();
    EXPECT_EQ(readBytes(b.path).count('\n'), 4);
    // Once closed it is told nothing more and writes nothing more.
    ASSERT_TRUE(b.exchange(UnitKind::AcUnit, "t", kShortReadLength).whole());
    b.clock.advanceMs(2000);
    EXPECT_EQ(readBytes(b.path).count('\n'), 4);
    // A file that cannot be written is refused with a reason; an existing log starts afresh.
    VirtualClock clock;
    FrameLog log{clock};
    QTemporaryDir dir;
    EXPECT_FALSE(log.open(dir.filePath(QStringLiteral("no-such-folder/frames.log"))));
    EXPECT_FALSE(log.errorString().isEmpty());
    EXPECT_FALSE(clock.hasPending());  // no flush timer left behind
    const QString path = dir.filePath(QStringLiteral("frames.log"));
    ASSERT_TRUE(test::writeBytes(path, "an old run\n"));
    ASSERT_TRUE(log.open(path));
    log.frameSent(1, 9600, "\xC0v\r\n");
    log.close();
    EXPECT_EQ(readBytes(path), "0 port1 9600 C0 v\n");
}

TEST(FrameLogFile, KeepsEveryLineWhileTheFileIsWrittenFromAnotherThread) {
    // The program's link runs on the measurement's thread; the flush timer on the windows'.
    VirtualClock clock;
    FrameLog log{clock};
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("frames.log"));
    ASSERT_TRUE(log.open(path));
    constexpr int kFrames = 20000;
    std::atomic<bool> done{false};
    std::thread link([&] {
        for (int i = 0; i < kFrames; ++i) {
            log.frameSent(1, 9600, "\xC0x\r\n");
        }
        done = true;
    });
    while (!done) {
        log.flush();
    }
    link.join();
    log.close();
    EXPECT_EQ(readBytes(path).count("C0 x\n"), kFrames);
}

// Messages of the kr5au categories as "category: text".
QStringList heard;
void hear(QtMsgType, const QMessageLogContext& context, const QString& text) {
    heard << QString::fromLatin1(context.category) + QStringLiteral(": ") + text;
}

TEST(LinkDiagnostics, QuietByDefaultAndTellingWhenTheRulesAskForIt) {
    for (const QLoggingCategory* category : {&lcLink(), &lcDiscovery()}) {
        SCOPED_TRACE(category->categoryName());
        EXPECT_TRUE(QByteArray(category->categoryName()).startsWith("kr5au."));
        EXPECT_FALSE(category->isDebugEnabled());
        EXPECT_FALSE(category->isInfoEnabled());
        EXPECT_TRUE(category->isWarningEnabled());
    }
    LoggedLine line;
    heard.clear();
    const QtMessageHandler previous = qInstallMessageHandler(hear);
    line.exchange(UnitKind::AcUnit, "t", kShortReadLength);
    EXPECT_TRUE(heard.isEmpty()) << heard.join('\n').toStdString();

    QLoggingCategory::setFilterRules(QStringLiteral("kr5au.link.debug=true"));
    line.exchange(UnitKind::AcUnit, "t", kShortReadLength);
    QLoggingCategory::setFilterRules(QString());
    qInstallMessageHandler(previous);
    EXPECT_EQ(heard, QStringList{"kr5au.link: ACU reply missing: \"\""});
}

}  // namespace
}  // namespace kr5
