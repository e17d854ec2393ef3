#pragma once

#include "core/batch/BatchRequest.h"
#include "core/search/SearchRequest.h"

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace rm {

// Bad usage or input: the program ends with status 2 and this one line.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class OutputFormat { Table, Csv, Json };

// Who to act as when there is no Kerberos ticket.
struct LogonArgs {
    std::string account; // DOMAIN\user or user@REALM; empty: the ticket only
    int passwordFd = -1; // else the terminal
    bool refuseNtlm = false; // Kerberos only, as the settings file may say too
};

struct SearchArgs {
    // Each set only where a flag was given; the settings file fills the rest.
    std::optional<std::string> domain;
    std::optional<DiscoveryMethod> method;
    std::optional<std::string> orgUnit; // empty: the whole domain
    std::optional<bool> serversOnly, hidden, ping, simpleBind;

    std::string accountName; // empty for the built-in administrator
    AccountKind kind = AccountKind::User;
    OutputFormat format = OutputFormat::Table;
    bool all = false;
    Liveness alive = Liveness::Ping;
    std::string computersFile; // the computers themselves instead of a domain scan
    bool timings = false;
    std::optional<int> passwordOlderThanDays; // keep only accounts whose password is older
    LogonArgs logon;
};

struct ApplyArgs {
    bool setPassword = false;
    int passwordFd = -1; // else standard input
    std::optional<std::string> newName;
    EnabledChoice enabled = EnabledChoice::Keep;
    bool dryRun = false;
    bool yes = false;
    bool allowEmptyPassword = false;
    std::string user; // the account of targets that name a computer only
    std::vector<std::string> targets;
    std::string targetsFile; // "-": standard input
    std::string logFolder;
    LogonArgs logon;
    // A generated password for each account; each flag given overrides the
    // settings file's password options.
    bool generateUnique = false;
    std::optional<std::int32_t> length;     // characters
    std::optional<std::int32_t> passphrase; // words
    std::vector<std::string> recipients;
    std::optional<std::string> recordFile;
};

// The record of generated passwords read back.
struct RevealArgs {
    std::string file; // "-": standard input
    std::string computer, account; // empty: all
    OutputFormat format = OutputFormat::Table; // or Json
};

struct CommandLine {
    enum class Kind { Search, Apply, Reveal, Help };
    Kind kind = Kind::Help;
    SearchArgs search;
    ApplyArgs apply;
    std::string helpText;
    RevealArgs reveal;
};

// The arguments after the program's name. Throws UsageError.
CommandLine parseCommandLine(const std::vector<std::string>& args);

// The generation flags laid over the settings file's password options.
GeneratedPasswords generatedFor(const ApplyArgs& args, PasswordOptions stored);

// The search flags laid over the settings file's values.
SearchOptions searchOptionsFor(const SearchArgs& args, SearchOptions stored);

extern const char* const MainHelp;
extern const char* const SearchHelp;
extern const char* const ApplyHelp;
extern const char* const RevealHelp;

} // namespace rm
