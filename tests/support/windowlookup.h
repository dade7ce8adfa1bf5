// Finding the program's windows and their controls by object name, as an operator's tool
// would: for the whole-program tests and the long-run benchmark.
#pragma once

#include <QApplication>
#include <QString>
#include <QWidget>

namespace kr5::test {

inline QWidget* window(const QString& name) {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == name) {
            return w;
        }
    }
    return nullptr;
}

template <typename T>
T* control(const QString& windowName, const QString& name) {
    QWidget* w = window(windowName);
    return w ? w->findChild<T*>(name) : nullptr;
}

}  // namespace kr5::test
