#pragma once

#include <functional>

namespace rm {

// The thread of a face (the window's, or the console's main thread): calls
// posted from any thread run there one after the other, in the order
// posted. Posting never waits for the call.
class UiThread {
public:
    virtual ~UiThread() = default;
    virtual void post(std::function<void()> call) = 0;
};

} // namespace rm
