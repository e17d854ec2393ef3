#pragma once

#include <cstdint>
#include <string>

namespace rm {

// The per-user settings store: sections of named values, integers and texts
// kept apart. Reads of absent values give the caller's default; failures are
// silent, as the program never reports a settings problem.
class ProfileStore {
public:
    virtual ~ProfileStore() = default;

    virtual std::uint32_t readInteger(const std::string& section, const std::string& name,
                                      std::uint32_t fallback) = 0;
    virtual std::string readText(const std::string& section, const std::string& name,
                                 const std::string& fallback) = 0;
    virtual void writeInteger(const std::string& section, const std::string& name,
                              std::uint32_t value) = 0;
    virtual void writeText(const std::string& section, const std::string& name,
                           const std::string& value) = 0;
};

} // namespace rm
