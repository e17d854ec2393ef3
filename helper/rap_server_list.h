/* The browse list as a workgroup's master browser keeps it, over RAP: the
 * parameters of a NetServerEnum2 request at level 1 (NetServerEnum3, to go
 * on after the last name of a page), and the decoding of the answer, whose
 * entries carry name, type bits, version and comment. */
#ifndef ROSTERMILL_RAP_SERVER_LIST_H
#define ROSTERMILL_RAP_SERVER_LIST_H

#include "browse_client.h"

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The request's parameter block, or 0 when it does not fit `size`. With
 * `last` the request goes on after that name. */
size_t rm_rap_server_request(uint8_t *out, size_t size, const char *workgroup, uint32_t type, const char *last);

struct rm_rap_page {
	uint16_t status;    /* 0, 234 when more entries follow, or a failure */
	uint16_t available; /* entries the browser holds in all */
	size_t count;       /* entries of this page */
};

/* Decodes one answer; its entries go to `emit`, except a first one named
 * `last`, which a NetServerEnum3 answer repeats. 0, or 1783 for an answer
 * whose counts or offsets do not fit its bytes. */
uint32_t rm_rap_server_answer(const uint8_t *param, size_t param_length, const uint8_t *data, size_t data_length,
			      const char *last, struct rm_rap_page *page, rm_emit_server emit, void *context);

#ifdef __cplusplus
}
#endif

#endif
