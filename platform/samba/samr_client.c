#include "samr_client.h"

#include <stdbool.h>
#include <stdio.h>
#include <string.h>
#include <strings.h>
#include <time.h>

#include <talloc.h>
#include <tevent.h>
#include <util/data_blob.h>
#include <util/time.h>
#include <core/ntstatus.h>
#include <core/error.h>
#include <credentials.h>
#include <param.h>
#include <dcerpc.h>
#include <gen_ndr/ndr_samr_c.h>

#include <gnutls/gnutls.h>
#include <gnutls/crypto.h>

/* Status numbers of the platform's network-management interface. */
enum {
	RM_OK = 0,
	RM_ACCESS_DENIED = 5,
	RM_NOT_ENOUGH_MEMORY = 8,
	RM_BAD_NETPATH = 53,
	RM_INVALID_PARAMETER = 87,
	RM_INVALID_NAME = 123,
	RM_MORE_DATA = 234,
	RM_LOGON_FAILURE = 1326,
	RM_ACCOUNT_DISABLED = 1331,
	RM_RPC_SERVER_UNAVAILABLE = 1722,
	RM_RPC_CALL_FAILED = 1726,
	RM_GROUP_NOT_FOUND = 2220,
	RM_USER_NOT_FOUND = 2221,
	RM_USER_EXISTS = 2224,
	RM_PASSWORD_TOO_SHORT = 2245,
	RM_INVALID_COMPUTER = 2351,
};

enum {
	UF_SCRIPT = 0x1, UF_ACCOUNTDISABLE = 0x2, UF_HOMEDIR_REQUIRED = 0x8, UF_LOCKOUT = 0x10,
	UF_PASSWD_NOTREQD = 0x20, UF_TEMP_DUPLICATE_ACCOUNT = 0x100, UF_NORMAL_ACCOUNT = 0x200,
	UF_INTERDOMAIN_TRUST_ACCOUNT = 0x800, UF_WORKSTATION_TRUST_ACCOUNT = 0x1000,
	UF_SERVER_TRUST_ACCOUNT = 0x2000, UF_DONT_EXPIRE_PASSWD = 0x10000,
	UF_SMARTCARD_REQUIRED = 0x40000, UF_TRUSTED_FOR_DELEGATION = 0x80000,
	UF_NOT_DELEGATED = 0x100000, UF_USE_DES_KEY_ONLY = 0x200000,
	UF_DONT_REQUIRE_PREAUTH = 0x400000, UF_PASSWORD_EXPIRED = 0x800000,
};

static const struct { uint32_t acb, uf; } flag_map[] = {
	{ACB_DISABLED, UF_ACCOUNTDISABLE}, {ACB_HOMDIRREQ, UF_HOMEDIR_REQUIRED},
	{ACB_PWNOTREQ, UF_PASSWD_NOTREQD}, {ACB_TEMPDUP, UF_TEMP_DUPLICATE_ACCOUNT},
	{ACB_NORMAL, UF_NORMAL_ACCOUNT}, {ACB_DOMTRUST, UF_INTERDOMAIN_TRUST_ACCOUNT},
	{ACB_WSTRUST, UF_WORKSTATION_TRUST_ACCOUNT}, {ACB_SVRTRUST, UF_SERVER_TRUST_ACCOUNT},
	{ACB_PWNOEXP, UF_DONT_EXPIRE_PASSWD}, {ACB_AUTOLOCK, UF_LOCKOUT},
	{ACB_SMARTCARD_REQUIRED, UF_SMARTCARD_REQUIRED}, {ACB_TRUSTED_FOR_DELEGATION, UF_TRUSTED_FOR_DELEGATION},
	{ACB_NOT_DELEGATED, UF_NOT_DELEGATED}, {ACB_USE_DES_KEY_ONLY, UF_USE_DES_KEY_ONLY},
	{ACB_DONT_REQUIRE_PREAUTH, UF_DONT_REQUIRE_PREAUTH}, {ACB_PW_EXPIRED, UF_PASSWORD_EXPIRED},
};

struct rm_samr {
	TALLOC_CTX *mem;
	struct tevent_context *ev;
	struct loadparm_context *lp;
	struct cli_credentials *creds;
	unsigned timeout;
	/* The one server conversation held: its pipe and handles. */
	TALLOC_CTX *conversation;
	char server[256];
	struct dcerpc_pipe *pipe;
	struct policy_handle connect_handle;
	struct policy_handle account_handle;
	struct policy_handle builtin_handle;
	struct dom_sid *account_sid;
	struct dom_sid *builtin_sid;
	char account_domain[256];
};

