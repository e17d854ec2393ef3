#include "account_flags.h"

#include <stdbool.h>
#include <stddef.h>

#include <util/data_blob.h>
#include <util/time.h>
#include <ndr.h>
#include <gen_ndr/samr.h>

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

uint32_t rm_uf_from_acb(uint32_t acb)
{
	uint32_t uf = UF_SCRIPT;
	for (size_t i = 0; i < sizeof flag_map / sizeof flag_map[0]; i++)
		if (acb & flag_map[i].acb)
			uf |= flag_map[i].uf;
	return uf;
}

uint32_t rm_acb_from_uf(uint32_t uf, uint32_t old_acb)
{
	uint32_t acb = old_acb;
	for (size_t i = 0; i < sizeof flag_map / sizeof flag_map[0]; i++) {
		if (flag_map[i].acb == ACB_AUTOLOCK && (uf & UF_LOCKOUT))
			continue;
		if (uf & flag_map[i].uf)
			acb |= flag_map[i].acb;
		else
			acb &= ~flag_map[i].acb;
	}
	return acb;
}
