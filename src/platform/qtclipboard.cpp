#include "qtclipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace kr5 {

void QtClipboard::clear() {
    QGuiApplication::clipboard()->clear();
}

void QtClipboard::setImage(const QImage& image) {
    QGuiApplication::clipboard()->setImage(image);
}

QImage QtClipboard::image() const {
    return QGuiApplication::clipboard()->image();
}

}  // namespace kr5
