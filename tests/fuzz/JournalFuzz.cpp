// The batch journal reader fed arbitrary bytes, as a journal left by a
// crash or planted by someone else: it answers contents or a refusal and
// nothing else, holds no more accounts than the text has lines, and what
// it accepts reads back the same once written again.
#include "core/batch/BatchJournal.h"

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

std::string written(const JournalContents& c)
{
    std::string text = journalBatchLine(c.batch, c.confirmed) + "\n";
    for (const AccountOutcome& a : c.batch.accounts)
        text += journalAccountLine(a) + "\n";
    if (c.finished)
        text += journalEndLine(c.batch.cancelled) + "\n";
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto read = readJournal(text);
    if (const auto* refusal = std::get_if<JournalRefusal>(&read)) {
        check(refusal->line >= 1 && !refusal->reason.empty());
        check(refusal->line <= static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
        return 0;
    }
    const JournalContents& contents = std::get<JournalContents>(read);
    check(contents.batch.accounts.size() < static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')));
    const std::string again = written(contents);
    const auto reread = readJournal(again);
    check(std::holds_alternative<JournalContents>(reread));
    check(written(std::get<JournalContents>(reread)) == again);
    check(std::get<JournalContents>(reread).batch.counts == contents.batch.counts);
    return 0;
}