static uint32_t map_status(NTSTATUS s)
{
	if (NT_STATUS_IS_OK(s))
		return RM_OK;
	if (NT_STATUS_EQUAL(s, NT_STATUS_ACCESS_DENIED) || NT_STATUS_EQUAL(s, NT_STATUS_NETWORK_ACCESS_DENIED))
		return RM_ACCESS_DENIED;
	if (NT_STATUS_EQUAL(s, NT_STATUS_LOGON_FAILURE) || NT_STATUS_EQUAL(s, NT_STATUS_WRONG_PASSWORD)
	    )
		return RM_LOGON_FAILURE;
	if (NT_STATUS_EQUAL(s, NT_STATUS_HOST_UNREACHABLE) || NT_STATUS_EQUAL(s, NT_STATUS_NETWORK_UNREACHABLE)
	    || NT_STATUS_EQUAL(s, NT_STATUS_BAD_NETWORK_NAME) || NT_STATUS_EQUAL(s, NT_STATUS_BAD_NETWORK_PATH)
	    || NT_STATUS_EQUAL(s, NT_STATUS_CONNECTION_REFUSED) || NT_STATUS_EQUAL(s, NT_STATUS_IO_TIMEOUT)
	    || NT_STATUS_EQUAL(s, NT_STATUS_INVALID_ADDRESS) || NT_STATUS_EQUAL(s, NT_STATUS_OBJECT_NAME_NOT_FOUND)
	    || NT_STATUS_EQUAL(s, NT_STATUS_PORT_UNREACHABLE))
		return RM_BAD_NETPATH;
	if (NT_STATUS_EQUAL(s, NT_STATUS_CONNECTION_RESET) || NT_STATUS_EQUAL(s, NT_STATUS_CONNECTION_DISCONNECTED)
	    || NT_STATUS_EQUAL(s, NT_STATUS_PIPE_BROKEN) || NT_STATUS_EQUAL(s, NT_STATUS_END_OF_FILE)
	    || NT_STATUS_EQUAL(s, NT_STATUS_RPC_PROTOCOL_ERROR) || NT_STATUS_EQUAL(s, NT_STATUS_INVALID_NETWORK_RESPONSE)
	    || NT_STATUS_EQUAL(s, NT_STATUS_CONNECTION_ABORTED))
		return RM_RPC_SERVER_UNAVAILABLE;
	if (NT_STATUS_EQUAL(s, NT_STATUS_NONE_MAPPED) || NT_STATUS_EQUAL(s, NT_STATUS_NO_SUCH_USER))
		return RM_USER_NOT_FOUND;
	if (NT_STATUS_EQUAL(s, NT_STATUS_NO_SUCH_ALIAS) || NT_STATUS_EQUAL(s, NT_STATUS_NO_SUCH_GROUP))
		return RM_GROUP_NOT_FOUND;
	if (NT_STATUS_EQUAL(s, NT_STATUS_USER_EXISTS) || NT_STATUS_EQUAL(s, NT_STATUS_GROUP_EXISTS)
	    || NT_STATUS_EQUAL(s, NT_STATUS_ALIAS_EXISTS))
		return RM_USER_EXISTS;
	if (NT_STATUS_EQUAL(s, NT_STATUS_PASSWORD_RESTRICTION))
		return RM_PASSWORD_TOO_SHORT;
	if (NT_STATUS_EQUAL(s, NT_STATUS_NO_MEMORY))
		return RM_NOT_ENOUGH_MEMORY;
	if (NT_STATUS_EQUAL(s, NT_STATUS_INVALID_PARAMETER))
		return RM_INVALID_PARAMETER;
	if (NT_STATUS_EQUAL(s, NT_STATUS_STOPPED_ON_SYMLINK) || NT_STATUS_EQUAL(s, STATUS_MORE_ENTRIES))
		return RM_MORE_DATA;
	return W_ERROR_V(ntstatus_to_werror(s));
}

/* A computer name holds letters, digits and - . _ $ and spaces only. */
static bool valid_server(const char *name)
{
	size_t n = strlen(name);
	if (n == 0 || n > 255)
		return false;
	for (size_t i = 0; i < n; i++) {
		unsigned char ch = (unsigned char)name[i];
		if (!(ch >= 'a' && ch <= 'z') && !(ch >= 'A' && ch <= 'Z') && !(ch >= '0' && ch <= '9')
		    && ch != '-' && ch != '.' && ch != '_' && ch != '$')
			return false;
	}
	return name[0] != '.' && name[0] != '-';
}

