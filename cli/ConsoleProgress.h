#pragma once

#include <ostream>
#include <string>

namespace rm {

// One line of progress on standard error, rewritten in place; only where
// standard error is a terminal, so logs and pipes get none of it.
class ConsoleProgress {
public:
    ConsoleProgress(std::ostream& err, bool shown) : err_(err), shown_(shown) {}
    ~ConsoleProgress() { clear(); }
    ConsoleProgress(const ConsoleProgress&) = delete;
    ConsoleProgress& operator=(const ConsoleProgress&) = delete;

    void show(const std::string& text);
    // The line removed, before other output.
    void clear();

private:
    std::ostream& err_;
    const bool shown_;
    bool onScreen_ = false;
};

} // namespace rm
