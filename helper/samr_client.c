#include "samr_client.h"

/* For tevent_loop_allow_nesting: see rm_samr_new. */
#define TEVENT_DEPRECATED

#include "account_flags.h"
#include "kdc_probe.h"
#include "net_names.h"
#include "net_status.h"
#include "password_buffer.h"
#include "samr_replies.h"
#include "core/ports/Wipe.h"

#include <ctype.h>
#include <netdb.h>
#include <stdbool.h>
#include <stdio.h>
#include <string.h>
#include <strings.h>
#include <time.h>

#include <talloc.h>
#include <tdb.h>
#include <tevent.h>
#include <util/data_blob.h>
#include <util/time.h>
#include <core/ntstatus.h>
#include <core/error.h>
#include <credentials.h>
#include <param.h>
#include <dcerpc.h>
#include <gen_ndr/ndr_samr_c.h>

struct rm_samr {
	TALLOC_CTX *mem;
	struct tevent_context *ev;
	struct loadparm_context *lp;
	/* Anonymous, the user's ticket, or typed credentials for Kerberos
	 * (their ticket made in memory on first use). */
	struct cli_credentials *creds;
	/* For typed credentials: what the domain's KDC says of the account and
	 * of each computer (NULL without a realm: no Kerberos at all). */
	rm_kdc_probe *probe;
	bool typed;
	/* The typed credentials again for NTLM, where a computer cannot take a
	 * ticket; NULL when NTLM is refused or there is no password. */
	struct cli_credentials *ntlm;
	bool ntlm_refused;
	unsigned timeout;
	/* The one server conversation held: its pipe and handles. */
	TALLOC_CTX *conversation;
	char server[256];
	bool server_ntlm;
	struct dcerpc_pipe *pipe;
	struct policy_handle connect_handle;
	struct policy_handle account_handle;
	struct policy_handle builtin_handle;
	struct dom_sid *account_sid;
	struct dom_sid *builtin_sid;
	char account_domain[256];
};

static bool handle_open(const struct policy_handle *handle)
{
	static const struct policy_handle closed;
	return memcmp(handle, &closed, sizeof closed) != 0;
}

/* False when the pipe failed on the way. */
static bool close_handle(rm_samr *c, TALLOC_CTX *mem, struct policy_handle *handle)
{
	NTSTATUS result;
	bool carried = true;
	if (c->pipe && handle_open(handle))
		carried = NT_STATUS_IS_OK(dcerpc_samr_Close(c->pipe->binding_handle, mem, handle, &result));
	memset(handle, 0, sizeof *handle);
	return carried;
}

/* Ends the conversation. Politely, its handles are closed first, each
 * given a few seconds: a server gone silent since its last answer must not
 * hold the next one up. After a transport failure the pipe is dropped as
 * it is. */
static void drop_conversation(rm_samr *c, bool polite)
{
	if (!polite)
		c->pipe = NULL;
	if (c->pipe)
		dcerpc_binding_handle_set_timeout(c->pipe->binding_handle, c->timeout < 2 ? c->timeout : 2);
	struct policy_handle *handles[] = {&c->builtin_handle, &c->account_handle, &c->connect_handle};
	for (size_t i = 0; i < sizeof handles / sizeof handles[0]; i++)
		if (!close_handle(c, c->conversation, handles[i]))
			c->pipe = NULL;
	TALLOC_FREE(c->conversation);
	c->pipe = NULL;
	c->server[0] = '\0';
}

/* The status of one SAMR call: a transport failure ends the conversation. */
static uint32_t outcome(rm_samr *c, NTSTATUS transport, NTSTATUS result)
{
	if (!NT_STATUS_IS_OK(transport)) {
		drop_conversation(c, false);
		return rm_status_of_connect(NT_STATUS_V(transport));
	}
	return rm_status_of_reply(NT_STATUS_V(result));
}

static void wipe_password(struct cli_credentials *creds)
{
	const char *password = creds ? cli_credentials_get_password(creds) : NULL;
	if (password)
		rm_wipe((char *)password, strlen(password));
}

void rm_samr_preload(void)
{
	dcerpc_init();
	loadparm_init_global(false);
	rm_kdc_preload();
	/* Its answer is kept: without it, the first cache opened forks to find out. */
	tdb_runtime_check_for_robust_mutexes();
}

