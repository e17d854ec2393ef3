// Both ends of the helper's channel without a helper: the requests as the
// helper reads them, and its answers as the program reads them.
#include "adapters/netapi/HelperAnswers.h"
#include "helper/HelperProtocol.h"
#include "helper/HelperRequest.h"

#include <gtest/gtest.h>

namespace rm {
namespace {

WireWriter request(HelperOp op)
{
    WireWriter w;
    w.number(static_cast<std::uint32_t>(op));
    return w;
}

TEST(HelperRequests, EachOperationReadsItsTextsThenItsNumbers)
{
    auto r = decodeRequest(request(HelperOp::SetCredentials).text("rmtest").text("LAB").text("pw").number(30).number(1).bytes());
    ASSERT_TRUE(r);
    EXPECT_EQ(r->op, HelperOp::SetCredentials);
    EXPECT_EQ(r->texts, (std::vector<std::string>{"rmtest", "LAB", "pw"}));
    EXPECT_EQ(r->numbers, (std::vector<std::uint32_t>{30, 1}));

    r = decodeRequest(request(HelperOp::QueryDisplayMachines).text("\\\\DC1").number(7).number(100).bytes());
    ASSERT_TRUE(r);
    EXPECT_EQ(r->texts, std::vector<std::string>{"\\\\DC1"});
    EXPECT_EQ(r->numbers, (std::vector<std::uint32_t>{7, 100}));

    r = decodeRequest(request(HelperOp::UserGetInfoByRid).text("\\\\PC01").number(500).bytes());
    ASSERT_TRUE(r);
    EXPECT_EQ(r->texts, std::vector<std::string>{"\\\\PC01"});
    EXPECT_EQ(r->numbers, std::vector<std::uint32_t>{500});

    // What follows the arguments is not read.
    r = decodeRequest(request(HelperOp::UserGetInfo).text("\\\\PC01").text("Administrator").text("extra").bytes());
    ASSERT_TRUE(r);
    EXPECT_EQ(r->texts, (std::vector<std::string>{"\\\\PC01", "Administrator"}));
    EXPECT_TRUE(r->numbers.empty());
}

TEST(HelperRequests, UnknownOperationsAndShortFramesAreRefused)
{
    EXPECT_FALSE(decodeRequest(""));
    EXPECT_FALSE(decodeRequest(std::string("\x02\x00\x00", 3)));
    EXPECT_FALSE(decodeRequest(request(HelperOp{0}).bytes()));
    EXPECT_FALSE(decodeRequest(request(HelperOp{12}).text("x").bytes()));
    const std::string whole = request(HelperOp::UserSetFlags).text("\\\\PC01").text("a").number(2).bytes();
    for (std::size_t n = 0; n < whole.size(); ++n)
        EXPECT_FALSE(decodeRequest(whole.substr(0, n))) << n;
    EXPECT_TRUE(decodeRequest(whole));
    // A text's length past the frame's end.
    EXPECT_FALSE(decodeRequest(request(HelperOp::GetDcName).number(0xFFFFFFFF).text("LAB").number(0).bytes()));
}

TEST(HelperRequests, WipingClearsEveryText)
{
    auto r = decodeRequest(request(HelperOp::UserSetPassword).text("\\\\PC01").text("a").text("N3w-Secret").bytes());
    ASSERT_TRUE(r);
    r->wipe();
    for (const std::string& t : r->texts)
        EXPECT_TRUE(t.empty());
}

std::string userAnswer(std::uint32_t status, std::uint32_t flags)
{
    WireWriter w;
    w.number(status).text("Administrator").number(3600).number(2).text("").text("built-in").number(flags).text("")
        .number(500);
    return w.bytes();
}

TEST(HelperAnswers, AUserRecordIsTakenOnlyWithSuccess)
{
    UserAnswer r;
    ASSERT_EQ(readUserAnswer(userAnswer(0, 0x0202), r), NetStatus::Success);
    EXPECT_EQ(r.account.name, "Administrator");
    EXPECT_EQ(r.account.passwordAgeSeconds, 3600u);
    EXPECT_EQ(r.account.rid, 500u);
    EXPECT_EQ(r.flags, 0x0202u);
    EXPECT_FALSE(r.account.enabled);

    UserAnswer kept;
    kept.account.name = "kept";
    EXPECT_EQ(readUserAnswer(userAnswer(2221, 0), kept), NetStatus::UserNotFound);
    EXPECT_EQ(kept.account.name, "kept");
    const std::string whole = userAnswer(0, 0);
    for (std::size_t n = 0; n < whole.size(); ++n)
        EXPECT_EQ(readUserAnswer(whole.substr(0, n), kept), NetStatus::CallFailed) << n;
    EXPECT_EQ(kept.account.name, "kept");
}

TEST(HelperAnswers, AListThatDoesNotReadIsEmpty)
{
    WireWriter w;
    w.number(0).number(2).text("Administrators").text("Users");
    std::vector<std::string> texts{"left over"};
    ASSERT_EQ(readTextsAnswer(w.bytes(), texts), NetStatus::Success);
    EXPECT_EQ(texts, (std::vector<std::string>{"Administrators", "Users"}));
    EXPECT_EQ(readTextsAnswer(w.bytes().substr(0, w.bytes().size() - 1), texts), NetStatus::CallFailed);
    EXPECT_TRUE(texts.empty());

    // A count far past the answer's bytes.
    WireWriter huge;
    huge.number(0).number(0xFFFFFFFF).text("only");
    texts = {"left over"};
    EXPECT_EQ(readTextsAnswer(huge.bytes(), texts), NetStatus::CallFailed);
    EXPECT_TRUE(texts.empty());
}

TEST(HelperAnswers, APageOfMachinesKeepsItsStatusAndEntries)
{
    WireWriter w;
    w.number(234).number(1).text("PC01$").text("").number(0x1000).number(1105).number(1);
    std::vector<MachineAccount> accounts;
    ASSERT_EQ(readMachinesAnswer(w.bytes(), accounts), NetStatus::MoreData);
    ASSERT_EQ(accounts.size(), 1u);
    EXPECT_EQ(accounts[0].name, "PC01$");
    EXPECT_EQ(accounts[0].nextIndex, 1u);
}

TEST(HelperAnswers, BrowseEntriesAndTheController)
{
    WireWriter w;
    w.number(0).number(1).number(500).text("DC1").number(10).number(0).number(0x80102b).text("controller");
    std::vector<BrowseEntry> entries;
    ASSERT_EQ(readBrowseAnswer(w.bytes(), entries), NetStatus::Success);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].name, "DC1");
    EXPECT_EQ(entries[0].versionMajor, 10u);
    EXPECT_EQ(entries[0].type, 0x80102bu);

    WireWriter dc;
    dc.number(0).text("\\\\DC1.lab.example").text("\\\\10.0.0.2").text("LAB").text("lab.example").number(0);
    DomainController c;
    ASSERT_EQ(readControllerAnswer(dc.bytes(), c), NetStatus::Success);
    EXPECT_EQ(c.name, "DC1.lab.example");
    EXPECT_EQ(c.domain, "LAB");
    EXPECT_EQ(readControllerAnswer(dc.bytes().substr(0, dc.bytes().size() - 4), c), NetStatus::CallFailed);
    EXPECT_EQ(readStatusAnswer(std::string("\x35\x00\x00", 3)), NetStatus::CallFailed);
    EXPECT_EQ(readStatusAnswer(std::string("\x35\x00\x00\x00", 4)), NetStatus::BadNetPath);
}

} // namespace
} // namespace rm
