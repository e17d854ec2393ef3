#include "core/batch/BatchJournal.h"

#include <charconv>
#include <vector>

namespace rm {
namespace {

constexpr std::string_view Mark = "RMJ1";

std::string field(std::string_view text)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (b <= 0x20 || b >= 0x7F || c == '%' || c == ',') {
            out += '%';
            out += hex[b >> 4];
            out += hex[b & 0xF];
        } else {
            out += c;
        }
    }
    return out;
}

std::string bit(bool value)
{
    return value ? "1" : "0";
}

std::string action(const ActionOutcome& a)
{
    if (!a.requested)
        return "-";
    return a.attempted ? std::to_string(statusNumber(a.status)) : ".";
}

// A line that does not read; caught per line and turned into a refusal.
struct Unreadable {
    const char* reason;
};

std::vector<std::string_view> split(std::string_view line, char separator)
{
    std::vector<std::string_view> parts;
    for (std::size_t at = 0;;) {
        const std::size_t next = line.find(separator, at);
        parts.push_back(line.substr(at, next == std::string_view::npos ? next : next - at));
        if (next == std::string_view::npos)
            return parts;
        at = next + 1;
    }
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string text(std::string_view f)
{
    std::string out;
    for (std::size_t i = 0; i < f.size(); ++i) {
        if (f[i] != '%') {
            out += f[i];
            continue;
        }
        if (i + 2 >= f.size())
            throw Unreadable{"an escape is cut short"};
        const int high = hexValue(f[i + 1]), low = hexValue(f[i + 2]);
        if (high < 0 || low < 0)
            throw Unreadable{"an escape is not two hexadecimal digits"};
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return out;
}

template <typename Number> Number number(std::string_view f)
{
    Number value{};
    const auto [end, error] = std::from_chars(f.data(), f.data() + f.size(), value);
    if (f.empty() || error != std::errc() || end != f.data() + f.size())
        throw Unreadable{"a number does not read"};
    return value;
}

bool flag(std::string_view f)
{
    if (f != "0" && f != "1")
        throw Unreadable{"a flag is neither 0 nor 1"};
    return f == "1";
}

ActionOutcome readAction(std::string_view f)
{
    ActionOutcome a;
    if (f == "-")
        return a;
    a.requested = true;
    if (f == ".")
        return a;
    a.attempted = true;
    a.status = static_cast<NetStatus>(number<std::uint32_t>(f));
    return a;
}

void settle(const ActionOutcome& a, bool asked, BatchCounts::Count& count)
{
    if (a.requested != asked)
        throw Unreadable{"an account's actions are not the batch's"};
    if (!a.attempted)
        return;
    ++(a.succeeded() ? count.succeeded : count.failed);
    ++count.total;
}

void readBatch(const std::vector<std::string_view>& f, JournalContents& out)
{
    if (f.size() != 7)
        throw Unreadable{"the batch line has not 7 fields"};
    out.confirmed = number<std::time_t>(f[2]);
    out.batch.changePassword = flag(f[3]);
    if (f[4] == "keep")
        out.batch.enabledChoice = EnabledChoice::Keep;
    else if (f[4] == "enable")
        out.batch.enabledChoice = EnabledChoice::Enable;
    else if (f[4] == "disable")
        out.batch.enabledChoice = EnabledChoice::Disable;
    else
        throw Unreadable{"the enabled choice is none of keep, enable, disable"};
    out.batch.rename = flag(f[5]);
    out.batch.newName = text(f[6]);
}

// A sealed line waits for its account's line; the batch's time stands in
// until then.
void readSealed(const std::vector<std::string_view>& f, JournalContents& out)
{
    if (f.size() != 5)
        throw Unreadable{"a sealed line has not 5 fields"};
    AccountOutcome a;
    a.time = out.confirmed;
    a.target.computer = text(f[2]);
    a.target.user = text(f[3]);
    a.sealedPassword = text(f[4]);
    a.password.requested = true;
    if (!out.batch.changePassword)
        throw Unreadable{"a sealed line in a batch that sets no password"};
    a.enable.requested = out.batch.enabledChoice != EnabledChoice::Keep;
    a.rename.requested = out.batch.rename;
    out.sealed.push_back(std::move(a));
}

// The account's sealed line, taken from those waiting.
void attachSealed(AccountOutcome& a, JournalContents& out)
{
    for (auto it = out.sealed.begin(); it != out.sealed.end(); ++it)
        if (it->target.computer == a.target.computer && it->target.user == a.target.user) {
            a.sealedPassword = std::move(it->sealedPassword);
            out.sealed.erase(it);
            return;
        }
}

void readAccount(const std::vector<std::string_view>& f, JournalContents& out)
{
    if (f.size() != 11)
        throw Unreadable{"an account line has not 11 fields"};
    AccountOutcome a;
    a.time = number<std::time_t>(f[2]);
    a.target.computer = text(f[3]);
    a.target.user = text(f[4]);
    if (f[5] != "-")
        a.target.enabled = flag(f[5]);
    if (!f[6].empty())
        for (std::string_view g : split(f[6], ','))
            a.target.groups.push_back(text(g));
    a.processed = flag(f[7]);
    a.password = readAction(f[8]);
    a.enable = readAction(f[9]);
    a.rename = readAction(f[10]);
    BatchOutcome& b = out.batch;
    settle(a.password, b.changePassword, b.counts.password);
    settle(a.enable, b.enabledChoice != EnabledChoice::Keep, b.counts.enable);
    settle(a.rename, b.rename, b.counts.rename);
    attachSealed(a, out);
    b.accounts.push_back(std::move(a));
}

void readLine(std::string_view line, bool first, JournalContents& out)
{
    const std::vector<std::string_view> f = split(line, ' ');
    if (f.size() < 2 || f[0] != Mark)
        throw Unreadable{"the line is not a journal line of format 1"};
    if (first != (f[1] == "batch"))
        throw Unreadable{first ? "the first line is not the batch line" : "a second batch line"};
    if (out.finished)
        throw Unreadable{"a line after the end line"};
    if (f[1] == "batch") {
        readBatch(f, out);
    } else if (f[1] == "account") {
        readAccount(f, out);
    } else if (f[1] == "sealed") {
        readSealed(f, out);
    } else if (f[1] == "end") {
        if (f.size() != 3)
            throw Unreadable{"the end line has not 3 fields"};
        out.batch.cancelled = flag(f[2]);
        out.finished = true;
    } else {
        throw Unreadable{"the line is of no known kind"};
    }
}

} // namespace

std::string journalBatchLine(const BatchOutcome& batch, std::time_t confirmed)
{
    const char* enabled = batch.enabledChoice == EnabledChoice::Enable    ? "enable"
                          : batch.enabledChoice == EnabledChoice::Disable ? "disable"
                                                                          : "keep";
    return std::string(Mark) + " batch " + std::to_string(confirmed) + " " + bit(batch.changePassword) + " " + enabled
        + " " + bit(batch.rename) + " " + field(batch.newName);
}

std::string journalAccountLine(const AccountOutcome& a)
{
    std::string groups;
    for (std::size_t i = 0; i < a.target.groups.size(); ++i)
        groups += (i == 0 ? "" : ",") + field(a.target.groups[i]);
    return std::string(Mark) + " account " + std::to_string(a.time) + " " + field(a.target.computer) + " "
        + field(a.target.user) + " " + (a.target.enabled ? bit(*a.target.enabled) : "-") + " " + groups + " "
        + bit(a.processed) + " " + action(a.password) + " " + action(a.enable) + " " + action(a.rename);
}

std::string journalSealedLine(const std::string& computer, const std::string& user, const std::string& block)
{
    return std::string(Mark) + " sealed " + field(computer) + " " + field(user) + " " + field(block);
}

std::string journalEndLine(bool cancelled)
{
    return std::string(Mark) + " end " + bit(cancelled);
}

std::variant<JournalContents, JournalRefusal> readJournal(std::string_view text)
{
    JournalContents out;
    std::size_t number = 0;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos)
            break; // cut short by the end of the writer
        ++number;
        try {
            readLine(text.substr(at, end - at), number == 1, out);
        } catch (const Unreadable& u) {
            return JournalRefusal{number, u.reason};
        }
        at = end + 1;
    }
    if (number == 0)
        return JournalRefusal{1, "the journal holds no whole line"};
    // Accounts the batch stopped in: their passwords may have been set.
    for (AccountOutcome& a : out.sealed)
        out.batch.accounts.push_back(std::move(a));
    out.sealed.clear();
    return out;
}

bool BatchJournal::append(const std::string& line)
{
    std::lock_guard lock(mutex_);
    if (failure_ != FileFailure::None)
        return false;
    failure_ = file_->append(line);
    return failure_ == FileFailure::None;
}

bool BatchJournal::record(const AccountOutcome& account)
{
    return append(journalAccountLine(account));
}

bool BatchJournal::recordSealed(const AccountOutcome& account)
{
    return append(journalSealedLine(account.target.computer, account.target.user, account.sealedPassword));
}

bool BatchJournal::finish(const BatchOutcome& batch)
{
    for (const AccountOutcome& a : batch.accounts)
        if (!a.processed && !record(a))
            return false;
    return append(journalEndLine(batch.cancelled));
}

FileFailure BatchJournal::failure() const
{
    std::lock_guard lock(mutex_);
    return failure_;
}

} // namespace rm
