/* What the domain's key distribution centre says of a typed account and of
 * the computers it is about to be used on. The account's ticket is asked for
 * once, in a memory cache, and a computer's service ticket before any
 * connection: a computer the domain knows is reached by Kerberos alone,
 * whatever it answers, so nobody who answers for its name can talk the
 * program down to NTLM. */
#ifndef ROSTERMILL_KDC_PROBE_H
#define ROSTERMILL_KDC_PROBE_H

#ifdef __cplusplus
extern "C" {
#endif

typedef struct rm_kdc_probe rm_kdc_probe;

enum rm_kdc_answer {
	RM_KDC_KNOWS_COMPUTER,	 /* its file service has a ticket: Kerberos only */
	RM_KDC_UNKNOWN_COMPUTER, /* no such service in the domain: outside it */
	RM_KDC_BAD_PASSWORD,	 /* the account's own ticket was refused */
	RM_KDC_UNREACHABLE,	 /* no answer, or no ticket for another reason */
};

/* Asks for the account's ticket at once; the password is not kept. */
rm_kdc_probe *rm_kdc_probe_new(const char *user, const char *realm, const char *password);
void rm_kdc_probe_free(rm_kdc_probe *probe);
/* Loads Kerberos's plugins for good (a preauthentication one brings a large
 * crypto library), so that processes forked after share them loaded. */
void rm_kdc_preload(void);
enum rm_kdc_answer rm_kdc_probe_computer(rm_kdc_probe *probe, const char *computer);

#ifdef __cplusplus
}
#endif

#endif
