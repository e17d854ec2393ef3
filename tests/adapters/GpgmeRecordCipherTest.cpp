// The record cipher over real GnuPG in a home of the test's own: which
// recipients resolve, that what it writes is readable by each named key
// and by no other, and that the password never shows in the message.
#include "adapters/gpg/GpgmeRecordCipher.h"
#include "support/GpgHome.h"

#include <gtest/gtest.h>

#include <memory>

namespace rm {
namespace {

constexpr const char* Begin = "-----BEGIN PGP MESSAGE-----";

class GpgmeRecordCipherTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        home = std::make_unique<GpgHome>();
        alice = home->generate("Alice <alice@example.org>");
        carol1 = home->generate("Carol <carol@example.org>");
        carol2 = home->generate("Carol Two <carol@example.org>");
        dave = home->generate("Dave <dave@example.org>", true);
    }
    static void TearDownTestSuite() { home.reset(); }

    void SetUp() override
    {
        ASSERT_TRUE(home->valid());
        for (const std::string* f : {&alice, &carol1, &carol2, &dave})
            ASSERT_EQ(f->size(), 40u) << "gpg could not make the test's keys";
    }

    static std::unique_ptr<GpgHome> home;
    static std::string alice, carol1, carol2, dave;
    GpgmeRecordCipher cipher;
};

std::unique_ptr<GpgHome> GpgmeRecordCipherTest::home;
std::string GpgmeRecordCipherTest::alice, GpgmeRecordCipherTest::carol1, GpgmeRecordCipherTest::carol2,
    GpgmeRecordCipherTest::dave;

std::string spacedLower(const std::string& fingerprint)
{
    std::string out;
    for (std::size_t i = 0; i < fingerprint.size(); ++i)
        out += std::string(i && i % 4 == 0 ? " " : "") + static_cast<char>(std::tolower(fingerprint[i]));
    return out;
}

TEST_F(GpgmeRecordCipherTest, EachRecipientMustNameExactlyOneUsableKey)
{
    RecordCipher::Keys keys = cipher.resolve({"alice@example.org", spacedLower(carol2), "<alice@example.org>"});
    EXPECT_EQ(keys.refusal, "");
    EXPECT_EQ(keys.fingerprints, (std::vector<std::string>{alice, carol2}));
    // A name or a short key id would match whatever user id holds it.
    EXPECT_EQ(cipher.resolve({"Alice"}).refusal, "Alice is neither a key's full fingerprint nor an address");
    EXPECT_EQ(cipher.resolve({alice.substr(32)}).refusal,
              alice.substr(32) + " is neither a key's full fingerprint nor an address");

    // Not part of a longer address, not a fingerprint's prefix.
    EXPECT_EQ(cipher.resolve({"alice@example.org", "lice@example.org"}).refusal,
              "no usable encryption key for lice@example.org");
    const std::string otherLast = alice.substr(0, 39) + (alice.back() == '0' ? "1" : "0");
    EXPECT_EQ(cipher.resolve({otherLast}).refusal, "no usable encryption key for " + otherLast);
    EXPECT_EQ(cipher.resolve({"nobody@example.org"}).refusal, "no usable encryption key for nobody@example.org");
    EXPECT_EQ(cipher.resolve({"dave@example.org"}).refusal, "no usable encryption key for dave@example.org");
    EXPECT_EQ(cipher.resolve({dave}).refusal, "no usable encryption key for " + dave);
    keys = cipher.resolve({"alice@example.org", "carol@example.org"});
    EXPECT_EQ(keys.refusal, "carol@example.org names 2 keys; give its fingerprint");
}

TEST_F(GpgmeRecordCipherTest, WhatItEncryptsDecryptsAndNeverShowsThePassword)
{
    const std::string password = "Tr0ub4dor&3 with blanks, % and \xC3\xA4";
    std::string error;
    const auto armoured = cipher.encrypt({alice}, Secret::copyOf(password), error);
    ASSERT_TRUE(armoured) << error;
    EXPECT_EQ(armoured->rfind(Begin, 0), 0u);
    EXPECT_EQ(armoured->find("Tr0ub4dor"), std::string::npos);
    const auto back = cipher.decrypt(*armoured, error);
    ASSERT_TRUE(back) << error;
    EXPECT_EQ(back->reveal(), password);

    EXPECT_FALSE(cipher.encrypt({dave}, Secret::copyOf(password), error));
    EXPECT_FALSE(cipher.encrypt({"0000000000000000000000000000000000000000"}, Secret::copyOf(password), error));
    EXPECT_FALSE(cipher.decrypt(std::string(Begin) + "\n\nAAAA\n-----END PGP MESSAGE-----\n", error));
    EXPECT_FALSE(error.empty());
    // More than an entry holds is not taken in.
    const auto large = cipher.encrypt({alice}, Secret(std::string(9000, 'x')), error);
    ASSERT_TRUE(large) << error;
    EXPECT_FALSE(cipher.decrypt(*large, error));
    EXPECT_EQ(error, "it holds more than an entry");
}

TEST_F(GpgmeRecordCipherTest, EitherOfTwoKeysAloneDecryptsAndNoKeyOfTheConfigurationIsAdded)
{
    const std::string erin = home->generate("Erin <erin@example.org>");
    const std::string frank = home->generate("Frank <frank@example.org>");
    ASSERT_EQ(frank.size(), 40u);
    // A configured extra recipient does not get the record.
    home->configure("encrypt-to " + frank + "\n");
    std::string error;
    const auto both = cipher.encrypt({erin, frank}, Secret::copyOf("for both"), error);
    ASSERT_TRUE(both) << error;
    const auto erinOnly = cipher.encrypt({erin}, Secret::copyOf("for erin"), error);
    ASSERT_TRUE(erinOnly) << error;

    home->forgetSecret(erin);
    ASSERT_EQ(home->fingerprints(true).count(erin), 0u);
    const auto back = cipher.decrypt(*both, error);
    ASSERT_TRUE(back) << error;
    EXPECT_EQ(back->reveal(), "for both");
    EXPECT_FALSE(cipher.decrypt(*erinOnly, error));
    EXPECT_EQ(error, "none of your secret keys can decrypt it");

    home->forgetSecret(frank);
    EXPECT_FALSE(cipher.decrypt(*both, error));
}

} // namespace
} // namespace rm
