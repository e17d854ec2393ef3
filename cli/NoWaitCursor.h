#pragma once

#include "core/ports/WaitCursor.h"

namespace rm {

// A console has no cursor to change.
class NoWaitCursor : public WaitCursor {
public:
    void begin() override {}
    void end() override {}
};

} // namespace rm
