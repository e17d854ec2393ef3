#include "core/passwords/PasswordRecord.h"

#include <algorithm>
#include <charconv>
#include <optional>

namespace rm {
namespace {

constexpr std::string_view Begin = "-----BEGIN PGP MESSAGE-----";
constexpr std::string_view End = "-----END PGP MESSAGE-----";
constexpr std::string_view EntryTag = "RMP1 ";
constexpr std::string_view MarkerTag = "RMR1 ";
// An entry's message is under 2 KiB even for a dozen recipients; the count
// bounds the decryptions, each a run of GnuPG, a hostile text can ask for.
constexpr std::size_t MaxBlock = 64 * 1024;
constexpr std::size_t MaxBlocks = 20000;

constexpr char Hex[] = "0123456789ABCDEF";

bool plain(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '_'
        || c == '-';
}

bool nameCharacter(char c)
{
    return plain(c) || c == '%';
}

std::string escaped(const std::string& name)
{
    std::string out;
    for (char c : name) {
        if (plain(c)) {
            out += c;
        } else {
            const auto byte = static_cast<unsigned char>(c);
            out += {'%', Hex[byte >> 4], Hex[byte & 0xF]};
        }
    }
    return out;
}

int hexValue(char c)
{
    const char* at = std::find(Hex, Hex + 16, c);
    return at == Hex + 16 ? -1 : static_cast<int>(at - Hex);
}

// The name as `escaped` writes it, and only so: one text has one spelling.
std::optional<std::string> unescaped(std::string_view field)
{
    std::string name;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (plain(field[i])) {
            name += field[i];
            continue;
        }
        if (field[i] != '%' || field.size() - i < 3)
            return std::nullopt;
        const int high = hexValue(field[i + 1]), low = hexValue(field[i + 2]);
        const char c = static_cast<char>(high * 16 + low);
        if (high < 0 || low < 0 || plain(c))
            return std::nullopt;
        name += c;
        i += 2;
    }
    return name;
}

std::optional<std::time_t> timeOf(std::string_view field)
{
    long long seconds = 0;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), seconds);
    if (error != std::errc() || end != field.data() + field.size() || std::to_string(seconds) != field)
        return std::nullopt;
    return static_cast<std::time_t>(seconds);
}

// "RMP1 COMPUTER ACCOUNT TIME PASSWORD", the password to the text's end; no
// line end of either kind in it, as a page's CR LF would change it.
std::optional<RecordEntry> entryOf(const Secret& plaintext)
{
    const std::string& text = plaintext.reveal();
    if (text.compare(0, EntryTag.size(), EntryTag) != 0 || text.find_first_of(std::string_view("\n\r\0", 3)) != std::string::npos)
        return std::nullopt;
    std::string_view fields[3];
    std::size_t at = EntryTag.size();
    for (std::string_view& field : fields) {
        const std::size_t blank = text.find(' ', at);
        if (blank == std::string::npos)
            return std::nullopt;
        field = std::string_view(text).substr(at, blank - at);
        at = blank + 1;
    }
    auto computer = unescaped(fields[0]);
    auto account = unescaped(fields[1]);
    const auto time = timeOf(fields[2]);
    if (!computer || !account || !time)
        return std::nullopt;
    RecordEntry entry;
    entry.computer = std::move(*computer);
    entry.account = std::move(*account);
    entry.time = *time;
    entry.password = Secret(std::string(text, at));
    return entry;
}

struct Marker {
    RecordState state;
    std::string computer, account;
};

// The marker whose tag is at `at`, if it is one: at a line's start or
// right after a tag's '>' (blanks between), ending the line or at a '<';
// not words of a name or a message that happen to read like one.
std::optional<Marker> markerAt(std::string_view text, std::size_t at)
{
    std::size_t before = at;
    while (before > 0 && (text[before - 1] == ' ' || text[before - 1] == '\t'))
        --before;
    if (before > 0 && std::string_view("\n\r>").find(text[before - 1]) == std::string_view::npos)
        return std::nullopt;
    std::size_t i = at + MarkerTag.size();
    Marker marker;
    if (text.substr(i, 4) == "set ") {
        marker.state = RecordState::Set;
        i += 4;
    } else if (text.substr(i, 7) == "failed ") {
        marker.state = RecordState::Failed;
        i += 7;
    } else {
        return std::nullopt;
    }
    const auto field = [&] {
        const std::size_t from = i;
        while (i < text.size() && nameCharacter(text[i]))
            ++i;
        return unescaped(text.substr(from, i - from));
    };
    auto computer = field();
    if (!computer || i >= text.size() || text[i] != ' ')
        return std::nullopt;
    ++i;
    auto account = field();
    if (!account || (i < text.size() && std::string_view("\r\n<").find(text[i]) == std::string_view::npos))
        return std::nullopt;
    marker.computer = std::move(*computer);
    marker.account = std::move(*account);
    return marker;
}