static const char *strip_backslashes(const char *server)
{
	while (*server == '\\')
		server++;
	return server;
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
	c->lp = loadparm_init_global(false);
	lpcfg_set_cmdline(c->lp, "client min protocol", "SMB2_02");
	c->creds = cli_credentials_init(mem);
	cli_credentials_set_conf(c->creds, c->lp);
	cli_credentials_set_kerberos_state(c->creds, CRED_USE_KERBEROS_DISABLED, CRED_SPECIFIED);
	cli_credentials_set_anonymous(c->creds);
	c->timeout = 30;
	return c;
}

static void drop_conversation(rm_samr *c)
{
	TALLOC_FREE(c->conversation);
	c->pipe = NULL;
	c->server[0] = '\0';
}

void rm_samr_free(rm_samr *c)
{
	if (!c)
		return;
	drop_conversation(c);
	talloc_free(c->mem);
}

void rm_samr_set_credentials(rm_samr *c, const char *user, const char *domain, const char *password)
{
	drop_conversation(c);
	talloc_free(c->creds);
	c->creds = cli_credentials_init(c->mem);
	cli_credentials_set_conf(c->creds, c->lp);
	if (password && *password) {
		cli_credentials_set_kerberos_state(c->creds, CRED_USE_KERBEROS_DISABLED, CRED_SPECIFIED);
		cli_credentials_set_username(c->creds, user, CRED_SPECIFIED);
		cli_credentials_set_domain(c->creds, domain, CRED_SPECIFIED);
		cli_credentials_set_password(c->creds, password, CRED_SPECIFIED);
	} else {
		/* No password: the user's Kerberos ticket, from the default cache. */
		const char *error = NULL;
		cli_credentials_set_kerberos_state(c->creds, CRED_USE_KERBEROS_REQUIRED, CRED_SPECIFIED);
		cli_credentials_set_ccache(c->creds, c->lp, NULL, CRED_SPECIFIED, &error);
	}
}

void rm_samr_set_timeout(rm_samr *c, unsigned seconds)
{
	c->timeout = seconds;
	if (c->pipe)
		dcerpc_binding_handle_set_timeout(c->pipe->binding_handle, seconds);
}

#define CALL(expr)                                                   \
	do {                                                         \
		NTSTATUS transport_ = (expr);                        \
		if (!NT_STATUS_IS_OK(transport_)) {                  \
			drop_conversation(c);                        \
			return map_status(transport_);               \
		}                                                    \
		if (!NT_STATUS_IS_OK(result) && !NT_STATUS_EQUAL(result, STATUS_MORE_ENTRIES)) \
			return map_status(result);                   \
	} while (0)

/* Opens (or keeps) the conversation with one server: the pipe, the SAM and
 * its two domains, the computer's own and Builtin. */
static uint32_t open_server(rm_samr *c, const char *server_name)
{
	const char *server = strip_backslashes(server_name);
	if (!valid_server(server))
		return RM_INVALID_COMPUTER;
	if (c->pipe && strcasecmp(c->server, server) == 0)
		return RM_OK;
	drop_conversation(c);
	c->conversation = talloc_new(c->mem);
	char *binding = talloc_asprintf(c->conversation, "ncacn_np:%s", server);
	NTSTATUS result = NT_STATUS_OK;
	NTSTATUS s = dcerpc_pipe_connect(c->conversation, &c->pipe, binding, &ndr_table_samr, c->creds, c->ev, c->lp);
	if (!NT_STATUS_IS_OK(s)) {
		drop_conversation(c);
		/* The library reports a computer that cannot be reached (no
		 * answer to ARP on either SMB port) as out of memory. */
		return NT_STATUS_EQUAL(s, NT_STATUS_NO_MEMORY) ? RM_BAD_NETPATH : map_status(s);
	}
	dcerpc_binding_handle_set_timeout(c->pipe->binding_handle, c->timeout);
	struct dcerpc_binding_handle *h = c->pipe->binding_handle;
	CALL(dcerpc_samr_Connect2(h, c->conversation, server, SEC_FLAG_MAXIMUM_ALLOWED, &c->connect_handle, &result));

	uint32_t resume = 0, count = 0;
	struct samr_SamArray *domains = NULL;
	CALL(dcerpc_samr_EnumDomains(h, c->conversation, &c->connect_handle, &resume, &domains, (uint32_t)-1, &count, &result));
	const char *account = NULL;
	for (uint32_t i = 0; domains && i < domains->count; i++)
		if (strcasecmp(domains->entries[i].name.string, "Builtin") != 0)
			account = domains->entries[i].name.string;
	if (!account) {
		drop_conversation(c);
		return RM_RPC_CALL_FAILED;
	}
	snprintf(c->account_domain, sizeof c->account_domain, "%s", account);
	struct lsa_String name = {.string = account};
	CALL(dcerpc_samr_LookupDomain(h, c->conversation, &c->connect_handle, &name, &c->account_sid, &result));
	name.string = "Builtin";
	CALL(dcerpc_samr_LookupDomain(h, c->conversation, &c->connect_handle, &name, &c->builtin_sid, &result));
	CALL(dcerpc_samr_OpenDomain(h, c->conversation, &c->connect_handle, SEC_FLAG_MAXIMUM_ALLOWED, c->account_sid, &c->account_handle, &result));
	CALL(dcerpc_samr_OpenDomain(h, c->conversation, &c->connect_handle, SEC_FLAG_MAXIMUM_ALLOWED, c->builtin_sid, &c->builtin_handle, &result));
	snprintf(c->server, sizeof c->server, "%s", server);
	return RM_OK;
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
	CALL(dcerpc_samr_LookupNames(c->pipe->binding_handle, mem, &c->account_handle, 1, &name, &rids, &types, &result));
	if (rids.count != 1 || types.count != 1 || types.ids[0] != SID_NAME_USER)
		return RM_USER_NOT_FOUND;
	*rid = rids.ids[0];
	return RM_OK;
}

