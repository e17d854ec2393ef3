/* Security identifiers as SAMR carries them. A SID from the wire is used
 * only once it is known to fit its 15 sub-authorities. */
#ifndef ROSTERMILL_SIDS_H
#define ROSTERMILL_SIDS_H

#include <stdbool.h>
#include <stddef.h>
#include <stdint.h>

#include <util/data_blob.h>
#include <util/time.h>
#include <ndr.h>
#include <gen_ndr/security.h>

#ifdef __cplusplus
extern "C" {
#endif

bool rm_sid_valid(const struct dom_sid *sid);
/* A domain's SID that a relative identifier can still be appended to. */
bool rm_domain_sid_valid(const struct dom_sid *sid);
/* The SID of `rid` in `domain`; false for a domain SID that is not valid. */
bool rm_sid_compose(const struct dom_sid *domain, uint32_t rid, struct dom_sid *out);
/* True, with the relative identifier, for a SID directly under `domain`. */
bool rm_sid_in_domain(const struct dom_sid *sid, const struct dom_sid *domain, uint32_t *rid);
/* "S-1-5-21-…"; empty for a SID that is not valid. */
void rm_sid_text(const struct dom_sid *sid, char *out, size_t size);

#ifdef __cplusplus
}
#endif

#endif