// Escaped, so no two pairs of names share a key.
std::string key(const std::string& computer, const std::string& account)
{
    return escaped(computer) + ' ' + escaped(account);
}

} // namespace

Secret recordEntryText(const std::string& computer, const std::string& account, const Secret& password,
                       std::time_t time)
{
    const std::string head = std::string(EntryTag) + escaped(computer) + " " + escaped(account) + " "
        + std::to_string(static_cast<long long>(time)) + " ";
    // Reserved whole, so the password is written once and never moved.
    std::string text;
    text.reserve(head.size() + password.reveal().size());
    text += head;
    text += password.reveal();
    return Secret(std::move(text));
}

std::string recordMarkerLine(RecordState state, const std::string& computer, const std::string& account)
{
    if (state == RecordState::Unknown)
        return {};
    return std::string(MarkerTag) + (state == RecordState::Set ? "set " : "failed ") + escaped(computer) + " "
        + escaped(account);
}

RevealedRecord readPasswordRecord(std::string_view text, RecordCipher& cipher)
{
    RevealedRecord record;
    // A marker belongs to the entry it follows with nothing but line ends
    // and blanks between, as both writers put it: text from elsewhere (a
    // name in another cell of a page) cannot mark an entry. Only the first
    // thing after an entry is looked at, so the scan stays linear.
    constexpr std::size_t NoEntry = static_cast<std::size_t>(-1);
    std::size_t lastEntry = NoEntry, lastEnd = 0;
    std::size_t blocks = 0;

    // Line numbers counted as the scan moves forward, never twice.
    std::size_t line = 1, counted = 0;
    const auto lineAt = [&](std::size_t at) {
        line += static_cast<std::size_t>(std::count(text.begin() + counted, text.begin() + at, '\n'));
        counted = at;
        return "line " + std::to_string(line) + ": ";
    };
    const auto problem = [&](std::size_t at, const std::string& what) {
        record.problems.push_back(lineAt(at) + what);
    };

    // Each search resumes where it stopped, so the scan stays linear
    // whatever the text repeats.
    constexpr std::size_t None = std::string_view::npos;
    std::size_t begin = text.find(Begin), end = 0, marker = text.find(MarkerTag);
    bool endSought = false;
    std::size_t at = 0;
    while (begin != None || marker != None) {
        if (marker < begin) {
            if (lastEntry != NoEntry && marker >= lastEnd
                && text.substr(lastEnd, marker - lastEnd).find_first_not_of(" \t\r\n") == None)
                if (auto m = markerAt(text, marker)) {
                    RecordEntry& entry = record.entries[lastEntry];
                    if (key(m->computer, m->account) == key(entry.computer, entry.account))
                        entry.state = m->state;
                }
            lastEntry = NoEntry;
            at = marker + MarkerTag.size();
            marker = text.find(MarkerTag, at);
            continue;
        }
        if (++blocks > MaxBlocks) {
            problem(begin, "more than " + std::to_string(MaxBlocks) + " entries; the rest are not read");
            break;
        }
        if (!endSought || (end != None && end < begin)) {
            end = text.find(End, begin + Begin.size());
            endSought = true;
        }
        const std::size_t next = text.find(Begin, begin + Begin.size());
        if (end == None || next < end) {
            problem(begin, "an entry is cut short (it has no end line)");
            lastEntry = NoEntry;
            begin = next;
            continue;
        }
        const std::size_t after = end + End.size();
        if (after - begin > MaxBlock) {
            problem(begin, "an entry is too long to be one");
            lastEntry = NoEntry;
        } else {
            std::string error;
            // A page's lines end in CR LF; the armour is read with LF alone.
            std::string block;
            block.reserve(after - begin);
            for (std::size_t i = begin; i < after; ++i)
                if (text[i] != '\r' || i + 1 == after || text[i + 1] != '\n')
                    block += text[i];
            std::optional<Secret> plaintext = cipher.decrypt(block + "\n", error);
            std::optional<RecordEntry> entry = plaintext ? entryOf(*plaintext) : std::nullopt;
            if (!entry) {
                problem(begin, plaintext ? "an entry that is not a password entry" : "an entry cannot be read: " + error);
                lastEntry = NoEntry;
            } else {
                lastEntry = record.entries.size();
                lastEnd = after;
                record.entries.push_back(std::move(*entry));
            }
        }
        at = after;
        begin = next;
        if (marker < at)
            marker = text.find(MarkerTag, at);
    }
    return record;
}

} // namespace rm
