/* Account flags: the platform's UF_* bits from SAMR's ACB_* bits and back. */
#ifndef ROSTERMILL_ACCOUNT_FLAGS_H
#define ROSTERMILL_ACCOUNT_FLAGS_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

uint32_t rm_uf_from_acb(uint32_t acb);
/* The new ACB bits: those the UF bits name are set or cleared, the rest
 * kept. Setting UF_LOCKOUT never locks an account; clearing it unlocks. */
uint32_t rm_acb_from_uf(uint32_t uf, uint32_t old_acb);

#ifdef __cplusplus
}
#endif

#endif
