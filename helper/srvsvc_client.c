#include "srvsvc_client.h"

#include <talloc.h>
#include <tevent.h>
#include <util/data_blob.h>
#include <util/time.h>
#include <core/ntstatus.h>
#include <core/error.h>
#include <credentials.h>
#include <param.h>
#include <dcerpc.h>

/* Samba ships the srvsvc client stubs (its private DCE/RPC library, and the
 * interface table in libndr-standard) but not their header: these are the
 * generated declarations of Samba 4.17's librpc/idl/srvsvc.idl that level
 * 101 needs. The union holds one pointer per level; only 101 is asked. */
struct srvsvc_NetSrvInfo101 {
	uint32_t platform_id;
	const char *server_name;
	uint32_t version_major;
	uint32_t version_minor;
	uint32_t server_type;
	const char *comment;
};
union srvsvc_NetSrvInfo {
	struct srvsvc_NetSrvInfo101 *info101;
};
extern const struct ndr_interface_table ndr_table_srvsvc;
NTSTATUS dcerpc_srvsvc_NetSrvGetInfo(struct dcerpc_binding_handle *h, TALLOC_CTX *mem_ctx, const char *server_unc,
				     uint32_t level, union srvsvc_NetSrvInfo *info, WERROR *result);

bool rm_server_version(struct cli_credentials *creds, const char *server, unsigned timeout_seconds,
		       uint32_t version[2])
{
	TALLOC_CTX *mem = talloc_new(NULL);
	struct tevent_context *ev = tevent_context_init(mem);
	struct dcerpc_pipe *pipe = NULL;
	union srvsvc_NetSrvInfo info = {0};
	WERROR result = WERR_OK;
	struct loadparm_context *lp = loadparm_init_global(false);
	/* The name its authentication speaks to, whatever the last connection's. */
	bool ok = ev && lpcfg_set_cmdline(lp, "gensec:target_hostname", server)
		  && NT_STATUS_IS_OK(dcerpc_pipe_connect(mem, &pipe, talloc_asprintf(mem, "ncacn_np:%s", server),
							 &ndr_table_srvsvc, creds, ev, lp));
	if (ok) {
		dcerpc_binding_handle_set_timeout(pipe->binding_handle, timeout_seconds);
		ok = NT_STATUS_IS_OK(dcerpc_srvsvc_NetSrvGetInfo(pipe->binding_handle, mem, talloc_asprintf(mem, "\\\\%s", server),
								 101, &info, &result))
		     && W_ERROR_IS_OK(result) && info.info101;
	}
	if (ok) {
		version[0] = info.info101->version_major;
		version[1] = info.info101->version_minor;
	}
	talloc_free(mem);
	return ok;
}