rm_samr *rm_samr_new(void)
{
	/* Registers the security mechanisms the pipe's authentication needs. */
	if (!NT_STATUS_IS_OK(dcerpc_init()))
		return NULL;
	TALLOC_CTX *mem = talloc_new(NULL);
	rm_samr *c = talloc_zero(mem, rm_samr);
	c->mem = mem;
	c->ev = tevent_context_init(mem);
	/* Kerberos asks its KDC with blocking calls that turn this loop again
	 * from inside a connect: a ticket made on first use, or one for a
	 * computer met for the first time. */
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
	tevent_loop_allow_nesting(c->ev);
#pragma GCC diagnostic pop
	c->lp = loadparm_init_global(false);
	lpcfg_set_cmdline(c->lp, "client min protocol", "SMB2_02");
	/* Every session that carries credentials is signed, so an account's
	 * change cannot be altered on the way, and encrypted where the server
	 * speaks SMB 3. The pipe itself stays without an authentication of its
	 * own: a new password is encrypted with the session's key, which the
	 * server takes from the SMB session. */
	lpcfg_set_cmdline(c->lp, "client signing", "required");
	lpcfg_set_cmdline(c->lp, "client ipc signing", "required");
	lpcfg_set_cmdline(c->lp, "client smb encrypt", "desired");
	c->creds = cli_credentials_init_anon(mem);
	c->timeout = 30;
	return c;
}

void rm_samr_free(rm_samr *c)
{
	if (!c)
		return;
	drop_conversation(c, true);
	wipe_password(c->creds);
	wipe_password(c->ntlm);
	rm_kdc_probe_free(c->probe);
	talloc_free(c->mem);
}

static struct cli_credentials *typed_credentials(rm_samr *c, const char *user, const char *domain,
						 const char *password, enum credentials_use_kerberos kerberos)
{
	struct cli_credentials *creds = cli_credentials_init(c->mem);
	cli_credentials_set_conf(creds, c->lp);
	cli_credentials_set_username(creds, user, CRED_SPECIFIED);
	cli_credentials_set_domain(creds, domain, CRED_SPECIFIED);
	cli_credentials_set_password(creds, password, CRED_SPECIFIED);
	cli_credentials_set_kerberos_state(creds, kerberos, CRED_SPECIFIED);
	return creds;
}

uint32_t rm_samr_set_credentials(rm_samr *c, const char *user, const char *domain, const char *realm,
				 const char *password, size_t password_length, bool ntlm_refused)
{
	drop_conversation(c, true);
	wipe_password(c->creds);
	wipe_password(c->ntlm);
	TALLOC_FREE(c->creds);
	TALLOC_FREE(c->ntlm);
	rm_kdc_probe_free(c->probe);
	c->probe = NULL;
	c->typed = false;
	c->ntlm_refused = ntlm_refused;
	const bool named = user && *user;
	const bool whole = password ? strlen(password) == password_length : password_length == 0;
	if (!whole || (named && password_length == 0)) {
		/* Neither a password cut short at a NUL nor, for a named account,
		 * whatever ticket there is: no credentials at all. */
		c->creds = cli_credentials_init_anon(c->mem);
		return RM_INVALID_PARAMETER;
	}
	if (password_length > 0) {
		/* A ticket from the password, kept in memory: its principal is
		 * user@realm. NTLM, with user and domain, only for a computer that
		 * cannot take a ticket. */
		c->creds = typed_credentials(c, user, domain, password, CRED_USE_KERBEROS_REQUIRED);
		c->typed = true;
		if (realm && *realm) {
			cli_credentials_set_realm(c->creds, realm, CRED_SPECIFIED);
			c->probe = rm_kdc_probe_new(user, realm, password);
		}
		if (!ntlm_refused)
			c->ntlm = typed_credentials(c, user, domain, password, CRED_USE_KERBEROS_DISABLED);
	} else {
		/* No password: the user's Kerberos ticket, from the default cache. */
		const char *error = NULL;
		c->creds = cli_credentials_init(c->mem);
		cli_credentials_set_conf(c->creds, c->lp);
		cli_credentials_set_kerberos_state(c->creds, CRED_USE_KERBEROS_REQUIRED, CRED_SPECIFIED);
		cli_credentials_set_ccache(c->creds, c->lp, NULL, CRED_SPECIFIED, &error);
	}
	return RM_OK;
}

void rm_samr_set_timeout(rm_samr *c, unsigned seconds)
{
	c->timeout = seconds;
	if (c->pipe)
		dcerpc_binding_handle_set_timeout(c->pipe->binding_handle, seconds);
}

