#include "helper/net_names.h"
#include "helper/net_status.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(NetNames, EveryCharacterOfANetbiosComputerName)
{
    for (char c : std::string("!@#$%^&')(.-_{}~"))
        EXPECT_TRUE(rm_valid_server((std::string("PC") + c + "1").c_str())) << c;
    EXPECT_TRUE(rm_valid_server("A"));
    EXPECT_TRUE(rm_valid_server("PC01$"));
    EXPECT_TRUE(rm_valid_server("ABCDEFGHIJKLMNO")); // 15
    EXPECT_TRUE(rm_valid_server("198.18.0.11"));
}

TEST(NetNames, NothingThatCouldReachABindingStringOrAUrl)
{
    for (char c : std::string(" \\/:*?\"<>|;,=+[]"))
        EXPECT_FALSE(rm_valid_server((std::string("PC") + c + "1").c_str())) << c;
    for (const char* bad : {"", ".", "..", "-x", ".pc", "pc\t1", "pc\n1", "p\xc3\xa4"})
        EXPECT_FALSE(rm_valid_server(bad)) << bad;
}

TEST(NetNames, LongerNamesAreDnsNames)
{
    EXPECT_TRUE(rm_valid_server("pc01.lab.example"));
    EXPECT_TRUE(rm_valid_server("pc01.lab.example."));
    EXPECT_TRUE(rm_valid_server("a-very-long-host_name.example"));
    EXPECT_TRUE(rm_valid_server("ABCDEFGHIJKLMNOP")); // a DNS host name, found through the search domain
    EXPECT_FALSE(rm_valid_server("ABCDEFGHIJKLMNO$")); // 16: too long for NetBIOS characters
    EXPECT_FALSE(rm_valid_server("pc01..lab.example"));
    EXPECT_FALSE(rm_valid_server("pc01!x.lab.example")); // NetBIOS characters only up to 15
    EXPECT_FALSE(rm_valid_server((std::string(64, 'a') + ".example").c_str()));
    EXPECT_FALSE(rm_valid_server((std::string(250, 'a') + ".example").c_str()));
}

TEST(NetNames, WorkgroupNames)
{
    EXPECT_TRUE(rm_valid_workgroup("LAB"));
    EXPECT_TRUE(rm_valid_workgroup("MY GROUP"));
    EXPECT_TRUE(rm_valid_workgroup("ABCDEFGHIJKLMNO"));
    EXPECT_FALSE(rm_valid_workgroup(""));
    EXPECT_FALSE(rm_valid_workgroup("ABCDEFGHIJKLMNOP"));
    for (char c : std::string("\\/:*?\"<>|\x01"))
        EXPECT_FALSE(rm_valid_workgroup((std::string("W") + c).c_str())) << int(c);
}

TEST(NetNames, AccountNamesAServerWouldRefuse)
{
    EXPECT_EQ(rm_check_account_name(nullptr), uint32_t(RM_INVALID_PARAMETER));
    EXPECT_EQ(rm_check_account_name(""), uint32_t(RM_INVALID_PARAMETER));
    for (char c : std::string("\"/\\[]:|<>+=;?*,"))
        EXPECT_EQ(rm_check_account_name((std::string("user") + c).c_str()), uint32_t(RM_BAD_USERNAME)) << c;
    for (const char* bad : {".", "...", " ", ". .", "tab\there", "abcdefghijklmnopqrstu", "bad\xff"})
        EXPECT_EQ(rm_check_account_name(bad), uint32_t(RM_BAD_USERNAME)) << bad;
    for (const char* good : {"rmtest", "a.b", " lead", "abcdefghijklmnopqrst", "Jürgen-Müller_2", "o'neil@x!"})
        EXPECT_EQ(rm_check_account_name(good), uint32_t(RM_OK)) << good;
    // Twenty characters, more bytes.
    EXPECT_EQ(rm_check_account_name("ääääääääääääääääääää"), uint32_t(RM_OK));
    EXPECT_EQ(rm_check_account_name("äääääääääääääääääääää"), uint32_t(RM_BAD_USERNAME));
}

TEST(NetNames, LeadingBackslashesAreNotPartOfTheName)
{
    EXPECT_STREQ(rm_strip_backslashes("\\\\PC01"), "PC01");
    EXPECT_STREQ(rm_strip_backslashes("PC01"), "PC01");
}

} // namespace
