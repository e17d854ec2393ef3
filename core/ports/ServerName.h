#pragma once

#include <string>
#include <string_view>

namespace rm {

// A computer as network-management calls name it: its name behind two
// backslashes. The one place that rule is written.
class ServerName {
public:
    // "PC1" and "\\PC1" both name \\PC1.
    explicit ServerName(std::string_view computer);

    // With the backslashes, as the calls take it.
    const std::string& text() const { return text_; }
    // Without them.
    std::string_view computer() const { return std::string_view(text_).substr(2); }
    // Whether a "DOMAIN\name" member's domain part is this computer.
    bool isComputer(std::string_view name) const;

    bool operator==(const ServerName&) const = default;

private:
    std::string text_;
};

} // namespace rm
