/* Status numbers of the platform's network-management interface, and the
 * translation of what Samba reports into them. */
#ifndef ROSTERMILL_NET_STATUS_H
#define ROSTERMILL_NET_STATUS_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

enum {
	RM_OK = 0,
	RM_ACCESS_DENIED = 5,
	RM_NOT_ENOUGH_MEMORY = 8,
	RM_BAD_NETPATH = 53,
	RM_INVALID_PARAMETER = 87,
	RM_MORE_DATA = 234,
	RM_USER_EXISTS_WIN32 = 1316,
	RM_LOGON_FAILURE = 1326,
	RM_NO_SUCH_DOMAIN = 1355,
	RM_RPC_SERVER_UNAVAILABLE = 1722,
	RM_RPC_CALL_FAILED = 1726,
	/* A reply that decodes but cannot be used: NULLs, counts that do not
	 * match, identifiers out of range. */
	RM_BAD_REPLY = 1783,
	RM_BAD_USERNAME = 2202,
	RM_BAD_PASSWORD = 2203,
	RM_GROUP_NOT_FOUND = 2220,
	RM_USER_NOT_FOUND = 2221,
	RM_USER_EXISTS = 2224,
	RM_NOT_PRIMARY = 2226,
	RM_SPECIAL_GROUP_OP = 2234,
	RM_PASSWORD_TOO_SHORT = 2245,
	RM_INVALID_COMPUTER = 2351,
	RM_LAST_ADMIN = 2452,
	/* Kerberos could not reach the computer, and NTLM is refused. */
	RM_NTLM_REFUSED = 1937,
	/* Kerberos needs the computer's DNS name, and the domain's DNS has none
	 * for its short name. */
	RM_NO_DNS_NAME = 9003,
	RM_NO_BROWSER_SERVERS_FOUND = 6118,
};

/* Both take an NTSTATUS as its plain number. A failure to reach a server,
 * authenticate or carry a call: */
uint32_t rm_status_of_connect(uint32_t ntstatus);
/* A server's answer to a SAMR call. */
uint32_t rm_status_of_reply(uint32_t ntstatus);

#ifdef __cplusplus
}
#endif

#endif
