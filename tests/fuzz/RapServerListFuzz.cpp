// A master browser's answer of arbitrary bytes, decoded as the browse list's
// page. Input: one byte of which the low four bits are the parameters'
// length and bit 4 asks to go on after a name, that name's length byte and
// bytes, the parameters, then the data. Each buffer is a copy of exactly
// its length, so a read past it is caught.
#include "helper/net_status.h"
#include "helper/rap_server_list.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

std::uint32_t get16(const std::uint8_t* p)
{
    return p[0] | p[1] << 8;
}

std::uint32_t get32(const std::uint8_t* p)
{
    return p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t(p[3]) << 24;
}

// Characters of well-formed UTF-8, or -1.
long utf8Characters(const char* s)
{
    long count = 0;
    for (const auto* p = reinterpret_cast<const unsigned char*>(s); *p; ++count) {
        const int more = *p < 0x80 ? 0 : (*p & 0xE0) == 0xC0 ? 1 : (*p & 0xF0) == 0xE0 ? 2 : (*p & 0xF8) == 0xF0 ? 3 : -1;
        if (more < 0)
            return -1;
        ++p;
        for (int i = 0; i < more; ++i, ++p)
            if ((*p & 0xC0) != 0x80)
                return -1;
    }
    return count;
}

void collect(void* context, const rm_server_info101* s)
{
    static_cast<std::vector<rm_server_info101>*>(context)->push_back(*s);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    const std::size_t paramLength = data[0] & 0x0F;
    const bool goOn = data[0] & 0x10;
    std::size_t at = 2;
    const std::size_t lastLength = std::min<std::size_t>(data[1] % 17, size - at);
    const std::string last(reinterpret_cast<const char*>(data + at), lastLength);
    at += lastLength;
    const std::size_t p = std::min(paramLength, size - at);
    std::vector<std::uint8_t> param(data + at, data + at + p);
    at += p;
    std::vector<std::uint8_t> body(data + at, data + size);

    std::vector<rm_server_info101> got;
    rm_rap_page page;
    std::memset(&page, 0xA5, sizeof page);
    // Empty vectors hand out no buffer at all: a read is caught either way.
    const std::uint32_t st = rm_rap_server_answer(param.empty() ? nullptr : param.data(), param.size(),
                                                  body.empty() ? nullptr : body.data(), body.size(),
                                                  goOn ? last.c_str() : nullptr, &page, collect, &got);
    check(page.count == got.size());
    if (param.size() < 8) {
        check(st == RM_BAD_REPLY && got.empty() && page.status == 0 && page.available == 0);
        return 0;
    }
    check(page.status == get16(param.data()) && page.available == get16(param.data() + 6));
    const std::size_t count = get16(param.data() + 4);
    if (page.status != RM_OK && page.status != RM_MORE_DATA) {
        check(st == RM_OK && got.empty());
        return 0;
    }
    // Entries are 26 bytes each and must all be there.
    if (count * 26 > body.size()) {
        check(st == RM_BAD_REPLY);
        return 0;
    }
    check(st == RM_OK);
    // Without a name to go on after, every entry; with one, the same but
    // for a first entry of that name.
    std::vector<rm_server_info101> all;
    rm_rap_page whole;
    check(rm_rap_server_answer(param.data(), param.size(), body.empty() ? nullptr : body.data(), body.size(), nullptr,
                               &whole, collect, &all)
          == RM_OK);
    check(all.size() == count && whole.count == count);
    const bool repeats = goOn && count > 0 && std::strcmp(all[0].name, last.c_str()) == 0;
    const std::size_t skipped = repeats ? 1 : 0;
    check(got.size() == count - skipped);
    for (std::size_t i = 0; i < got.size(); ++i) {
        const rm_server_info101 &a = got[i], &b = all[i + skipped];
        check(std::strcmp(a.name, b.name) == 0 && std::strcmp(a.comment, b.comment) == 0 && a.type == b.type
              && a.platform_id == b.platform_id && a.version_major == b.version_major
              && a.version_minor == b.version_minor);
    }
    const long converter = get16(param.data() + 2);
    for (std::size_t i = 0; i < all.size(); ++i) {
        const rm_server_info101& s = all[i];
        const std::uint8_t* e = body.data() + i * 26;
        // Each code-page byte of the name is one character of at most three bytes.
        check(utf8Characters(s.name) == static_cast<long>(strnlen(reinterpret_cast<const char*>(e), 16)));
        check(std::strlen(s.name) <= 48);
        check(s.version_major == e[16] && s.version_minor == e[17]);
        check(s.type == (get32(e + 18) & ~0x40000000u));
        check(s.platform_id == (s.type & 0x1000 ? 500u : 400u));
        // The comment: from its offset within the data, all of it or as
        // much as the record holds; none from elsewhere.
        const long offset = long(get32(e + 22) & 0xFFFF) - converter;
        const long comment = utf8Characters(s.comment);
        check(comment >= 0 && std::strlen(s.comment) < sizeof s.comment);
        if (offset <= 0 || static_cast<std::size_t>(offset) >= body.size()) {
            check(comment == 0);
        } else {
            const long full = strnlen(reinterpret_cast<const char*>(body.data() + offset), body.size() - offset);
            check(comment == full || (comment < full && std::strlen(s.comment) > sizeof s.comment - 4));
        }
    }
    return 0;
}
