// Hostile and broken SAMR replies, built in memory: each is refused with a
// status, never followed.
#include "SambaHeaders.h"

#include "helper/net_status.h"
#include "helper/samr_replies.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

dom_sid makeSid(std::vector<uint32_t> subAuths)
{
    dom_sid sid{};
    sid.sid_rev_num = 1;
    sid.id_auth[5] = 5;
    sid.num_auths = static_cast<int8_t>(subAuths.size());
    for (size_t i = 0; i < subAuths.size() && i < 15; ++i)
        sid.sub_auths[i] = subAuths[i];
    return sid;
}

lsa_String text(const char* s)
{
    return lsa_String{0, 0, s};
}

void collectText(void* context, const char* t)
{
    static_cast<std::vector<std::string>*>(context)->push_back(t);
}

void collectMachine(void* context, const rm_display_machine* m)
{
    static_cast<std::vector<rm_display_machine>*>(context)->push_back(*m);
}

TEST(SamrReplies, AccountDomainRefusesNullsAndAnswersWithoutOne)
{
    const char* name = nullptr;
    EXPECT_EQ(rm_reply_account_domain(nullptr, &name), RM_BAD_REPLY);
    samr_SamArray noEntries{2, nullptr};
    EXPECT_EQ(rm_reply_account_domain(&noEntries, &name), RM_BAD_REPLY);
    samr_SamEntry nullName[] = {{0, text("Builtin")}, {1, text(nullptr)}};
    samr_SamArray withNull{2, nullName};
    EXPECT_EQ(rm_reply_account_domain(&withNull, &name), RM_BAD_REPLY);
    samr_SamEntry onlyBuiltin[] = {{0, text("BUILTIN")}};
    samr_SamArray builtin{1, onlyBuiltin};
    EXPECT_EQ(rm_reply_account_domain(&builtin, &name), RM_BAD_REPLY);
    samr_SamEntry good[] = {{0, text("Builtin")}, {1, text("PC01")}, {2, text("OTHER")}};
    samr_SamArray list{3, good};
    ASSERT_EQ(rm_reply_account_domain(&list, &name), RM_OK);
    EXPECT_STREQ(name, "PC01");
}

TEST(SamrReplies, OneNameChecksBothCountsAndArrays)
{
    uint32_t rid = 0;
    uint32_t ids[] = {1001, 1002}, userType[] = {SID_NAME_USER, SID_NAME_USER}, aliasType[] = {SID_NAME_ALIAS};
    samr_Ids one{1, ids}, two{2, ids}, none{1, nullptr}, user{1, userType}, users{2, userType}, alias{1, aliasType};
    EXPECT_EQ(rm_reply_one_name(&two, &users, SID_NAME_USER, RM_USER_NOT_FOUND, &rid), RM_BAD_REPLY);
    EXPECT_EQ(rm_reply_one_name(&one, &users, SID_NAME_USER, RM_USER_NOT_FOUND, &rid), RM_BAD_REPLY);
    EXPECT_EQ(rm_reply_one_name(&none, &user, SID_NAME_USER, RM_USER_NOT_FOUND, &rid), RM_BAD_REPLY);
    EXPECT_EQ(rm_reply_one_name(&one, &none, SID_NAME_USER, RM_USER_NOT_FOUND, &rid), RM_BAD_REPLY);
    EXPECT_EQ(rm_reply_one_name(&one, &alias, SID_NAME_USER, RM_USER_NOT_FOUND, &rid), RM_USER_NOT_FOUND);
    EXPECT_EQ(rid, 0u);
    ASSERT_EQ(rm_reply_one_name(&one, &user, SID_NAME_USER, RM_USER_NOT_FOUND, &rid), RM_OK);
    EXPECT_EQ(rid, 1001u);
}

TEST(SamrReplies, UserInformationNeedsItsRecordAndName)
{
    rm_user_info1 out{};
    EXPECT_EQ(rm_reply_user_info1(nullptr, 0, &out), RM_BAD_REPLY);
    samr_UserInfo info{};
    EXPECT_EQ(rm_reply_user_info1(&info, 0, &out), RM_BAD_REPLY);
    const int64_t now = 1700000000;
    info.info21.account_name = text("rmtest");
    info.info21.acct_flags = ACB_NORMAL | ACB_DISABLED;
    unix_to_nt_time(&info.info21.last_password_change, now - 100);
    ASSERT_EQ(rm_reply_user_info1(&info, now, &out), RM_OK);
    EXPECT_STREQ(out.name, "rmtest");
    EXPECT_STREQ(out.home_dir, ""); // missing texts are empty
    EXPECT_STREQ(out.comment, "");
    EXPECT_EQ(out.password_age, 100u);
    EXPECT_EQ(out.flags, 0x1u | 0x2u | 0x200u);
    // A change in the future or never: no age.
    unix_to_nt_time(&info.info21.last_password_change, now + 100);
    ASSERT_EQ(rm_reply_user_info1(&info, now, &out), RM_OK);
    EXPECT_EQ(out.password_age, 0u);
    info.info21.last_password_change = 0;
    ASSERT_EQ(rm_reply_user_info1(&info, now, &out), RM_OK);
    EXPECT_EQ(out.password_age, 0u);
    uint32_t acb = 0;
    EXPECT_EQ(rm_reply_acct_flags(nullptr, &acb), RM_BAD_REPLY);
}

