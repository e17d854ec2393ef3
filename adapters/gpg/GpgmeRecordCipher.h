#pragma once

#include "core/ports/RecordCipher.h"

#include <atomic>

namespace rm {

// OpenPGP through GPGME over the user's GnuPG home (GNUPGHOME, else
// ~/.gnupg): keys from the local keyring only, decryption through the
// user's agent and its pinentry. Each call has a context of its own, so
// calls may come from any thread.
class GpgmeRecordCipher : public RecordCipher {
public:
    Keys resolve(const std::vector<std::string>& recipients) override;
    std::optional<std::string> encrypt(const std::vector<std::string>& fingerprints, const Secret& plaintext,
                                       std::string& error) override;
    // Once the user cancels a passphrase question, every later message is
    // refused without asking again.
    std::optional<Secret> decrypt(const std::string& armoured, std::string& error) override;

private:
    std::atomic<bool> cancelled_{false};
};

} // namespace rm
