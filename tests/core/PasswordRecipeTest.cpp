#include "PasswordClasses.h"
#include "adapters/linux/GetrandomSource.h"
#include "core/passwords/Dictionary.h"
#include "core/passwords/PasswordAlphabet.h"
#include "core/passwords/PasswordRecipe.h"
#include "core/passwords/WordList.h"
#include "support/ReportDoubles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>
#include <sstream>

namespace rm {
namespace {

PasswordOptions phrases(bool randomCaps = false)
{
    PasswordOptions o;
    o.passwords = false;
    o.randomCaps = randomCaps;
    return o;
}

PasswordRecipe recipe(const PasswordOptions& options, std::vector<std::string> words = {},
                      std::optional<std::int32_t> length = std::nullopt)
{
    auto made = PasswordRecipe::make(options, std::move(words), length);
    if (auto* refusal = std::get_if<PasswordRecipe::Refusal>(&made))
        ADD_FAILURE() << refusal->reason;
    return std::get<PasswordRecipe>(std::move(made));
}

std::string refusal(const PasswordOptions& options, std::vector<std::string> words = {},
                    std::optional<std::int32_t> length = std::nullopt)
{
    auto made = PasswordRecipe::make(options, std::move(words), length);
    auto* r = std::get_if<PasswordRecipe::Refusal>(&made);
    return r ? r->reason : "(no refusal)";
}

// The upper chi-square quantile of `df` degrees of freedom at the standard
// normal quantile z (Wilson-Hilferty).
double chiSquareBound(int df, double z)
{
    const double v = 2.0 / (9.0 * df);
    return df * std::pow(1 - v + z * std::sqrt(v), 3);
}

std::vector<std::string> split(const std::string& text)
{
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, ' '))
        parts.push_back(part);
    return parts;
}

// The number of strings of `length` characters over classes of `sizes` that
// hold each class of `needed` (a bit set) at least once, counted by walking
// the set of classes already met.
long double covering(const std::vector<int>& sizes, int length, unsigned needed)
{
    std::vector<long double> ways(1u << sizes.size(), 0.0L);
    ways[0] = 1;
    for (int i = 0; i < length; ++i) {
        std::vector<long double> next(ways.size(), 0.0L);
        for (unsigned met = 0; met < ways.size(); ++met)
            for (std::size_t c = 0; c < sizes.size(); ++c)
                next[met | ((1u << c) & needed)] += ways[met] * sizes[c];
        ways = std::move(next);
    }
    return ways[needed];
}

// Each position of the default passwords against the exact chances of each
// character among the passwords that hold every class; catches modulo bias,
// a forced character per class and anything else off the uniform choice
// among valid passwords.
TEST(PasswordRecipe, DefaultDrawsFollowTheExactDistributionOfValidPasswords)
{
    const auto r = recipe(PasswordOptions{});
    ASSERT_EQ(r.length(), 20);
    const auto& sets = PasswordAlphabet::Sets[0];
    const std::vector<int> sizes{26, 26, 10, 32};
    const long double valid = covering(sizes, r.length(), 0xF);
    std::map<char, double> chance;
    for (unsigned c = 0; c < 4; ++c)
        for (char ch : sets[c])
            chance[ch] = static_cast<double>(covering(sizes, r.length() - 1, 0xF & ~(1u << c)) / valid);

    constexpr int Draws = 100000;
    std::vector<std::map<char, int>> seen(r.length());
    GetrandomSource random;
    for (int i = 0; i < Draws; ++i) {
        const Secret password = r.draw(random);
        ASSERT_EQ(password.reveal().size(), 20u);
        for (const auto& set : sets)
            ASSERT_NE(password.reveal().find_first_of(set), std::string::npos) << set;
        for (std::size_t p = 0; p < 20; ++p)
            ++seen[p][password.reveal()[p]];
    }
    // About 1e-10 per position: a false alarm is not to be expected.
    const double bound = chiSquareBound(93, 6.4);
    for (std::size_t p = 0; p < 20; ++p) {
        double chiSquare = 0;
        for (const auto& [ch, probability] : chance) {
            const double expected = Draws * probability;
            const double d = seen[p][ch] - expected;
            chiSquare += d * d / expected;
        }
        EXPECT_LT(chiSquare, bound) << "position " << p;
        EXPECT_EQ(seen[p].size(), 94u) << "position " << p;
    }
}

