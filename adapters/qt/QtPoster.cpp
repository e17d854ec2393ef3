#include "adapters/qt/QtPoster.h"

#include "adapters/qt/PostedMessage.h"

#include <QCoreApplication>

namespace rm {

void QtPoster::post(int message, std::uintptr_t wParam, std::intptr_t lParam)
{
    QCoreApplication::postEvent(target_, new PostedMessage(message, wParam, lParam));
}

} // namespace rm
