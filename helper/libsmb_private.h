/* The few functions of Samba's own SMB client library (source3) that the
 * browse list needs, which Samba ships without headers. Each prototype is
 * Samba 4.17's, as declared in its sources; the libraries are linked by
 * path from Samba's private folder. */
#ifndef ROSTERMILL_LIBSMB_PRIVATE_H
#define ROSTERMILL_LIBSMB_PRIVATE_H

#include <stdbool.h>
#include <stdint.h>
#include <sys/socket.h>

#include <talloc.h>
#include <tevent.h>
#include <core/ntstatus.h>

struct cli_state;
struct cli_credentials;

/* lib/util/talloc_stack.h: the client code allocates from this frame. */
TALLOC_CTX *_talloc_stackframe(const char *location);

/* dynconfig/dynconfig.h, source3/param/loadparm.h, source3/lib/interface.h */
const char *get_dyn_CONFIGFILE(void);
bool lp_load_client(const char *file_name);
const char *lp_netbios_name(void);
void load_interfaces(void);

/* source3/libsmb/namequery.h; `name` is an fstring, 256 bytes. */
bool resolve_name(const char *name, struct sockaddr_storage *return_ss, int name_type, bool prefer_ipv4);
bool name_status_find(const char *q_name, int q_type, int type, const struct sockaddr_storage *to_ss,
		      char name[256]);

/* source3/include/client.h */
#define CLI_FULL_CONNECTION_ANONYMOUS_FALLBACK 0x0004
#define CLI_FULL_CONNECTION_FORCE_SMB1 0x0400
#define CLI_FULL_CONNECTION_IPC 0x1000

/* source3/libsmb/proto.h */
struct tevent_req *cli_full_connection_creds_send(TALLOC_CTX *mem_ctx, struct tevent_context *ev,
						  const char *my_name, const char *dest_host,
						  const struct sockaddr_storage *dest_ss, int port,
						  const char *service, const char *service_type,
						  struct cli_credentials *creds, int flags);
NTSTATUS cli_full_connection_creds_recv(struct tevent_req *req, struct cli_state **output_cli);
unsigned int cli_set_timeout(struct cli_state *cli, unsigned int timeout);
void cli_shutdown(struct cli_state *cli);
NTSTATUS cli_trans(TALLOC_CTX *mem_ctx, struct cli_state *cli, uint8_t trans_cmd, const char *pipe_name,
		   uint16_t fid, uint16_t function, int flags, uint16_t *setup, uint8_t num_setup,
		   uint8_t max_setup, uint8_t *param, uint32_t num_param, uint32_t max_param, uint8_t *data,
		   uint32_t num_data, uint32_t max_data, uint16_t *recv_flags2, uint16_t **rsetup,
		   uint8_t min_rsetup, uint8_t *num_rsetup, uint8_t **rparam, uint32_t min_rparam,
		   uint32_t *num_rparam, uint8_t **rdata, uint32_t min_rdata, uint32_t *num_rdata);

#endif