TEST(PasswordRecipe, ShortDrawsHoldEveryClassAndNoLookAlike)
{
    const auto r = recipe(classes(true, true, true, true, true), {}, 12);
    const auto& sets = PasswordAlphabet::Sets[1];
    GetrandomSource random;
    for (int i = 0; i < 5000; ++i) {
        const Secret password = r.draw(random);
        const std::string& text = password.reveal();
        ASSERT_EQ(text.size(), 12u);
        for (const auto& set : sets)
            ASSERT_NE(text.find_first_of(set), std::string::npos) << text;
        ASSERT_EQ(text.find_first_of("ilnosuvzILNOSUVZ015"), std::string::npos) << text;
    }
}

TEST(PasswordRecipe, EntropyIsCountedExactly)
{
    // Letters of both cases, 14 long: 52^14 less the 2 * 26^14 of one case.
    EXPECT_NEAR(recipe(classes(true, true, false, false), {}, 14).entropyBits(),
                14 * std::log2(26.0) + std::log2(16384.0 - 2), 1e-9);
    // Every choice of classes, against the count of covering strings, up to
    // lengths whose counts overflow a double; below 64 bits, the refusal.
    for (int group = 0; group < 2; ++group)
        for (unsigned chosen = 1; chosen < 16; ++chosen) {
            const auto options = classes(chosen & 1, chosen & 2, chosen & 4, chosen & 8, group == 1);
            std::vector<int> sizes;
            for (unsigned c = 0; c < 4; ++c)
                if (chosen & (1u << c))
                    sizes.push_back(static_cast<int>(PasswordAlphabet::Sets[group][c].size()));
            const unsigned all = (1u << sizes.size()) - 1;
            for (int length : {int(sizes.size()), 9, 12, 17, 40, 200, 1024}) {
                if (length < int(sizes.size()))
                    continue;
                const double bits = static_cast<double>(std::log2(covering(sizes, length, all)));
                const auto made = PasswordRecipe::make(options, {}, length);
                if (bits >= 64) {
                    ASSERT_TRUE(std::holds_alternative<PasswordRecipe>(made)) << chosen << " " << length;
                    EXPECT_NEAR(std::get<PasswordRecipe>(made).entropyBits(), bits, 1e-9 * bits)
                        << group << " " << chosen << " " << length;
                } else {
                    ASSERT_TRUE(std::holds_alternative<PasswordRecipe::Refusal>(made)) << chosen << " " << length;
                    EXPECT_NE(std::get<PasswordRecipe::Refusal>(made).reason.find(
                                  " " + std::to_string(int(std::floor(bits))) + " bits"),
                              std::string::npos)
                        << group << " " << chosen << " " << length;
                }
            }
        }
}

TEST(PasswordRecipe, RefusesWhatCannotBeDrawnOrIsTooWeak)
{
    EXPECT_EQ(refusal(classes(true, false, false, false), {}, 13),
              "a generated password would have 61 bits of entropy; at least 64 are needed");
    EXPECT_NEAR(recipe(classes(true, false, false, false), {}, 14).entropyBits(), 14 * std::log2(26.0), 1e-9);
    EXPECT_EQ(refusal(classes(false, false, false, false)), "no character class is chosen");
    EXPECT_EQ(refusal(classes(true, true, true, true), {}, 3),
              "a password of 3 characters cannot hold one of each of the 4 chosen character classes");
    PasswordOptions weak;
    weak.bitsOfEntropy = 52;
    EXPECT_NE(refusal(weak).find("at least 64 are needed"), std::string::npos);
    PasswordOptions huge;
    huge.bitsOfEntropy = 1 << 30;
    EXPECT_NE(refusal(huge).find("longer than the 1024 allowed"), std::string::npos);

    EXPECT_EQ(refusal(phrases()), "the dictionary holds no words");
    std::vector<std::string> hundred;
    for (int i = 0; i < 100; ++i)
        hundred.push_back("w" + std::to_string(i));
    EXPECT_EQ(refusal(phrases(), hundred, 9),
              "a generated passphrase would have 59 bits of entropy; at least 64 are needed");
    // Repeats do not count twice.
    auto twice = hundred;
    twice.insert(twice.end(), hundred.begin(), hundred.end());
    EXPECT_NE(refusal(phrases(), twice, 9).find("59 bits"), std::string::npos);
    for (const std::string& bad : {std::string("two words"), std::string("nul\0", 4), std::string(65, 'w')})
        EXPECT_EQ(refusal(phrases(), {"one", bad}, 100),
                  "the dictionary holds a word that cannot stand in a passphrase (blank, control character, or "
                  "longer than 64 bytes)");
}

