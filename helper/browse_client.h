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

struct cli_credentials;

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
 * `limit_seconds`: 0, or 234 when the browser held more than it gave. */
uint32_t rm_server_enum(struct cli_credentials *creds, unsigned limit_seconds, const char *workgroup,
			uint32_t type, rm_emit_server emit, void *context);
uint32_t rm_get_dc_name(struct cli_credentials *creds, const char *domain, uint32_t flags, struct rm_dc_info *out);

#ifdef __cplusplus
}
#endif

#endif
