/* Versions of servers, asked of each server when the browse list does not
 * carry them: every question runs in a child process of its own, several at
 * once, all under one deadline. The libraries that can ask keep process-wide
 * state and may block for as long as the network does; a child can be
 * killed at the deadline without harm to the list. */
#ifndef ROSTERMILL_SERVER_VERSIONS_H
#define ROSTERMILL_SERVER_VERSIONS_H

#include "browse_client.h"

#include <stdbool.h>
#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Runs in the child: true with the server's version. */
typedef bool (*rm_version_query)(void *context, const char *server, uint32_t version[2]);

/* Milliseconds of the monotonic clock. */
int64_t rm_monotonic_ms(void);

/* Asks the version of every server marked in `wanted`, at most `parallel`
 * at a time; a server that has not answered by `deadline` (monotonic
 * milliseconds) keeps the version it has. */
void rm_query_versions(struct rm_server_info101 *servers, const bool *wanted, size_t count, unsigned parallel,
		       int64_t deadline, rm_version_query query, void *context);

#ifdef __cplusplus
}
#endif

#endif
