/* What a SAMR server answered, checked before anything of it is used: NULL
 * pointers, counts that do not match the arrays or the question, SIDs out
 * of range. Each check refuses a reply it cannot use with RM_BAD_REPLY. No
 * network here: the replies are plain NDR structures. */
#ifndef ROSTERMILL_SAMR_REPLIES_H
#define ROSTERMILL_SAMR_REPLIES_H

#include "samr_client.h"
#include "sids.h"

#include <talloc.h>
#include <gen_ndr/samr.h>

#ifdef __cplusplus
extern "C" {
#endif

/* EnumDomains: the computer's own domain, the first that is not Builtin. */
uint32_t rm_reply_account_domain(const struct samr_SamArray *domains, const char **name);
/* LookupNames for one name: its RID when it names an account of `type`,
 * else `not_found`. */
uint32_t rm_reply_one_name(const struct samr_Ids *rids, const struct samr_Ids *types, uint32_t type,
			   uint32_t not_found, uint32_t *rid);
/* A list of RIDs (GetAliasMembership). */
uint32_t rm_reply_ids(const struct samr_Ids *ids);
/* QueryUserInfo at UserAllInformation, as level 1; `now` for the age. */
uint32_t rm_reply_user_info1(const union samr_UserInfo *info, int64_t now, struct rm_user_info1 *out);
/* QueryUserInfo at level 16: the account flags. */
uint32_t rm_reply_acct_flags(const union samr_UserInfo *info, uint32_t *acb);
/* Builtin aliases of a user: administrator (544), guest (546) or user. */
uint32_t rm_reply_priv(const struct samr_Ids *aliases, uint32_t *priv);
/* The user's SID and those of its global groups (GetGroupsForUser; NULL
 * when not asked), for GetAliasMembership. */
uint32_t rm_reply_user_sids(TALLOC_CTX *mem, const struct dom_sid *domain, uint32_t user_rid,
			    const struct samr_RidWithAttributeArray *groups, struct lsa_SidArray *out);
/* LookupRids for `asked` RIDs: each name mapped, unmapped ones skipped. */
uint32_t rm_reply_names(const struct lsa_Strings *names, const struct samr_Ids *types, uint32_t asked,
			rm_emit_text emit, void *context);
/* GetMembersInAlias: every member a valid SID. */
uint32_t rm_reply_alias_members(const struct lsa_SidArray *members);
/* QueryDisplayInfo at level 2: the machine accounts, each with a name. */
uint32_t rm_reply_display_machines(const union samr_DispInfo *info, rm_emit_machine emit, void *context);

#ifdef __cplusplus
}
#endif

#endif
