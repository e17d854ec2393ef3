#include "net_status.h"

#include <stdbool.h>
#include <stddef.h>

#include <core/ntstatus.h>
#include <core/error.h>

struct status_pair {
	NTSTATUS from;
	uint32_t to;
};

/* Reaching the server: the address, the session, the pipe. */
static const struct status_pair connect_map[] = {
	{NT_STATUS_ACCESS_DENIED, RM_ACCESS_DENIED},
	{NT_STATUS_NETWORK_ACCESS_DENIED, RM_ACCESS_DENIED},
	{NT_STATUS_LOGON_FAILURE, RM_LOGON_FAILURE},
	/* At session set-up a wrong password is a failed logon. */
	{NT_STATUS_WRONG_PASSWORD, RM_LOGON_FAILURE},
	{NT_STATUS_HOST_UNREACHABLE, RM_BAD_NETPATH},
	{NT_STATUS_NETWORK_UNREACHABLE, RM_BAD_NETPATH},
	{NT_STATUS_BAD_NETWORK_NAME, RM_BAD_NETPATH},
	{NT_STATUS_BAD_NETWORK_PATH, RM_BAD_NETPATH},
	{NT_STATUS_CONNECTION_REFUSED, RM_BAD_NETPATH},
	{NT_STATUS_IO_TIMEOUT, RM_BAD_NETPATH},
	{NT_STATUS_INVALID_ADDRESS, RM_BAD_NETPATH},
	{NT_STATUS_OBJECT_NAME_NOT_FOUND, RM_BAD_NETPATH},
	{NT_STATUS_PORT_UNREACHABLE, RM_BAD_NETPATH},
	/* The library reports a computer that cannot be reached (no answer
	 * to ARP on either SMB port) as out of memory. */
	{NT_STATUS_NO_MEMORY, RM_BAD_NETPATH},
	{NT_STATUS_CONNECTION_RESET, RM_RPC_SERVER_UNAVAILABLE},
	{NT_STATUS_CONNECTION_DISCONNECTED, RM_RPC_SERVER_UNAVAILABLE},
	{NT_STATUS_CONNECTION_ABORTED, RM_RPC_SERVER_UNAVAILABLE},
	{NT_STATUS_PIPE_BROKEN, RM_RPC_SERVER_UNAVAILABLE},
	{NT_STATUS_END_OF_FILE, RM_RPC_SERVER_UNAVAILABLE},
	{NT_STATUS_RPC_PROTOCOL_ERROR, RM_RPC_SERVER_UNAVAILABLE},
	{NT_STATUS_INVALID_NETWORK_RESPONSE, RM_RPC_SERVER_UNAVAILABLE},
	{NT_STATUS_INVALID_COMPUTER_NAME, RM_INVALID_COMPUTER},
};

/* What a SAMR server answers, as the network-management interface names it. */
static const struct status_pair reply_map[] = {
	{NT_STATUS_ACCESS_DENIED, RM_ACCESS_DENIED},
	{NT_STATUS_NO_MEMORY, RM_NOT_ENOUGH_MEMORY},
	{NT_STATUS_INVALID_PARAMETER, RM_INVALID_PARAMETER},
	{NT_STATUS_INVALID_PARAMETER_MIX, RM_INVALID_PARAMETER},
	{NT_STATUS_INVALID_INFO_CLASS, RM_INVALID_PARAMETER},
	{STATUS_MORE_ENTRIES, RM_MORE_DATA},
	{NT_STATUS_NO_SUCH_USER, RM_USER_NOT_FOUND},
	{NT_STATUS_NONE_MAPPED, RM_USER_NOT_FOUND},
	{NT_STATUS_NO_SUCH_ALIAS, RM_GROUP_NOT_FOUND},
	{NT_STATUS_NO_SUCH_GROUP, RM_GROUP_NOT_FOUND},
	{NT_STATUS_USER_EXISTS, RM_USER_EXISTS},
	/* The name belongs to a group or local group: still an account. */
	{NT_STATUS_GROUP_EXISTS, RM_USER_EXISTS_WIN32},
	{NT_STATUS_ALIAS_EXISTS, RM_USER_EXISTS_WIN32},
	{NT_STATUS_INVALID_ACCOUNT_NAME, RM_BAD_USERNAME},
	/* The server could not read the password buffer. */
	{NT_STATUS_WRONG_PASSWORD, RM_BAD_PASSWORD},
	{NT_STATUS_INVALID_DOMAIN_ROLE, RM_NOT_PRIMARY},
	{NT_STATUS_BACKUP_CONTROLLER, RM_NOT_PRIMARY},
	{NT_STATUS_SPECIAL_ACCOUNT, RM_SPECIAL_GROUP_OP},
	{NT_STATUS_SPECIAL_GROUP, RM_SPECIAL_GROUP_OP},
	{NT_STATUS_SPECIAL_USER, RM_SPECIAL_GROUP_OP},
	{NT_STATUS_PASSWORD_RESTRICTION, RM_PASSWORD_TOO_SHORT},
	{NT_STATUS_PWD_TOO_SHORT, RM_PASSWORD_TOO_SHORT},
	{NT_STATUS_PWD_TOO_RECENT, RM_PASSWORD_TOO_SHORT},
	{NT_STATUS_PWD_HISTORY_CONFLICT, RM_PASSWORD_TOO_SHORT},
	{NT_STATUS_LAST_ADMIN, RM_LAST_ADMIN},
	{NT_STATUS_INVALID_COMPUTER_NAME, RM_INVALID_COMPUTER},
};

static uint32_t look_up(const struct status_pair *map, size_t n, uint32_t ntstatus)
{
	NTSTATUS s = NT_STATUS(ntstatus);
	if (NT_STATUS_IS_OK(s))
		return RM_OK;
	for (size_t i = 0; i < n; i++)
		if (NT_STATUS_EQUAL(s, map[i].from))
			return map[i].to;
	/* Samba's table guesses from the low bits, which may be zero: a
	 * failure is never success. */
	uint32_t other = W_ERROR_V(ntstatus_to_werror(s));
	return other != 0 ? other : RM_RPC_CALL_FAILED;
}

uint32_t rm_status_of_connect(uint32_t ntstatus)
{
	return look_up(connect_map, sizeof connect_map / sizeof connect_map[0], ntstatus);
}

uint32_t rm_status_of_reply(uint32_t ntstatus)
{
	return look_up(reply_map, sizeof reply_map / sizeof reply_map[0], ntstatus);
}
