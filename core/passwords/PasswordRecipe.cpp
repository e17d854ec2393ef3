#include "core/passwords/PasswordRecipe.h"
#include "core/passwords/PasswordAlphabet.h"
#include "core/passwords/WordList.h"
#include "core/ports/Wipe.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>
#include <unordered_set>

namespace rm {
namespace {

// Longer than any password a computer takes; keeps a huge "bits" setting
// from asking for gigabytes.
constexpr std::int32_t MaximumLength = 1024;

// Random bytes fetched in blocks and wiped afterwards: they are the
// password in another form.
class RandomBytes {
public:
    explicit RandomBytes(RandomSource& source) : source_(source) {}
    ~RandomBytes() { rm_wipe(buffer_.data(), buffer_.size()); }
    RandomBytes(const RandomBytes&) = delete;
    RandomBytes& operator=(const RandomBytes&) = delete;

    // Uniform in [0, n) for n >= 1: values from the incomplete last span
    // of n are drawn again, so no result is likelier than another.
    std::uint64_t below(std::uint64_t n)
    {
        const int width = n <= 0x100 ? 1 : n <= 0x100000000 ? 4 : 8;
        // How many of the 2^(8 width) values to throw away.
        const std::uint64_t rejected = width == 8 ? (0 - n) % n : (std::uint64_t(1) << (8 * width)) % n;
        for (;;) {
            std::uint64_t value = 0;
            for (int i = 0; i < width; ++i)
                value = value << 8 | next();
            if (value >= rejected)
                return value % n;
        }
    }

private:
    std::uint8_t next()
    {
        if (used_ == buffer_.size()) {
            source_.fill(buffer_);
            used_ = 0;
        }
        return buffer_[used_++];
    }

