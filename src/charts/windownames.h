// Names and menu items of the chart windows. Every window and control carries the
// program's name for it as object name and accessible description, so tests and assistive
// tools find it; a menu item carries the description as a property.
#pragma once

#include <QAction>
#include <QMainWindow>
#include <QMenuBar>
#include <QWidget>

namespace kr5::charts {

inline void nameControl(QObject* control, const QString& name) {
    control->setObjectName(name);
    if (auto* widget = qobject_cast<QWidget*>(control)) {
        widget->setAccessibleDescription(name);
    } else {
        control->setProperty("accessibleDescription", name);
    }
}

// A menu-bar item of its own (the chart windows' menus have no submenus).
inline QAction* menuItem(QMainWindow* window, const QString& name, const QString& caption) {
    auto* item = new QAction(caption, window);
    nameControl(item, name);
    window->menuBar()->addAction(item);
    return item;
}

}  // namespace kr5::charts
