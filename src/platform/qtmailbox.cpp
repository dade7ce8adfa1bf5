#include "qtmailbox.h"

#include <QMetaObject>

namespace kr5 {

void QtMailbox::post(std::function<void()> work) {
    QMetaObject::invokeMethod(&receiver_, std::move(work), Qt::QueuedConnection);
}

}  // namespace kr5