TEST(SamrReplies, PrivilegeFromBuiltinAliases)
{
    uint32_t priv = 9;
    samr_Ids missing{3, nullptr};
    EXPECT_EQ(rm_reply_priv(&missing, &priv), RM_BAD_REPLY);
    uint32_t guestThenAdmin[] = {546, 544}, guest[] = {546}, other[] = {545};
    samr_Ids a{2, guestThenAdmin}, g{1, guest}, u{1, other}, empty{0, nullptr};
    ASSERT_EQ(rm_reply_priv(&a, &priv), RM_OK);
    EXPECT_EQ(priv, 2u);
    ASSERT_EQ(rm_reply_priv(&g, &priv), RM_OK);
    EXPECT_EQ(priv, 0u);
    ASSERT_EQ(rm_reply_priv(&u, &priv), RM_OK);
    EXPECT_EQ(priv, 1u);
    ASSERT_EQ(rm_reply_priv(&empty, &priv), RM_OK);
    EXPECT_EQ(priv, 1u);
}

TEST(SamrReplies, UserSidsNeverWritePastFifteenSubAuthorities)
{
    TALLOC_CTX* mem = talloc_new(nullptr);
    lsa_SidArray sids{};
    // A domain SID that is already full has no room for a RID.
    dom_sid full = makeSid(std::vector<uint32_t>(15, 7));
    EXPECT_EQ(rm_reply_user_sids(mem, &full, 1000, nullptr, &sids), RM_BAD_REPLY);
    dom_sid oversize = makeSid({21, 1, 2, 3});
    oversize.num_auths = 16;
    EXPECT_EQ(rm_reply_user_sids(mem, &oversize, 1000, nullptr, &sids), RM_BAD_REPLY);
    oversize.num_auths = -1;
    EXPECT_EQ(rm_reply_user_sids(mem, &oversize, 1000, nullptr, &sids), RM_BAD_REPLY);

    dom_sid domain = makeSid(std::vector<uint32_t>(14, 7));
    samr_RidWithAttributeArray noRids{2, nullptr};
    EXPECT_EQ(rm_reply_user_sids(mem, &domain, 1000, &noRids, &sids), RM_BAD_REPLY);
    samr_RidWithAttribute rids[] = {{513, 7}, {1200, 7}};
    samr_RidWithAttributeArray tooMany{20480, rids};
    EXPECT_EQ(rm_reply_user_sids(mem, &domain, 1000, &tooMany, &sids), RM_BAD_REPLY);
    samr_RidWithAttributeArray groups{2, rids};
    ASSERT_EQ(rm_reply_user_sids(mem, &domain, 1000, &groups, &sids), RM_OK);
    ASSERT_EQ(sids.num_sids, 3u);
    EXPECT_EQ(sids.sids[0].sid->num_auths, 15);
    EXPECT_EQ(sids.sids[0].sid->sub_auths[14], 1000u);
    EXPECT_EQ(sids.sids[2].sid->sub_auths[14], 1200u);
    talloc_free(mem);
}

TEST(SamrReplies, NamesMustAnswerWhatWasAsked)
{
    std::vector<std::string> names;
    lsa_String strings[] = {text("Administrators"), text(nullptr), text("Users")};
    uint32_t types[] = {SID_NAME_ALIAS, SID_NAME_UNKNOWN, SID_NAME_ALIAS};
    lsa_Strings three{3, strings}, two{2, strings}, none{3, nullptr};
    samr_Ids t3{3, types}, t2{2, types}, tNone{3, nullptr};
    EXPECT_EQ(rm_reply_names(&two, &t3, 3, collectText, &names), RM_BAD_REPLY);
    EXPECT_EQ(rm_reply_names(&three, &t2, 3, collectText, &names), RM_BAD_REPLY);
    EXPECT_EQ(rm_reply_names(&none, &t3, 3, collectText, &names), RM_BAD_REPLY);
    EXPECT_EQ(rm_reply_names(&three, &tNone, 3, collectText, &names), RM_BAD_REPLY);
    EXPECT_EQ(rm_reply_names(&three, &t3, 2, collectText, &names), RM_BAD_REPLY);
    EXPECT_TRUE(names.empty());
    // A name the server could not map is left out.
    ASSERT_EQ(rm_reply_names(&three, &t3, 3, collectText, &names), RM_OK);
    EXPECT_EQ(names, (std::vector<std::string>{"Administrators", "Users"}));
}

