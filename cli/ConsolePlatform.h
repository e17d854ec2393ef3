#pragma once

#include "core/ports/FileReader.h"
#include "core/ports/FileWriter.h"
#include "core/ports/JournalFiles.h"
#include "core/ports/RandomSource.h"
#include "core/ports/RecordCipher.h"
#include "core/ports/Secret.h"
#include "core/ports/WallClock.h"
#include "core/search/SearchServices.h"
#include "settings/SettingsStore.h"

#include <functional>
#include <memory>
#include <string>

namespace rm {

// What the console program needs of the platform, made once its command line
// is read: what a search uses, the settings, files, the clock and the
// record cipher.
class ConsolePlatform {
public:
    // Asks for "DOMAIN\user" (or "user@REALM") and a password; false when none is given.
    using AskCredentials = std::function<bool(std::string& account, Secret& password)>;
    // Makes the platform: credentials asked with `ask`, first of all when
    // `askFirst`, else only where there is no Kerberos ticket. Throws
    // UsageError when it cannot be made.
    using Maker = std::function<std::unique_ptr<ConsolePlatform>(AskCredentials ask, bool askFirst)>;

    virtual ~ConsolePlatform() = default;
    virtual SearchServices search() = 0;
    virtual SettingsStore& settings() = 0;
    virtual FileWriter& files() = 0;
    virtual JournalFiles& journals() = 0;
    virtual WallClock& clock() = 0;
    virtual FileReader& reader() = 0;
    virtual RandomSource& random() = 0;
    // The user's OpenPGP keys, for the generated passwords' record.
    virtual RecordCipher& cipher() = 0;
    // From now on no other process of the user may read this one's memory,
    // nor is a core file written: it is about to hold a password.
    virtual void protectSecrets() = 0;
    // Typed credentials reach a computer through Kerberos only.
    virtual void refuseNtlm(bool refused) = 0;
};

} // namespace rm
