// Save of the V-Q result: the "no name" refusal, the dialog's request, the file byte for
// byte replacing an older one, the file becoming the measurement file, cancel and a file
// that cannot be written.
#include "charts/vqsave.h"
#include "platform/virtualclock.h"
#include "support/fakedialogs.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace kr5 {
namespace {

class VqSave : public ::testing::Test {
  protected:
    VqSave() {
        g.portstr = QStringLiteral("1");
        g.csvfile = QStringLiteral("measure.csv");
        hooks.showInputConst = [this] { ++inputConstShown; };
        hooks.setMainCaption = [this](const QString& c) { caption = c; };
        detector.csvval = QStringLiteral("1200");
        detector.cevval = QStringLiteral("980");
    }

    QByteArray fileBytes(const QString& path) const {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

    Globals g;
    VirtualClock clock{QDateTime(QDate(2001, 4, 17), QTime(14, 5, 9))};
    Inception detector{g, clock};
    test::FakeDialogs dialogs;
    VqSaveHooks hooks;
    int inputConstShown = 0;
    QString caption;
    QTemporaryDir dir;
};

TEST_F(VqSave, RefusedUnderNoName) {
    EXPECT_FALSE(sdata(g, dialogs, detector, hooks));
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("Can not Save under no name."));
    EXPECT_EQ(dialogs.shown[0].buttons, Dialogs::Buttons::Ok);
    EXPECT_EQ(inputConstShown, 1);
    EXPECT_TRUE(dialogs.saveRequests.empty());
    // The name field of the Input const window counts, not the stored constant.
    g.kname = QStringLiteral("test1");
    hooks.inputName = [] { return QStringLiteral("no name"); };
    EXPECT_FALSE(sdata(g, dialogs, detector, hooks));
    EXPECT_EQ(inputConstShown, 2);
    EXPECT_EQ(g.csvfile, QStringLiteral("measure.csv"));
}

TEST_F(VqSave, WritesTheTableAndMakesItTheMeasurementFile) {
    g.kname = QStringLiteral("test1");
    g.knum = QStringLiteral("7");
    const QString path = dir.filePath(QStringLiteral("result.csv"));
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(500, 'x'));
    }
    dialogs.savePaths.push_back(path);
    ASSERT_TRUE(sdata(g, dialogs, detector, hooks));
    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    const auto& request = dialogs.saveRequests[0];
    EXPECT_EQ(request.title, QStringLiteral("Save"));
    EXPECT_EQ(request.fileName, QStringLiteral("testCSV.csv"));
    EXPECT_EQ(request.filter, QStringLiteral("CSV File(*.csv)|*.csv|"));
    EXPECT_EQ(request.filterIndex, 1);
    EXPECT_TRUE(request.askOverwrite);
    EXPECT_EQ(fileBytes(path), QByteArray("\"name\",\"no.\",\"CSV\",\"CEV\",\"date time\"\r\n"
                                          "\"test1\",7,1200,980,\"04-17-2001 14:05:09\"\r\n"));
    EXPECT_EQ(g.csvfile, path);
    EXPECT_EQ(caption, QStringLiteral("KR-5(1)>") + path);
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(VqSave, CancelAndUnwritableFileChangeNothing) {
    g.kname = QStringLiteral("test1");
    EXPECT_FALSE(sdata(g, dialogs, detector, hooks));  // cancelled: no path
    const QString unwritable = dir.filePath(QStringLiteral("missing/folder/r.csv"));
    dialogs.savePaths.push_back(unwritable);
    EXPECT_FALSE(sdata(g, dialogs, detector, hooks));
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_TRUE(dialogs.shown[0].text.contains(QLatin1String("r.csv")));
    EXPECT_EQ(g.csvfile, QStringLiteral("measure.csv"));
    EXPECT_TRUE(caption.isEmpty());
    EXPECT_FALSE(QFile::exists(unwritable));
}

}  // namespace
}  // namespace kr5
