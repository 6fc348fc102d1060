#include "files/utf8.h"

#include <cstdint>
#include <cstring>

namespace utf8 {
namespace {

bool isContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

} // namespace

qsizetype decodeInto(QByteArrayView bytes, char16_t *dst)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const auto *const end = p + bytes.size();
    char16_t *out = dst;
    while (p < end) {
        // Eight ASCII bytes at a time: signals, digits and commas come in runs.
        if (end - p >= 8) {
            std::uint64_t word;
            std::memcpy(&word, p, 8);
            if ((word & 0x8080808080808080ull) == 0) {
                for (int i = 0; i < 8; ++i)
                    out[i] = p[i];
                out += 8;
                p += 8;
                continue;
            }
        }
        const unsigned char lead = *p;
        if (lead < 0x80) {
            *out++ = lead;
            ++p;
            continue;
        }
        if (lead < 0xC2)
            return -1; // a continuation byte, or the lead of an overlong two-byte form
        if (lead < 0xE0) {
            if (end - p < 2 || !isContinuation(p[1]))
                return -1;
            *out++ = char16_t(((lead & 0x1F) << 6) | (p[1] & 0x3F));
            p += 2;
            continue;
        }
        if (lead < 0xF0) {
            if (end - p < 3 || !isContinuation(p[1]) || !isContinuation(p[2]))
                return -1;
            // E0 would be overlong below A0; ED above 9F would be a surrogate.
            if ((lead == 0xE0 && p[1] < 0xA0) || (lead == 0xED && p[1] > 0x9F))
                return -1;
            *out++ = char16_t(((lead & 0x0F) << 12) | ((p[1] & 0x3F) << 6) | (p[2] & 0x3F));
            p += 3;
            continue;
        }
        if (lead < 0xF5) {
            if (end - p < 4 || !isContinuation(p[1]) || !isContinuation(p[2])
                || !isContinuation(p[3]))
                return -1;
            // F0 would be overlong below 90; F4 above 8F would pass U+10FFFF.
            if ((lead == 0xF0 && p[1] < 0x90) || (lead == 0xF4 && p[1] > 0x8F))
                return -1;
            const char32_t c = (char32_t(lead & 0x07) << 18) | (char32_t(p[1] & 0x3F) << 12)
                | (char32_t(p[2] & 0x3F) << 6) | char32_t(p[3] & 0x3F);
            *out++ = char16_t(0xD800 + ((c - 0x10000) >> 10));
            *out++ = char16_t(0xDC00 + ((c - 0x10000) & 0x3FF));
            p += 4;
            continue;
        }
        return -1;
    }
    return out - dst;
}

} // namespace utf8
