#include "rap_server_list.h"

#include "net_status.h"

#include <iconv.h>
#include <stdbool.h>
#include <string.h>

enum {
	RAP_NET_SERVER_ENUM2 = 104,
	RAP_NET_SERVER_ENUM3 = 215,
	LEVEL = 1,
	ENTRY_SIZE = 26,
	NAME_SIZE = 16,
	/* The largest answer the client takes, as the browser is told. */
	BUFFER_SIZE = 0xFFFF,
	SV_TYPE_NT = 0x00001000,
	SV_TYPE_LOCAL_LIST_ONLY = 0x40000000,
	PLATFORM_ID_OS2 = 400,
	PLATFORM_ID_NT = 500,
};

static uint16_t get16(const uint8_t *p)
{
	return (uint16_t)(p[0] | p[1] << 8);
}

static uint32_t get32(const uint8_t *p)
{
	return (uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24;
}

struct writer {
	uint8_t *out;
	size_t size, n;
	bool fits;
};

static void put(struct writer *w, const void *bytes, size_t n)
{
	if (!w->fits || w->size - w->n < n) {
		w->fits = false;
		return;
	}
	memcpy(w->out + w->n, bytes, n);
	w->n += n;
}

static void put16(struct writer *w, uint16_t v)
{
	uint8_t b[2] = {v & 0xFF, v >> 8};
	put(w, b, 2);
}

static void put32(struct writer *w, uint32_t v)
{
	uint8_t b[4] = {v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF, v >> 24};
	put(w, b, 4);
}

static void put_text(struct writer *w, const char *text)
{
	put(w, text, strlen(text) + 1);
}

/* A name in the browser's OEM code page; upper case for a workgroup. */
static void put_name(struct writer *w, const char *utf8, bool upper)
{
	char oem[64];
	char *src = (char *)utf8, *dst = oem;
	size_t left = strlen(utf8), room = sizeof oem - 1;
	iconv_t cd = iconv_open("CP850", "UTF-8");
	bool converted = cd != (iconv_t)-1 && iconv(cd, &src, &left, &dst, &room) != (size_t)-1;
	if (cd != (iconv_t)-1)
		iconv_close(cd);
	if (!converted) {
		w->fits = false;
		return;
	}
	*dst = '\0';
	for (char *p = oem; upper && *p; p++)
		if (*p >= 'a' && *p <= 'z')
			*p = (char)(*p - 'a' + 'A');
	put_text(w, oem);
}

size_t rm_rap_server_request(uint8_t *out, size_t size, const char *workgroup, uint32_t type, const char *last)
{
	struct writer w = {out, size, 0, true};
	put16(&w, last ? RAP_NET_SERVER_ENUM3 : RAP_NET_SERVER_ENUM2);
	put_text(&w, last ? "WrLehDzz" : "WrLehDz");
	put_text(&w, "B16BBDz");
	put16(&w, LEVEL);
	put16(&w, BUFFER_SIZE);
	put32(&w, type);
	put_name(&w, workgroup, true);
	if (last)
		put_name(&w, last, false);
	return w.fits ? w.n : 0;
}

/* Text in the browser's OEM code page, as UTF-8. */
static void oem_text(const uint8_t *in, size_t n, char *out, size_t size)
{
	size_t length = strnlen((const char *)in, n);
	iconv_t cd = iconv_open("UTF-8", "CP850");
	char *src = (char *)in, *dst = out;
	size_t left = length, room = size - 1;
	if (cd != (iconv_t)-1) {
		iconv(cd, &src, &left, &dst, &room);
		iconv_close(cd);
	}
	/* What does not convert is left out. */
	*dst = '\0';
}

static void decode_entry(const uint8_t *p, const uint8_t *data, size_t data_length, uint16_t converter,
			 struct rm_server_info101 *s)
{
	memset(s, 0, sizeof *s);
	oem_text(p, NAME_SIZE, s->name, sizeof s->name);
	s->version_major = p[16];
	s->version_minor = p[17];
	/* A bit that tells how the browser keeps the entry, not what it is. */
	s->type = get32(p + 18) & ~(uint32_t)SV_TYPE_LOCAL_LIST_ONLY;
	/* The list carries no platform: the NT family's, else LAN Manager's. */
	s->platform_id = s->type & SV_TYPE_NT ? PLATFORM_ID_NT : PLATFORM_ID_OS2;
	/* The comment's offset counts from a base the answer names. */
	long offset = (long)(get32(p + 22) & 0xFFFF) - converter;
	if (offset > 0 && (size_t)offset < data_length)
		oem_text(data + offset, data_length - (size_t)offset, s->comment, sizeof s->comment);
}

uint32_t rm_rap_server_answer(const uint8_t *param, size_t param_length, const uint8_t *data, size_t data_length,
			      const char *last, struct rm_rap_page *page, rm_emit_server emit, void *context)
{
	memset(page, 0, sizeof *page);
	if (param_length < 8)
		return RM_BAD_REPLY;
	page->status = get16(param);
	page->available = get16(param + 6);
	if (page->status != RM_OK && page->status != RM_MORE_DATA)
		return RM_OK;
	uint16_t converter = get16(param + 2);
	size_t count = get16(param + 4);
	if (count > data_length / ENTRY_SIZE)
		return RM_BAD_REPLY;
	for (size_t i = 0; i < count; i++) {
		struct rm_server_info101 s;
		decode_entry(data + i * ENTRY_SIZE, data, data_length, converter, &s);
		if (i == 0 && last && strcmp(s.name, last) == 0)
			continue;
		page->count++;
		emit(context, &s);
	}
	return RM_OK;
}