static uint32_t open_user(rm_samr *c, TALLOC_CTX *mem, const char *server, const char *user,
			  uint32_t access, struct policy_handle *handle, uint32_t *rid_out)
{
	uint32_t st = open_server(c, server);
	if (st != RM_OK)
		return st;
	uint32_t rid = 0;
	if ((st = lookup_user(c, mem, user, &rid)) != RM_OK)
		return st;
	NTSTATUS result = NT_STATUS_OK;
	CALL(dcerpc_samr_OpenUser(c->pipe->binding_handle, mem, &c->account_handle, access, rid, handle, &result));
	if (rid_out)
		*rid_out = rid;
	return RM_OK;
}

static void close_handle(rm_samr *c, TALLOC_CTX *mem, struct policy_handle *handle)
{
	NTSTATUS result;
	if (c->pipe)
		dcerpc_samr_Close(c->pipe->binding_handle, mem, handle, &result);
}

static void copy_text(char *dest, size_t size, const char *src)
{
	snprintf(dest, size, "%s", src ? src : "");
}

static uint32_t to_uf(uint32_t acb)
{
	uint32_t uf = UF_SCRIPT;
	for (size_t i = 0; i < sizeof flag_map / sizeof flag_map[0]; i++)
		if (acb & flag_map[i].acb)
			uf |= flag_map[i].uf;
	return uf;
}

static uint32_t to_acb(uint32_t uf, uint32_t old_acb)
{
	uint32_t acb = old_acb;
	for (size_t i = 0; i < sizeof flag_map / sizeof flag_map[0]; i++) {
		if (flag_map[i].acb == ACB_AUTOLOCK && (uf & UF_LOCKOUT))
			continue; /* an account can be unlocked, never locked, by setting flags */
		if (uf & flag_map[i].uf)
			acb |= flag_map[i].acb;
		else
			acb &= ~flag_map[i].acb;
	}
	return acb;
}

static struct dom_sid *compose_sid(TALLOC_CTX *mem, const struct dom_sid *domain, uint32_t rid)
{
	struct dom_sid *sid = talloc(mem, struct dom_sid);
	*sid = *domain;
	sid->sub_auths[sid->num_auths++] = rid;
	return sid;
}

static bool sid_in_domain(const struct dom_sid *sid, const struct dom_sid *domain, uint32_t *rid)
{
	if (sid->num_auths != domain->num_auths + 1 || sid->sid_rev_num != domain->sid_rev_num
	    || memcmp(sid->id_auth, domain->id_auth, 6) != 0)
		return false;
	for (int i = 0; i < domain->num_auths; i++)
		if (sid->sub_auths[i] != domain->sub_auths[i])
			return false;
	*rid = sid->sub_auths[domain->num_auths];
	return true;
}

static void sid_text(const struct dom_sid *sid, char *out, size_t size)
{
	uint64_t authority = 0;
	for (int i = 0; i < 6; i++)
		authority = (authority << 8) | sid->id_auth[i];
	int n = snprintf(out, size, "S-%u-%llu", sid->sid_rev_num, (unsigned long long)authority);
	for (int i = 0; i < sid->num_auths && n > 0 && (size_t)n < size; i++)
		n += snprintf(out + n, size - n, "-%u", sid->sub_auths[i]);
}