/* The SAM and its two domains, the computer's own and Builtin. */
static uint32_t open_domains(rm_samr *c, const char *server)
{
	struct dcerpc_binding_handle *h = c->pipe->binding_handle;
	TALLOC_CTX *mem = c->conversation;
	NTSTATUS result = NT_STATUS_OK;
	uint32_t st = outcome(c, dcerpc_samr_Connect2(h, mem, server, SEC_FLAG_MAXIMUM_ALLOWED, &c->connect_handle, &result), result);
	if (st != RM_OK)
		return st;
	uint32_t resume = 0, count = 0;
	struct samr_SamArray *domains = NULL;
	st = outcome(c, dcerpc_samr_EnumDomains(h, mem, &c->connect_handle, &resume, &domains, (uint32_t)-1, &count, &result), result);
	const char *account = NULL;
	if (st != RM_OK || (st = rm_reply_account_domain(domains, &account)) != RM_OK)
		return st;
	snprintf(c->account_domain, sizeof c->account_domain, "%s", account);
	struct lsa_String name = {.string = account};
	st = outcome(c, dcerpc_samr_LookupDomain(h, mem, &c->connect_handle, &name, &c->account_sid, &result), result);
	if (st != RM_OK)
		return st;
	name.string = "Builtin";
	st = outcome(c, dcerpc_samr_LookupDomain(h, mem, &c->connect_handle, &name, &c->builtin_sid, &result), result);
	if (st != RM_OK)
		return st;
	/* Every later use appends a relative identifier to these. */
	if (!rm_domain_sid_valid(c->account_sid) || !rm_domain_sid_valid(c->builtin_sid))
		return RM_BAD_REPLY;
	st = outcome(c, dcerpc_samr_OpenDomain(h, mem, &c->connect_handle, SEC_FLAG_MAXIMUM_ALLOWED, c->account_sid, &c->account_handle, &result), result);
	if (st != RM_OK)
		return st;
	return outcome(c, dcerpc_samr_OpenDomain(h, mem, &c->connect_handle, SEC_FLAG_MAXIMUM_ALLOWED, c->builtin_sid, &c->builtin_handle, &result), result);
}

/* Connects to `address` (to `server` by name without one), naming the
 * computer `server` to its authentication: a ticket is asked for that name.
 * An address given spares Samba its own look-up, which forks this process
 * once for every connection. */
static uint32_t connect_as(rm_samr *c, const char *server, const char *address, struct cli_credentials *creds)
{
	drop_conversation(c, true);
	c->conversation = talloc_new(c->mem);
	struct dcerpc_binding *binding = NULL;
	NTSTATUS s = dcerpc_parse_binding(c->conversation, "ncacn_np:", &binding);
	if (NT_STATUS_IS_OK(s))
		s = dcerpc_binding_set_string_option(binding, "host", address[0] ? address : server);
	/* Process-wide, and read by the connection while it lives: set anew
	 * for every connection of this process (the server version query
	 * does too). */
	if (NT_STATUS_IS_OK(s) && !lpcfg_set_cmdline(c->lp, "gensec:target_hostname", server))
		s = NT_STATUS_NO_MEMORY;
	if (NT_STATUS_IS_OK(s))
		s = dcerpc_pipe_connect_b(c->conversation, &c->pipe, binding, &ndr_table_samr, creds, c->ev, c->lp);
	if (NT_STATUS_IS_OK(s))
		return RM_OK;
	drop_conversation(c, false);
	return rm_status_of_connect(NT_STATUS_V(s));
}

/* The name Kerberos knows a computer by: its DNS name. A short (browse-list)
 * name gets the canonical name the resolver gives it, through the DNS search
 * list; an address or a dotted name stays as it is. NULL when the resolver
 * knows no dotted name for it. `address` gets the computer's first address,
 * or nothing when the resolver knows none. */
static const char *kerberos_name(rm_samr *c, const char *server, char *out, size_t size, char *address,
				 size_t address_size)
{
	address[0] = '\0';
	const bool as_given = cli_credentials_is_anonymous(c->creds) || strchr(server, '.');
	struct addrinfo hints = {.ai_socktype = SOCK_STREAM, .ai_flags = AI_ADDRCONFIG | (as_given ? 0 : AI_CANONNAME)},
			*found = NULL;
	if (getaddrinfo(server, NULL, &hints, &found) != 0)
		return as_given ? server : NULL;
	if (getnameinfo(found->ai_addr, found->ai_addrlen, address, (socklen_t)address_size, NULL, 0, NI_NUMERICHOST) != 0)
		address[0] = '\0';
	if (as_given) {
		freeaddrinfo(found);
		return server;
	}
	const char *name = found->ai_canonname;
	const bool dotted = name && strchr(name, '.') && strlen(name) < size;
	if (dotted) {
		size_t k = 0;
		for (; name[k]; k++)
			out[k] = (char)tolower((unsigned char)name[k]);
		out[k] = '\0';
	}
	freeaddrinfo(found);
	return dotted ? out : NULL;
}

