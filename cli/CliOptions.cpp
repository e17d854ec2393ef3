#include "cli/CliOptions.h"

#include <charconv>
#include <functional>
#include <map>

namespace rm {
namespace {

// The arguments one by one, "--flag=value" split into flag and value.
class ArgumentReader {
public:
    explicit ArgumentReader(const std::vector<std::string>& args) : args_(args) {}

    bool done() const { return next_ >= args_.size() && !pending_; }
    // The next argument; a flag's attached value is kept for value().
    std::string take()
    {
        if (pending_)
            throw UsageError("unexpected value \"" + *pending_ + "\"");
        std::string a = args_[next_++];
        if (a.rfind("--", 0) == 0 && a.size() > 2) {
            if (auto eq = a.find('='); eq != std::string::npos) {
                pending_ = a.substr(eq + 1);
                a.resize(eq);
            }
        }
        return a;
    }
    std::string value(const std::string& flag)
    {
        if (pending_) {
            std::string v = std::move(*pending_);
            pending_.reset();
            return v;
        }
        if (next_ >= args_.size())
            throw UsageError(flag + " needs a value");
        return args_[next_++];
    }
    // A flag that takes no value was given one.
    void noValue(const std::string& flag)
    {
        if (pending_)
            throw UsageError(flag + " takes no value");
    }

private:
    const std::vector<std::string>& args_;
    std::size_t next_ = 0;
    std::optional<std::string> pending_;
};

CommandLine helpOf(const char* text)
{
    CommandLine c;
    c.helpText = text;
    return c;
}

int descriptor(const std::string& flag, const std::string& text)
{
    int fd = -1;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), fd);
    if (error != std::errc() || end != text.data() + text.size() || fd < 0)
        throw UsageError(flag + " needs a file descriptor number, not \"" + text + "\"");
    return fd;
}

// A whole number from `least` on.
std::int32_t count(const std::string& flag, const std::string& text, std::int32_t least)
{
    std::int32_t n = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (error != std::errc() || end != text.data() + text.size() || n < least)
        throw UsageError(flag + " needs a whole number from " + std::to_string(least) + ", not \"" + text + "\"");
    return n;
}

// A flag's value that is one of a few words.
template <class Value>
Value oneOf(const std::string& flag, const std::string& value,
            std::initializer_list<std::pair<const char*, Value>> words, const char* listed)
{
    for (const auto& [word, meaning] : words)
        if (value == word)
            return meaning;
    throw UsageError(flag + " takes " + listed + ", not \"" + value + "\"");
}

using Handlers = std::map<std::string, std::function<void(ArgumentReader&, const std::string&)>>;

// Runs every argument through its handler; other arguments go to `operand`.
void readArguments(ArgumentReader& in, const Handlers& flags, const Handlers& switches,
                   const std::function<void(const std::string&)>& operand)
{
    bool operandsOnly = false;
    while (!in.done()) {
        const std::string a = in.take();
        if (operandsOnly || a == "-" || a.empty() || a[0] != '-') {
            operand(a);
        } else if (a == "--") {
            operandsOnly = true;
        } else if (auto f = flags.find(a); f != flags.end()) {
            f->second(in, a);
        } else if (auto s = switches.find(a); s != switches.end()) {
            in.noValue(a);
            s->second(in, a);
        } else {
            throw UsageError("unknown option " + a);
        }
    }
}

void logonFlags(Handlers& flags, Handlers& switches, LogonArgs& logon)
{
    switches["--no-ntlm"] = [&](ArgumentReader&, const std::string&) { logon.refuseNtlm = true; };
    flags["--as"] = [&](ArgumentReader& in, const std::string& f) {
        logon.account = in.value(f);
        if (logon.account.empty())
            throw UsageError("--as needs an account (DOMAIN\\user)");
    };
    flags["--as-password-fd"] = [&](ArgumentReader& in, const std::string& f) {
        logon.passwordFd = descriptor(f, in.value(f));
    };
}

