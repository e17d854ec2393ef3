#include "adapters/gpg/GpgmeRecordCipher.h"

#include "core/ports/Wipe.h"

#include <gpgme.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <memory>

namespace rm {
namespace {

// An entry's plaintext is one short line; a message that unpacks to more
// (a compressed one may unpack to gigabytes) is not one of ours.
constexpr std::size_t MaxPlaintext = 8192;

std::string errorText(gpgme_error_t error)
{
    char text[256] = "";
    gpgme_strerror_r(error, text, sizeof text);
    return text;
}

// Why the library cannot be used, or empty. The version check must come
// first and once: it also sets the library up for threads. Made on first
// use, so a program that never encrypts starts no GnuPG.
const std::string& unusable()
{
    static const std::string why = [] {
        if (!gpgme_check_version(nullptr))
            return std::string("GPGME could not be initialised");
        if (const gpgme_error_t e = gpgme_engine_check_version(GPGME_PROTOCOL_OpenPGP))
            return "GnuPG cannot be used: " + errorText(e);
        return std::string();
    }();
    return why;
}

bool ready(std::string& error)
{
    error = unusable();
    return error.empty();
}

class Context {
public:
    Context()
    {
        if ((made_ = gpgme_new(&ctx_)))
            return;
        made_ = gpgme_set_protocol(ctx_, GPGME_PROTOCOL_OpenPGP);
        gpgme_set_armor(ctx_, 1);
        // The local keyring only: no key is fetched from a server.
        gpgme_set_offline(ctx_, 1);
        if (!made_)
            made_ = gpgme_set_keylist_mode(ctx_, GPGME_KEYLIST_MODE_LOCAL);
    }
    ~Context()
    {
        if (ctx_)
            gpgme_release(ctx_);
    }
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;

