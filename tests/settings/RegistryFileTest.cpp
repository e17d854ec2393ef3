#include "settings/RegistryFile.h"

#include <gtest/gtest.h>

namespace rm {
namespace {

const std::string Key = "HKEY_CURRENT_USER\\Software\\Korvane\\Rostermill\\Search Options";

std::string textOf(const RegistryFile& f, const std::string& name)
{
    std::string s;
    const RegistryFile::Value* v = f.find(Key, name);
    EXPECT_TRUE(v && RegistryFile::textOf(*v, s)) << name;
    return s;
}

TEST(RegistryFile, RoundTripKeepsKindsAndTexts)
{
    RegistryFile f;
    f.set(Key, "Domain", RegistryFile::text("lab.example"));
    f.set(Key, "PingScan", RegistryFile::dword(1));
    f.set(Key, "Quote", RegistryFile::text("say \"hi\" \\ bye"));
    f.set(Key, "Unicode", RegistryFile::text("Ünïcødé ✓ 𝄞"));
    f.set(Key, "Lines", RegistryFile::text("two\nlines"));

    const std::string text = f.serialize();
    EXPECT_EQ(text.rfind("Windows Registry Editor Version 5.00\r\n", 0), 0u);
    EXPECT_NE(text.find("[" + Key + "]\r\n"), std::string::npos);
    EXPECT_NE(text.find("\"PingScan\"=dword:00000001\r\n"), std::string::npos);
    EXPECT_NE(text.find("\"Domain\"=\"lab.example\"\r\n"), std::string::npos);
    // A text the quoted form cannot hold is written as string-typed hex.
    EXPECT_NE(text.find("\"Lines\"=hex(1):"), std::string::npos);

    RegistryFile back = RegistryFile::parse(text);
    EXPECT_TRUE(back.recognised());
    EXPECT_FALSE(back.damaged());
    EXPECT_EQ(textOf(back, "Domain"), "lab.example");
    EXPECT_EQ(textOf(back, "Quote"), "say \"hi\" \\ bye");
    EXPECT_EQ(textOf(back, "Unicode"), "Ünïcødé ✓ 𝄞");
    EXPECT_EQ(textOf(back, "Lines"), "two\nlines");
    const RegistryFile::Value* ping = back.find(Key, "pingscan"); // names ignore case
    ASSERT_NE(ping, nullptr);
    EXPECT_EQ(ping->type, RegistryFile::Dword);
    EXPECT_EQ(ping->data, (std::vector<std::uint8_t>{1, 0, 0, 0}));
    EXPECT_EQ(back.serialize(), text);
}

TEST(RegistryFile, ReadsHexForms)
{
    RegistryFile f = RegistryFile::parse("Windows Registry Editor Version 5.00\n\n[" + Key
                                         + "]\n\"Bin\"=hex:01,02,\\\n  03\n\"Q\"=hex(b):01,00,00,00,00,00,00,00\n"
                                           "@=\"default\"\n");
    EXPECT_FALSE(f.damaged());
    ASSERT_NE(f.find(Key, "Bin"), nullptr);
    EXPECT_EQ(f.find(Key, "Bin")->data, (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_EQ(f.find(Key, "Q")->type, 0xBu);
    EXPECT_EQ(f.find(Key, "Q")->data.size(), 8u);
    EXPECT_EQ(textOf(f, ""), "default");
}

TEST(RegistryFile, DamagedLinesAreSkippedAndMarked)
{
    const std::string head = "Windows Registry Editor Version 5.00\r\n\r\n[" + Key + "]\r\n";
    for (const std::string& bad :
         {std::string("\"Domain\"=\"unterminated\r\n"), std::string("\"X\"=dword:123456789\r\n"),
          std::string("\"X\"=hex:0g\r\n"), std::string("garbage line\r\n"),
          std::string("\"X\"=-\r\n"), std::string("[-" + Key + "]\r\n")}) {
        RegistryFile f = RegistryFile::parse(head + "\"Kept\"=dword:00000007\r\n" + bad);
        EXPECT_TRUE(f.recognised()) << bad;
        EXPECT_TRUE(f.damaged()) << bad;
        ASSERT_NE(f.find(Key, "Kept"), nullptr) << bad;
        EXPECT_EQ(f.find(Key, "Domain"), nullptr) << bad;
    }
}

TEST(RegistryFile, TextWithoutHeaderIsNotARegistryFile)
{
    RegistryFile f = RegistryFile::parse("[" + Key + "]\n\"Domain\"=\"x\"\n");
    EXPECT_FALSE(f.recognised());
    EXPECT_TRUE(f.damaged());
    EXPECT_EQ(f.find(Key, "Domain"), nullptr);

    RegistryFile empty = RegistryFile::parse("");
    EXPECT_FALSE(empty.damaged());

    RegistryFile binary = RegistryFile::parse(std::string("\0\xff\xfe\x01", 4));
    EXPECT_TRUE(binary.damaged());
}

TEST(RegistryFile, ValueBeforeAnyKeyIsDamage)
{
    RegistryFile f = RegistryFile::parse("Windows Registry Editor Version 5.00\n\"A\"=dword:00000001\n");
    EXPECT_TRUE(f.damaged());
    EXPECT_EQ(f.find(Key, "A"), nullptr);
}

TEST(RegistryFile, MergeAddsKeysAndSetsOnlyTheValuesItHolds)
{
    RegistryFile file;
    file.set(Key, "Domain", RegistryFile::text("old.example"));
    file.set(Key, "Username", RegistryFile::text("bob"));
    RegistryFile changes;
    EXPECT_TRUE(changes.empty());
    changes.set(Key, "DOMAIN", RegistryFile::text("new.example"));
    changes.createKey(Key + "\\Empty");
    EXPECT_FALSE(changes.empty());

    file.merge(changes);
    EXPECT_EQ(textOf(file, "Domain"), "new.example");
    EXPECT_EQ(textOf(file, "Username"), "bob");
    EXPECT_TRUE(file.hasKey(Key + "\\Empty"));
}

TEST(RegistryFile, MalformedUtf8BecomesReplacementCharacters)
{
    RegistryFile::Value v = RegistryFile::text("a\xC3(b\xED\xA0\x80");
    std::string s;
    ASSERT_TRUE(RegistryFile::textOf(v, s));
    EXPECT_EQ(s, "a\xEF\xBF\xBD(b\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");
}

} // namespace
} // namespace rm
