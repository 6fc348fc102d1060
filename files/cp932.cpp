#include "files/cp932.h"

#include "files/file_texts.h"

#include "files/cp932_table.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace cp932 {
namespace {

constexpr char16_t kLeadByte = 0xFFFF; // in the single-byte table: a pair starts here
constexpr quint16 kNoCode = 0xFFFF;    // in the encoding table: the code page lacks it

constexpr int kUserDefinedFirstLead = 0xF0;
constexpr int kUserDefinedLastLead = 0xF9;
constexpr char16_t kUserDefinedFirstChar = 0xE000;

constexpr bool isLeadByte(int b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// Trail bytes in table order: 0x40..0x7E, then 0x80..0xFC.
constexpr int trailByte(int position) { return position < 63 ? 0x40 + position : 0x41 + position; }

// When one character has several codes, Windows writes the JIS X 0208 one, then NEC row
// 13, then the IBM extensions, and never the NEC-selected copies of the IBM extensions
// (0xED/0xEE): those all have an IBM twin, and the equipment expects the IBM code.
enum class Preference { Jis0208, NecRow13, Ibm, Never };

constexpr Preference preferenceOf(int lead)
{
    if (lead == 0x87)
        return Preference::NecRow13;
    if (lead == 0xED || lead == 0xEE)
        return Preference::Never;
    if (lead >= 0xFA)
        return Preference::Ibm;
    return Preference::Jis0208;
}

// Characters that Linux input methods produce where Windows has a look-alike: Windows
// writes them as the look-alike's code, and so do we, so that typed text can be saved.
// They read back as the look-alike.
struct ExtraMapping
{
    char16_t character;
    quint16 code;
};
constexpr std::array<ExtraMapping, 9> kExtraMappings{{
    {u'\u301C', 0x8160}, // WAVE DASH -> FULLWIDTH TILDE
    {u'\u2016', 0x8161}, // DOUBLE VERTICAL LINE -> PARALLEL TO
    {u'\u2212', 0x817C}, // MINUS SIGN -> FULLWIDTH HYPHEN-MINUS
    {u'\u00A2', 0x8191}, // CENT SIGN -> FULLWIDTH CENT SIGN
    {u'\u00A3', 0x8192}, // POUND SIGN -> FULLWIDTH POUND SIGN
    {u'\u00AC', 0x81CA}, // NOT SIGN -> FULLWIDTH NOT SIGN
    {u'\u2014', 0x815C}, // EM DASH -> HORIZONTAL BAR
    {u'\u00A5', 0x005C}, // YEN SIGN -> the backslash byte
    {u'\u203E', 0x007E}, // OVERLINE -> the tilde byte
}};

// The single bytes outside ASCII and half-width katakana that Windows still maps.
struct WindowsSingleByte
{
    quint8 byte;
    char16_t character;
};
constexpr std::array<WindowsSingleByte, 5> kWindowsSingleBytes{{
    {0x80, u'\u0080'},
    {0xA0, u'\uF8F0'},
    {0xFD, u'\uF8F1'},
    {0xFE, u'\uF8F2'},
    {0xFF, u'\uF8F3'},
}};

// Built once, on first use; conversion is then a plain array lookup per character.
struct Tables
{
    std::array<char16_t, 256> single{};  // character of a byte, or kLeadByte
    std::array<char16_t, 65536> pair{};  // character of lead << 8 | trail, or 0
    std::array<quint16, 65536> code{};   // code of a UTF-16 unit, or kNoCode

    Tables()
    {
        code.fill(kNoCode);
        for (int b = 0; b < 0x80; ++b)
            setSingle(b, char16_t(b));
        for (int b = 0xA1; b <= 0xDF; ++b)
            setSingle(b, char16_t(0xFF61 + (b - 0xA1)));
        for (const WindowsSingleByte &s : kWindowsSingleBytes)
            setSingle(s.byte, s.character);
        for (int b = 0; b < 256; ++b) {
            if (isLeadByte(b))
                single[b] = kLeadByte;
        }

        for (Preference pass : {Preference::Jis0208, Preference::NecRow13, Preference::Ibm,
                                Preference::Never}) {
            for (int i = 0; i < table::kLeadRowCount; ++i) {
                const table::LeadRow &row = table::kLeadRows[i];
                if (preferenceOf(row.lead) != pass)
                    continue;
                for (int position = 0; position < table::kTrailsPerLead; ++position) {
                    const char16_t c = row.chars[position];
                    if (c != table::kUndefined)
                        setPair(row.lead, trailByte(position), c, pass != Preference::Never);
                }
            }
        }

        // The user-defined area runs through the Private Use Area row by row.
        char16_t next = kUserDefinedFirstChar;
        for (int lead = kUserDefinedFirstLead; lead <= kUserDefinedLastLead; ++lead) {
            for (int position = 0; position < table::kTrailsPerLead; ++position)
                setPair(lead, trailByte(position), next++, true);
        }

        for (const ExtraMapping &m : kExtraMappings)
            code[m.character] = m.code;
    }

    void setSingle(int b, char16_t c)
    {
        single[b] = c;
        code[c] = quint16(b);
    }

    void setPair(int lead, int trail, char16_t c, bool mayEncode)
    {
        const quint16 bytes = quint16(lead << 8 | trail);
        pair[bytes] = c;
        if (mayEncode && code[c] == kNoCode)
            code[c] = bytes;
    }
};

const Tables &tables()
{
    static const Tables instance;
    return instance;
}

QString hexByte(uchar b)
{
    return QStringLiteral("0x") + QString::number(b, 16).toUpper().rightJustified(2, u'0');
}

// Converts until the end or the first invalid byte; returns the units written.
qsizetype convert(QByteArrayView bytes, char16_t *dst, DecodeError *err, bool *ok)
{
    const Tables &t = tables();
    const auto *const begin = reinterpret_cast<const uchar *>(bytes.data());
    const auto *const end = begin + bytes.size();
    const uchar *p = begin;
    char16_t *d = dst;
    while (p < end) {
        // Eight ASCII bytes at a time: they are their own characters, and ASCII rows,
        // signals and commas come in runs.
        if (end - p >= 8) {
            std::uint64_t word;
            std::memcpy(&word, p, 8);
            if ((word & 0x8080808080808080ull) == 0) {
                for (int i = 0; i < 8; ++i)
                    d[i] = p[i];
                d += 8;
                p += 8;
                continue;
            }
        }
        const uchar b = *p;
        const char16_t single = t.single[b];
        if (single != kLeadByte) {
            *d++ = single;
            ++p;
            continue;
        }
        if (end - p < 2) {
            if (err)
                *err = {p - begin, FileTexts::tr("2バイト文字の途中でファイルが終わっています %1")
                                       .arg(hexByte(b))};
            *ok = false;
            return d - dst;
        }
        const char16_t c = t.pair[b << 8 | p[1]];
        if (c == 0) {
            if (err)
                *err = {p - begin, FileTexts::tr("不正な2バイト文字 %1 %2")
                                       .arg(hexByte(b), hexByte(p[1]))};
            *ok = false;
            return d - dst;
        }
        *d++ = c;
        p += 2;
    }
    *ok = true;
    return d - dst;
}

} // namespace

qsizetype decodeInto(QByteArrayView bytes, char16_t *dst, DecodeError *err)
{
    bool ok = false;
    const qsizetype written = convert(bytes, dst, err, &ok);
    return ok ? written : -1;
}

bool decode(QByteArrayView bytes, QString &out, DecodeError *err)
{
    out.resize(bytes.size());
    bool ok = false;
    const qsizetype written =
        convert(bytes, reinterpret_cast<char16_t *>(out.data()), err, &ok);
    out.resize(written);
    // Double-byte text needs only half as many units as it has bytes: give back the
    // surplus of a large conversion rather than keep it for the string's lifetime.
    if (out.capacity() - written > written / 4 + 64)
        out.squeeze();
    return ok;
}

qsizetype encodeInto(QStringView text, char *dst, EncodeError *err)
{
    const Tables &t = tables();
    char *d = dst;
    const char16_t *const units = text.utf16();
    const qsizetype count = text.size();
    for (qsizetype i = 0; i < count; ++i) {
        // Four ASCII units at a time: they are their own bytes.
        if (count - i >= 4) {
            std::uint64_t word;
            std::memcpy(&word, units + i, 8);
            if ((word & 0xFF80FF80FF80FF80ull) == 0) {
                for (int k = 0; k < 4; ++k)
                    d[k] = char(units[i + k]);
                d += 4;
                i += 3;
                continue;
            }
        }
        const quint16 code = t.code[units[i]];
        if (code < 0x100) {
            *d++ = char(code);
        } else if (code != kNoCode) {
            *d++ = char(code >> 8);
            *d++ = char(code & 0xFF);
        } else {
            if (err) {
                char32_t c = units[i];
                if (QChar::isHighSurrogate(c) && i + 1 < count
                    && QChar::isLowSurrogate(units[i + 1]))
                    c = QChar::surrogateToUcs4(units[i], units[i + 1]);
                *err = {i, c};
            }
            return -1;
        }
    }
    return d - dst;
}

bool encode(QStringView text, QByteArray &out, EncodeError *err)
{
    const qsizetype start = out.size();
    out.resize(start + 2 * text.size());
    const qsizetype written = encodeInto(text, out.data() + start, err);
    out.resize(written < 0 ? start : start + written);
    return written >= 0;
}

bool canEncode(char32_t c)
{
    return c <= 0xFFFF && tables().code[c] != kNoCode;
}

} // namespace cp932
