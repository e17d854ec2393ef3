// The master browser's answer, built byte by byte as a browser sends it.
#include "helper/net_status.h"
#include "helper/rap_server_list.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

void put16(Bytes& b, uint16_t v)
{
    b.push_back(v & 0xFF);
    b.push_back(v >> 8);
}

void put32(Bytes& b, uint32_t v)
{
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}

struct Entry {
    std::string name; // OEM bytes
    uint8_t major, minor;
    uint32_t type;
    std::string comment;
};

// A level-1 answer: fixed records, then the comments, their offsets counted
// from `converter`.
void answer(const std::vector<Entry>& entries, uint16_t status, uint16_t available, uint16_t converter,
            Bytes& param, Bytes& data)
{
    param.clear();
    data.clear();
    put16(param, status);
    put16(param, converter);
    put16(param, static_cast<uint16_t>(entries.size()));
    put16(param, available);
    size_t strings = entries.size() * 26;
    std::string tail;
    for (const Entry& e : entries) {
        uint8_t name[16] = {};
        std::memcpy(name, e.name.data(), std::min<size_t>(e.name.size(), 16));
        data.insert(data.end(), name, name + 16);
        data.push_back(e.major);
        data.push_back(e.minor);
        put32(data, e.type);
        put32(data, static_cast<uint32_t>(strings + tail.size() + converter));
        tail += e.comment + '\0';
    }
    data.insert(data.end(), tail.begin(), tail.end());
}

void collect(void* context, const rm_server_info101* s)
{
    static_cast<std::vector<rm_server_info101>*>(context)->push_back(*s);
}

TEST(RapServerList, RequestsAtLevelOneAndGoesOnAfterTheLastName)
{
    uint8_t buf[128];
    size_t n = rm_rap_server_request(buf, sizeof buf, "lab", 0xFFFFFFFF, nullptr);
    const uint8_t enum2[] = {104, 0, 'W', 'r', 'L', 'e', 'h', 'D', 'z', 0, 'B', '1', '6', 'B', 'B', 'D', 'z', 0,
                             1, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 'L', 'A', 'B', 0};
    ASSERT_EQ(n, sizeof enum2);
    EXPECT_EQ(std::memcmp(buf, enum2, n), 0);
    n = rm_rap_server_request(buf, sizeof buf, "LAB", 0x8000, "PC02");
    const uint8_t enum3[] = {215, 0, 'W', 'r', 'L', 'e', 'h', 'D', 'z', 'z', 0, 'B', '1', '6', 'B', 'B', 'D', 'z', 0,
                             1, 0, 0xFF, 0xFF, 0x00, 0x80, 0, 0, 'L', 'A', 'B', 0, 'P', 'C', '0', '2', 0};
    ASSERT_EQ(n, sizeof enum3);
    EXPECT_EQ(std::memcmp(buf, enum3, n), 0);
    EXPECT_EQ(rm_rap_server_request(buf, 20, "LAB", 1, nullptr), 0u);
}

TEST(RapServerList, EachEntryKeepsItsTypeVersionAndComment)
{
    Bytes param, data;
    answer({{"PC01", 10, 0, 0x40009a03u, "first"},
            {"W95\x8e", 4, 10, 0x00400003, ""},
            {"OLD", 5, 1, 0x00001003, "xp"}},
           0, 3, 0x1234, param, data);
    std::vector<rm_server_info101> got;
    rm_rap_page page;
    ASSERT_EQ(rm_rap_server_answer(param.data(), param.size(), data.data(), data.size(), nullptr, &page, collect, &got),
              uint32_t(RM_OK));
    EXPECT_EQ(page.status, 0);
    EXPECT_EQ(page.count, 3u);
    ASSERT_EQ(got.size(), 3u);
    EXPECT_STREQ(got[0].name, "PC01");
    EXPECT_EQ(got[0].version_major, 10u);
    EXPECT_EQ(got[0].version_minor, 0u);
    EXPECT_EQ(got[0].type, 0x00009a03u); // the list-keeping bit is not the server's
    EXPECT_EQ(got[0].platform_id, 500u);
    EXPECT_STREQ(got[0].comment, "first");
    EXPECT_STREQ(got[1].name, "W95\xc3\x84"); // the OEM code page's Ä
    EXPECT_EQ(got[1].version_minor, 10u);
    EXPECT_EQ(got[1].platform_id, 400u);
    EXPECT_STREQ(got[1].comment, "");
    EXPECT_STREQ(got[2].comment, "xp");
}

TEST(RapServerList, AFailureCarriesNoEntries)
{
    Bytes param, data;
    answer({{"PC01", 6, 1, 3, "x"}}, 2184, 1, 0, param, data);
    std::vector<rm_server_info101> got;
    rm_rap_page page;
    ASSERT_EQ(rm_rap_server_answer(param.data(), param.size(), data.data(), data.size(), nullptr, &page, collect, &got),
              uint32_t(RM_OK));
    EXPECT_EQ(page.status, 2184);
    EXPECT_TRUE(got.empty());
}

TEST(RapServerList, CountsAndOffsetsThatDoNotFitAreRefused)
{
    Bytes param, data;
    std::vector<rm_server_info101> got;
    rm_rap_page page;
    answer({{"PC01", 6, 1, 3, "x"}, {"PC02", 6, 1, 3, "y"}}, 0, 2, 0, param, data);
    EXPECT_EQ(rm_rap_server_answer(param.data(), 6, data.data(), data.size(), nullptr, &page, collect, &got),
              uint32_t(RM_BAD_REPLY));
    param[4] = 3; // three entries said, two sent
    EXPECT_EQ(rm_rap_server_answer(param.data(), param.size(), data.data(), 52, nullptr, &page, collect, &got),
              uint32_t(RM_BAD_REPLY));
    EXPECT_TRUE(got.empty());
    // A comment pointing outside the answer leaves the entry without one.
    answer({{"PC01", 6, 1, 3, "x"}}, 0, 1, 0, param, data);
    data[22] = 0xF0;
    data[23] = 0xFF;
    ASSERT_EQ(rm_rap_server_answer(param.data(), param.size(), data.data(), data.size(), nullptr, &page, collect, &got),
              uint32_t(RM_OK));
    ASSERT_EQ(got.size(), 1u);
    EXPECT_STREQ(got[0].comment, "");
    // A name that fills all sixteen bytes is cut there.
    answer({{"ABCDEFGHIJKLMNOPQRST", 6, 1, 3, ""}}, 0, 1, 0, param, data);
    got.clear();
    ASSERT_EQ(rm_rap_server_answer(param.data(), param.size(), data.data(), data.size(), nullptr, &page, collect, &got),
              uint32_t(RM_OK));
    EXPECT_STREQ(got[0].name, "ABCDEFGHIJKLMNOP");
}

TEST(RapServerList, AContinuationRepeatsThePreviousLastEntry)
{
    Bytes param, data;
    answer({{"PC02", 6, 1, 3, ""}, {"PC03", 6, 1, 3, ""}}, 234, 5, 0, param, data);
    std::vector<rm_server_info101> got;
    rm_rap_page page;
    ASSERT_EQ(rm_rap_server_answer(param.data(), param.size(), data.data(), data.size(), "PC02", &page, collect, &got),
              uint32_t(RM_OK));
    EXPECT_EQ(page.status, 234);
    EXPECT_EQ(page.available, 5);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_STREQ(got[0].name, "PC03");
}

} // namespace
