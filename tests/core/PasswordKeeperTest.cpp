#include "core/batch/Batch.h"
#include "core/passwords/PasswordRecord.h"
#include "core/report/BatchRecord.h"
#include "support/FakeNetwork.h"
#include "adapters/linux/GetrandomSource.h"
#include "support/ClearRecordCipher.h"
#include "support/ReportDoubles.h"

#include <gtest/gtest.h>

#include <set>

namespace rm {
namespace {

constexpr std::time_t Confirmed = 1765000000;

// Wraps the entry in hex, so that a page's escaping leaves it as it is.
class HexCipher : public ClearRecordCipher {
public:
    std::optional<std::string> encrypt(const std::vector<std::string>& keys, const Secret& plaintext,
                                       std::string& error) override
    {
        static const char digits[] = "0123456789ABCDEF";
        std::string hex;
        for (unsigned char c : plaintext.reveal())
            hex += {digits[c >> 4], digits[c & 15]};
        return ClearRecordCipher::encrypt(keys, Secret(std::move(hex)), error);
    }
    std::optional<Secret> decrypt(const std::string& armoured, std::string& error) override
    {
        std::optional<Secret> hex = ClearRecordCipher::decrypt(armoured, error);
        if (!hex)
            return hex;
        std::string text;
        for (std::size_t i = 0; i + 1 < hex->reveal().size(); i += 2)
            text += static_cast<char>(std::stoi(hex->reveal().substr(i, 2), nullptr, 16));
        return Secret(std::move(text));
    }
};

// A generated-password batch over doubles of the network, the files and the
// cipher, with the record's texts read back the way `reveal` reads them.
class PasswordKeeperTest : public ::testing::Test {
protected:
    FakeNetwork network;
    MemoryJournalFiles journals;
    HexCipher cipher;
    GetrandomSource random;
    Progress<BatchCounts> progress;
    CancelToken cancel;

