#pragma once

#include "core/ports/Secret.h"

#include <optional>
#include <string>
#include <vector>

namespace rm {

// The public-key encryption that keeps generated passwords readable only by
// the people named as recipients (OpenPGP, ASCII-armoured).
class RecordCipher {
public:
    virtual ~RecordCipher() = default;

    // The encryption keys that `recipients` (fingerprints or addresses) name,
    // each resolving to exactly one usable key; else why not, for the first
    // that does not.
    struct Keys {
        std::vector<std::string> fingerprints;
        std::string refusal; // empty when every recipient has a key
    };
    virtual Keys resolve(const std::vector<std::string>& recipients) = 0;

    // `plaintext` encrypted to every key, as one armoured message; nothing,
    // and why in `error`, on failure.
    virtual std::optional<std::string> encrypt(const std::vector<std::string>& fingerprints, const Secret& plaintext,
                                               std::string& error) = 0;

    // An armoured message's plaintext, decrypted with the user's own keys.
    virtual std::optional<Secret> decrypt(const std::string& armoured, std::string& error) = 0;
};

} // namespace rm