/* Which credentials a computer gets: the user's ticket; for typed ones,
 * Kerberos where the domain knows the computer, else NTLM where `ntlm`
 * allows it, but never to a computer the domain knows by its short name:
 * whoever answers for that name may be someone else. NULL, with the
 * status, when none may go. `named` is the computer's Kerberos name, NULL
 * without one; `server` the name given. */
static struct cli_credentials *credentials_for(rm_samr *c, const char *named, const char *server, bool ntlm,
					       uint32_t *refused)
{
	if (!c->typed) {
		if (!named)
			*refused = RM_NO_DNS_NAME;
		return named ? c->creds : NULL; /* anonymous, or the user's own ticket */
	}
	switch (named ? rm_kdc_probe_computer(c->probe, named) : RM_KDC_UNKNOWN_COMPUTER) {
	case RM_KDC_KNOWS_COMPUTER:
		return c->creds;
	case RM_KDC_BAD_PASSWORD:
		*refused = RM_LOGON_FAILURE; /* nothing sent to the computer */
		return NULL;
	case RM_KDC_UNKNOWN_COMPUTER:
	case RM_KDC_UNREACHABLE:
		break;
	}
	if (named != server && rm_kdc_probe_computer(c->probe, server) == RM_KDC_KNOWS_COMPUTER) {
		*refused = RM_NO_DNS_NAME;
		return NULL;
	}
	if (ntlm && c->ntlm)
		return c->ntlm;
	*refused = !named ? RM_NO_DNS_NAME : c->ntlm_refused ? RM_NTLM_REFUSED : RM_ACCESS_DENIED;
	return NULL;
}

/* Opens (or keeps) the conversation with one server. */
static uint32_t open_server_as(rm_samr *c, const char *server_name, bool ntlm)
{
	const char *server = rm_strip_backslashes(server_name);
	if (!rm_valid_server(server))
		return RM_INVALID_COMPUTER;
	if (c->pipe && strcasecmp(c->server, server) == 0 && c->server_ntlm == ntlm)
		return RM_OK;
	uint32_t st = RM_OK;
	char dns_name[256], address[NI_MAXHOST];
	const char *named = kerberos_name(c, server, dns_name, sizeof dns_name, address, sizeof address);
	struct cli_credentials *creds = credentials_for(c, named, server, ntlm, &st);
	if (!creds) {
		drop_conversation(c, true);
		return st;
	}
	/* A ticket is asked for the name connected to. */
	st = connect_as(c, creds == c->ntlm ? server : named, address, creds);
	/* A computer the domain knows that takes no ticket (it offers no
	 * Kerberos at all) refused the logon, whoever it is. */
	if (st == RM_INVALID_PARAMETER && c->typed && creds == c->creds)
		st = RM_LOGON_FAILURE;
	if (st != RM_OK)
		return st;
	dcerpc_binding_handle_set_timeout(c->pipe->binding_handle, c->timeout);
	st = open_domains(c, server);
	if (st != RM_OK) {
		drop_conversation(c, true);
		return st;
	}
	snprintf(c->server, sizeof c->server, "%s", server);
	c->server_ntlm = ntlm;
	return RM_OK;
}

static uint32_t open_server(rm_samr *c, const char *server_name)
{
	return open_server_as(c, server_name, true);
}

/* The relative identifier of an account of the computer's own domain, by
 * name; 2221 when there is no such user. */
static uint32_t lookup_user(rm_samr *c, TALLOC_CTX *mem, const char *user, uint32_t *rid)
{
	if (!user || !*user)
		return RM_USER_NOT_FOUND;
	struct lsa_String name = {.string = user};
	struct samr_Ids rids = {0}, types = {0};
	NTSTATUS result = NT_STATUS_OK;
	uint32_t st = outcome(c, dcerpc_samr_LookupNames(c->pipe->binding_handle, mem, &c->account_handle, 1, &name, &rids, &types, &result), result);
	return st != RM_OK ? st : rm_reply_one_name(&rids, &types, SID_NAME_USER, RM_USER_NOT_FOUND, rid);
}

typedef uint32_t (*user_step)(rm_samr *c, TALLOC_CTX *mem, struct policy_handle *user, uint32_t rid, void *arg);

