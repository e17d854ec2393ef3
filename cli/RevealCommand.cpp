#include "cli/RevealCommand.h"

#include "cli/CliProgram.h"
#include "cli/Formats.h"
#include "cli/InputText.h"
#include "core/passwords/PasswordRecord.h"
#include "core/ports/Text.h"
#include "core/report/ActivityLog.h"

#include <array>
#include <ostream>

namespace rm {
namespace {

constexpr std::size_t Columns = 5;
using Row = std::array<std::string, Columns>;

// The printed cells hold passwords: wiped once written out.
struct WipedRows {
    std::vector<Row> rows;
    ~WipedRows()
    {
        for (Row& row : rows)
            for (std::string& cell : row)
                wipe(cell);
    }
};

const char* stateWord(RecordState state)
{
    return state == RecordState::Set ? "set" : state == RecordState::Failed ? "failed" : "unknown";
}

std::string withoutBackslashes(const std::string& computer)
{
    return computer.substr(std::min(computer.find_first_not_of('\\'), computer.size()));
}

bool wanted(const RecordEntry& entry, const RevealArgs& args)
{
    return (args.computer.empty() || equalsIgnoringCase(withoutBackslashes(entry.computer), withoutBackslashes(args.computer)))
        && (args.account.empty() || equalsIgnoringCase(entry.account, args.account));
}

void printTable(const std::vector<const RecordEntry*>& entries, std::ostream& out)
{
    WipedRows shown;
    shown.rows.reserve(entries.size() + 2);
    shown.rows.push_back({"Computer", "Account", "Password", "Time", "State"});
    shown.rows.emplace_back();
    for (const RecordEntry* e : entries) {
        // Filled in place: a row moved would leave a short password's copy behind.
        Row& row = shown.rows.emplace_back();
        row = {terminalText(e->computer), terminalText(e->account), "", activityLogTime(e->time), stateWord(e->state)};
        row[2] = terminalText(e->password.reveal());
    }
    std::array<std::size_t, Columns> widths{};
    for (const Row& row : shown.rows)
        for (std::size_t c = 0; c < Columns; ++c)
            widths[c] = std::max(widths[c], displayWidth(row[c]));
    for (std::size_t c = 0; c < Columns; ++c)
        shown.rows[1][c].assign(widths[c], '-');
    for (const Row& row : shown.rows) {
        for (std::size_t c = 0; c < Columns; ++c) {
            if (c > 0)
                out << "  ";
            out << row[c];
            // The last column is never empty: no blanks end a line.
            if (c + 1 < Columns)
                for (std::size_t pad = displayWidth(row[c]); pad < widths[c]; ++pad)
                    out << ' ';
        }
        out << '\n';
    }
}

// The length of the UTF-8 sequence at `i`, or 0 where none starts.
std::size_t sequenceAt(const std::string& s, std::size_t i)
{
    const auto at = [&](std::size_t k) { return k < s.size() ? static_cast<unsigned char>(s[k]) : 0u; };
    const unsigned lead = at(i);
    std::size_t length = 0;
    unsigned low = 0x80, high = 0xBF;
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF)
        length = 3, low = lead == 0xE0 ? 0xA0 : 0x80, high = lead == 0xED ? 0x9F : 0xBF;
    else if (lead >= 0xF0 && lead <= 0xF4)
        length = 4, low = lead == 0xF0 ? 0x90 : 0x80, high = lead == 0xF4 ? 0x8F : 0xBF;
    else
        return 0;
    if (at(i + 1) < low || at(i + 1) > high)
        return 0;
    for (std::size_t k = 2; k < length; ++k)
        if (at(i + k) < 0x80 || at(i + k) > 0xBF)
            return 0;
    return length;
}

// A JSON string written straight to `out`, so no copy of a password is
// made on the way; bytes that are no UTF-8 become U+FFFD, as in the other
// documents.
void jsonString(std::ostream& out, const std::string& text)
{
    static const char hex[] = "0123456789abcdef";
    out << '"';
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        const std::size_t length = sequenceAt(text, i);
        if (length == 0) {
            out << "\\ufffd";
            ++i;
        } else if (c == '"' || c == '\\') {
            out << '\\' << text[i++];
        } else if (c < 0x20) {
            out << "\\u00" << hex[c >> 4] << hex[c & 0xF];
            ++i;
        } else {
            out.write(text.data() + i, static_cast<std::streamsize>(length));
            i += length;
        }
    }
    out << '"';
}

void printJson(const std::vector<const RecordEntry*>& entries, std::ostream& out)
{
    out << "{\n  \"entries\": [";
    const char* between = "\n";
    for (const RecordEntry* e : entries) {
        out << between << "    {\n      \"computer\": ";
        jsonString(out, e->computer);
        out << ",\n      \"account\": ";
        jsonString(out, e->account);
        out << ",\n      \"password\": ";
        jsonString(out, e->password.reveal());
        out << ",\n      \"time\": ";
        jsonString(out, activityLogTime(e->time));
        out << ",\n      \"state\": \"" << stateWord(e->state) << "\"\n    }";
        between = ",\n";
    }
    out << (entries.empty() ? "]\n}\n" : "\n  ]\n}\n");
}

} // namespace

int runReveal(const RevealArgs& args, ConsolePlatform& platform, std::istream& in, std::ostream& out,
              std::ostream& err)
{
    const std::string text = readInputText(args.file, in);
    const std::string shownFile = args.file == "-" ? "standard input" : terminalText(args.file);
    platform.protectSecrets();
    const RevealedRecord record = readPasswordRecord(text, platform.cipher());

    std::vector<const RecordEntry*> matched;
    for (const RecordEntry& entry : record.entries)
        if (wanted(entry, args))
            matched.push_back(&entry);
    if (args.format == OutputFormat::Json)
        printJson(matched, out);
    else if (!matched.empty())
        printTable(matched, out);
    out.flush();

    for (const std::string& problem : record.problems)
        err << "rostermill-cli: " << shownFile << ": " << terminalText(problem) << "\n";
    if (matched.empty())
        err << "rostermill-cli: " << shownFile << ": "
            << (record.entries.empty() ? "no password entry could be read" : "no entry matches") << "\n";
    err.flush();
    return matched.empty() || !record.problems.empty() ? ExitSomeFailed : ExitDone;
}

} // namespace rm
