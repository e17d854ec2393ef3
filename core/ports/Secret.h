#pragma once

#include "core/ports/Wipe.h"

#include <string>
#include <utility>

namespace rm {

// A password in memory: moved, never copied, and wiped (the whole buffer)
// when it goes or is replaced.
class Secret {
public:
    Secret() = default;
    // Takes over the text; what is left in `text` is wiped.
    explicit Secret(std::string&& text) : text_(std::move(text)) { wipe(text); }
    Secret(Secret&& other) noexcept : text_(std::move(other.text_)) { wipe(other.text_); }
    Secret& operator=(Secret&& other) noexcept
    {
        if (this != &other) {
            wipe(text_);
            text_ = std::move(other.text_);
            wipe(other.text_);
        }
        return *this;
    }
    Secret(const Secret&) = delete;
    Secret& operator=(const Secret&) = delete;
    ~Secret() { wipe(text_); }

    // A copy of a text that stays the caller's to wipe.
    static Secret copyOf(const std::string& text) { return Secret(std::string(text)); }

    const std::string& reveal() const { return text_; }
    bool empty() const { return text_.empty(); }
    // Exactly the same text, case and all.
    bool matches(const Secret& other) const { return text_ == other.text_; }

private:
    std::string text_;
};

} // namespace rm