/* Opens the account of the open conversation's account domain with that
 * relative identifier, runs the step on it and closes it again, on every
 * path. No such account is 2221. */
static uint32_t with_open_user(rm_samr *c, TALLOC_CTX *mem, uint32_t rid, uint32_t access, user_step step,
			       void *arg)
{
	struct policy_handle handle = {0};
	NTSTATUS result = NT_STATUS_OK;
	uint32_t st = outcome(c, dcerpc_samr_OpenUser(c->pipe->binding_handle, mem, &c->account_handle, access, rid, &handle, &result), result);
	if (st == RM_OK)
		st = step(c, mem, &handle, rid, arg);
	if (!close_handle(c, mem, &handle))
		drop_conversation(c, false);
	return st;
}

static uint32_t with_user(rm_samr *c, TALLOC_CTX *mem, const char *server, const char *user, uint32_t access,
			  user_step step, void *arg)
{
	uint32_t st = open_server(c, server);
	uint32_t rid = 0;
	if (st != RM_OK || (st = lookup_user(c, mem, user, &rid)) != RM_OK)
		return st;
	return with_open_user(c, mem, rid, access, step, arg);
}

/* Some accounts are known by their identifier only, whatever their name. */
static uint32_t with_user_rid(rm_samr *c, TALLOC_CTX *mem, const char *server, uint32_t rid, uint32_t access,
			      user_step step, void *arg)
{
	uint32_t st = open_server(c, server);
	if (st != RM_OK)
		return st;
	/* An account domain that holds computers' machine accounts is a
	 * domain's, on one of its controllers: its accounts are the domain's,
	 * none of them the computer's own. (The role it reports cannot tell:
	 * Samba calls every account domain of its own a primary one.) */
	uint32_t total = 0, returned = 0;
	union samr_DispInfo machines;
	memset(&machines, 0, sizeof machines);
	NTSTATUS result = NT_STATUS_OK;
	st = outcome(c, dcerpc_samr_QueryDisplayInfo(c->pipe->binding_handle, mem, &c->account_handle, 2, 0, 1,
						      (uint32_t)-1, &total, &returned, &machines, &result), result);
	if (st != RM_OK && st != RM_MORE_DATA)
		return st;
	if (returned > 0)
		return RM_USER_NOT_FOUND;
	return with_open_user(c, mem, rid, access, step, arg);
}

static uint32_t get_info1(rm_samr *c, TALLOC_CTX *mem, struct policy_handle *user, uint32_t rid, void *arg)
{
	struct rm_user_info1 *out = arg;
	union samr_UserInfo *info = NULL;
	NTSTATUS result = NT_STATUS_OK;
	uint32_t st = outcome(c, dcerpc_samr_QueryUserInfo(c->pipe->binding_handle, mem, user, UserAllInformation, &info, &result), result);
	if (st != RM_OK || (st = rm_reply_user_info1(info, (int64_t)time(NULL), out)) != RM_OK)
		return st;
	out->rid = rid;
	/* Builtin's Administrators make the account an administrator. */
	struct dom_sid sid;
	if (!rm_sid_compose(c->account_sid, rid, &sid))
		return RM_BAD_REPLY;
	struct lsa_SidPtr ptr = {.sid = &sid};
	struct lsa_SidArray sids = {.num_sids = 1, .sids = &ptr};
	struct samr_Ids aliases = {0};
	st = outcome(c, dcerpc_samr_GetAliasMembership(c->pipe->binding_handle, mem, &c->builtin_handle, &sids, &aliases, &result), result);
	return st != RM_OK ? st : rm_reply_priv(&aliases, &out->priv);
}

static const uint32_t info1_access = SAMR_USER_ACCESS_GET_ATTRIBUTES | SAMR_USER_ACCESS_GET_NAME_ETC
				     | SAMR_USER_ACCESS_GET_LOCALE | SAMR_USER_ACCESS_GET_LOGONINFO;

/* By the relative identifier where one is given, else by name. */
static uint32_t user_info1(rm_samr *c, const char *server, const char *user, const uint32_t *rid,
			   struct rm_user_info1 *out)
{
	TALLOC_CTX *mem = talloc_new(c->mem);
	struct rm_user_info1 info = {0};
	uint32_t st = rid ? with_user_rid(c, mem, server, *rid, info1_access, get_info1, &info)
			  : with_user(c, mem, server, user, info1_access, get_info1, &info);
	*out = st == RM_OK ? info : (struct rm_user_info1){0};
	talloc_free(mem);
	return st;
}