    gpgme_ctx_t get() const { return ctx_; }
    gpgme_error_t failure() const { return made_; }

private:
    gpgme_ctx_t ctx_ = nullptr;
    gpgme_error_t made_ = 0;
};

struct KeyRelease {
    void operator()(gpgme_key_t key) const { gpgme_key_unref(key); }
};
using Key = std::unique_ptr<_gpgme_key, KeyRelease>;

struct DataRelease {
    void operator()(gpgme_data_t data) const { gpgme_data_release(data); }
};
using Data = std::unique_ptr<gpgme_data, DataRelease>;

bool usable(gpgme_key_t key)
{
    if (key->revoked || key->expired || key->disabled || key->invalid || !key->can_encrypt)
        return false;
    for (gpgme_subkey_t sub = key->subkeys; sub; sub = sub->next)
        if (sub->can_encrypt && !sub->revoked && !sub->expired && !sub->disabled && !sub->invalid)
            return true;
    return false;
}

// 40 hex digits (64 for a version 5 key), blanks allowed between them: the
// digits in capitals.
std::optional<std::string> fingerprintOf(const std::string& recipient)
{
    std::string digits;
    for (char c : recipient) {
        if (c == ' ')
            continue;
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return std::nullopt;
        digits += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    if (digits.size() != 40 && digits.size() != 64)
        return std::nullopt;
    return digits;
}

// "name@domain" or "<name@domain>": the address alone; else nothing (names,
// short key ids, anything GnuPG would match as part of a user id).
std::optional<std::string> addressOf(std::string recipient)
{
    if (recipient.size() > 2 && recipient.front() == '<' && recipient.back() == '>')
        recipient = recipient.substr(1, recipient.size() - 2);
    const std::size_t at = recipient.find('@');
    if (at == 0 || at == std::string::npos || at + 1 == recipient.size() || recipient.find('@', at + 1) != std::string::npos
        || recipient.find_first_of(" \t<>,") != std::string::npos)
        return std::nullopt;
    return recipient;
}

bool sameText(const char* a, const std::string& b)
{
    return a && std::strlen(a) == b.size()
        && std::equal(b.begin(), b.end(), a, [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// Named by address, a key is taken only when a user id with that address is
// valid in the user's own web of trust (a key of theirs, or one they or
// someone they trust have certified): an imported key that merely claims
// the address is not.
bool certifiedFor(gpgme_key_t key, const std::string& address)
{
    for (gpgme_user_id_t uid = key->uids; uid; uid = uid->next)
        if (!uid->revoked && !uid->invalid && uid->validity >= GPGME_VALIDITY_FULL && sameText(uid->email, address))
            return true;
    return false;
}

bool sameFingerprint(const char* a, const std::string& b)
{
    return a && std::equal(b.begin(), b.end(), a, a + std::strlen(a),
                           [](char x, char y) { return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y)); });
}

// Whether the listed key is what the recipient names: GnuPG matches a
// fingerprint loosely (a prefix), so it is compared whole here.
bool named(gpgme_key_t key, const std::optional<std::string>& fingerprint)
{
    if (!fingerprint)
        return true;
    for (gpgme_subkey_t sub = key->subkeys; sub; sub = sub->next)
        if (sameFingerprint(sub->fpr, *fingerprint))
            return true;
    return false;
}

// The decrypted text goes straight into a buffer of ours, reserved whole
// beforehand so it never moves and leaves no copy behind; GPGME keeps none.
struct PlaintextSink {
    std::string text;
    bool tooLong = false;

    static ssize_t write(void* handle, const void* buffer, std::size_t size)
    {
        auto* sink = static_cast<PlaintextSink*>(handle);
        if (size > MaxPlaintext - sink->text.size()) {
            sink->tooLong = true;
            errno = EFBIG;
            return -1;
        }
        sink->text.append(static_cast<const char*>(buffer), size);
        return static_cast<ssize_t>(size);
    }
};

} // namespace

RecordCipher::Keys GpgmeRecordCipher::resolve(const std::vector<std::string>& recipients)
{
    Keys keys;
    if (!ready(keys.refusal))
        return keys;
    for (const std::string& recipient : recipients) {
        const std::optional<std::string> fingerprint = fingerprintOf(recipient);
        const std::optional<std::string> address = fingerprint ? std::nullopt : addressOf(recipient);
        if (!fingerprint && !address) {
            keys.refusal = recipient + " is neither a key's full fingerprint nor an address";
            return keys;
        }
        // An address is matched whole, not as part of a longer one.
        const std::string pattern = fingerprint ? *fingerprint : "<" + *address + ">";
        bool uncertified = false;

        std::vector<std::string> found;
        Context context;
        gpgme_error_t e = context.failure();
        if (!e && !recipient.empty())
            e = gpgme_op_keylist_start(context.get(), pattern.c_str(), 0);
        while (!e && !recipient.empty()) {
            gpgme_key_t listed = nullptr;
            if ((e = gpgme_op_keylist_next(context.get(), &listed)))
                break;
            const Key key(listed);
            if (!usable(key.get()) || !named(key.get(), fingerprint) || !key->fpr)
                continue;
            if (address && !certifiedFor(key.get(), *address))
                uncertified = true;
            else
                found.emplace_back(key->fpr);
        }
        if (e && gpgme_err_code(e) != GPG_ERR_EOF) {
            keys.refusal = "the keys of " + recipient + " cannot be listed: " + errorText(e);
            return keys;
        }
        if (found.empty() && uncertified) {
            keys.refusal = "the key of " + recipient + " is not certified as theirs; check it and give its fingerprint";
            return keys;
        }
        if (found.empty()) {
            keys.refusal = "no usable encryption key for " + recipient;
            return keys;
        }
        if (found.size() > 1) {
            keys.refusal = recipient + " names " + std::to_string(found.size()) + " keys; give its fingerprint";
            return keys;
        }
        if (std::find(keys.fingerprints.begin(), keys.fingerprints.end(), found[0]) == keys.fingerprints.end())
            keys.fingerprints.push_back(found[0]);
    }
    return keys;
}

std::optional<std::string> GpgmeRecordCipher::encrypt(const std::vector<std::string>& fingerprints,
                                                      const Secret& plaintext, std::string& error)
{
    if (!ready(error))
        return std::nullopt;
    if (fingerprints.empty()) {
        error = "no key to encrypt to";
        return std::nullopt;
    }
    Context context;
    if (const gpgme_error_t e = context.failure()) {
        error = errorText(e);
        return std::nullopt;
    }
    std::vector<Key> keys;
    std::vector<gpgme_key_t> list;
    for (const std::string& fingerprint : fingerprints) {
        gpgme_key_t found = nullptr;
        const gpgme_error_t e = gpgme_get_key(context.get(), fingerprint.c_str(), &found, 0);
        keys.emplace_back(found);
        if (e || !found || !usable(found) || !sameFingerprint(found->fpr, fingerprint)) {
            error = "no usable encryption key " + fingerprint;
            return std::nullopt;
        }
        list.push_back(found);
    }
    list.push_back(nullptr);

    // Read in place: the password is never copied into the library's memory.
    gpgme_data_t in = nullptr, out = nullptr;
    gpgme_error_t e = gpgme_data_new_from_mem(&in, plaintext.reveal().data(), plaintext.reveal().size(), 0);
    const Data input(in);
    if (!e)
        e = gpgme_data_new(&out);
    Data output(out);
    // Trust is the user's own choice here: every key was named by them, by
    // fingerprint or by an address that matches it alone, so the web of
    // trust's validity is not asked. No encrypt-to key of gpg.conf is
    // added: the message is for exactly these keys.
    if (!e)
        e = gpgme_op_encrypt(context.get(), list.data(),
                             static_cast<gpgme_encrypt_flags_t>(GPGME_ENCRYPT_ALWAYS_TRUST | GPGME_ENCRYPT_NO_ENCRYPT_TO),
                             in, out);
    if (!e) {
        if (const gpgme_encrypt_result_t result = gpgme_op_encrypt_result(context.get());
            result && result->invalid_recipients) {
            error = std::string("the key ") + (result->invalid_recipients->fpr ? result->invalid_recipients->fpr : "")
                + " was refused: " + errorText(result->invalid_recipients->reason);
            return std::nullopt;
        }
    }
    if (e) {
        error = "encryption failed: " + errorText(e);
        return std::nullopt;
    }
    std::size_t size = 0;
    char* armoured = gpgme_data_release_and_get_mem(output.release(), &size);
    if (!armoured) {
        error = "encryption gave no message";
        return std::nullopt;
    }
    std::string message(armoured, size);
    gpgme_free(armoured);
    return message;
}

std::optional<Secret> GpgmeRecordCipher::decrypt(const std::string& armoured, std::string& error)
{
    if (!ready(error))
        return std::nullopt;
    if (cancelled_) {
        error = "decryption was cancelled";
        return std::nullopt;
    }
    Context context;
    if (const gpgme_error_t e = context.failure()) {
        error = errorText(e);
        return std::nullopt;
    }
    PlaintextSink sink;
    sink.text.reserve(MaxPlaintext);
    struct Wiped {
        std::string& text;
        ~Wiped() { wipe(text); }
    } wiped{sink.text};

    gpgme_data_cbs callbacks{};
    callbacks.write = &PlaintextSink::write;
    gpgme_data_t in = nullptr, out = nullptr;
    gpgme_error_t e = gpgme_data_new_from_mem(&in, armoured.data(), armoured.size(), 0);
    const Data input(in);
    if (!e)
        e = gpgme_data_new_from_cbs(&out, &callbacks, &sink);
    const Data output(out);
    if (!e)
        e = gpgme_op_decrypt(context.get(), in, out);
    if (e) {
        if (gpgme_err_code(e) == GPG_ERR_CANCELED)
            cancelled_ = true;
        error = sink.tooLong                             ? "it holds more than an entry"
            : gpgme_err_code(e) == GPG_ERR_NO_SECKEY     ? "none of your secret keys can decrypt it"
            : gpgme_err_code(e) == GPG_ERR_NO_DATA       ? "it is no OpenPGP message"
            : gpgme_err_code(e) == GPG_ERR_CANCELED      ? "decryption was cancelled"
                                                         : "it cannot be decrypted: " + errorText(e);
        return std::nullopt;
    }
    // An exact copy, so the reserved buffer is not kept for each entry.
    return Secret::copyOf(sink.text);
}

} // namespace rm
