#pragma once

#include <QEvent>

#include <cstdint>

namespace rm {

// A numbered window message as a queued Qt event: 1025 arrives as
// QEvent::User + 1, 1026 as QEvent::User + 2.
class PostedMessage : public QEvent {
public:
    static constexpr int FirstMessage = 1024;

    PostedMessage(int message, std::uintptr_t wParam, std::intptr_t lParam)
        : QEvent(static_cast<QEvent::Type>(QEvent::User + (message - FirstMessage))),
          message_(message), wParam_(wParam), lParam_(lParam)
    {
    }

    int message() const { return message_; }
    std::uintptr_t wParam() const { return wParam_; }
    std::intptr_t lParam() const { return lParam_; }

    static int messageOf(const QEvent* event) { return event->type() - QEvent::User + FirstMessage; }

private:
    int message_;
    std::uintptr_t wParam_;
    std::intptr_t lParam_;
};

} // namespace rm
