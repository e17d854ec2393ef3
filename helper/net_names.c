#include "net_names.h"

#include "net_status.h"

#include <string.h>

const char *rm_strip_backslashes(const char *server)
{
	while (*server == '\\')
		server++;
	return server;
}

static bool is_alnum(unsigned char ch)
{
	return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9');
}

static bool netbios_name(const char *name, size_t n)
{
	for (size_t i = 0; i < n; i++)
		if (!is_alnum((unsigned char)name[i]) && !strchr("!@#$%^&')(.-_{}~", name[i]))
			return false;
	return true;
}

/* Labels of letters, digits, '-' and '_', 1 to 63 characters, between dots. */
static bool dns_name(const char *name, size_t n)
{
	size_t label = 0;
	for (size_t i = 0; i < n; i++) {
		unsigned char ch = (unsigned char)name[i];
		if (ch == '.') {
			if (label == 0)
				return false;
			label = 0;
		} else if (is_alnum(ch) || ch == '-' || ch == '_') {
			if (++label > 63)
				return false;
		} else {
			return false;
		}
	}
	return true; /* a trailing dot ends a full name */
}

bool rm_valid_server(const char *name)
{
	size_t n = strlen(name);
	if (n == 0 || n > 253 || name[0] == '.' || name[0] == '-')
		return false;
	if (strspn(name, ".") == n)
		return false;
	return n <= 15 ? netbios_name(name, n) : dns_name(name, n);
}

bool rm_valid_workgroup(const char *name)
{
	size_t n = strlen(name);
	if (n == 0 || n > 15)
		return false;
	for (const unsigned char *p = (const unsigned char *)name; *p; p++)
		if (*p < 0x20 || *p == 0x7F || strchr("\\/:*?\"<>|", *p))
			return false;
	return true;
}

/* Characters, not bytes, as the server counts them; -1 for text that is
 * not UTF-8. */
static long utf8_length(const unsigned char *s)
{
	long count = 0;
	while (*s) {
		int extra = *s < 0x80 ? 0 : (*s & 0xE0) == 0xC0 ? 1 : (*s & 0xF0) == 0xE0 ? 2 : (*s & 0xF8) == 0xF0 ? 3 : -1;
		if (extra < 0)
			return -1;
		s++;
		for (int k = 0; k < extra; k++, s++)
			if ((*s & 0xC0) != 0x80)
				return -1;
		count++;
	}
	return count;
}

uint32_t rm_check_account_name(const char *name)
{
	if (!name || !*name)
		return RM_INVALID_PARAMETER;
	long length = utf8_length((const unsigned char *)name);
	if (length < 0 || length > 20)
		return RM_BAD_USERNAME;
	for (const unsigned char *p = (const unsigned char *)name; *p; p++)
		if (*p < 0x20 || *p == 0x7F || strchr("\"/\\[]:|<>+=;?*,", *p))
			return RM_BAD_USERNAME;
	if (strspn(name, ". ") == strlen(name))
		return RM_BAD_USERNAME;
	return RM_OK;
}