uint32_t rm_user_get_info1(rm_samr *c, const char *server, const char *user, struct rm_user_info1 *out)
{
	return user_info1(c, server, user, NULL, out);
}

uint32_t rm_user_get_info1_by_rid(rm_samr *c, const char *server, uint32_t rid, struct rm_user_info1 *out)
{
	return user_info1(c, server, NULL, &rid, out);
}

struct user_info_change {
	uint16_t level;
	union samr_UserInfo *info;
};

static uint32_t set_info(rm_samr *c, TALLOC_CTX *mem, struct policy_handle *user, uint32_t rid, void *arg)
{
	(void)rid;
	struct user_info_change *change = arg;
	NTSTATUS result = NT_STATUS_OK;
	return outcome(c, dcerpc_samr_SetUserInfo2(c->pipe->binding_handle, mem, user, change->level, change->info, &result), result);
}

uint32_t rm_user_set_password(rm_samr *c, const char *server, const char *user, const char *password)
{
	uint32_t st = open_server(c, server);
	if (st != RM_OK)
		return st;
	DATA_BLOB key = data_blob_null;
	NTSTATUS s = dcerpc_fetch_session_key(c->pipe, &key);
	if (!NT_STATUS_IS_OK(s) || key.length == 0)
		return RM_ACCESS_DENIED;
	TALLOC_CTX *mem = talloc_new(c->mem);
	union samr_UserInfo info;
	memset(&info, 0, sizeof info);
	info.info25.info.fields_present = SAMR_FIELD_NT_PASSWORD_PRESENT;
	st = rm_encode_password_buffer(password ? password : "", key.data, key.length, info.info25.password.data);
	if (st == RM_OK) {
		struct user_info_change change = {25, &info};
		st = with_user(c, mem, server, user, SAMR_USER_ACCESS_SET_PASSWORD, set_info, &change);
	}
	rm_wipe(&info, sizeof info);
	talloc_free(mem);
	return st;
}

static uint32_t set_flags(rm_samr *c, TALLOC_CTX *mem, struct policy_handle *user, uint32_t rid, void *arg)
{
	(void)rid;
	union samr_UserInfo *old = NULL;
	NTSTATUS result = NT_STATUS_OK;
	uint32_t acb = 0;
	uint32_t st = outcome(c, dcerpc_samr_QueryUserInfo(c->pipe->binding_handle, mem, user, 16, &old, &result), result);
	if (st != RM_OK || (st = rm_reply_acct_flags(old, &acb)) != RM_OK)
		return st;
	union samr_UserInfo info;
	memset(&info, 0, sizeof info);
	info.info16.acct_flags = rm_acb_from_uf(*(const uint32_t *)arg, acb);
	struct user_info_change change = {16, &info};
	return set_info(c, mem, user, rid, &change);
}

uint32_t rm_user_set_flags(rm_samr *c, const char *server, const char *user, uint32_t flags)
{
	TALLOC_CTX *mem = talloc_new(c->mem);
	uint32_t st = with_user(c, mem, server, user, SAMR_USER_ACCESS_GET_ATTRIBUTES | SAMR_USER_ACCESS_SET_ATTRIBUTES,
				set_flags, &flags);
	talloc_free(mem);
	return st;
}

uint32_t rm_user_set_name(rm_samr *c, const char *server, const char *user, const char *name)
{
	/* A Windows server refuses such a name itself; Samba would take it. */
	if (!rm_valid_server(rm_strip_backslashes(server)))
		return RM_INVALID_COMPUTER;
	uint32_t st = rm_check_account_name(name);
	if (st != RM_OK)
		return st;
	TALLOC_CTX *mem = talloc_new(c->mem);
	union samr_UserInfo info;
	memset(&info, 0, sizeof info);
	info.info7.account_name.string = name;
	struct user_info_change change = {7, &info};
	st = with_user(c, mem, server, user, SAMR_USER_ACCESS_SET_ATTRIBUTES, set_info, &change);
	talloc_free(mem);
	return st;
}

/* LookupRids: names of RIDs of one domain, unmapped ones left out. */
static uint32_t lookup_rids(rm_samr *c, TALLOC_CTX *mem, struct policy_handle *domain, uint32_t count,
			    uint32_t *rids, rm_emit_text emit, void *context)
{
	struct lsa_Strings names = {0};
	struct samr_Ids types = {0};
	NTSTATUS result = NT_STATUS_OK;
	NTSTATUS s = dcerpc_samr_LookupRids(c->pipe->binding_handle, mem, domain, count, rids, &names, &types, &result);
	if (NT_STATUS_IS_OK(s) && NT_STATUS_EQUAL(result, NT_STATUS_SOME_NOT_MAPPED))
		result = NT_STATUS_OK;
	uint32_t st = outcome(c, s, result);
	return st != RM_OK ? st : rm_reply_names(&names, &types, count, emit, context);
}

