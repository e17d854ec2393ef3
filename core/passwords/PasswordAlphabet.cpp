#include "core/passwords/PasswordAlphabet.h"

#include <cmath>
#include <limits>

namespace rm {
namespace {

std::int32_t truncated(double value)
{
    if (std::isnan(value))
        return 1;
    if (value >= static_cast<double>(std::numeric_limits<std::int32_t>::max()))
        return std::numeric_limits<std::int32_t>::max();
    if (value <= static_cast<double>(std::numeric_limits<std::int32_t>::min()))
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

} // namespace

const std::array<std::array<std::string_view, 4>, 2> PasswordAlphabet::Sets{{
    {"abcdefghijklmnopqrstuvwxyz", "ABCDEFGHIJKLMNOPQRSTUVWXYZ", "1234567890",
     "`~!@#$%^&*()_+-={}[]:\";'<>?,./\\|"},
    {"abcdefghjkmpqrtwxy", "ABCDEFGHJKMPQRTWXY", "2346789", "@#%*+=?"},
}};

PasswordAlphabet::PasswordAlphabet(const PasswordOptions& o, std::int64_t wordCount)
    : bits_(o.bitsOfEntropy)
{
    if (!o.passwords) {
        size_ = wordCount;
        return;
    }
    const auto& group = Sets[o.noSimilar ? 1 : 0];
    const bool chosen[] = {o.lowercase, o.uppercase, o.numerals, o.symbols};
    for (int c = 0; c < 4; ++c)
        if (chosen[c])
            size_ += static_cast<std::int64_t>(group[c].size());
}

std::int32_t PasswordAlphabet::lengthForBits() const
{
    if (size_ == 0)
        return 1;
    return truncated(bits_ / (std::log(double(size_)) / std::log(2.0)) + 1.0);
}

std::int32_t PasswordAlphabet::bitsForLength(std::int32_t length) const
{
    if (size_ == 0)
        return 1;
    return truncated(length * (std::log(double(size_)) / std::log(2.0)) + 1.0);
}

} // namespace rm
