#include "browse_client.h"

#include "libsmb_private.h"
#include "net_names.h"
#include "net_status.h"
#include "rap_server_list.h"
#include "server_versions.h"
#include "srvsvc_client.h"

#include <ctype.h>
#include <netdb.h>
#include <stdbool.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>

#include <credentials.h>
#include <krb5.h>
#include <netapi.h>

enum {
	NAME_TYPE_SERVER = 0x20,
	SMB_TRANS = 0x25,
	/* Pages of the list past the first, as NetServerEnum3 gives them. */
	MAX_PAGES = 64,
	/* Servers asked for their version at once, and for how long at most. */
	VERSION_QUERIES = 32,
	VERSION_BUDGET_MS = 5000,
};

struct server_list {
	struct rm_server_info101 *items;
	size_t count, capacity;
};

static void add_server(void *context, const struct rm_server_info101 *server)
{
	struct server_list *list = context;
	if (list->count == list->capacity) {
		size_t capacity = list->capacity ? 2 * list->capacity : 64;
		struct rm_server_info101 *grown = realloc(list->items, capacity * sizeof *grown);
		if (!grown)
			return;
		list->items = grown;
		list->capacity = capacity;
	}
	list->items[list->count++] = *server;
}

/* The workgroup's local master browser, else its domain master browser:
 * its address and the name it answers to. */
static bool find_master(const char *workgroup, struct sockaddr_storage *address, char name[256])
{
	static const int name_types[] = {0x1D, 0x1B};
	for (size_t i = 0; i < sizeof name_types / sizeof name_types[0]; i++) {
		if (!resolve_name(workgroup, address, name_types[i], true))
			continue;
		if (!name_status_find(workgroup, name_types[i], NAME_TYPE_SERVER, address, name)
		    && getnameinfo((const struct sockaddr *)address, sizeof *address, name, 256, NULL, 0, NI_NUMERICHOST) != 0)
			continue;
		return true;
	}
	return false;
}

/* The browser's IPC$ over SMB1, the only protocol RAP runs on. The list is
 * no secret, and the browser is whoever answered the broadcast: it is asked
 * anonymously, never with the user's credentials. */
static uint32_t connect_master(const struct sockaddr_storage *address, const char *name, int64_t deadline,
			       struct cli_state **cli)
{
	struct tevent_context *ev = tevent_context_init(NULL);
	struct cli_credentials *anonymous = ev ? cli_credentials_init_anon(ev) : NULL;
	if (!anonymous) {
		talloc_free(ev);
		return RM_NOT_ENOUGH_MEMORY;
	}
	struct tevent_req *req = cli_full_connection_creds_send(ev, ev, lp_netbios_name(), name, address, 0, "IPC$", "IPC",
								anonymous, CLI_FULL_CONNECTION_FORCE_SMB1 | CLI_FULL_CONNECTION_IPC);
	int64_t left = deadline - rm_monotonic_ms();
	NTSTATUS s = NT_STATUS_IO_TIMEOUT;
	if (req && left > 0 && tevent_req_set_endtime(req, ev, tevent_timeval_current_ofs(left / 1000, left % 1000 * 1000))) {
		tevent_req_poll(req, ev);
		s = cli_full_connection_creds_recv(req, cli);
	}
	talloc_free(ev);
	if (NT_STATUS_IS_OK(s))
		return RM_OK;
	uint32_t st = rm_status_of_connect(NT_STATUS_V(s));
	return st == RM_ACCESS_DENIED || st == RM_LOGON_FAILURE ? st : RM_NO_BROWSER_SERVERS_FOUND;
}

