// The password record reader fed arbitrary bytes, as a record file or a
// page someone else may have written, over a cipher that gives back the
// armour's body: it answers entries and problems and nothing else, one of
// them at most for each armour line that begins a block, every problem
// with a line of the text; and every entry it reads is written again the
// same way and read back the same, with the state its marker gives.
#include "core/passwords/PasswordRecord.h"
#include "support/ClearRecordCipher.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

using namespace rm;

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

std::size_t occurrences(const std::string& text, const std::string& what)
{
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    ClearRecordCipher cipher;
    const RevealedRecord read = readPasswordRecord(text, cipher);

    const std::size_t blocks = occurrences(text, "-----BEGIN PGP MESSAGE-----");
    check(read.entries.size() + read.problems.size() <= blocks);
    check(static_cast<std::size_t>(cipher.decrypted) <= blocks);
    const auto lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
    for (const std::string& problem : read.problems) {
        check(problem.rfind("line ", 0) == 0);
        const std::size_t line = std::strtoul(problem.c_str() + 5, nullptr, 10);
        check(line >= 1 && line <= lines);
    }

    for (const RecordEntry& entry : read.entries) {
        const Secret written = recordEntryText(entry.computer, entry.account, entry.password, entry.time);
        std::string error;
        const std::string again = *cipher.encrypt({}, written, error) + "\n"
            + recordMarkerLine(RecordState::Failed, entry.computer, entry.account) + "\n";
        const RevealedRecord reread = readPasswordRecord(again, cipher);
        check(reread.problems.empty() && reread.entries.size() == 1);
        const RecordEntry& back = reread.entries[0];
        check(back.computer == entry.computer && back.account == entry.account && back.time == entry.time);
        check(back.password.matches(entry.password));
        check(back.state == RecordState::Failed);
        check(recordEntryText(back.computer, back.account, back.password, back.time).matches(written));
    }
    return 0;
}
