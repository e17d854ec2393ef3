#pragma once

#include "core/ports/RandomSource.h"
#include "core/ports/RecordCipher.h"

#include <cstdint>
#include <set>
#include <span>

namespace rm {

// "Encrypts" into an armoured block whose body is the plaintext in hex, so
// that what was sealed can be read back and checked; knows the keys named.
class FakeRecordCipher : public RecordCipher {
public:
    Keys resolve(const std::vector<std::string>& recipients) override
    {
        Keys keys;
        for (const std::string& r : recipients) {
            if (!known.count(r)) {
                keys.refusal = "no usable encryption key for " + r;
                return keys;
            }
            keys.fingerprints.push_back(r);
        }
        return keys;
    }
    std::optional<std::string> encrypt(const std::vector<std::string>& keys, const Secret& plaintext,
                                       std::string& error) override
    {
        if (keys.empty()) {
            error = "no key";
            return std::nullopt;
        }
        static const char hex[] = "0123456789ABCDEF";
        std::string body;
        for (unsigned char c : plaintext.reveal())
            body += {hex[c >> 4], hex[c & 15]};
        return "-----BEGIN PGP MESSAGE-----\n\n" + body + "\n-----END PGP MESSAGE-----";
    }
    std::optional<Secret> decrypt(const std::string& armoured, std::string& error) override
    {
        const std::string begin = "-----BEGIN PGP MESSAGE-----\n\n";
        const auto end = armoured.find("\n-----END PGP MESSAGE-----");
        if (armoured.rfind(begin, 0) != 0 || end == std::string::npos || (end - begin.size()) % 2) {
            error = "not a message";
            return std::nullopt;
        }
        std::string text;
        for (std::size_t i = begin.size(); i < end; i += 2)
            text += static_cast<char>(std::stoi(armoured.substr(i, 2), nullptr, 16));
        return Secret(std::move(text));
    }

    std::set<std::string> known{"ops@example.org"};
};

// Bytes from a counter: draws that differ, the same in every run.
class CountingRandom : public RandomSource {
public:
    void fill(std::span<std::uint8_t> bytes) override
    {
        for (std::uint8_t& b : bytes) {
            state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
            b = static_cast<std::uint8_t>(state_ >> 56);
        }
    }

private:
    std::uint64_t state_ = 1;
};

} // namespace rm