    RandomSource& source_;
    std::array<std::uint8_t, 128> buffer_{};
    std::size_t used_ = buffer_.size();
};

// log2 of the number of strings of `length` characters over classes of
// `sizes` that hold each class at least once, by inclusion-exclusion. Each
// term is taken relative to the largest, size^length, so long lengths do
// not overflow.
double classCoveringBits(const std::vector<std::size_t>& sizes, std::int32_t length)
{
    std::size_t total = 0;
    for (std::size_t s : sizes)
        total += s;
    const auto all = static_cast<long double>(total);
    long double share = 0; // of all strings, those that cover every class
    for (unsigned subset = 0; subset < (1u << sizes.size()); ++subset) {
        std::size_t left = total;
        int dropped = 0;
        for (std::size_t c = 0; c < sizes.size(); ++c)
            if (subset & (1u << c)) {
                left -= sizes[c];
                ++dropped;
            }
        const long double term = left == 0 ? 0.0L : std::exp(length * std::log1p(-(all - left) / all));
        share += dropped % 2 ? -term : term;
    }
    if (share <= 0)
        return 0;
    return static_cast<double>(length * std::log2(all) + std::log2(share));
}

PasswordRecipe::Refusal tooWeak(const char* what, double bits)
{
    return {"a generated " + std::string(what) + " would have " + std::to_string(static_cast<long>(std::floor(bits)))
            + " bits of entropy; at least " + std::to_string(static_cast<int>(PasswordRecipe::MinimumBits))
            + " are needed"};
}

PasswordRecipe::Refusal tooLong(const char* what, const char* unit, std::int32_t length)
{
    return {"a generated " + std::string(what) + " of " + std::to_string(length) + " " + unit + " is longer than the "
            + std::to_string(MaximumLength) + " allowed"};
}

} // namespace

std::variant<PasswordRecipe, PasswordRecipe::Refusal> PasswordRecipe::make(const PasswordOptions& options,
                                                                           std::vector<std::string> words,
                                                                           std::optional<std::int32_t> length)
{
    PasswordRecipe r;
    if (!options.passwords) {
        r.phrases_ = true;
        for (const auto& word : words)
            if (!isPassphraseWord(word))
                return Refusal{"the dictionary holds a word that cannot stand in a passphrase (blank, control "
                               "character, or longer than " + std::to_string(MaximumWordBytes) + " bytes)"};
        r.length_ = length ? *length : PasswordAlphabet(options, std::int64_t(words.size())).lengthForBits();
        if (r.length_ < 1)
            return Refusal{"a passphrase needs at least one word"};
        if (r.length_ > MaximumLength)
            return tooLong("passphrase", "words", r.length_);
        // Drawn uniformly from the distinct forms, the words as listed and,
        // with random capitals, capitalised: every passphrase is then equally
        // likely and the count of forms is exact, also where a capitalised
        // form is listed itself or a word has no capital (the first byte not
        // an ASCII letter).
        std::vector<std::string> forms;
        forms.reserve(options.randomCaps ? 2 * words.size() : words.size());
        for (auto& word : words) {
            if (options.randomCaps && word[0] >= 'a' && word[0] <= 'z') {
                std::string capital = word;
                capital[0] = static_cast<char>(capital[0] - 'a' + 'A');
                forms.push_back(std::move(word));
                forms.push_back(std::move(capital));
            } else {
                forms.push_back(std::move(word));
            }
        }
        std::unordered_set<std::string_view> seen;
        for (const auto& form : forms)
            if (seen.insert(form).second) {
                r.words_.push_back(form);
                r.longestWord_ = std::max(r.longestWord_, form.size());
            }
        if (r.words_.empty())
            return Refusal{"the dictionary holds no words"};
        r.bits_ = r.length_ * std::log2(static_cast<double>(r.words_.size()));
        if (r.bits_ < MinimumBits)
            return tooWeak("passphrase", r.bits_);
        return r;
    }

    const auto& sets = PasswordAlphabet::Sets[options.noSimilar ? 1 : 0];
    const bool chosen[] = {options.lowercase, options.uppercase, options.numerals, options.symbols};
    std::vector<std::size_t> sizes;
    for (int c = 0; c < 4; ++c)
        if (chosen[c]) {
            const auto bit = static_cast<std::uint8_t>(1u << sizes.size());
            r.alphabet_ += sets[c];
            r.classBits_.insert(r.classBits_.end(), sets[c].size(), bit);
            r.allClasses_ |= bit;
            sizes.push_back(sets[c].size());
        }
    if (sizes.empty())
        return Refusal{"no character class is chosen"};
    r.length_ = length ? *length : PasswordAlphabet(options).lengthForBits();
    if (r.length_ < static_cast<std::int32_t>(sizes.size()))
        return Refusal{"a password of " + std::to_string(r.length_) + " characters cannot hold one of each of the "
                       + std::to_string(sizes.size()) + " chosen character classes"};
    if (r.length_ > MaximumLength)
        return tooLong("password", "characters", r.length_);
    r.bits_ = classCoveringBits(sizes, r.length_);
    if (r.bits_ < MinimumBits)
        return tooWeak("password", r.bits_);
    return r;
}

double PasswordRecipe::entropyBits() const
{
    return bits_;
}

std::int32_t PasswordRecipe::length() const
{
    return length_;
}

Secret PasswordRecipe::draw(RandomSource& random) const
{
    RandomBytes bytes(random);
    std::string text;
    // Reserved whole, so no reallocation leaves a partial copy behind.
    if (phrases_) {
        text.reserve(static_cast<std::size_t>(length_) * (longestWord_ + 1));
        for (std::int32_t i = 0; i < length_; ++i) {
            if (i > 0)
                text += ' ';
            text += words_[bytes.below(words_.size())];
        }
        return Secret(std::move(text));
    }
    // A password lacking a class is drawn again whole: forcing a character
    // of it into place would make some valid passwords likelier than others.
    text.reserve(static_cast<std::size_t>(length_));
    std::uint8_t present;
    do {
        text.clear();
        present = 0;
        for (std::int32_t i = 0; i < length_; ++i) {
            const auto k = bytes.below(alphabet_.size());
            text += alphabet_[k];
            present |= classBits_[k];
        }
    } while (present != allClasses_);
    return Secret(std::move(text));
}

} // namespace rm
