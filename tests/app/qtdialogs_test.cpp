// The Qt message box and launcher against the real system. Which texts the program shows, and
// when, is left to the tests of the parts that show them.
#include "platform/qtdialogs.h"
#include "platform/qtlauncher.h"
#include "support/filebytes.h"
#include "support/waituntil.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>

namespace kr5 {
namespace {

struct Seen {
    QString title, text, detail;
    QMessageBox::StandardButtons buttons;
    Dialogs::Answer answer;
};

// Shows a box through QtDialogs; once it is up, notes what it shows and presses `press`.
Seen showAndPress(const QString& text, const QString& title, Dialogs::Buttons buttons,
                  QMessageBox::StandardButton press, const QString& detail = QString()) {
    Seen seen{};
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            poll.stop();
            seen = {
                box->windowTitle(), box->text(), box->detailedText(), box->standardButtons(), {}};
            box->button(press)->click();
        }
    });
    poll.start(10);
    std::optional<Dialogs::Answer> answer;
    QtDialogs().ask(text, title, buttons, detail, [&answer](Dialogs::Answer a) { answer = a; });
    EXPECT_FALSE(answer.has_value()) << "asked without waiting for the answer";
    test::RealTimeWait wait;
    EXPECT_TRUE(wait.until(5000, [&answer] { return answer.has_value(); }));
    seen.answer = answer.value_or(Dialogs::Answer::Cancel);
    return seen;
}

TEST(QtDialogs, ShowsTitleLineBreakDetailAndButtonsAndAnswersWhatWasPressed) {
    QCoreApplication::setApplicationName(QStringLiteral("KR5AU"));
    const QString why = QStringLiteral("Port 1 (/dev/ttyUSB0): in use by another program.");
    const Seen kr = showAndPress(QStringLiteral("Can not find KR-5.\rStop mes."), QString(),
                                 Dialogs::Buttons::Ok, QMessageBox::Ok, why);
    EXPECT_EQ(QStringList({kr.title, kr.text, kr.detail}),
              QStringList({"KR5AU", "Can not find KR-5.\nStop mes.", why}));
    EXPECT_TRUE(kr.buttons == QMessageBox::Ok && kr.answer == Dialogs::Answer::Ok);
    for (const auto press : {QMessageBox::Ok, QMessageBox::Cancel}) {
        const Seen acu =
            showAndPress(QStringLiteral("Can not find ACU.\rmes. without ACU\uFF1F"),
                         QStringLiteral("NO CONNECT ACU"), Dialogs::Buttons::OkCancel, press);
        EXPECT_EQ(QStringList({acu.title, acu.detail}), QStringList({"NO CONNECT ACU", ""}));
        EXPECT_EQ(acu.buttons, QMessageBox::Ok | QMessageBox::Cancel);
        EXPECT_EQ(acu.answer,
                  press == QMessageBox::Ok ? Dialogs::Answer::Ok : Dialogs::Answer::Cancel);
    }
}

// The boxes and file questions of a running measurement return at once: the answer comes
// later, from the event loop, and no event loop of the program's own runs meanwhile.
TEST(QtDialogs, NotifyAndFileQuestionsReturnBeforeTheOperatorAnswers) {
    QtDialogs dialogs;
    dialogs.notify(QStringLiteral("Can not write the file x.png."));
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr) << "shown, and modal over the windows";
    EXPECT_EQ(box->text(), QStringLiteral("Can not write the file x.png."));
    box->button(QMessageBox::Ok)->click();

    QTemporaryDir dir;
    std::optional<QString> chosen;
    Dialogs::SaveRequest request;
    request.fileName = QStringLiteral("trend.png");
    request.filter = QStringLiteral("PNG File(*.png)|*.png|");
    dialogs.askSaveFileName(request, [&](const QString& path, int) { chosen = path; });
    EXPECT_FALSE(chosen.has_value());
    auto* file = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(file, nullptr);
    file->setDirectory(dir.path());
    file->selectFile(QStringLiteral("trend.png"));
    QMetaObject::invokeMethod(file, "accept");
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(QFileInfo(*chosen).fileName(), QStringLiteral("trend.png"));
    test::RealTimeWait wait;
    EXPECT_TRUE(wait.until(2000, [] { return QApplication::activeModalWidget() == nullptr; }));
}

// The desktop's opener is xdg-open on the search path; a stand-in script ends as the real
// one does when it finds no browser (3: reported, later) or opens the page (0), given as a URL.
TEST(QtLauncher, TellsInstalledFromMissingAndHearsHowTheDesktopOpenerEnds) {
    QtLauncher launcher;
    const QString missing = QStringLiteral("kr5au-no-such-program");
    const QString sh = launcher.findProgram(QStringLiteral("sh"));
    EXPECT_TRUE(QFileInfo(sh).isAbsolute() && QFileInfo(sh).isExecutable()) << sh.toStdString();
    EXPECT_TRUE(launcher.findProgram(missing).isEmpty());
    EXPECT_TRUE(launcher.startProgram(QStringLiteral("true"), {}));
    EXPECT_FALSE(launcher.startProgram(missing, {QStringLiteral("x")}));
    EXPECT_FALSE(launcher.openDocument(QStringLiteral("/nonexistent/kr5auhelp.html"), {}));

    QTemporaryDir dir;
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", dir.path().toLocal8Bit() + ':' + path);
    const QString page = dir.filePath(QStringLiteral("page.html"));
    const QString asked = dir.filePath(QStringLiteral("asked"));
    const QString opener = dir.filePath(QStringLiteral("xdg-open"));
    EXPECT_TRUE(test::writeBytes(page, "<html></html>"));
    for (const int status : {3, 0}) {
        SCOPED_TRACE(status);
        QFile::remove(asked);
        EXPECT_TRUE(
            test::writeBytes(opener, QStringLiteral("#!/bin/sh\necho \"$1\" > \"%1\"\nexit %2\n")
                                         .arg(asked)
                                         .arg(status)
                                         .toLocal8Bit()));
        QFile::setPermissions(
            opener, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        bool failed = false;
        EXPECT_TRUE(launcher.openDocument(page, [&failed] { failed = true; }));
        test::RealTimeWait wait;
        wait.until(5000, [&] { return failed || QFileInfo(asked).size() > 0; });
        wait.until(300, [&] { return failed; });  // its end follows its answer
        EXPECT_EQ(failed, status != 0);
    }
    qputenv("PATH", path);
    EXPECT_EQ(test::readBytes(asked).trimmed(), QUrl::fromLocalFile(page).toString().toLocal8Bit());
}

}  // namespace
}  // namespace kr5