/* Builtin's group 544, Administrators, makes the account an administrator. */
static uint32_t user_priv(rm_samr *c, TALLOC_CTX *mem, uint32_t rid)
{
	struct lsa_SidPtr ptr = {.sid = compose_sid(mem, c->account_sid, rid)};
	struct lsa_SidArray sids = {.num_sids = 1, .sids = &ptr};
	struct samr_Ids aliases = {0};
	NTSTATUS result = NT_STATUS_OK;
	NTSTATUS s = dcerpc_samr_GetAliasMembership(c->pipe->binding_handle, mem, &c->builtin_handle, &sids, &aliases, &result);
	if (!NT_STATUS_IS_OK(s) || !NT_STATUS_IS_OK(result))
		return 1;
	for (uint32_t i = 0; i < aliases.count; i++) {
		if (aliases.ids[i] == 544)
			return 2;
		if (aliases.ids[i] == 546)
			return 0;
	}
	return 1;
}

uint32_t rm_user_get_info1(rm_samr *c, const char *server, const char *user, struct rm_user_info1 *out)
{
	TALLOC_CTX *mem = talloc_new(c->mem);
	struct policy_handle handle;
	uint32_t rid = 0;
	memset(out, 0, sizeof *out);
	uint32_t st = open_user(c, mem, server, user, SAMR_USER_ACCESS_GET_ATTRIBUTES | SAMR_USER_ACCESS_GET_NAME_ETC
				| SAMR_USER_ACCESS_GET_LOCALE | SAMR_USER_ACCESS_GET_LOGONINFO, &handle, &rid);
	if (st == RM_OK) {
		union samr_UserInfo *info = NULL;
		NTSTATUS result = NT_STATUS_OK;
		NTSTATUS s = dcerpc_samr_QueryUserInfo(c->pipe->binding_handle, mem, &handle, UserAllInformation, &info, &result);
		if (!NT_STATUS_IS_OK(s)) {
			drop_conversation(c);
			st = map_status(s);
		} else if (!NT_STATUS_IS_OK(result)) {
			st = map_status(result);
		} else {
			const struct samr_UserInfo21 *u = &info->info21;
			copy_text(out->name, sizeof out->name, u->account_name.string);
			copy_text(out->home_dir, sizeof out->home_dir, u->home_directory.string);
			copy_text(out->comment, sizeof out->comment, u->description.string);
			copy_text(out->script_path, sizeof out->script_path, u->logon_script.string);
			out->flags = to_uf(u->acct_flags);
			time_t set = nt_time_to_unix(u->last_password_change);
			time_t now = time(NULL);
			out->password_age = u->last_password_change == 0 || set > now ? 0 : (uint32_t)(now - set);
			out->priv = user_priv(c, mem, rid);
			close_handle(c, mem, &handle);
		}
	}
	talloc_free(mem);
	return st;
}

static uint32_t set_user_info(rm_samr *c, const char *server, const char *user, uint32_t access,
			      uint16_t level, union samr_UserInfo *info, TALLOC_CTX *mem)
{
	struct policy_handle handle;
	uint32_t st = open_user(c, mem, server, user, access, &handle, NULL);
	if (st != RM_OK)
		return st;
	NTSTATUS result = NT_STATUS_OK;
	NTSTATUS s = dcerpc_samr_SetUserInfo2(c->pipe->binding_handle, mem, &handle, level, info, &result);
	if (!NT_STATUS_IS_OK(s)) {
		drop_conversation(c);
		return map_status(s);
	}
	close_handle(c, mem, &handle);
	return map_status(result);
}

/* The 532-byte password buffer: random fill with the UTF-16 password at the
 * end of 512 bytes, its byte length, then a random confounder; the first 516
 * bytes encrypted with RC4 under MD5(confounder, session key). */