TEST(SamrReplies, AliasMembersAreEachAValidSid)
{
    lsa_SidArray noArray{2, nullptr};
    EXPECT_EQ(rm_reply_alias_members(&noArray), RM_BAD_REPLY);
    dom_sid2 good = makeSid({21, 1, 2, 3, 500});
    dom_sid2 oversize = makeSid({21});
    oversize.num_auths = 16;
    lsa_SidPtr withNull[] = {{&good}, {nullptr}};
    lsa_SidArray nullMember{2, withNull};
    EXPECT_EQ(rm_reply_alias_members(&nullMember), RM_BAD_REPLY);
    lsa_SidPtr withOversize[] = {{&good}, {&oversize}};
    lsa_SidArray oversizeMember{2, withOversize};
    EXPECT_EQ(rm_reply_alias_members(&oversizeMember), RM_BAD_REPLY);
    lsa_SidPtr fine[] = {{&good}};
    lsa_SidArray members{1, fine};
    EXPECT_EQ(rm_reply_alias_members(&members), RM_OK);
    lsa_SidArray empty{0, nullptr};
    EXPECT_EQ(rm_reply_alias_members(&empty), RM_OK);
}

TEST(SamrReplies, DisplayPagesAreCheckedWholeBeforeAnyEntryIsUsed)
{
    std::vector<rm_display_machine> got;
    samr_DispInfo info{};
    info.info2 = samr_DispInfoFull{5, nullptr};
    EXPECT_EQ(rm_reply_display_machines(&info, collectMachine, &got), RM_BAD_REPLY);
    samr_DispEntryFull entries[] = {{1, 1001, ACB_WSTRUST, text("PC01$"), text("first")},
                                    {2, 1002, ACB_WSTRUST, text(nullptr), text(nullptr)}};
    info.info2 = samr_DispInfoFull{2, entries};
    EXPECT_EQ(rm_reply_display_machines(&info, collectMachine, &got), RM_BAD_REPLY);
    EXPECT_TRUE(got.empty());
    entries[1].account_name = text("PC02$");
    ASSERT_EQ(rm_reply_display_machines(&info, collectMachine, &got), RM_OK);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_STREQ(got[0].name, "PC01$");
    EXPECT_STREQ(got[0].comment, "first");
    EXPECT_STREQ(got[1].comment, "");
    EXPECT_EQ(got[1].next_index, 2u);
    EXPECT_EQ(got[1].user_id, 1002u);
    EXPECT_EQ(got[1].flags, 0x1u | 0x1000u);
    // "More data" with nothing in it is a page like any other.
    info.info2 = samr_DispInfoFull{0, nullptr};
    EXPECT_EQ(rm_reply_display_machines(&info, collectMachine, &got), RM_OK);
}

TEST(Sids, TextMembershipAndLimits)
{
    char out[256];
    dom_sid sid = makeSid({21, 10, 20, 30, 1000});
    rm_sid_text(&sid, out, sizeof out);
    EXPECT_STREQ(out, "S-1-5-21-10-20-30-1000");
    dom_sid domain = makeSid({21, 10, 20, 30});
    uint32_t rid = 0;
    ASSERT_TRUE(rm_sid_in_domain(&sid, &domain, &rid));
    EXPECT_EQ(rid, 1000u);
    dom_sid other = makeSid({21, 10, 20, 31});
    EXPECT_FALSE(rm_sid_in_domain(&sid, &other, &rid));
    sid.num_auths = 16;
    rm_sid_text(&sid, out, sizeof out);
    EXPECT_STREQ(out, "");
    EXPECT_FALSE(rm_sid_in_domain(&sid, &domain, &rid));
    dom_sid full = makeSid(std::vector<uint32_t>(15, 1));
    dom_sid composed{};
    EXPECT_FALSE(rm_sid_compose(&full, 5, &composed));
    EXPECT_TRUE(rm_sid_valid(&full));
    EXPECT_FALSE(rm_sid_valid(nullptr));
}

} // namespace
