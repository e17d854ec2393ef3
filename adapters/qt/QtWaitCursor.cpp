#include "adapters/qt/QtWaitCursor.h"

#include <QApplication>
#include <QCursor>

namespace rm {

void QtWaitCursor::begin()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void QtWaitCursor::end()
{
    QApplication::restoreOverrideCursor();
}

} // namespace rm
