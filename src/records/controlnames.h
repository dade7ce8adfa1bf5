// Names for the controls of the records windows: every control carries its name as
// object name and accessible description, so that tests and assistive tools find it by
// the name the program uses. An element of a control array is named "Option1(2)".
#pragma once

#include <QLabel>
#include <QPushButton>
#include <QString>
#include <QWidget>

namespace kr5::controls {

inline void name(QWidget* control, const QString& name) {
    control->setObjectName(name);
    control->setAccessibleDescription(name);
}

inline QString element(const QString& array, int index) {
    return array + QLatin1Char('(') + QString::number(index) + QLatin1Char(')');
}

inline QLabel* label(const QString& controlName, const QString& text, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    name(l, controlName);
    return l;
}

inline QPushButton* button(const QString& controlName, const QString& text, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    name(b, controlName);
    return b;
}

}  // namespace kr5::controls
