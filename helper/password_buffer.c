#include "password_buffer.h"

#include "net_status.h"
#include "core/ports/Wipe.h"

#include <stdbool.h>
#include <string.h>

#include <gnutls/gnutls.h>
#include <gnutls/crypto.h>

enum { FILL = 512, CLEAR = 516, MAX_UNITS = 256 };

/* UTF-8 to UTF-16LE; the number of 16-bit units, or -1 for text that is
 * not well-formed UTF-8 (overlong forms and surrogates included) or does
 * not fit. */
static int to_utf16(const unsigned char *p, uint8_t out[2 * MAX_UNITS])
{
	int units = 0;
	while (*p) {
		uint32_t cp = *p++;
		int extra = cp < 0x80 ? 0 : cp >= 0xC2 && cp <= 0xDF ? 1 : cp >= 0xE0 && cp <= 0xEF ? 2
			  : cp >= 0xF0 && cp <= 0xF4 ? 3 : -1;
		if (extra < 0)
			return -1;
		cp &= extra == 0 ? 0x7F : extra == 1 ? 0x1F : extra == 2 ? 0x0F : 0x07;
		for (int k = 0; k < extra; k++) {
			if ((*p & 0xC0) != 0x80)
				return -1;
			cp = (cp << 6) | (*p++ & 0x3F);
		}
		static const uint32_t least[] = {0, 0x80, 0x800, 0x10000};
		if (cp < least[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
			return -1;
		uint16_t pair[2];
		int n = 1;
		if (cp >= 0x10000) {
			cp -= 0x10000;
			pair[0] = (uint16_t)(0xD800 + (cp >> 10));
			pair[1] = (uint16_t)(0xDC00 + (cp & 0x3FF));
			n = 2;
		} else {
			pair[0] = (uint16_t)cp;
		}
		if (units + n > MAX_UNITS)
			return -1;
		for (int k = 0; k < n; k++, units++) {
			out[2 * units] = pair[k] & 0xFF;
			out[2 * units + 1] = pair[k] >> 8;
		}
	}
	return units;
}

static bool encrypt(uint8_t buffer[CLEAR], const uint8_t confounder[16], const uint8_t *session_key,
		    size_t key_length, uint8_t key[16])
{
	gnutls_hash_hd_t md5;
	if (gnutls_hash_init(&md5, GNUTLS_DIG_MD5) != 0)
		return false;
	gnutls_hash(md5, confounder, 16);
	gnutls_hash(md5, session_key, key_length);
	gnutls_hash_deinit(md5, key);
	gnutls_cipher_hd_t rc4;
	gnutls_datum_t k = {.data = key, .size = 16};
	if (gnutls_cipher_init(&rc4, GNUTLS_CIPHER_ARCFOUR_128, &k, NULL) != 0)
		return false;
	int rc = gnutls_cipher_encrypt(rc4, buffer, CLEAR);
	gnutls_cipher_deinit(rc4);
	return rc == 0;
}

uint32_t rm_encode_password_buffer(const char *password, const uint8_t *session_key, size_t key_length,
				   uint8_t out[RM_PASSWORD_BUFFER_SIZE])
{
	uint8_t utf16[2 * MAX_UNITS];
	uint8_t buffer[CLEAR];
	uint8_t confounder[16];
	uint8_t key[16];
	uint32_t status = RM_NOT_ENOUGH_MEMORY;
	memset(out, 0, RM_PASSWORD_BUFFER_SIZE);
	int units = to_utf16((const unsigned char *)password, utf16);
	if (units < 0) {
		status = RM_INVALID_PARAMETER;
		goto done;
	}
	size_t bytes = 2 * (size_t)units;
	if (gnutls_rnd(GNUTLS_RND_RANDOM, buffer, FILL) != 0 || gnutls_rnd(GNUTLS_RND_NONCE, confounder, 16) != 0)
		goto done;
	memcpy(buffer + FILL - bytes, utf16, bytes);
	buffer[FILL] = bytes & 0xFF;
	buffer[FILL + 1] = (bytes >> 8) & 0xFF;
	buffer[FILL + 2] = buffer[FILL + 3] = 0;
	if (!encrypt(buffer, confounder, session_key, key_length, key))
		goto done;
	memcpy(out, buffer, CLEAR);
	memcpy(out + CLEAR, confounder, 16);
	status = RM_OK;
done:
	rm_wipe(utf16, sizeof utf16);
	rm_wipe(buffer, sizeof buffer);
	rm_wipe(key, sizeof key);
	rm_wipe(confounder, sizeof confounder);
	return status;
}
