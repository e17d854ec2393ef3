#pragma once

#include "platform/WaitCursor.h"

namespace rm {

// The application's override cursor, set on the user-interface thread
// whichever thread asks.
class QtWaitCursor : public WaitCursor {
public:
    void begin() override;
    void end() override;
};

} // namespace rm