/* The names of the aliases of one domain that hold any of the SIDs. */
static uint32_t emit_aliases(rm_samr *c, TALLOC_CTX *mem, struct policy_handle *domain,
			     struct lsa_SidArray *sids, rm_emit_text emit, void *context)
{
	struct samr_Ids aliases = {0};
	NTSTATUS result = NT_STATUS_OK;
	uint32_t st = outcome(c, dcerpc_samr_GetAliasMembership(c->pipe->binding_handle, mem, domain, sids, &aliases, &result), result);
	if (st != RM_OK || (st = rm_reply_ids(&aliases)) != RM_OK || aliases.count == 0)
		return st;
	return lookup_rids(c, mem, domain, aliases.count, aliases.ids, emit, context);
}

struct local_groups {
	uint32_t flags;
	rm_emit_text emit;
	void *context;
};

static uint32_t get_local_groups(rm_samr *c, TALLOC_CTX *mem, struct policy_handle *user, uint32_t rid, void *arg)
{
	struct local_groups *q = arg;
	/* The user and, for indirect memberships, its global groups. */
	struct samr_RidWithAttributeArray *groups = NULL;
	if (q->flags & 1) {
		NTSTATUS result = NT_STATUS_OK;
		uint32_t st = outcome(c, dcerpc_samr_GetGroupsForUser(c->pipe->binding_handle, mem, user, &groups, &result), result);
		if (st != RM_OK)
			return st;
		if (!groups)
			return RM_BAD_REPLY;
	}
	struct lsa_SidArray sids = {0};
	uint32_t st = rm_reply_user_sids(mem, c->account_sid, rid, groups, &sids);
	if (st == RM_OK)
		st = emit_aliases(c, mem, &c->account_handle, &sids, q->emit, q->context);
	if (st == RM_OK)
		st = emit_aliases(c, mem, &c->builtin_handle, &sids, q->emit, q->context);
	return st;
}

uint32_t rm_user_get_local_groups(rm_samr *c, const char *server, const char *user, uint32_t flags,
				  rm_emit_text emit, void *context)
{
	TALLOC_CTX *mem = talloc_new(c->mem);
	struct local_groups q = {flags, emit, context};
	uint32_t st = with_user(c, mem, server, user, SAMR_USER_ACCESS_GET_GROUPS, get_local_groups, &q);
	talloc_free(mem);
	return st;
}

/* A local group of the computer's own domain, else of Builtin. */
static uint32_t find_alias(rm_samr *c, TALLOC_CTX *mem, const char *group, struct policy_handle **domain, uint32_t *rid)
{
	struct policy_handle *domains[] = {&c->account_handle, &c->builtin_handle};
	struct lsa_String name = {.string = group};
	for (int d = 0; d < 2; d++) {
		struct samr_Ids rids = {0}, types = {0};
		NTSTATUS result = NT_STATUS_OK;
		NTSTATUS s = dcerpc_samr_LookupNames(c->pipe->binding_handle, mem, domains[d], 1, &name, &rids, &types, &result);
		if (NT_STATUS_IS_OK(s) && NT_STATUS_EQUAL(result, NT_STATUS_NONE_MAPPED))
			continue;
		uint32_t st = outcome(c, s, result);
		if (st == RM_OK)
			st = rm_reply_one_name(&rids, &types, SID_NAME_ALIAS, RM_GROUP_NOT_FOUND, rid);
		if (st != RM_GROUP_NOT_FOUND) {
			*domain = domains[d];
			return st;
		}
	}
	return RM_GROUP_NOT_FOUND;
}

struct text_buffer {
	char *text;
	size_t size;
};

static void copy_first(void *context, const char *text)
{
	struct text_buffer *out = context;
	if (!out->text[0])
		snprintf(out->text, out->size, "%s", text);
}

static const struct { const char *sid, *name; } well_known[] = {
	{"S-1-1-0", "\\Everyone"},
	{"S-1-5-4", "NT AUTHORITY\\INTERACTIVE"},
	{"S-1-5-2", "NT AUTHORITY\\NETWORK"},
	{"S-1-5-11", "NT AUTHORITY\\Authenticated Users"},
	{"S-1-5-18", "NT AUTHORITY\\SYSTEM"},
};

