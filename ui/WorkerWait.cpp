#include "ui/WorkerWait.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <thread>

namespace rm {

void waitForFlag(const std::atomic<bool>& flag, std::chrono::milliseconds step)
{
    while (!flag.load(std::memory_order_acquire))
        std::this_thread::sleep_for(step);
}

void waitHandlingEvents(const std::atomic<bool>& ended)
{
    while (!ended.load(std::memory_order_acquire)) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

} // namespace rm