static bool encode_password(const char *password, const DATA_BLOB *session_key, uint8_t out[532])
{
	uint8_t buffer[516];
	uint8_t confounder[16];
	uint8_t key[16];
	size_t units = 0;
	uint8_t utf16[512];
	for (const unsigned char *p = (const unsigned char *)password; *p;) {
		uint32_t cp = *p++;
		int extra = cp >= 0xF0 ? 3 : cp >= 0xE0 ? 2 : cp >= 0xC0 ? 1 : 0;
		cp &= extra == 3 ? 0x07 : extra == 2 ? 0x0F : extra == 1 ? 0x1F : 0x7F;
		for (int k = 0; k < extra; k++) {
			if ((*p & 0xC0) != 0x80)
				return false;
			cp = (cp << 6) | (*p++ & 0x3F);
		}
		if (cp >= 0x10000) {
			if (units + 2 > 256)
				return false;
			cp -= 0x10000;
			uint16_t hi = 0xD800 + (cp >> 10), lo = 0xDC00 + (cp & 0x3FF);
			utf16[2 * units] = hi & 0xFF; utf16[2 * units + 1] = hi >> 8; units++;
			utf16[2 * units] = lo & 0xFF; utf16[2 * units + 1] = lo >> 8; units++;
		} else {
			if (units + 1 > 256)
				return false;
			utf16[2 * units] = cp & 0xFF; utf16[2 * units + 1] = cp >> 8; units++;
		}
	}
	size_t bytes = 2 * units;
	if (gnutls_rnd(GNUTLS_RND_RANDOM, buffer, 512) != 0 || gnutls_rnd(GNUTLS_RND_NONCE, confounder, 16) != 0)
		return false;
	memcpy(buffer + 512 - bytes, utf16, bytes);
	buffer[512] = bytes & 0xFF;
	buffer[513] = (bytes >> 8) & 0xFF;
	buffer[514] = buffer[515] = 0;

	gnutls_hash_hd_t md5;
	if (gnutls_hash_init(&md5, GNUTLS_DIG_MD5) != 0)
		return false;
	gnutls_hash(md5, confounder, 16);
	gnutls_hash(md5, session_key->data, session_key->length);
	gnutls_hash_deinit(md5, key);

	gnutls_cipher_hd_t rc4;
	gnutls_datum_t k = {.data = key, .size = 16};
	if (gnutls_cipher_init(&rc4, GNUTLS_CIPHER_ARCFOUR_128, &k, NULL) != 0)
		return false;
	int rc = gnutls_cipher_encrypt(rc4, buffer, 516);
	gnutls_cipher_deinit(rc4);
	memcpy(out, buffer, 516);
	memcpy(out + 516, confounder, 16);
	memset(buffer, 0, sizeof buffer);
	memset(utf16, 0, sizeof utf16);
	memset(key, 0, sizeof key);
	return rc == 0;
}

uint32_t rm_user_set_password(rm_samr *c, const char *server, const char *user, const char *password)
{
	uint32_t st = open_server(c, server);
	if (st != RM_OK)
		return st;
	TALLOC_CTX *mem = talloc_new(c->mem);
	DATA_BLOB key = data_blob_null;
	NTSTATUS s = dcerpc_fetch_session_key(c->pipe, &key);
	if (!NT_STATUS_IS_OK(s) || key.length == 0) {
		talloc_free(mem);
		return RM_ACCESS_DENIED;
	}
	union samr_UserInfo info;
	memset(&info, 0, sizeof info);
	info.info25.info.fields_present = SAMR_FIELD_NT_PASSWORD_PRESENT;
	if (!encode_password(password ? password : "", &key, info.info25.password.data)) {
		talloc_free(mem);
		return RM_INVALID_PARAMETER;
	}
	st = set_user_info(c, server, user, SAMR_USER_ACCESS_SET_PASSWORD, 25, &info, mem);
	memset(&info, 0, sizeof info);
	talloc_free(mem);
	return st;
}

uint32_t rm_user_set_flags(rm_samr *c, const char *server, const char *user, uint32_t flags)
{
	TALLOC_CTX *mem = talloc_new(c->mem);
	struct policy_handle handle;
	uint32_t st = open_user(c, mem, server, user, SAMR_USER_ACCESS_GET_ATTRIBUTES | SAMR_USER_ACCESS_SET_ATTRIBUTES, &handle, NULL);
	if (st == RM_OK) {
		union samr_UserInfo *old = NULL;
		NTSTATUS result = NT_STATUS_OK;
		NTSTATUS s = dcerpc_samr_QueryUserInfo(c->pipe->binding_handle, mem, &handle, 16, &old, &result);
		if (!NT_STATUS_IS_OK(s)) {
			drop_conversation(c);
			st = map_status(s);
		} else if (!NT_STATUS_IS_OK(result)) {
			st = map_status(result);
		} else {
			union samr_UserInfo info;
			memset(&info, 0, sizeof info);
			info.info16.acct_flags = to_acb(flags, old->info16.acct_flags);
			s = dcerpc_samr_SetUserInfo2(c->pipe->binding_handle, mem, &handle, 16, &info, &result);
			if (!NT_STATUS_IS_OK(s)) {
				drop_conversation(c);
				st = map_status(s);
			} else {
				st = map_status(result);
				close_handle(c, mem, &handle);
			}
		}
	}
	talloc_free(mem);
	return st;
}

