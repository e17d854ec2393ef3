#include "sids.h"

#include <stdio.h>
#include <string.h>

enum { MAX_SUB_AUTHS = sizeof ((struct dom_sid *)0)->sub_auths / sizeof(uint32_t) };

bool rm_sid_valid(const struct dom_sid *sid)
{
	return sid && sid->num_auths >= 0 && sid->num_auths <= MAX_SUB_AUTHS;
}

bool rm_domain_sid_valid(const struct dom_sid *sid)
{
	return rm_sid_valid(sid) && sid->num_auths < MAX_SUB_AUTHS;
}

bool rm_sid_compose(const struct dom_sid *domain, uint32_t rid, struct dom_sid *out)
{
	if (!rm_domain_sid_valid(domain))
		return false;
	*out = *domain;
	out->sub_auths[out->num_auths++] = rid;
	return true;
}

bool rm_sid_in_domain(const struct dom_sid *sid, const struct dom_sid *domain, uint32_t *rid)
{
	if (!rm_sid_valid(sid) || !rm_domain_sid_valid(domain) || sid->num_auths != domain->num_auths + 1
	    || sid->sid_rev_num != domain->sid_rev_num || memcmp(sid->id_auth, domain->id_auth, 6) != 0)
		return false;
	for (int i = 0; i < domain->num_auths; i++)
		if (sid->sub_auths[i] != domain->sub_auths[i])
			return false;
	*rid = sid->sub_auths[domain->num_auths];
	return true;
}

void rm_sid_text(const struct dom_sid *sid, char *out, size_t size)
{
	if (size == 0)
		return;
	out[0] = '\0';
	if (!rm_sid_valid(sid))
		return;
	uint64_t authority = 0;
	for (int i = 0; i < 6; i++)
		authority = (authority << 8) | sid->id_auth[i];
	size_t n = (size_t)snprintf(out, size, "S-%u-%llu", sid->sid_rev_num, (unsigned long long)authority);
	for (int i = 0; i < sid->num_auths && n < size; i++)
		n += (size_t)snprintf(out + n, size - n, "-%u", sid->sub_auths[i]);
}