/* One page of the list; `last` names the page's predecessor's last entry. */
static uint32_t read_page(struct cli_state *cli, const char *workgroup, uint32_t type, const char *last,
			  int64_t deadline, struct rm_rap_page *page, struct server_list *list)
{
	uint8_t param[256];
	size_t n = rm_rap_server_request(param, sizeof param, workgroup, type, last);
	if (n == 0)
		return RM_INVALID_PARAMETER;
	int64_t left = deadline - rm_monotonic_ms();
	if (left <= 0)
		return RM_BAD_NETPATH;
	cli_set_timeout(cli, (unsigned)left);
	TALLOC_CTX *mem = talloc_new(NULL);
	uint8_t *rparam = NULL, *rdata = NULL;
	uint32_t param_length = 0, data_length = 0;
	NTSTATUS s = cli_trans(mem, cli, SMB_TRANS, "\\PIPE\\LANMAN", 0, 0, 0, NULL, 0, 0, param, (uint32_t)n, 8, NULL, 0,
			       0xFFFF, NULL, NULL, 0, NULL, &rparam, 0, &param_length, &rdata, 0, &data_length);
	uint32_t st = NT_STATUS_IS_OK(s) ? rm_rap_server_answer(rparam, param_length, rdata, data_length, last, page, add_server, list)
					 : rm_status_of_connect(NT_STATUS_V(s));
	talloc_free(mem);
	return st != RM_OK ? st : page->status;
}

/* The whole list, page after page. A page that fails after the first
 * leaves the list as far as it came, as a browser's own short answer does. */
static uint32_t read_list(struct cli_state *cli, const char *workgroup, uint32_t type, int64_t deadline,
			  struct server_list *list)
{
	char last[sizeof list->items->name] = "";
	for (int page = 0; page < MAX_PAGES; page++) {
		struct rm_rap_page got;
		uint32_t st = read_page(cli, workgroup, type, page ? last : NULL, deadline, &got, list);
		if (st != RM_OK && st != RM_MORE_DATA)
			return page ? RM_MORE_DATA : st;
		if (st == RM_OK || got.count == 0 || list->count >= got.available)
			return st;
		snprintf(last, sizeof last, "%s", list->items[list->count - 1].name);
	}
	return RM_MORE_DATA;
}

/* Runs in a child process. A listed name has proven nothing yet: asked
 * anonymously. */
static bool ask_version(void *context, const char *server, uint32_t version[2])
{
	const unsigned *timeout = context;
	struct cli_credentials *anonymous = cli_credentials_init_anon(NULL);
	return anonymous && rm_server_version(anonymous, server, *timeout, version);
}

/* A Samba master browser keeps no versions: its answer leaves them unset,
 * and each server is asked instead. A server that does not answer keeps
 * what the list said. */
static void complete_versions(struct server_list *list, const char *master, int64_t deadline)
{
	bool kept = true;
	for (size_t i = 0; i < list->count; i++)
		if (strcasecmp(list->items[i].name, master) == 0)
			kept = !(list->items[i].type & SV_TYPE_SERVER_UNIX);
	bool *wanted = calloc(list->count ? list->count : 1, sizeof *wanted);
	if (!wanted)
		return;
	for (size_t i = 0; i < list->count; i++) {
		struct rm_server_info101 *s = &list->items[i];
		if (!kept)
			s->version_major = s->version_minor = 0;
		wanted[i] = s->version_major == 0 && s->version_minor == 0 && rm_valid_server(s->name);
	}
	int64_t budget = rm_monotonic_ms() + VERSION_BUDGET_MS;
	unsigned timeout = VERSION_BUDGET_MS / 1000;
	rm_query_versions(list->items, wanted, list->count, VERSION_QUERIES, budget < deadline ? budget : deadline,
			  ask_version, &timeout);
	free(wanted);
}

/* The call must end before the helper's own limit, or the pool kills the
 * helper and the list is lost. */
static int64_t deadline_within(unsigned limit_seconds)
{
	int64_t limit = (int64_t)limit_seconds * 1000;
	return rm_monotonic_ms() + limit - (limit >= 4000 ? 1000 : limit / 4);
}

