#include "adapters/qt/QtUiThread.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace rm {

void QtUiThread::post(std::function<void()> call)
{
    QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(call), Qt::QueuedConnection);
}

} // namespace rm
