/* The browse list and the domain-controller locator, through Samba's
 * libsmbclient and libnetapi. Both keep process-wide state, so each call sets
 * them up and tears them down again; the helper makes one call at a time. */
#ifndef ROSTERMILL_BROWSE_CLIENT_H
#define ROSTERMILL_BROWSE_CLIENT_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

struct rm_credentials {
	const char *user;
	const char *domain;
	const char *password;
};

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

uint32_t rm_server_enum(const struct rm_credentials *creds, const char *workgroup, uint32_t type,
			rm_emit_server emit, void *context);
uint32_t rm_get_dc_name(const struct rm_credentials *creds, const char *domain, uint32_t flags,
			struct rm_dc_info *out);

#ifdef __cplusplus
}
#endif

#endif