uint32_t rm_server_enum(unsigned limit_seconds, const char *workgroup, uint32_t type, rm_emit_server emit,
			void *context)
{
	if (!workgroup || !rm_valid_workgroup(workgroup))
		return RM_INVALID_PARAMETER;
	const int64_t deadline = deadline_within(limit_seconds);
	TALLOC_CTX *frame = _talloc_stackframe(__FILE__);
	/* Set up again for every call: the locator's library tears it down. */
	lp_load_client(get_dyn_CONFIGFILE());
	load_interfaces();
	struct sockaddr_storage address;
	char master[256] = "";
	struct cli_state *cli = NULL;
	struct server_list list = {0};
	uint32_t st = find_master(workgroup, &address, master) ? connect_master(&address, master, deadline, &cli)
							       : RM_NO_BROWSER_SERVERS_FOUND;
	if (st == RM_OK) {
		st = read_list(cli, workgroup, type, deadline, &list);
		cli_shutdown(cli);
	}
	if (st == RM_OK || st == RM_MORE_DATA) {
		complete_versions(&list, master, deadline);
		for (size_t i = 0; i < list.count; i++)
			if (type == 0xFFFFFFFFu || (list.items[i].type & type))
				emit(context, &list.items[i]);
	}
	free(list.items);
	talloc_free(frame);
	return st;
}

static void copy_text(char *dest, size_t size, const char *src)
{
	snprintf(dest, size, "%s", src ? src : "");
}

uint32_t rm_get_dc_name(const char *domain, uint32_t flags, struct rm_dc_info *out)
{
	memset(out, 0, sizeof *out);
	struct libnetapi_ctx *ctx = NULL;
	if (libnetapi_init(&ctx) != 0)
		return RM_BAD_NETPATH;
	if (domain && strchr(domain, '.'))
		flags |= DS_IS_DNS_NAME;
	struct DOMAIN_CONTROLLER_INFO *info = NULL;
	NET_API_STATUS s = DsGetDcName(NULL, domain, NULL, NULL, flags, &info);
	if (s == (NET_API_STATUS)RM_INVALID_PARAMETER && (flags & DS_RETURN_FLAT_NAME)) {
		/* The library cannot answer a flat name in flat form: find the
		 * domain by its DNS name first. */
		s = DsGetDcName(NULL, domain, NULL, NULL, (flags & ~DS_RETURN_FLAT_NAME) | DS_RETURN_DNS_NAME, &info);
		if (s == 0 && info) {
			char dns[300];
			copy_text(dns, sizeof dns, info->domain_name);
			NetApiBufferFree(info);
			info = NULL;
			s = DsGetDcName(NULL, dns, NULL, NULL, flags, &info);
		}
	}
	if (s == 0 && info) {
		copy_text(out->controller_name, sizeof out->controller_name, info->domain_controller_name);
		copy_text(out->controller_address, sizeof out->controller_address, info->domain_controller_address);
		copy_text(out->domain_name, sizeof out->domain_name, info->domain_name);
		copy_text(out->forest_name, sizeof out->forest_name, info->dns_forest_name);
		out->flags = info->flags;
	}
	if (info)
		NetApiBufferFree(info);
	libnetapi_free(ctx);
	/* The library's general failure here means no controller answered. */
	return s == 31 ? RM_NO_SUCH_DOMAIN : s;
}

void rm_realm_of(const char *domain, char realm[300])
{
	realm[0] = '\0';
	if (!domain || !*domain)
		return;
	if (strchr(domain, '.')) {
		copy_text(realm, 300, domain);
	} else {
		krb5_context context = NULL;
		char *configured = NULL;
		if (krb5_init_context(&context) != 0)
			return;
		if (krb5_get_default_realm(context, &configured) == 0 && configured) {
			struct rm_dc_info dc;
			if (rm_get_dc_name(configured, DS_RETURN_FLAT_NAME, &dc) == 0 && strcasecmp(dc.domain_name, domain) == 0)
				copy_text(realm, 300, configured);
			krb5_free_default_realm(context, configured);
		}
		krb5_free_context(context);
	}
	for (char *c = realm; *c; c++)
		*c = (char)toupper((unsigned char)*c);
}
