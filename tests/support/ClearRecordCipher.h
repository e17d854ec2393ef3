#pragma once

#include "core/ports/RecordCipher.h"

#include <set>
#include <string>
#include <string_view>

namespace rm {

// A record cipher that only wraps: its "message" is the plaintext between
// the armour lines, and decrypting gives back what lies between them. A
// body starting with '!' cannot be decrypted, as another person's entry.
class ClearRecordCipher : public RecordCipher {
public:
    static constexpr std::string_view Begin = "-----BEGIN PGP MESSAGE-----\n";
    static constexpr std::string_view End = "-----END PGP MESSAGE-----";

    Keys resolve(const std::vector<std::string>& recipients) override
    {
        for (const std::string& r : recipients)
            if (keyless.count(r))
                return {{}, "no usable encryption key for " + r};
        return {recipients, {}};
    }
    std::optional<std::string> encrypt(const std::vector<std::string>&, const Secret& plaintext, std::string&) override
    {
        return std::string(Begin) + plaintext.reveal() + "\n" + std::string(End) + "\n";
    }
    std::optional<Secret> decrypt(const std::string& armoured, std::string& error) override
    {
        ++decrypted;
        std::string_view body(armoured);
        if (body.substr(0, Begin.size()) != Begin || body.find(End) == std::string_view::npos) {
            error = "no armour";
            return std::nullopt;
        }
        body = body.substr(Begin.size(), body.rfind(End) - Begin.size());
        if (!body.empty() && body.back() == '\n')
            body.remove_suffix(1);
        if (!body.empty() && body.front() == '!') {
            error = "not for you";
            return std::nullopt;
        }
        return Secret(std::string(body));
    }

    int decrypted = 0;
    std::set<std::string> keyless; // recipients with no usable key
};

} // namespace rm
