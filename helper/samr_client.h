/* The network-management calls over Samba's DCE/RPC SAMR client, with the
 * platform's semantics and status numbers. Plain C, since Samba's headers are
 * C only. One client holds at most one server conversation at a time. */
#ifndef ROSTERMILL_SAMR_CLIENT_H
#define ROSTERMILL_SAMR_CLIENT_H

#include <stddef.h>
#include <stdbool.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct rm_samr rm_samr;
struct cli_credentials;

/* Called once for every text a list call returns. */
typedef void (*rm_emit_text)(void *context, const char *text);

struct rm_user_info1 {
	char name[257];
	uint32_t password_age;
	uint32_t priv;
	char home_dir[1025];
	char comment[1025];
	uint32_t flags;
	char script_path[1025];
	uint32_t rid; /* in the computer's account domain */
};

struct rm_display_machine {
	char name[257];
	char comment[1025];
	uint32_t flags;
	uint32_t user_id;
	uint32_t next_index;
};
typedef void (*rm_emit_machine)(void *context, const struct rm_display_machine *entry);

rm_samr *rm_samr_new(void);
/* What every client loads and registers first, done once before forking
 * clients, so that they share it. */
void rm_samr_preload(void);
void rm_samr_free(rm_samr *client);
/* Credentials of the network: kept in memory only, and wiped when
 * replaced. No account and no password mean the user's Kerberos ticket.
 * With a password and a `realm`, a ticket is made from them in memory and
 * used wherever Kerberos works; NTLM is used elsewhere unless
 * `ntlm_refused`. 87, leaving no credentials at all, for a named account
 * without a password or a password whose `password_length` bytes hold a
 * NUL. */
uint32_t rm_samr_set_credentials(rm_samr *client, const char *user, const char *domain, const char *realm,
				 const char *password, size_t password_length, bool ntlm_refused);
/* The time limit of one remote call, in seconds. */
void rm_samr_set_timeout(rm_samr *client, unsigned seconds);

uint32_t rm_user_get_info1(rm_samr *c, const char *server, const char *user,
			   struct rm_user_info1 *out);
/* The account of the computer's account domain with that relative
 * identifier (500: the built-in administrator, whatever its name), without
 * looking a name up; 2221 when there is none. */
uint32_t rm_user_get_info1_by_rid(rm_samr *c, const char *server, uint32_t rid, struct rm_user_info1 *out);
uint32_t rm_user_set_password(rm_samr *c, const char *server, const char *user,
			      const char *password);
uint32_t rm_user_set_flags(rm_samr *c, const char *server, const char *user, uint32_t flags);
uint32_t rm_user_set_name(rm_samr *c, const char *server, const char *user, const char *name);
uint32_t rm_user_get_local_groups(rm_samr *c, const char *server, const char *user,
				  uint32_t flags, rm_emit_text emit, void *context);
uint32_t rm_local_group_get_members(rm_samr *c, const char *server, const char *group,
				    rm_emit_text emit, void *context);
/* One page of machine accounts; 234 when more follow, with the entries of
 * this page, which may be none. */
uint32_t rm_query_display_machines(rm_samr *c, const char *server, uint32_t index,
				   uint32_t requested, rm_emit_machine emit, void *context);

#ifdef __cplusplus
}
#endif

#endif
