#include "platform/qt/QtPoster.h"

#include "platform/qt/PostedMessage.h"

#include <QCoreApplication>

namespace rm {

void QtPoster::post(int message, std::uintptr_t wParam, std::intptr_t lParam)
{
    QCoreApplication::postEvent(target_, new PostedMessage(message, wParam, lParam));
}

} // namespace rm
