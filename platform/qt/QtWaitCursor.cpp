#include "platform/qt/QtWaitCursor.h"

#include <QApplication>
#include <QCursor>

namespace rm {

void QtWaitCursor::begin()
{
    QMetaObject::invokeMethod(qApp, [] { QApplication::setOverrideCursor(Qt::WaitCursor); });
}

void QtWaitCursor::end()
{
    QMetaObject::invokeMethod(qApp, [] { QApplication::restoreOverrideCursor(); });
}

} // namespace rm
