// The password buffer, opened again with the session key as a server does.
#include "helper/net_status.h"
#include "helper/password_buffer.h"

#include <gtest/gtest.h>

#include <gnutls/crypto.h>
#include <gnutls/gnutls.h>

#include <array>
#include <string>
#include <vector>

namespace {

const std::vector<uint8_t> SessionKey = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};

// The UTF-16LE password the buffer carries, as the server reads it.
std::string open(const uint8_t buffer[RM_PASSWORD_BUFFER_SIZE])
{
    uint8_t key[16];
    gnutls_hash_hd_t md5;
    gnutls_hash_init(&md5, GNUTLS_DIG_MD5);
    gnutls_hash(md5, buffer + 516, 16);
    gnutls_hash(md5, SessionKey.data(), SessionKey.size());
    gnutls_hash_deinit(md5, key);
    gnutls_datum_t k = {key, 16};
    gnutls_cipher_hd_t rc4;
    gnutls_cipher_init(&rc4, GNUTLS_CIPHER_ARCFOUR_128, &k, nullptr);
    std::array<uint8_t, 516> clear;
    gnutls_cipher_decrypt2(rc4, buffer, 516, clear.data(), clear.size());
    gnutls_cipher_deinit(rc4);
    const size_t length = clear[512] | clear[513] << 8;
    if (length > 512)
        return "bad length";
    return std::string(reinterpret_cast<const char*>(clear.data()) + 512 - length, length);
}

std::string utf16(const std::u16string& s)
{
    std::string out;
    for (char16_t c : s) {
        out += static_cast<char>(c & 0xFF);
        out += static_cast<char>(c >> 8);
    }
    return out;
}

uint32_t encode(const std::string& password, uint8_t out[RM_PASSWORD_BUFFER_SIZE])
{
    return rm_encode_password_buffer(password.c_str(), SessionKey.data(), SessionKey.size(), out);
}

TEST(PasswordBuffer, TheServerReadsThePasswordBack)
{
    uint8_t buffer[RM_PASSWORD_BUFFER_SIZE];
    ASSERT_EQ(encode("Fresh-P\xc3\xa4ssword-\xf0\x9f\x98\x80", buffer), uint32_t(RM_OK));
    EXPECT_EQ(open(buffer), utf16(u"Fresh-P\u00e4ssword-\U0001F600"));
    ASSERT_EQ(encode("", buffer), uint32_t(RM_OK));
    EXPECT_EQ(open(buffer), "");
    // 256 UTF-16 units fill the buffer exactly.
    ASSERT_EQ(encode(std::string(256, 'x'), buffer), uint32_t(RM_OK));
    EXPECT_EQ(open(buffer), utf16(std::u16string(256, u'x')));
}

TEST(PasswordBuffer, WhatIsNotUtf8OrTooLongIsRefusedAndNothingIsLeft)
{
    for (const std::string& bad : {std::string(257, 'x'), std::string(255, 'x') + "\xf0\x9f\x98\x80", std::string("\xc0\x80"),
                                   std::string("a\x80"), std::string("\xed\xa0\x80"), std::string("\xf4\x90\x80\x80"),
                                   std::string("\xe2\x82")}) {
        uint8_t buffer[RM_PASSWORD_BUFFER_SIZE];
        std::fill(std::begin(buffer), std::end(buffer), 0xAA);
        EXPECT_EQ(encode(bad, buffer), uint32_t(RM_INVALID_PARAMETER)) << bad.size();
        EXPECT_EQ(std::count(std::begin(buffer), std::end(buffer), 0), RM_PASSWORD_BUFFER_SIZE);
    }
}

} // namespace
