#include "kdc_probe.h"

#include <arpa/inet.h>
#include <stdbool.h>
#include <stdlib.h>
#include <string.h>

#include <krb5.h>

struct rm_kdc_probe {
	krb5_context context;
	krb5_ccache cache;
	krb5_principal client;
	char *realm;
	/* Without the account's ticket, what every computer is told. */
	bool ticket;
	enum rm_kdc_answer without_ticket;
};

static enum rm_kdc_answer answer_of(krb5_error_code code)
{
	switch (code) {
	case 0:
		return RM_KDC_KNOWS_COMPUTER;
	case KRB5KDC_ERR_S_PRINCIPAL_UNKNOWN:
	case KRB5KDC_ERR_ETYPE_NOSUPP: /* an account made for it, never joined: no keys */
		return RM_KDC_UNKNOWN_COMPUTER;
	case KRB5KDC_ERR_PREAUTH_FAILED:
	case KRB5KRB_AP_ERR_BAD_INTEGRITY:
		return RM_KDC_BAD_PASSWORD;
	default:
		return RM_KDC_UNREACHABLE;
	}
}

static krb5_error_code ask_ticket(rm_kdc_probe *p, const char *password)
{
	krb5_get_init_creds_opt *options = NULL;
	krb5_error_code code = krb5_get_init_creds_opt_alloc(p->context, &options);
	if (code)
		return code;
	krb5_get_init_creds_opt_set_out_ccache(p->context, options, p->cache);
	krb5_creds ticket;
	memset(&ticket, 0, sizeof ticket);
	code = krb5_get_init_creds_password(p->context, &ticket, p->client, password, NULL, NULL, 0, NULL, options);
	if (code == 0)
		krb5_free_cred_contents(p->context, &ticket);
	krb5_get_init_creds_opt_free(p->context, options);
	return code;
}

rm_kdc_probe *rm_kdc_probe_new(const char *user, const char *realm, const char *password)
{
	rm_kdc_probe *p = calloc(1, sizeof *p);
	if (!p)
		return NULL;
	p->without_ticket = RM_KDC_UNREACHABLE;
	p->realm = strdup(realm);
	if (!p->realm || krb5_init_context(&p->context) != 0) {
		rm_kdc_probe_free(p);
		return NULL;
	}
	/* The account's name as one component: no '@' or '/' in it is read. */
	if (krb5_cc_new_unique(p->context, "MEMORY", NULL, &p->cache) != 0
	    || krb5_build_principal(p->context, &p->client, (unsigned)strlen(realm), realm, user, (char *)NULL) != 0)
		return p;
	krb5_error_code code = ask_ticket(p, password);
	p->ticket = code == 0;
	/* An account the domain does not know is no wrong password: Kerberos
	 * just cannot work for it. */
	if (answer_of(code) == RM_KDC_BAD_PASSWORD)
		p->without_ticket = RM_KDC_BAD_PASSWORD;
	return p;
}

void rm_kdc_probe_free(rm_kdc_probe *p)
{
	if (!p)
		return;
	if (p->context) {
		if (p->client)
			krb5_free_principal(p->context, p->client);
		if (p->cache)
			krb5_cc_destroy(p->context, p->cache);
		krb5_free_context(p->context);
	}
	free(p->realm);
	free(p);
}

static bool is_address(const char *computer)
{
	unsigned char address[16];
	return inet_pton(AF_INET, computer, address) == 1 || inet_pton(AF_INET6, computer, address) == 1;
}

enum rm_kdc_answer rm_kdc_probe_computer(rm_kdc_probe *p, const char *computer)
{
	if (!p || !p->ticket)
		return p ? p->without_ticket : RM_KDC_UNREACHABLE;
	/* An address names no service principal. */
	if (is_address(computer))
		return RM_KDC_UNKNOWN_COMPUTER;
	krb5_creds wanted, *got = NULL;
	memset(&wanted, 0, sizeof wanted);
	wanted.client = p->client;
	/* The name the SMB client asks its ticket for, as it is given. */
	if (krb5_build_principal(p->context, &wanted.server, (unsigned)strlen(p->realm), p->realm, "cifs", computer,
				 (char *)NULL) != 0)
		return RM_KDC_UNREACHABLE;
	krb5_error_code code = krb5_get_credentials(p->context, 0, p->cache, &wanted, &got);
	krb5_free_principal(p->context, wanted.server);
	if (got)
		krb5_free_creds(p->context, got);
	return answer_of(code);
}

void rm_kdc_preload(void)
{
	/* Never freed: freeing it would unload what it loaded. */
	static krb5_context context;
	if (context || krb5_init_context(&context) != 0)
		return;
	/* Making a ticket request's first message, never sent, loads them. */
	krb5_principal client = NULL;
	krb5_init_creds_context request = NULL;
	if (krb5_build_principal(context, &client, 5, "LOCAL", "preload", (char *)NULL) == 0
	    && krb5_init_creds_init(context, client, NULL, NULL, 0, NULL, &request) == 0) {
		krb5_data in = {0}, out = {0}, realm = {0};
		unsigned int flags = 0;
		if (krb5_init_creds_step(context, request, &in, &out, &realm, &flags) == 0) {
			krb5_free_data_contents(context, &out);
			krb5_free_data_contents(context, &realm);
		}
		krb5_init_creds_free(context, request);
	}
	krb5_free_principal(context, client);
}
