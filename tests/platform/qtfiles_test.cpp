// The Qt files on the real file system, with appends and replacements that fail part way or
// at once.
#include "platform/qtfiles.h"
#include "support/filebytes.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <csignal>

namespace kr5 {
namespace {

using test::readBytes;

struct QtFilesTest : ::testing::Test {
    QTemporaryDir dir;
    QtFiles files;
    QString path = dir.filePath(QStringLiteral("t.csv"));
    QString problem;
};

TEST_F(QtFilesTest, AppendCreatesAndGrowsTheFileAndCutTakesItsEndBack) {
    EXPECT_EQ(files.size(path), -1);
    EXPECT_EQ(files.size(dir.path()), -1) << "a folder is no file";
    EXPECT_FALSE(files.cut(path, 0, &problem));
    EXPECT_FALSE(problem.isEmpty());
    problem.clear();  // an append that cannot start writes nothing and says why
    const QString gone = dir.filePath(QStringLiteral("gone/t.csv"));
    EXPECT_EQ(files.append(gone, "row\r\n", &problem), 0);
    EXPECT_TRUE(!problem.isEmpty() && !QFile::exists(gone));

    EXPECT_EQ(files.append(path, "head\r\n", nullptr), 6);
    EXPECT_EQ(files.append(path, "row 1\r\nro", nullptr), 9);
    EXPECT_EQ(files.size(path), 15);
    ASSERT_TRUE(files.cut(path, 13, &problem));
    EXPECT_EQ(files.size(path), 13);
    EXPECT_EQ(files.append(path, "row 2\r\n", nullptr), 7);
    EXPECT_EQ(readBytes(path), QByteArray("head\r\nrow 1\r\nrow 2\r\n"));
}

#ifdef Q_OS_UNIX
// What write gives back, run with the process's file size limit at bytes: a disk that
// fills there.
template <typename Write>
auto underSizeLimit(rlim_t bytes, Write write) {
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit limited = saved;
    limited.rlim_cur = bytes;
    const auto savedHandler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &limited);
    const auto result = write();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, savedHandler);
    return result;
}

// A file size limit below the new contents is a disk that fills while the file is written:
// the replacement fails and says why, and the old file stays (a commit whose flush failed
// could report success with an empty file). A link in the file's place is not followed.
TEST_F(QtFilesTest, AReplacementThatCannotBeFlushedOrGoesThroughALinkChangesNothing) {
    ASSERT_TRUE(files.replace(path, "old\r\n", nullptr));
    EXPECT_FALSE(
        underSizeLimit(1000, [&] { return files.replace(path, QByteArray(3000, 'x'), &problem); }));
    EXPECT_FALSE(problem.isEmpty());
    EXPECT_EQ(readBytes(path), QByteArray("old\r\n"));

    const QString target = dir.filePath(QStringLiteral("elsewhere.txt"));
    const QString link = dir.filePath(QStringLiteral("link.json"));
    ASSERT_TRUE(QFile::link(target, link));
    EXPECT_FALSE(files.replace(link, "{}", &problem));
    EXPECT_EQ(files.append(link, "row\r\n", &problem), 0);
    EXPECT_FALSE(QFile::exists(target));
}

// The system takes the bytes up to the file size limit and refuses the rest, which is what
// a disk that fills part way does: the count says exactly how many arrived.
TEST_F(QtFilesTest, AnAppendStoppedPartWayCountsTheBytesThatArrived) {
    ASSERT_EQ(files.append(path, "head\r\n", nullptr), 6);
    const qint64 written =
        underSizeLimit(10, [&] { return files.append(path, "row 1\r\n", &problem); });

    EXPECT_EQ(written, 4);
    EXPECT_FALSE(problem.isEmpty());
    EXPECT_EQ(readBytes(path), QByteArray("head\r\nrow "));
}
#endif

// A replacement that cannot be written leaves whatever was there; one that can puts the
// whole new contents in place of a longer old file.
TEST_F(QtFilesTest, ReplaceChangesTheFileOnlyWhenItWroteItWhole) {
    ASSERT_EQ(files.append(path, "an older, longer test\r\n", nullptr), 23);
    ASSERT_TRUE(files.replace(path, "head\r\n", &problem));
    EXPECT_EQ(readBytes(path), QByteArray("head\r\n"));

    EXPECT_FALSE(files.replace(dir.filePath(QStringLiteral("gone/t.csv")), "head\r\n", &problem));
    EXPECT_FALSE(problem.isEmpty());
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.csv")));
    problem.clear();
    EXPECT_FALSE(files.replace(dir.filePath(QStringLiteral("folder.csv")), "head\r\n", &problem));
    EXPECT_FALSE(problem.isEmpty());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot),
              (QStringList{"folder.csv", "t.csv"}))
        << "no file part left beside them";
}

}  // namespace
}  // namespace kr5