    BatchRequest request(bool toFile, bool toLog)
    {
        BatchRequest r;
        for (const char* pc : {"PC1", "PC2", "PC3"}) {
            network.computers[std::string("\\\\") + pc].accounts["Administrator"];
            r.targets.push_back({pc, "Administrator", true, {"Administrators"}});
        }
        r.changePassword = true;
        GeneratedPasswords g;
        g.options.saveToFile = toFile;
        g.options.saveToLog = toLog;
        g.options.recipients = "ops@example.org";
        r.generated = std::move(g);
        return r;
    }
    BatchPlan planned(BatchRequest r)
    {
        auto p = plan(std::move(r), &cipher);
        if (auto* refused = std::get_if<Refusal>(&p))
            ADD_FAILURE() << refused->message.text;
        return std::get<BatchPlan>(std::move(p));
    }
    std::string text(const std::string& path) { return journals.files.count(path) ? journals.files[path] : ""; }
    std::vector<RecordEntry> entries(const std::string& text)
    {
        RevealedRecord r = readPasswordRecord(text, cipher);
        EXPECT_TRUE(r.problems.empty()) << (r.problems.empty() ? "" : r.problems[0]) << "\n" << text;
        return std::move(r.entries);
    }
};

TEST_F(PasswordKeeperTest, EachPasswordIsInBothRecordsBeforeItIsSetAndEachSetSaysHowItEnded)
{
    network.changeStatus["\\\\PC2"] = NetStatus::AccessDenied;
    const BatchPlan batch = planned(request(true, true));
    EXPECT_NE(confirmationText(batch.request()).find("a unique generated password for each of 3 accounts"),
              std::string::npos);
    StartedJournal journal = startJournal(journals, "/logs", batch.request(), Confirmed);
    ASSERT_TRUE(journal.journal);
    StartedKeeper keeper = startPasswordKeeper(batch, journals, journal, random, cipher);
    ASSERT_TRUE(keeper.keeper) << keeper.failure;
    const std::string record = keeper.keeper->recordPath();
    EXPECT_EQ(record, journal.path.substr(0, journal.path.size() - 13) + " passwords.asc");

    // At the moment of each set, the separate record and the journal
    // already hold that very password for that account.
    int checked = 0;
    network.onChange = [&](const std::string& server) {
        for (const std::string& path : {record, journal.path}) {
            const std::vector<RecordEntry> held = entries(path == record ? text(path) : [&] {
                std::string blocks;
                const auto read = readJournal(text(path));
                for (const AccountOutcome& a : std::get<JournalContents>(read).batch.accounts)
                    blocks += a.sealedPassword + "\n";
                return blocks;
            }());
            ASSERT_FALSE(held.empty()) << path;
            EXPECT_EQ("\\\\" + held.back().computer, server) << path;
            EXPECT_EQ(held.back().state, RecordState::Unknown);
        }
        ++checked;
    };
    const BatchOutcome out = apply(batch, Confirmed, network, progress, cancel, journal.journal.get(),
                                   keeper.keeper.get());
    EXPECT_EQ(checked, 3);
    EXPECT_EQ(out.counts.password, (BatchCounts::Count{2, 1, 3}));

    // The record and the log made from the journal both give each password
    // back with how its set ended; every password differs and is the one set.
    const std::string log = finishedLog(journal.journal.get(), out, Confirmed + 5, record).fileContents();
    EXPECT_NE(log.find("kept, each encrypted to its recipients, in " + record), std::string::npos);
    for (const std::string& kept : {text(record), log}) {
        const std::vector<RecordEntry> found = entries(kept);
        ASSERT_EQ(found.size(), 3u);
        std::set<std::string> distinct;
        for (const RecordEntry& e : found) {
            distinct.insert(e.password.reveal());
            EXPECT_EQ(e.account, "Administrator");
            EXPECT_EQ(e.time, Confirmed);
            EXPECT_EQ(e.password.reveal().size(), 20u); // the default 128 bits
            if (e.computer == "PC2") {
                EXPECT_EQ(e.state, RecordState::Failed);
            } else {
                EXPECT_EQ(network.passwords.at("\\\\" + e.computer + " Administrator"), e.password.reveal());
                EXPECT_EQ(e.state, RecordState::Set);
            }
        }
        EXPECT_EQ(distinct.size(), 3u);
    }
}

TEST_F(PasswordKeeperTest, NothingIsSetThatCouldNotBeKeptOrWhereNobodyCouldReadIt)
{
    // No record chosen, or a recipient without a key: refused before anything.
    auto noRecord = plan(request(false, false), &cipher);
    ASSERT_TRUE(std::holds_alternative<Refusal>(noRecord));
    EXPECT_EQ(std::get<Refusal>(noRecord).message.text.rfind("The generated passwords would be lost: ", 0), 0u);
    BatchRequest unknown = request(false, true);
    cipher.keyless = {"nobody@example.org"};
    unknown.generated->options.recipients = "ops@example.org, nobody@example.org";
    auto refused = plan(std::move(unknown), &cipher);
    ASSERT_TRUE(std::holds_alternative<Refusal>(refused));
    EXPECT_NE(std::get<Refusal>(refused).message.text.find("nobody@example.org"), std::string::npos);
    BatchRequest weak = request(false, true);
    weak.generated->length = 8;
    EXPECT_TRUE(std::holds_alternative<Refusal>(plan(std::move(weak), &cipher)));

    // A record that stops taking lines stops the batch before the account.
    const BatchPlan batch = planned(request(true, false));
    StartedJournal journal = startJournal(journals, "/logs", batch.request(), Confirmed);
    StartedKeeper keeper = startPasswordKeeper(batch, journals, journal, random, cipher);
    ASSERT_TRUE(keeper.keeper);
    journals.appendFailure = FileFailure::DiskFull;
    const BatchOutcome out = apply(batch, Confirmed, network, progress, cancel, journal.journal.get(),
                                   keeper.keeper.get());
    EXPECT_TRUE(out.cancelled);
    EXPECT_TRUE(network.changes.empty());
    EXPECT_NE(keeper.keeper->failure().find("could not be written"), std::string::npos);
}

TEST_F(PasswordKeeperTest, AKilledBatchsRecoveredLogKeepsThePasswordItWasSetting)
{
    const BatchPlan batch = planned(request(false, true));
    StartedJournal journal = startJournal(journals, "/logs", batch.request(), Confirmed);
    StartedKeeper keeper = startPasswordKeeper(batch, journals, journal, random, cipher);
    // The process dies inside the second set: the journal is all that is left.
    std::string left;
    network.onChange = [&](const std::string& server) {
        if (server == "\\\\PC2")
            left = text(journal.path);
    };
    apply(batch, Confirmed, network, progress, cancel, journal.journal.get(), keeper.keeper.get());
    const std::string path = journal.path;
    keeper.keeper.reset();
    journal.journal.reset();
    journals.files[path] = left;

    RecordingFileWriter files;
    const std::vector<FoundJournal> found = recoverJournals(journals, files, "/logs", Confirmed + 60);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_TRUE(found[0].interrupted);
    ASSERT_EQ(files.paths, std::vector<std::string>{found[0].log});
    const std::vector<RecordEntry> kept = entries(files.contents[0]);
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept[0].computer, "PC1");
    EXPECT_EQ(kept[0].state, RecordState::Set);
    EXPECT_EQ(network.passwords.at("\\\\PC1 Administrator"), kept[0].password.reveal());
    EXPECT_EQ(kept[1].computer, "PC2");
    EXPECT_EQ(kept[1].state, RecordState::Unknown);
    EXPECT_EQ(network.passwords.at("\\\\PC2 Administrator"), kept[1].password.reveal());
}

} // namespace
} // namespace rm