// The search's switches: the discovery flags, each with its "--no-" form,
// and the output's.
void searchSwitches(Handlers& switches, SearchArgs& s)
{
    switches["--browse"] = [&](ArgumentReader&, const std::string&) { s.method = DiscoveryMethod::BrowseList; };
    switches["--directory"] = [&](ArgumentReader&, const std::string&) { s.method = DiscoveryMethod::Directory; };
    switches["--no-ou"] = [&](ArgumentReader&, const std::string&) { s.orgUnit = std::string(); };
    switches["--servers-only"] = [&](ArgumentReader&, const std::string&) { s.serversOnly = true; };
    switches["--no-servers-only"] = [&](ArgumentReader&, const std::string&) { s.serversOnly = false; };
    switches["--hidden"] = [&](ArgumentReader&, const std::string&) { s.hidden = true; };
    switches["--no-hidden"] = [&](ArgumentReader&, const std::string&) { s.hidden = false; };
    switches["--ping"] = [&](ArgumentReader&, const std::string&) { s.ping = true; };
    switches["--no-ping"] = [&](ArgumentReader&, const std::string&) { s.ping = false; };
    switches["--allow-simple-bind"] = [&](ArgumentReader&, const std::string&) { s.simpleBind = true; };
    switches["--no-allow-simple-bind"] = [&](ArgumentReader&, const std::string&) { s.simpleBind = false; };
    switches["--all"] = [&](ArgumentReader&, const std::string&) { s.all = true; };
    switches["--timings"] = [&](ArgumentReader&, const std::string&) { s.timings = true; };
}

CommandLine parseSearch(ArgumentReader& in)
{
    CommandLine c;
    c.kind = CommandLine::Kind::Search;
    SearchArgs& s = c.search;
    bool userGiven = false, groupGiven = false, builtinGiven = false;
    Handlers flags, switches;
    flags["--domain"] = [&](ArgumentReader& r, const std::string& f) { s.domain = r.value(f); };
    flags["--ou"] = [&](ArgumentReader& r, const std::string& f) {
        s.orgUnit = r.value(f);
        if (s.orgUnit->empty())
            throw UsageError("--ou needs an organizational unit (use --no-ou for the whole domain)");
        s.method = DiscoveryMethod::Directory;
    };
    flags["--user"] = [&](ArgumentReader& r, const std::string& f) {
        s.accountName = r.value(f);
        userGiven = true;
    };
    flags["--group"] = [&](ArgumentReader& r, const std::string& f) {
        s.accountName = r.value(f);
        groupGiven = true;
    };
    flags["--format"] = [&](ArgumentReader& r, const std::string& f) {
        s.format = oneOf<OutputFormat>(
            f, r.value(f), {{"table", OutputFormat::Table}, {"csv", OutputFormat::Csv}, {"json", OutputFormat::Json}},
            "table, csv or json");
    };
    flags["--alive"] = [&](ArgumentReader& r, const std::string& f) {
        s.alive = oneOf<Liveness>(f, r.value(f),
                                  {{"icmp", Liveness::Ping}, {"smb", Liveness::Port}, {"both", Liveness::PingOrPort}},
                                  "icmp, smb or both");
    };
    flags["--computers"] = [&](ArgumentReader& r, const std::string& f) {
        s.computersFile = r.value(f);
        if (s.computersFile.empty())
            throw UsageError("--computers needs a file (- for standard input)");
    };
    flags["--password-older-than"] = [&](ArgumentReader& r, const std::string& f) {
        s.passwordOlderThanDays = count(f, r.value(f), 0);
    };
    logonFlags(flags, switches, s.logon);
    // The new password's flag in apply; here it once meant the sign-in password.
    flags["--password-fd"] = [](ArgumentReader&, const std::string&) -> void {
        throw UsageError("search sets no password: the sign-in password's descriptor is --as-password-fd");
    };
    searchSwitches(switches, s);
    switches["--builtin-admin"] = [&](ArgumentReader&, const std::string&) { builtinGiven = true; };
    bool help = false;
    switches["--help"] = [&](ArgumentReader&, const std::string&) { help = true; };
    switches["-h"] = switches["--help"];
    readArguments(in, flags, switches,
                  [](const std::string& a) { throw UsageError("search takes no operand \"" + a + "\""); });
    if (help)
        return helpOf(SearchHelp);
    if (builtinGiven && (userGiven || groupGiven))
        throw UsageError("--builtin-admin finds the account whatever its name: leave out --user and --group");
    if (!builtinGiven && userGiven == groupGiven)
        throw UsageError("search needs one of --user NAME, --group NAME or --builtin-admin");
    s.kind = builtinGiven ? AccountKind::BuiltinAdministrator : groupGiven ? AccountKind::Group : AccountKind::User;
    if (s.orgUnit && !s.orgUnit->empty() && s.method == DiscoveryMethod::BrowseList)
        throw UsageError("--ou needs the directory, not --browse");
    return c;
}

