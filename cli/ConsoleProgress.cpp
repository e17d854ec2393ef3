#include "cli/ConsoleProgress.h"

namespace rm {

void ConsoleProgress::show(const std::string& text)
{
    if (!shown_)
        return;
    err_ << "\r\x1b[K" << text << std::flush;
    onScreen_ = true;
}

void ConsoleProgress::clear()
{
    if (!onScreen_)
        return;
    err_ << "\r\x1b[K" << std::flush;
    onScreen_ = false;
}

} // namespace rm
