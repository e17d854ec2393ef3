/* The 532-byte buffer SAMR's SetUserInfo2 level 25 carries a new password
 * in: 512 bytes of random fill with the UTF-16LE password at its end, the
 * password's byte length, then a 16-byte random confounder; the first 516
 * bytes encrypted with RC4 under MD5(confounder, session key). */
#ifndef ROSTERMILL_PASSWORD_BUFFER_H
#define ROSTERMILL_PASSWORD_BUFFER_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

enum { RM_PASSWORD_BUFFER_SIZE = 532 };

/* 0, or 87 for a password that is not UTF-8 or longer than 256 UTF-16
 * units, or 8 when the cipher cannot run; `out` is then all zeros. Every
 * intermediate copy of the password is wiped before returning. */
uint32_t rm_encode_password_buffer(const char *password, const uint8_t *session_key, size_t key_length,
				   uint8_t out[RM_PASSWORD_BUFFER_SIZE]);

#ifdef __cplusplus
}
#endif

#endif