void generationFlags(Handlers& flags, Handlers& switches, ApplyArgs& a)
{
    switches["--generate-unique"] = [&](ArgumentReader&, const std::string&) { a.generateUnique = true; };
    flags["--length"] = [&](ArgumentReader& r, const std::string& f) { a.length = count(f, r.value(f), 1); };
    flags["--passphrase"] = [&](ArgumentReader& r, const std::string& f) { a.passphrase = count(f, r.value(f), 1); };
    flags["--recipient"] = [&](ArgumentReader& r, const std::string& f) {
        a.recipients.push_back(r.value(f));
        if (a.recipients.back().empty())
            throw UsageError("--recipient needs a key's fingerprint or address");
    };
    flags["--record"] = [&](ArgumentReader& r, const std::string& f) {
        a.recordFile = r.value(f);
        if (a.recordFile->empty())
            throw UsageError("--record needs a file");
    };
}

CommandLine parseApply(ArgumentReader& in)
{
    CommandLine c;
    c.kind = CommandLine::Kind::Apply;
    ApplyArgs& a = c.apply;
    Handlers flags, switches;
    flags["--password-fd"] = [&](ArgumentReader& r, const std::string& f) { a.passwordFd = descriptor(f, r.value(f)); };
    flags["--rename"] = [&](ArgumentReader& r, const std::string& f) { a.newName = r.value(f); };
    flags["--user"] = [&](ArgumentReader& r, const std::string& f) { a.user = r.value(f); };
    // Names differ per computer, and apply looks nothing up.
    switches["--builtin-admin"] = [](ArgumentReader&, const std::string&) -> void {
        throw UsageError("apply takes each computer's name for the built-in administrator from a search: pipe "
                         "search --builtin-admin --format json into it");
    };
    flags["--targets"] = [&](ArgumentReader& r, const std::string& f) {
        a.targetsFile = r.value(f);
        if (a.targetsFile.empty())
            throw UsageError("--targets needs a file (- for standard input)");
    };
    flags["--log-dir"] = [&](ArgumentReader& r, const std::string& f) { a.logFolder = r.value(f); };
    logonFlags(flags, switches, a.logon);
    generationFlags(flags, switches, a);
    switches["--set-password"] = [&](ArgumentReader&, const std::string&) { a.setPassword = true; };
    auto enabled = [&](EnabledChoice choice) {
        return [&a, choice](ArgumentReader&, const std::string&) {
            if (a.enabled != EnabledChoice::Keep && a.enabled != choice)
                throw UsageError("--enable and --disable exclude each other");
            a.enabled = choice;
        };
    };
    switches["--enable"] = enabled(EnabledChoice::Enable);
    switches["--disable"] = enabled(EnabledChoice::Disable);
    switches["--dry-run"] = [&](ArgumentReader&, const std::string&) { a.dryRun = true; };
    switches["--yes"] = [&](ArgumentReader&, const std::string&) { a.yes = true; };
    switches["-y"] = switches["--yes"];
    switches["--allow-empty-password"] = [&](ArgumentReader&, const std::string&) { a.allowEmptyPassword = true; };
    bool help = false;
    switches["--help"] = [&](ArgumentReader&, const std::string&) { help = true; };
    switches["-h"] = switches["--help"];
    readArguments(in, flags, switches, [&](const std::string& t) {
        if (t == "-")
            throw UsageError("read targets from standard input with --targets -");
        a.targets.push_back(t);
    });
    if (help)
        return helpOf(ApplyHelp);
    if (a.passwordFd >= 0 && !a.setPassword)
        throw UsageError("--password-fd goes with --set-password");
    if (a.generateUnique && (a.setPassword || a.allowEmptyPassword))
        throw UsageError("--generate-unique sets a password of its own: leave out --set-password");
    if (!a.generateUnique && (a.length || a.passphrase || !a.recipients.empty() || a.recordFile))
        throw UsageError("--length, --passphrase, --recipient and --record go with --generate-unique");
    if (a.length && a.passphrase)
        throw UsageError("--length and --passphrase exclude each other");
    if (!a.targets.empty() && !a.targetsFile.empty())
        throw UsageError("give targets as arguments or with --targets, not both");
    return c;
}