/* "DOMAIN\name" for a member of the computer's own domain or Builtin; the
 * SID's text, or a well-known name, for any other. */
static uint32_t member_name(rm_samr *c, TALLOC_CTX *mem, const struct dom_sid *sid, char *text, size_t size)
{
	uint32_t rid = 0;
	struct policy_handle *owner = NULL;
	const char *owner_name = NULL;
	if (rm_sid_in_domain(sid, c->account_sid, &rid)) {
		owner = &c->account_handle;
		owner_name = c->account_domain;
	} else if (rm_sid_in_domain(sid, c->builtin_sid, &rid)) {
		owner = &c->builtin_handle;
		owner_name = "BUILTIN";
	}
	char name[257] = "";
	if (owner) {
		struct text_buffer out = {name, sizeof name};
		uint32_t st = lookup_rids(c, mem, owner, 1, &rid, copy_first, &out);
		/* A name the server does not know is shown by its SID. */
		if (!c->pipe || st == RM_BAD_REPLY)
			return st;
	}
	if (name[0]) {
		snprintf(text, size, "%s\\%s", owner_name, name);
		return RM_OK;
	}
	rm_sid_text(sid, text, size);
	for (size_t k = 0; k < sizeof well_known / sizeof well_known[0]; k++)
		if (strcmp(text, well_known[k].sid) == 0)
			snprintf(text, size, "%s", well_known[k].name);
	return RM_OK;
}

static uint32_t alias_members(rm_samr *c, TALLOC_CTX *mem, struct policy_handle *domain, uint32_t rid,
			      rm_emit_text emit, void *context)
{
	struct policy_handle alias = {0};
	struct lsa_SidArray members = {0};
	NTSTATUS result = NT_STATUS_OK;
	uint32_t st = outcome(c, dcerpc_samr_OpenAlias(c->pipe->binding_handle, mem, domain, SAMR_ALIAS_ACCESS_GET_MEMBERS, rid, &alias, &result), result);
	if (st == RM_OK)
		st = outcome(c, dcerpc_samr_GetMembersInAlias(c->pipe->binding_handle, mem, &alias, &members, &result), result);
	if (!close_handle(c, mem, &alias)) {
		drop_conversation(c, false);
		return RM_RPC_SERVER_UNAVAILABLE;
	}
	if (st != RM_OK || (st = rm_reply_alias_members(&members)) != RM_OK)
		return st;
	for (uint32_t i = 0; i < members.num_sids; i++) {
		char text[512];
		if ((st = member_name(c, mem, members.sids[i].sid, text, sizeof text)) != RM_OK)
			return st;
		emit(context, text);
	}
	return RM_OK;
}

uint32_t rm_local_group_get_members(rm_samr *c, const char *server, const char *group,
				    rm_emit_text emit, void *context)
{
	uint32_t st = open_server(c, server);
	if (st != RM_OK)
		return st;
	if (!group || !*group)
		return RM_GROUP_NOT_FOUND;
	TALLOC_CTX *mem = talloc_new(c->mem);
	struct policy_handle *domain = NULL;
	uint32_t rid = 0;
	st = find_alias(c, mem, group, &domain, &rid);
	if (st == RM_OK)
		st = alias_members(c, mem, domain, rid, emit, context);
	talloc_free(mem);
	return st;
}

uint32_t rm_query_display_machines(rm_samr *c, const char *server, uint32_t index, uint32_t requested,
				   rm_emit_machine emit, void *context)
{
	/* A domain controller proves itself with Kerberos, or gets nothing. */
	uint32_t st = cli_credentials_is_anonymous(c->creds) ? RM_ACCESS_DENIED : open_server_as(c, server, false);
	if (st != RM_OK)
		return st;
	TALLOC_CTX *mem = talloc_new(c->mem);
	uint32_t total = 0, returned = 0;
	union samr_DispInfo info;
	memset(&info, 0, sizeof info);
	NTSTATUS result = NT_STATUS_OK;
	st = outcome(c, dcerpc_samr_QueryDisplayInfo(c->pipe->binding_handle, mem, &c->account_handle, 2, index,
						      requested, (uint32_t)-1, &total, &returned, &info, &result), result);
	if (st == RM_OK || st == RM_MORE_DATA) {
		uint32_t decoded = rm_reply_display_machines(&info, emit, context);
		st = decoded != RM_OK ? decoded : st;
	}
	talloc_free(mem);
	return st;
}