TEST(PasswordRecipe, PassphrasesAreDictionaryWordsJoinedBySpaces)
{
    std::vector<std::string> words;
    for (int i = 0; i < 100; ++i)
        words.push_back("word" + std::to_string(i) + "\xC3\xA9");
    const std::set<std::string> dictionary(words.begin(), words.end());
    EXPECT_EQ(recipe(phrases(), words).length(), 20); // 128 bits at log2(100) a word

    const auto r = recipe(phrases(), words, 10);
    EXPECT_NEAR(r.entropyBits(), 10 * std::log2(100.0), 1e-9);
    std::set<std::string> drawn;
    GetrandomSource random;
    for (int i = 0; i < 1000; ++i) {
        const Secret phrase = r.draw(random);
        const auto parts = split(phrase.reveal());
        ASSERT_EQ(parts.size(), 10u) << phrase.reveal();
        for (const auto& part : parts)
            ASSERT_TRUE(dictionary.count(part)) << phrase.reveal();
        drawn.insert(parts.begin(), parts.end());
    }
    EXPECT_EQ(drawn.size(), 100u); // 10,000 words: each is met
}

// "Polish" is listed and is also the capital of "polish"; "3com" has no
// capital: five distinct forms, each drawn as often as another.
TEST(PasswordRecipe, RandomCapitalsDrawEachDistinctFormEquallyOften)
{
    const auto r = recipe(phrases(true), {"polish", "Polish", "3com", "apple"}, 28);
    EXPECT_NEAR(r.entropyBits(), 28 * std::log2(5.0), 1e-9);
    std::map<std::string, int> seen;
    GetrandomSource random;
    constexpr int Draws = 2000;
    for (int i = 0; i < Draws; ++i)
        for (const auto& part : split(r.draw(random).reveal()))
            ++seen[part];
    ASSERT_EQ(seen.size(), 5u);
    double chiSquare = 0;
    const double expected = Draws * 28 / 5.0;
    for (const auto& form : {"polish", "Polish", "3com", "apple", "Apple"}) {
        const double d = seen[form] - expected;
        chiSquare += d * d / expected;
    }
    EXPECT_LT(chiSquare, chiSquareBound(4, 6.4)) << seen["Polish"] << " " << seen["3com"];
}

TEST(WordList, KeepsEachTrimmedWordOnceAndDropsTheRest)
{
    using namespace std::string_literals;
    const std::string text = "\xEF\xBB\xBF"
                             "apple\r\n"
                             "  pear\t\n"
                             "\n"
                             "   \r\n"
                             "two words\n"
                             "apple\n"
                             "caf\xC3\xA9\n"
                             "bad\xC3\n"        // cut short
                             "\xC0\xAFslash\n"  // overlong
                             "\xED\xA0\x80x\n"  // surrogate
                             "\xF4\x90\x80\x80\n" // past U+10FFFF
                             "\xF0\x9F\x8D\x90\n"
                             "nul\0inside\n"
                             "esc\x1B[31m\n"
                             "c1\xC2\x9B\n"s // a literal with a NUL in it
                             + std::string(65, 'w') + "\n"
                             + std::string(64, 'k') + "\n"
                             "Apple\n"
                             "last";
    EXPECT_EQ(readWordList(text), (std::vector<std::string>{"apple", "pear", "caf\xC3\xA9", "\xF0\x9F\x8D\x90",
                                                            std::string(64, 'k'), "Apple", "last"}));
}

TEST(Dictionary, LooksForRelativeNamesOnlyInTheDataFolders)
{
    // Not in the current folder, where anyone who can write there could
    // plant a list.
    MemoryFileReader files;
    files.files["dict.txt"] = "planted";
    EXPECT_TRUE(loadDictionary(files, "dict.txt").empty());
    ASSERT_EQ(files.asked.size(), 2u);
    EXPECT_TRUE(files.asked[0].ends_with("/share/rostermill/dict.txt")) << files.asked[0];
    EXPECT_TRUE(files.asked[1].ends_with("/data/dict.txt")) << files.asked[1];

    files.files[files.asked[0]] = "one\ntwo\r\none\n";
    files.asked.clear();
    EXPECT_EQ(loadDictionary(files, "dict.txt"), (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(files.asked.size(), 1u);

    files.files["/home/u/dict.txt"] = "mine";
    files.asked.clear();
    EXPECT_EQ(loadDictionary(files, "/home/u/missing.txt"), std::vector<std::string>{});
    EXPECT_EQ(files.asked, std::vector<std::string>{"/home/u/missing.txt"});
}

} // namespace
} // namespace rm
