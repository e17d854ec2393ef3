#include "browse_client.h"

#include <errno.h>
#include <stdbool.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <libsmbclient.h>
#include <netapi.h>

enum {
	RM_ACCESS_DENIED = 5,
	RM_BAD_NETPATH = 53,
	RM_INVALID_PARAMETER = 87,
	RM_NO_SUCH_DOMAIN = 1355,
	RM_NO_BROWSER_SERVERS_FOUND = 6118,
};


static const struct rm_credentials *current;

static void supply_credentials(SMBCCTX *ctx, const char *server, const char *share, char *workgroup,
			       int workgroup_size, char *user, int user_size, char *password, int password_size)
{
	(void)ctx; (void)server; (void)share;
	snprintf(user, user_size, "%s", current->user);
	snprintf(password, password_size, "%s", current->password);
	if (current->domain[0])
		snprintf(workgroup, workgroup_size, "%s", current->domain);
}

static struct libnetapi_ctx *netapi_open(const struct rm_credentials *creds)
{
	struct libnetapi_ctx *ctx = NULL;
	if (libnetapi_init(&ctx) != 0)
		return NULL;
	if (creds->password[0]) {
		libnetapi_set_username(ctx, creds->user);
		libnetapi_set_password(ctx, creds->password);
		if (creds->domain[0])
			libnetapi_set_workgroup(ctx, creds->domain);
	} else {
		libnetapi_set_use_ccache(ctx);
	}
	return ctx;
}

static void copy_text(char *dest, size_t size, const char *src)
{
	snprintf(dest, size, "%s", src ? src : "");
}

uint32_t rm_server_enum(const struct rm_credentials *creds, const char *workgroup, uint32_t type,
			rm_emit_server emit, void *context)
{
	if (!workgroup || !*workgroup || strpbrk(workgroup, "/\\:@?#"))
		return RM_INVALID_PARAMETER;
	current = creds;
	SMBCCTX *smb = smbc_new_context();
	if (!smb)
		return RM_BAD_NETPATH;
	smbc_setFunctionAuthDataWithContext(smb, supply_credentials);
	/* The browse list is served over the old protocol only. */
	smbc_setOptionProtocols(smb, "NT1", "NT1");
	smbc_setOptionUseKerberos(smb, creds->password[0] ? 0 : 1);
	smbc_setOptionUseCCache(smb, creds->password[0] ? 0 : 1);
	if (!smbc_init_context(smb)) {
		smbc_free_context(smb, 1);
		return RM_BAD_NETPATH;
	}
	char url[600];
	snprintf(url, sizeof url, "smb://%s/", workgroup);
	SMBCFILE *dir = smbc_getFunctionOpendir(smb)(smb, url);
	if (!dir) {
		int e = errno;
		smbc_free_context(smb, 1);
		return e == EACCES || e == EPERM ? RM_ACCESS_DENIED : RM_NO_BROWSER_SERVERS_FOUND;
	}
	struct rm_server_info101 *servers = NULL;
	size_t count = 0;
	struct smbc_dirent *entry;
	while ((entry = smbc_getFunctionReaddir(smb)(smb, dir))) {
		if (entry->smbc_type != SMBC_SERVER)
			continue;
		struct rm_server_info101 *grown = realloc(servers, (count + 1) * sizeof *servers);
		if (!grown)
			break;
		servers = grown;
		memset(&servers[count], 0, sizeof servers[count]);
		copy_text(servers[count].name, sizeof servers[count].name, entry->name);
		copy_text(servers[count].comment, sizeof servers[count].comment, entry->comment);
		count++;
	}
	smbc_getFunctionClosedir(smb)(smb, dir);
	smbc_free_context(smb, 1);

	/* The list gives names only: each server tells its type and version. */
	struct libnetapi_ctx *ctx = netapi_open(creds);
	for (size_t i = 0; i < count; i++) {
		struct SERVER_INFO_101 *info = NULL;
		if (ctx && NetServerGetInfo(servers[i].name, 101, (uint8_t **)&info) == 0 && info) {
			servers[i].platform_id = info->sv101_platform_id;
			servers[i].version_major = info->sv101_version_major;
			servers[i].version_minor = info->sv101_version_minor;
			servers[i].type = info->sv101_type;
			NetApiBufferFree(info);
		}
		if (type == 0xFFFFFFFFu || (servers[i].type & type))
			emit(context, &servers[i]);
	}
	if (ctx)
		libnetapi_free(ctx);
	free(servers);
	return 0;
}

uint32_t rm_get_dc_name(const struct rm_credentials *creds, const char *domain, uint32_t flags,
			struct rm_dc_info *out)
{
	memset(out, 0, sizeof *out);
	struct libnetapi_ctx *ctx = netapi_open(creds);
	if (!ctx)
		return RM_BAD_NETPATH;
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
