#pragma once

#include "core/jobs/ThreadStarter.h"

namespace rm {

class PosixThreadStarter : public ThreadStarter {
public:
    bool start(std::function<void()> work, std::size_t stackBytes, Priority priority) override;
};

} // namespace rm