uint32_t rm_user_set_name(rm_samr *c, const char *server, const char *user, const char *name)
{
	if (!name || !*name)
		return RM_INVALID_PARAMETER;
	TALLOC_CTX *mem = talloc_new(c->mem);
	union samr_UserInfo info;
	memset(&info, 0, sizeof info);
	info.info7.account_name.string = name;
	uint32_t st = set_user_info(c, server, user, SAMR_USER_ACCESS_SET_ATTRIBUTES, 7, &info, mem);
	talloc_free(mem);
	return st;
}

/* The names of the aliases of one domain that hold any of the SIDs. */
static uint32_t emit_aliases(rm_samr *c, TALLOC_CTX *mem, struct policy_handle *domain,
			     struct lsa_SidArray *sids, rm_emit_text emit, void *context)
{
	struct samr_Ids aliases = {0};
	NTSTATUS result = NT_STATUS_OK;
	CALL(dcerpc_samr_GetAliasMembership(c->pipe->binding_handle, mem, domain, sids, &aliases, &result));
	if (aliases.count == 0)
		return RM_OK;
	struct lsa_Strings names = {0};
	struct samr_Ids types = {0};
	CALL(dcerpc_samr_LookupRids(c->pipe->binding_handle, mem, domain, aliases.count, aliases.ids, &names, &types, &result));
	for (uint32_t i = 0; i < names.count; i++)
		if (names.names[i].string)
			emit(context, names.names[i].string);
	return RM_OK;
}

uint32_t rm_user_get_local_groups(rm_samr *c, const char *server, const char *user, uint32_t flags,
				  rm_emit_text emit, void *context)
{
	TALLOC_CTX *mem = talloc_new(c->mem);
	struct policy_handle handle;
	uint32_t rid = 0;
	uint32_t st = open_user(c, mem, server, user, SAMR_USER_ACCESS_GET_GROUPS, &handle, &rid);
	if (st != RM_OK) {
		talloc_free(mem);
		return st;
	}
	/* The user and, for indirect memberships, its global groups. */
	struct samr_RidWithAttributeArray *groups = NULL;
	NTSTATUS result = NT_STATUS_OK;
	uint32_t count = 1;
	if (flags & 1) {
		NTSTATUS s = dcerpc_samr_GetGroupsForUser(c->pipe->binding_handle, mem, &handle, &groups, &result);
		if (!NT_STATUS_IS_OK(s)) {
			drop_conversation(c);
			talloc_free(mem);
			return map_status(s);
		}
		if (NT_STATUS_IS_OK(result) && groups)
			count += groups->count;
	}
	close_handle(c, mem, &handle);
	struct lsa_SidPtr *ptrs = talloc_array(mem, struct lsa_SidPtr, count);
	ptrs[0].sid = compose_sid(mem, c->account_sid, rid);
	for (uint32_t i = 1; i < count; i++)
		ptrs[i].sid = compose_sid(mem, c->account_sid, groups->rids[i - 1].rid);
	struct lsa_SidArray sids = {.num_sids = count, .sids = ptrs};
	st = emit_aliases(c, mem, &c->account_handle, &sids, emit, context);
	if (st == RM_OK)
		st = emit_aliases(c, mem, &c->builtin_handle, &sids, emit, context);
	talloc_free(mem);
	return st;
}

static const struct { const char *sid, *name; } well_known[] = {
	{"S-1-1-0", "\\Everyone"},
	{"S-1-5-4", "NT AUTHORITY\\INTERACTIVE"},
	{"S-1-5-2", "NT AUTHORITY\\NETWORK"},
	{"S-1-5-11", "NT AUTHORITY\\Authenticated Users"},
	{"S-1-5-18", "NT AUTHORITY\\SYSTEM"},
};

