// The record of generated passwords read back over a cipher that only
// wraps: entries and the states their markers give, in a record file and
// in a page, and hostile texts that end in problems, in linear time.
#include "core/passwords/PasswordRecord.h"
#include "support/ClearRecordCipher.h"

#include <gtest/gtest.h>

#include <chrono>
#include <random>

namespace rm {
namespace {

std::string entry(ClearRecordCipher& cipher, const std::string& computer, const std::string& account,
                  const std::string& password, std::time_t time)
{
    std::string error;
    return *cipher.encrypt({}, recordEntryText(computer, account, Secret::copyOf(password), time), error);
}

TEST(PasswordRecord, TheEntryTextKeepsNamesEscapedAndThePasswordVerbatim)
{
    // Records written now must stay readable: the text is fixed.
    EXPECT_EQ(recordEntryText("PC 01", "Admin%\xC3\xA4", Secret::copyOf(" p w % "), 1700000000).reveal(),
              "RMP1 PC%2001 Admin%25%C3%A4 1700000000  p w % ");
    EXPECT_EQ(recordMarkerLine(RecordState::Failed, "PC 01", "a.b_c-d"), "RMR1 failed PC%2001 a.b_c-d");

    ClearRecordCipher cipher;
    const RevealedRecord read = readPasswordRecord(entry(cipher, "PC 01", "Admin%\xC3\xA4", " p w % ", -5), cipher);
    ASSERT_EQ(read.entries.size(), 1u);
    EXPECT_EQ(read.entries[0].computer, "PC 01");
    EXPECT_EQ(read.entries[0].account, "Admin%\xC3\xA4");
    EXPECT_EQ(read.entries[0].password.reveal(), " p w % ");
    EXPECT_EQ(read.entries[0].time, -5);
    EXPECT_TRUE(read.problems.empty());
}

TEST(PasswordRecord, AMarkerGivesTheStateOfTheLatestEarlierEntryOfItsAccount)
{
    ClearRecordCipher cipher;
    const auto marker = [](RecordState s, const char* computer, const char* account) {
        return recordMarkerLine(s, computer, account) + "\n";
    };
    // A record file: two tries on PC01, the first failed; a marker before
    // its entry, and one after an unreadable block that may be its own, count for nothing.
    std::string text = marker(RecordState::Set, "PC02", "Administrator")
        + entry(cipher, "PC01", "Administrator", "first", 1) + marker(RecordState::Failed, "PC01", "Administrator")
        + entry(cipher, "PC02", "Administrator", "second", 2) + entry(cipher, "PC01", "Administrator", "third", 3)
        + marker(RecordState::Set, "PC01", "Administrator") + marker(RecordState::Failed, "PC01", "Administrator")
        + marker(RecordState::Set, "PC01", "Guest") + entry(cipher, "PC 03", "Admin", "fourth", 4)
        + "-----BEGIN PGP MESSAGE-----\n!someone else's\n-----END PGP MESSAGE-----\n"
        + marker(RecordState::Set, "PC 03", "Admin");
    RevealedRecord read = readPasswordRecord(text, cipher);
    ASSERT_EQ(read.entries.size(), 4u);
    const RecordState states[] = {RecordState::Failed, RecordState::Unknown, RecordState::Set, RecordState::Unknown};
    const char* passwords[] = {"first", "second", "third", "fourth"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(read.entries[i].state, states[i]) << i;
        EXPECT_EQ(read.entries[i].password.reveal(), passwords[i]);
    }
    ASSERT_EQ(read.problems.size(), 1u);
    EXPECT_EQ(read.problems[0], "line 18: an entry cannot be read: not for you");

    // An activity log's rows: the block and its marker in one cell. A marker anywhere else (a name from the network in the
    // next cell, words before it) marks nothing.
    const auto cell = [](const std::string& text) { return "<TD>" + text + "</TD>\r\n"; };
    text = "<TABLE>\r\n<TR>\r\n" + cell("PC01")
        + cell(entry(cipher, "PC01", "Administrator", "in a page", 5) + recordMarkerLine(RecordState::Set, "PC01",
                                                                                          "Administrator"))
        + "</TR>\r\n<TR>\r\n" + cell("PC02") + cell(entry(cipher, "PC02", "Administrator", "other", 6))
        + cell(recordMarkerLine(RecordState::Set, "PC02", "Administrator")) + cell("words "
        + recordMarkerLine(RecordState::Failed, "PC02", "Administrator")) + "</TR>\r\n</TABLE>\r\n";
    read = readPasswordRecord(text, cipher);
    ASSERT_EQ(read.entries.size(), 2u) << (read.problems.empty() ? "" : read.problems[0]);
    EXPECT_EQ(read.entries[0].password.reveal(), "in a page");
    EXPECT_EQ(read.entries[0].state, RecordState::Set);
    EXPECT_EQ(read.entries[1].state, RecordState::Unknown);
    EXPECT_TRUE(read.problems.empty());
}

TEST(PasswordRecord, HostileTextsEndInProblemsInLinearTime)
{
    ClearRecordCipher cipher;
    const std::string good = entry(cipher, "PC01", "Administrator", "kept", 1);
    const std::string begin = "-----BEGIN PGP MESSAGE-----\n";
    // Cut short by the next entry, an entry of no record, a non-canonical
    // spelling, a password over two lines, and one cut short at the end.
    const std::string text = begin + "RMP1 PC01 Admin 1 x\n" + good + begin + "hello\n-----END PGP MESSAGE-----\n" + begin
        + "RMP1 PC%41 Admin 1 x\n-----END PGP MESSAGE-----\n" + begin + "RMP1 PC01 Admin 01 x\n-----END PGP MESSAGE-----\n"
        + begin + "RMP1 PC01 Admin 1 x\ny\n-----END PGP MESSAGE-----\n" + begin + "RMP1 PC01 Admin 1";
    RevealedRecord read = readPasswordRecord(text, cipher);
    ASSERT_EQ(read.entries.size(), 1u);
    EXPECT_EQ(read.entries[0].password.reveal(), "kept");
    EXPECT_EQ(read.problems,
              (std::vector<std::string>{"line 1: an entry is cut short (it has no end line)",
                                        "line 6: an entry that is not a password entry",
                                        "line 9: an entry that is not a password entry",
                                        "line 12: an entry that is not a password entry",
                                        "line 15: an entry that is not a password entry",
                                        "line 19: an entry is cut short (it has no end line)"}));

    // 10 MB each: random bytes; armour lines that never end; markers with
    // no entry; one long entry. Each is read in a few seconds at most.
    std::mt19937 random(7);
    std::string noise(10 << 20, '\0');
    for (char& c : noise)
        c = static_cast<char>(random());
    std::string begins, markers;
    while (begins.size() < noise.size())
        begins += begin;
    while (markers.size() < noise.size())
        markers += "RMR1 set PC01 Administrator\n";
    const std::string huge = begin + std::string(noise.size(), 'A') + "\n-----END PGP MESSAGE-----\n";
    const std::string* const hostiles[] = {&noise, &begins, &markers, &huge};
    for (const std::string* hostile : hostiles) {
        cipher.decrypted = 0;
        const auto start = std::chrono::steady_clock::now();
        read = readPasswordRecord(*hostile + good, cipher);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
        EXPECT_LE(read.problems.size(), 20001u);
        EXPECT_LE(cipher.decrypted, 20000);
        if (hostile != &begins) {
            ASSERT_EQ(read.entries.size(), 1u);
            EXPECT_EQ(read.entries[0].password.reveal(), "kept");
        }
    }
}

} // namespace
} // namespace rm
