#include "gui/kit/QtWorkerWait.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <thread>

namespace rm {

void QtWorkerWait::waitFor(const std::atomic<bool>& flag)
{
    while (!flag.load(std::memory_order_acquire)) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        std::this_thread::sleep_for(step_);
    }
}

} // namespace rm