CommandLine parseReveal(ArgumentReader& in)
{
    CommandLine c;
    c.kind = CommandLine::Kind::Reveal;
    RevealArgs& r = c.reveal;
    Handlers flags, switches;
    const auto name = [](std::string& into) {
        return [&into](ArgumentReader& in, const std::string& f) {
            into = in.value(f);
            if (into.empty())
                throw UsageError(f + " needs a name");
        };
    };
    flags["--computer"] = name(r.computer);
    flags["--account"] = name(r.account);
    flags["--format"] = [&](ArgumentReader& in, const std::string& f) {
        r.format = oneOf<OutputFormat>(f, in.value(f), {{"table", OutputFormat::Table}, {"json", OutputFormat::Json}},
                                       "table or json");
    };
    bool help = false;
    switches["--help"] = [&](ArgumentReader&, const std::string&) { help = true; };
    switches["-h"] = switches["--help"];
    bool given = false;
    readArguments(in, flags, switches, [&](const std::string& a) {
        if (given)
            throw UsageError("reveal reads one file, not also \"" + a + "\"");
        r.file = a;
        given = true;
    });
    if (help)
        return helpOf(RevealHelp);
    if (r.file.empty())
        throw UsageError("reveal needs the record file or activity log to read");
    return c;
}

} // namespace

CommandLine parseCommandLine(const std::vector<std::string>& args)
{
    if (args.empty())
        throw UsageError("a command is needed: search, apply or reveal (see rostermill-cli --help)");
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    ArgumentReader in(rest);
    if (args[0] == "search")
        return parseSearch(in);
    if (args[0] == "apply")
        return parseApply(in);
    if (args[0] == "reveal")
        return parseReveal(in);
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help")
        return helpOf(MainHelp);
    throw UsageError("unknown command \"" + args[0] + "\": search, apply or reveal");
}

GeneratedPasswords generatedFor(const ApplyArgs& args, PasswordOptions o)
{
    GeneratedPasswords g;
    if (args.length) {
        o.passwords = true;
        g.length = args.length;
    }
    if (args.passphrase) {
        o.passwords = false;
        g.length = args.passphrase;
    }
    if (!args.recipients.empty()) {
        o.recipients.clear();
        for (const std::string& r : args.recipients)
            o.recipients += (o.recipients.empty() ? "" : ",") + r;
    }
    // A record asked for on the command line is kept, whatever the settings say.
    if (args.recordFile) {
        o.saveToFile = true;
        g.recordFile = *args.recordFile;
    }
    g.options = std::move(o);
    return g;
}

SearchOptions searchOptionsFor(const SearchArgs& args, SearchOptions o)
{
    if (args.domain)
        o.domain = *args.domain;
    if (args.method)
        o.method = *args.method;
    if (args.orgUnit) {
        o.restrictToOrgUnit = !args.orgUnit->empty();
        if (o.restrictToOrgUnit)
            o.orgUnit = *args.orgUnit;
    }
    if (args.serversOnly)
        o.serversOnly = *args.serversOnly;
    if (args.hidden)
        o.scanHidden = *args.hidden;
    if (args.ping)
        o.pingScan = *args.ping;
    if (args.simpleBind)
        o.allowSimpleBind = *args.simpleBind;
    return o;
}

} // namespace rm
