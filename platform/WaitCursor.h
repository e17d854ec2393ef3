#pragma once

namespace rm {

// The application's wait cursor, shown from any thread.
class WaitCursor {
public:
    virtual ~WaitCursor() = default;
    virtual void begin() = 0;
    virtual void end() = 0;
};

} // namespace rm
