#include "samr_replies.h"

#include "account_flags.h"
#include "net_status.h"

#include <stdio.h>
#include <strings.h>

/* lsa_SidArray's and LookupRids' limits. */
enum { MAX_SIDS = 20480, MAX_RIDS = 1000 };

static void copy_text(char *dest, size_t size, const char *src)
{
	snprintf(dest, size, "%s", src ? src : "");
}

uint32_t rm_reply_account_domain(const struct samr_SamArray *domains, const char **name)
{
	if (!domains || (domains->count > 0 && !domains->entries))
		return RM_BAD_REPLY;
	*name = NULL;
	for (uint32_t i = 0; i < domains->count; i++) {
		const char *entry = domains->entries[i].name.string;
		if (!entry)
			return RM_BAD_REPLY;
		if (!*name && strcasecmp(entry, "Builtin") != 0)
			*name = entry;
	}
	return *name ? RM_OK : RM_BAD_REPLY;
}

uint32_t rm_reply_ids(const struct samr_Ids *ids)
{
	return ids->count > 0 && !ids->ids ? RM_BAD_REPLY : RM_OK;
}

uint32_t rm_reply_one_name(const struct samr_Ids *rids, const struct samr_Ids *types, uint32_t type,
			   uint32_t not_found, uint32_t *rid)
{
	if (rids->count != 1 || types->count != 1 || rm_reply_ids(rids) != RM_OK || rm_reply_ids(types) != RM_OK)
		return RM_BAD_REPLY;
	if (types->ids[0] != type)
		return not_found;
	*rid = rids->ids[0];
	return RM_OK;
}

uint32_t rm_reply_user_info1(const union samr_UserInfo *info, int64_t now, struct rm_user_info1 *out)
{
	if (!info || !info->info21.account_name.string)
		return RM_BAD_REPLY;
	const struct samr_UserInfo21 *u = &info->info21;
	copy_text(out->name, sizeof out->name, u->account_name.string);
	copy_text(out->home_dir, sizeof out->home_dir, u->home_directory.string);
	copy_text(out->comment, sizeof out->comment, u->description.string);
	copy_text(out->script_path, sizeof out->script_path, u->logon_script.string);
	out->flags = rm_uf_from_acb(u->acct_flags);
	int64_t set = (int64_t)nt_time_to_unix(u->last_password_change);
	out->password_age = u->last_password_change == 0 || set > now || now - set > UINT32_MAX ? 0 : (uint32_t)(now - set);
	return RM_OK;
}

uint32_t rm_reply_acct_flags(const union samr_UserInfo *info, uint32_t *acb)
{
	if (!info)
		return RM_BAD_REPLY;
	*acb = info->info16.acct_flags;
	return RM_OK;
}

uint32_t rm_reply_priv(const struct samr_Ids *aliases, uint32_t *priv)
{
	if (rm_reply_ids(aliases) != RM_OK)
		return RM_BAD_REPLY;
	bool guest = false;
	for (uint32_t i = 0; i < aliases->count; i++) {
		if (aliases->ids[i] == 544) {
			*priv = 2;
			return RM_OK;
		}
		guest = guest || aliases->ids[i] == 546;
	}
	*priv = guest ? 0 : 1;
	return RM_OK;
}

uint32_t rm_reply_user_sids(TALLOC_CTX *mem, const struct dom_sid *domain, uint32_t user_rid,
			    const struct samr_RidWithAttributeArray *groups, struct lsa_SidArray *out)
{
	uint32_t count = 1;
	if (groups) {
		if ((groups->count > 0 && !groups->rids) || groups->count >= MAX_SIDS)
			return RM_BAD_REPLY;
		count += groups->count;
	}
	struct lsa_SidPtr *ptrs = talloc_zero_array(mem, struct lsa_SidPtr, count);
	struct dom_sid *sids = talloc_zero_array(mem, struct dom_sid, count);
	if (!ptrs || !sids)
		return RM_NOT_ENOUGH_MEMORY;
	for (uint32_t i = 0; i < count; i++) {
		if (!rm_sid_compose(domain, i == 0 ? user_rid : groups->rids[i - 1].rid, &sids[i]))
			return RM_BAD_REPLY;
		ptrs[i].sid = &sids[i];
	}
	out->num_sids = count;
	out->sids = ptrs;
	return RM_OK;
}

uint32_t rm_reply_names(const struct lsa_Strings *names, const struct samr_Ids *types, uint32_t asked,
			rm_emit_text emit, void *context)
{
	if (asked > MAX_RIDS || names->count != asked || types->count != asked || (asked > 0 && !names->names)
	    || rm_reply_ids(types) != RM_OK)
		return RM_BAD_REPLY;
	for (uint32_t i = 0; i < asked; i++)
		if (names->names[i].string)
			emit(context, names->names[i].string);
	return RM_OK;
}

uint32_t rm_reply_alias_members(const struct lsa_SidArray *members)
{
	if (members->num_sids > 0 && !members->sids)
		return RM_BAD_REPLY;
	for (uint32_t i = 0; i < members->num_sids; i++)
		if (!rm_sid_valid(members->sids[i].sid))
			return RM_BAD_REPLY;
	return RM_OK;
}

uint32_t rm_reply_display_machines(const union samr_DispInfo *info, rm_emit_machine emit, void *context)
{
	const struct samr_DispInfoFull *list = &info->info2;
	if (list->count > 0 && !list->entries)
		return RM_BAD_REPLY;
	for (uint32_t i = 0; i < list->count; i++)
		if (!list->entries[i].account_name.string)
			return RM_BAD_REPLY;
	for (uint32_t i = 0; i < list->count; i++) {
		const struct samr_DispEntryFull *e = &list->entries[i];
		struct rm_display_machine m = {0};
		copy_text(m.name, sizeof m.name, e->account_name.string);
		copy_text(m.comment, sizeof m.comment, e->description.string);
		m.flags = rm_uf_from_acb(e->acct_flags);
		m.user_id = e->rid;
		m.next_index = e->idx;
		emit(context, &m);
	}
	return RM_OK;
}
