// Menu items of the chart windows, named as every control is (platform/controlnames.h).
#pragma once

#include <QAction>
#include <QMainWindow>
#include <QMenuBar>
#include <QWidget>

#include "platform/controlnames.h"

namespace kr5::charts {

// A menu-bar item of its own (the chart windows' menus have no submenus).
inline QAction* menuItem(QMainWindow* window, const QString& name, const QString& caption) {
    auto* item = new QAction(caption, window);
    nameControl(item, name);
    window->menuBar()->addAction(item);
    return item;
}

}  // namespace kr5::charts
