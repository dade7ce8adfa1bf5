// The Input const window over a fresh settings folder, loaded for port 1 and shown: the
// start of every test of the window.
#pragma once

#include "records/constantsform.h"
#include "records/constantswindow.h"
#include "records/settingsfile.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

namespace kr5::test {

struct ConstantsWindowFixture : ::testing::Test {
    QTemporaryDir dir;
    InputConstants constants;
    SettingsFile settings{dir.path()};
    ConstantsForm form{constants, settings};
    ConstantsWindow window{form};

    ConstantsWindowFixture() {
        form.setPortDigit(QStringLiteral("1"));
        form.loadSettings();
        window.show();
    }
    QLineEdit* text(int i) { return window.findChild<QLineEdit*>(QStringLiteral("Text%1").arg(i)); }
    void click(const char* name) {
        auto* button = window.findChild<QPushButton*>(QLatin1String(name));
        ASSERT_NE(button, nullptr) << name;
        button->click();
    }
};

}  // namespace kr5::test
