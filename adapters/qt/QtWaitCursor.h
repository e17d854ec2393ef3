#pragma once

#include "core/ports/WaitCursor.h"

namespace rm {

// The application's override cursor; workers ask their window for it.
class QtWaitCursor : public WaitCursor {
public:
    void begin() override;
    void end() override;
};

} // namespace rm
