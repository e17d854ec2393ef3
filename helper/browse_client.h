/* The browse list and the domain-controller locator. The browse list comes
 * from the workgroup's master browser itself; the locator is libnetapi's,
 * which keeps process-wide state, set up and torn down again for each call:
 * the helper makes one call at a time. */
#ifndef ROSTERMILL_BROWSE_CLIENT_H
#define ROSTERMILL_BROWSE_CLIENT_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

struct rm_server_info101 {
	uint32_t platform_id;
	char name[257];
	uint32_t version_major;
	uint32_t version_minor;
	uint32_t type;
	char comment[1025];
};
typedef void (*rm_emit_server)(void *context, const struct rm_server_info101 *server);

struct rm_dc_info {
	char controller_name[300];
	char controller_address[300];
	char domain_name[300];
	char forest_name[300];
	uint32_t flags;
};

/* The servers of a workgroup with any of the `type` bits, ended within
 * `limit_seconds`: 0, or 234 when the browser held more than it gave. Asked
 * anonymously: a master browser is whoever answers a broadcast. */
uint32_t rm_server_enum(unsigned limit_seconds, const char *workgroup, uint32_t type, rm_emit_server emit,
			void *context);
/* The locator. A name with a dot is looked up in DNS only, never by a
 * NetBIOS broadcast anyone could answer. */
uint32_t rm_get_dc_name(const char *domain, uint32_t flags, struct rm_dc_info *out);
/* The Kerberos realm of an account's domain, in capitals: a DNS name's own,
 * or for a NetBIOS name the configured default realm, when the locator
 * finds by DNS that it is that domain. Empty when neither holds. */
void rm_realm_of(const char *domain, char realm[300]);

#ifdef __cplusplus
}
#endif

#endif
