#pragma once

#include "core/ports/Poster.h"

#include <QObject>

namespace rm {

// Posts to one window from any thread; thread-safe because postEvent is.
class QtPoster : public Poster {
public:
    explicit QtPoster(QObject* target) : target_(target) {}
    void post(int message, std::uintptr_t wParam, std::intptr_t lParam) override;

private:
    QObject* target_;
};

} // namespace rm
