#include "PasswordClasses.h"
#include "core/passwords/PasswordAlphabet.h"

#include <gtest/gtest.h>

#include <limits>
#include <set>

namespace rm {
namespace {

TEST(PasswordAlphabet, CharacterSets)
{
    const auto& all = PasswordAlphabet::Sets[0];
    const auto& clear = PasswordAlphabet::Sets[1];
    EXPECT_EQ(all[PasswordAlphabet::Symbols], "`~!@#$%^&*()_+-={}[]:\";'<>?,./\\|");
    EXPECT_EQ(all[PasswordAlphabet::Numerals], "1234567890");
    const std::size_t sizes[2][4] = {{26, 26, 10, 32}, {18, 18, 7, 7}};
    for (int g = 0; g < 2; ++g)
        for (int c = 0; c < 4; ++c) {
            EXPECT_EQ(PasswordAlphabet::Sets[g][c].size(), sizes[g][c]) << g << c;
            const std::set<char> unique(PasswordAlphabet::Sets[g][c].begin(), PasswordAlphabet::Sets[g][c].end());
            EXPECT_EQ(unique.size(), sizes[g][c]) << g << c;
        }
    for (char lookAlike : std::string("ilnosuvzILNOSUVZ015"))
        for (const auto& set : clear)
            EXPECT_EQ(set.find(lookAlike), std::string_view::npos) << lookAlike;
    EXPECT_EQ(clear[PasswordAlphabet::Symbols], "@#%*+=?");
}

TEST(PasswordAlphabet, AlphabetSizes)
{
    EXPECT_EQ(PasswordAlphabet(classes(true, true, true, true)).alphabetSize(), 94);
    EXPECT_EQ(PasswordAlphabet(classes(true, true, true, true, true)).alphabetSize(), 50);
    EXPECT_EQ(PasswordAlphabet(classes(true, true, true, false)).alphabetSize(), 62);
    EXPECT_EQ(PasswordAlphabet(classes(false, false, false, false)).alphabetSize(), 0);
    PasswordOptions phrases;
    phrases.passwords = false;
    EXPECT_EQ(PasswordAlphabet(phrases).alphabetSize(), 0);
    EXPECT_EQ(PasswordAlphabet(phrases, 7776).alphabetSize(), 7776);
}

TEST(PasswordAlphabet, ConversionExamples)
{
    struct Row {
        PasswordOptions options;
        std::int32_t characters; // for 128 bits
    } rows[] = {
        {classes(true, true, true, true), 20},
        {classes(true, true, true, false), 22},
        {classes(true, true, true, true, true), 23},
        {classes(true, false, false, false), 28},
        {classes(false, false, false, true), 26},
        {classes(false, false, false, false), 1},
    };
    for (const Row& r : rows)
        EXPECT_EQ(PasswordAlphabet(r.options).lengthForBits(), r.characters) << r.characters;

    EXPECT_EQ(PasswordAlphabet(classes(true, true, true, true)).bitsForLength(20), 132);
    EXPECT_EQ(PasswordAlphabet(classes(true, true, true, true, true)).bitsForLength(20), 113);
    // Not inverses: 20 characters give 132 bits, 132 bits give 21 characters.
    PasswordOptions back = classes(true, true, true, true);
    back.bitsOfEntropy = 132;
    EXPECT_EQ(PasswordAlphabet(back).lengthForBits(), 21);
}

TEST(PasswordAlphabet, EmptyAlphabetsAndZeroes)
{
    PasswordOptions none = classes(false, false, false, false);
    none.bitsOfEntropy = 4096;
    EXPECT_EQ(PasswordAlphabet(none).lengthForBits(), 1);
    EXPECT_EQ(PasswordAlphabet(none).bitsForLength(500), 1);
    PasswordOptions phrases;
    phrases.passwords = false;
    EXPECT_EQ(PasswordAlphabet(phrases).lengthForBits(), 1);
    EXPECT_EQ(PasswordAlphabet(phrases).bitsForLength(9), 1);
    PasswordOptions zero;
    zero.bitsOfEntropy = 0;
    EXPECT_EQ(PasswordAlphabet(zero).lengthForBits(), 1);
    EXPECT_EQ(PasswordAlphabet(zero).bitsForLength(0), 1);
}

TEST(PasswordAlphabet, SaturatesAtTheThirtyTwoBitLimits)
{
    const auto max = std::numeric_limits<std::int32_t>::max();
    const auto min = std::numeric_limits<std::int32_t>::min();
    PasswordOptions o;
    EXPECT_EQ(PasswordAlphabet(o).bitsForLength(max), max);
    EXPECT_EQ(PasswordAlphabet(o).bitsForLength(min), min);
    o.bitsOfEntropy = max;
    EXPECT_EQ(PasswordAlphabet(o).lengthForBits(), 327630565); // within range: (2^31 - 1) / log2(94) + 1
    PasswordOptions single;
    single.passwords = false;
    single.bitsOfEntropy = 10;
    EXPECT_EQ(PasswordAlphabet(single, 1).lengthForBits(), max); // one word carries no bits
    single.bitsOfEntropy = 0;
    EXPECT_EQ(PasswordAlphabet(single, 1).lengthForBits(), 1);
}

TEST(PasswordOptions, DefaultsAreTheStoredDefaults)
{
    const PasswordOptions o;
    EXPECT_FALSE(o.generateUnique);
    EXPECT_TRUE(o.passwords);
    EXPECT_TRUE(o.lowercase);
    EXPECT_TRUE(o.uppercase);
    EXPECT_TRUE(o.numerals);
    EXPECT_TRUE(o.symbols);
    EXPECT_FALSE(o.noSimilar);
    EXPECT_FALSE(o.randomCaps);
    EXPECT_EQ(o.dictionaryFile, "dict.txt");
    EXPECT_EQ(o.bitsOfEntropy, 128);
    EXPECT_FALSE(o.saveToFile);
    EXPECT_TRUE(o.saveToLog);
}

} // namespace
} // namespace rm
