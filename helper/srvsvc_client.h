/* A server's version from its own answer to a server-information query
 * (srvsvc, level 101), over Samba's DCE/RPC client. */
#ifndef ROSTERMILL_SRVSVC_CLIENT_H
#define ROSTERMILL_SRVSVC_CLIENT_H

#include <stdbool.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

struct cli_credentials;

bool rm_server_version(struct cli_credentials *creds, const char *server, unsigned timeout_seconds,
		       uint32_t version[2]);

#ifdef __cplusplus
}
#endif

#endif
