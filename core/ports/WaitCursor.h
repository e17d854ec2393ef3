#pragma once

namespace rm {

// The application's wait cursor, on the window thread.
class WaitCursor {
public:
    virtual ~WaitCursor() = default;
    virtual void begin() = 0;
    virtual void end() = 0;
};

} // namespace rm
