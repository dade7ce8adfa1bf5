// The Qt launcher against the real system: installed programs are found and start, a
// missing program is neither found nor started, and a missing document is a failure.
#include "platform/qtlauncher.h"

#include <gtest/gtest.h>

#include <QFileInfo>

namespace kr5 {
namespace {

TEST(QtLauncher, TellsInstalledFromMissing) {
    QtLauncher launcher;
    const QString missing = QStringLiteral("kr5au-no-such-program");
    const QString sh = launcher.findProgram(QStringLiteral("sh"));
    EXPECT_TRUE(QFileInfo(sh).isAbsolute() && QFileInfo(sh).isExecutable()) << sh.toStdString();
    EXPECT_TRUE(launcher.findProgram(missing).isEmpty());

    EXPECT_TRUE(launcher.startProgram(QStringLiteral("true"), {}));
    EXPECT_FALSE(launcher.startProgram(missing, {QStringLiteral("x")}));
    EXPECT_FALSE(launcher.openDocument(QStringLiteral("/nonexistent/kr5auhelp.html")));
}

}  // namespace
}  // namespace kr5