uint32_t rm_local_group_get_members(rm_samr *c, const char *server, const char *group,
				    rm_emit_text emit, void *context)
{
	uint32_t st = open_server(c, server);
	if (st != RM_OK)
		return st;
	if (!group || !*group)
		return RM_GROUP_NOT_FOUND;
	TALLOC_CTX *mem = talloc_new(c->mem);
	struct lsa_String name = {.string = group};
	NTSTATUS result = NT_STATUS_OK;
	/* A local group of the computer's own domain, else of Builtin. */
	struct policy_handle *domains[] = {&c->account_handle, &c->builtin_handle};
	struct policy_handle *domain = NULL;
	uint32_t rid = 0;
	for (int d = 0; d < 2 && !domain; d++) {
		struct samr_Ids rids = {0}, types = {0};
		NTSTATUS s = dcerpc_samr_LookupNames(c->pipe->binding_handle, mem, domains[d], 1, &name, &rids, &types, &result);
		if (!NT_STATUS_IS_OK(s)) {
			drop_conversation(c);
			talloc_free(mem);
			return map_status(s);
		}
		if (NT_STATUS_IS_OK(result) && types.count == 1 && types.ids[0] == SID_NAME_ALIAS) {
			domain = domains[d];
			rid = rids.ids[0];
		}
	}
	if (!domain) {
		talloc_free(mem);
		return RM_GROUP_NOT_FOUND;
	}
	struct policy_handle alias;
	struct lsa_SidArray members = {0};
	NTSTATUS s = dcerpc_samr_OpenAlias(c->pipe->binding_handle, mem, domain, SAMR_ALIAS_ACCESS_GET_MEMBERS, rid, &alias, &result);
	if (NT_STATUS_IS_OK(s) && NT_STATUS_IS_OK(result))
		s = dcerpc_samr_GetMembersInAlias(c->pipe->binding_handle, mem, &alias, &members, &result);
	if (!NT_STATUS_IS_OK(s)) {
		drop_conversation(c);
		talloc_free(mem);
		return map_status(s);
	}
	if (!NT_STATUS_IS_OK(result)) {
		talloc_free(mem);
		return map_status(result);
	}
	close_handle(c, mem, &alias);
	for (uint32_t i = 0; i < members.num_sids; i++) {
		const struct dom_sid *sid = members.sids[i].sid;
		char text[512];
		uint32_t member_rid = 0;
		struct policy_handle *owner = NULL;
		const char *owner_name = NULL;
		if (sid_in_domain(sid, c->account_sid, &member_rid)) {
			owner = &c->account_handle;
			owner_name = c->account_domain;
		} else if (sid_in_domain(sid, c->builtin_sid, &member_rid)) {
			owner = &c->builtin_handle;
			owner_name = "BUILTIN";
		}
		text[0] = '\0';
		if (owner) {
			struct lsa_Strings names = {0};
			struct samr_Ids types = {0};
			s = dcerpc_samr_LookupRids(c->pipe->binding_handle, mem, owner, 1, &member_rid, &names, &types, &result);
			if (NT_STATUS_IS_OK(s) && NT_STATUS_IS_OK(result) && names.count == 1 && names.names[0].string)
				snprintf(text, sizeof text, "%s\\%s", owner_name, names.names[0].string);
		}
		if (!text[0]) {
			char sid_string[256];
			sid_text(sid, sid_string, sizeof sid_string);
			snprintf(text, sizeof text, "%s", sid_string);
			for (size_t k = 0; k < sizeof well_known / sizeof well_known[0]; k++)
				if (strcmp(sid_string, well_known[k].sid) == 0)
					snprintf(text, sizeof text, "%s", well_known[k].name);
		}
		emit(context, text);
	}
	talloc_free(mem);
	return RM_OK;
}

uint32_t rm_query_display_machines(rm_samr *c, const char *server, uint32_t index, uint32_t requested,
				   rm_emit_machine emit, void *context)
{
	uint32_t st = open_server(c, server);
	if (st != RM_OK)
		return st;
	TALLOC_CTX *mem = talloc_new(c->mem);
	uint32_t total = 0, returned = 0;
	union samr_DispInfo info;
	memset(&info, 0, sizeof info);
	NTSTATUS result = NT_STATUS_OK;
	NTSTATUS s = dcerpc_samr_QueryDisplayInfo(c->pipe->binding_handle, mem, &c->account_handle, 2, index,
						  requested, (uint32_t)-1, &total, &returned, &info, &result);
	if (!NT_STATUS_IS_OK(s)) {
		drop_conversation(c);
		talloc_free(mem);
		return map_status(s);
	}
	if (!NT_STATUS_IS_OK(result) && !NT_STATUS_EQUAL(result, STATUS_MORE_ENTRIES)) {
		talloc_free(mem);
		return map_status(result);
	}
	for (uint32_t i = 0; i < info.info2.count; i++) {
		const struct samr_DispEntryFull *e = &info.info2.entries[i];
		struct rm_display_machine m;
		memset(&m, 0, sizeof m);
		copy_text(m.name, sizeof m.name, e->account_name.string);
		copy_text(m.comment, sizeof m.comment, e->description.string);
		m.flags = to_uf(e->acct_flags);
		m.user_id = e->rid;
		m.next_index = e->idx;
		emit(context, &m);
	}
	talloc_free(mem);
	return NT_STATUS_EQUAL(result, STATUS_MORE_ENTRIES) ? RM_MORE_DATA : RM_OK;
}
