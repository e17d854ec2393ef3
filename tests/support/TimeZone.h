#pragma once

#include <cstdlib>
#include <ctime>
#include <string>

namespace rm {

// The local time zone, set for as long as this lives, so moments have known
// texts whatever the machine's zone.
class TimeZone {
public:
    explicit TimeZone(const char* zone)
    {
        if (const char* old = std::getenv("TZ"))
            old_ = old, hadOld_ = true;
        ::setenv("TZ", zone, 1);
        ::tzset();
    }
    ~TimeZone()
    {
        if (hadOld_)
            ::setenv("TZ", old_.c_str(), 1);
        else
            ::unsetenv("TZ");
        ::tzset();
    }
    TimeZone(const TimeZone&) = delete;
    TimeZone& operator=(const TimeZone&) = delete;

private:
    std::string old_;
    bool hadOld_ = false;
};

} // namespace rm
