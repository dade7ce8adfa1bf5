// Names and faces of the program's controls. Every window and control carries the
// program's name for it as object name and accessible description, so that tests, GUI
// test tools and screen readers find it by the name the program uses. A member of a
// control array is named like "peakb(3)". A menu item (QAction) has no accessible
// description of its own and carries it as a property.
#pragma once

#include <QFont>
#include <QFontDatabase>
#include <QLabel>
#include <QPushButton>
#include <QString>
#include <QWidget>

namespace kr5 {

inline void nameControl(QObject* control, const QString& name) {
    control->setObjectName(name);
    if (auto* widget = qobject_cast<QWidget*>(control)) {
        widget->setAccessibleDescription(name);
    } else {
        control->setProperty("accessibleDescription", name);
    }
}

inline QString elementName(const QString& array, int index) {
    return array + QLatin1Char('(') + QString::number(index) + QLatin1Char(')');
}

inline void nameArrayControl(QObject* control, const QString& array, int index) {
    nameControl(control, elementName(array, index));
}

inline QLabel* namedLabel(const QString& name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    nameControl(label, name);
    return label;
}

inline QPushButton* namedButton(const QString& name, const QString& text, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    nameControl(button, name);
    return button;
}

// A bold face `scale` times the size of `font`; with fixedPitch, the system's fixed-pitch
// face, for readouts and rows whose columns must line up.
inline QFont displayFont(QFont font, double scale, bool fixedPitch) {
    if (fixedPitch) {
        const double size = font.pointSizeF();
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        if (size > 0) {
            font.setPointSizeF(size);
        }
    }
    if (font.pointSizeF() > 0) {
        font.setPointSizeF(font.pointSizeF() * scale);
    } else {
        font.setPixelSize(qRound(font.pixelSize() * scale));
    }
    font.setBold(true);
    return font;
}

}  // namespace kr5
