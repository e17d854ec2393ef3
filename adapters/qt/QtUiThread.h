#pragma once

#include "core/jobs/UiThread.h"

namespace rm {

// The window's thread: each call queued on the application object, run by
// whichever event loop turns there, the modal ones included.
class QtUiThread : public UiThread {
public:
    void post(std::function<void()> call) override;
};

} // namespace rm
