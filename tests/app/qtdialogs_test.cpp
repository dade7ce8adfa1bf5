// The Qt message box: the program's title when none is given, the lone carriage return
// of the program's texts shown as a line break, the buttons asked for, and the answer.
#include "platform/qtdialogs.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <functional>

namespace kr5 {
namespace {

struct SeenBox {
    QString title;
    QString text;
    QMessageBox::StandardButtons buttons;
};

// Waits for the modal box to appear, notes what it shows and presses `press`.
void answerNextBox(SeenBox& seen, QMessageBox::StandardButton press) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, &seen, press] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            return;
        }
        poll->stop();
        poll->deleteLater();
        seen = {box->windowTitle(), box->text(), box->standardButtons()};
        box->button(press)->click();
    });
    poll->start(10);
}

TEST(QtDialogs, EmptyTitleIsTheProgramsTitleAndCarriageReturnBreaksTheLine) {
    QCoreApplication::setApplicationName(QStringLiteral("KR5AU"));
    QtDialogs dialogs;
    SeenBox seen;
    answerNextBox(seen, QMessageBox::Ok);
    const auto answer = dialogs.message(QStringLiteral("Can not find KR-5.\rStop mes."), QString(),
                                        Dialogs::Buttons::Ok);
    EXPECT_EQ(answer, Dialogs::Answer::Ok);
    EXPECT_EQ(seen.title, QStringLiteral("KR5AU"));
    EXPECT_EQ(seen.text, QStringLiteral("Can not find KR-5.\nStop mes."));
    EXPECT_EQ(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
}

TEST(QtDialogs, OkCancelBoxAnswersWhatWasPressed) {
    QtDialogs dialogs;
    for (const auto press : {QMessageBox::Ok, QMessageBox::Cancel}) {
        SeenBox seen;
        answerNextBox(seen, press);
        const auto answer =
            dialogs.message(QStringLiteral("Can not find ACU.\rmes. without ACU\uFF1F"),
                            QStringLiteral("NO CONNECT ACU"), Dialogs::Buttons::OkCancel);
        EXPECT_EQ(seen.title, QStringLiteral("NO CONNECT ACU"));
        EXPECT_EQ(seen.buttons, QMessageBox::Ok | QMessageBox::Cancel);
        EXPECT_EQ(answer, press == QMessageBox::Ok ? Dialogs::Answer::Ok : Dialogs::Answer::Cancel);
    }
}

}  // namespace
}  // namespace kr5
