#include "table/numeric_value.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// &H and &O literals: up to 16 bits they read as a signed 16-bit number, up to 32 bits as
// a signed 32-bit number, as the runtime's integer literals do (&HFFFF is -1).
double radixLiteral(const std::string &s, size_t pos, int radix)
{
    std::uint64_t value = 0;
    bool any = false;
    for (; pos < s.size(); ++pos) {
        const char c = s[pos];
        int digit;
        if (isDigit(c))
            digit = c - '0';
        else if (radix == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (radix == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            break;
        if (digit >= radix)
            break;
        any = true;
        if (value > (std::numeric_limits<std::uint64_t>::max() >> 4))
            return std::numeric_limits<double>::infinity();
        value = value * static_cast<unsigned>(radix) + static_cast<unsigned>(digit);
    }
    if (!any)
        return 0;
    if (value <= 0xFFFF)
        return static_cast<std::int16_t>(static_cast<std::uint16_t>(value));
    if (value <= 0xFFFFFFFFu)
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
    return static_cast<double>(value);
}

} // namespace

double NumericValue(QStringView text)
{
    // Only ASCII can form a number, so anything else simply ends the scan.
    std::string s;
    s.reserve(static_cast<size_t>(text.size()));
    for (QChar ch : text) {
        const char16_t u = ch.unicode();
        if (u == u' ' || u == u'\t' || u == u'\n')
            continue;
        s.push_back(u < 0x80 ? static_cast<char>(u) : '\x01');
    }

    if (s.size() >= 2 && s[0] == '&') {
        if (s[1] == 'H' || s[1] == 'h')
            return radixLiteral(s, 2, 16);
        if (s[1] == 'O' || s[1] == 'o')
            return radixLiteral(s, 2, 8);
        return 0;
    }

    size_t i = 0;
    std::string number;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        number.push_back(s[i++]);
    bool digits = false;
    for (; i < s.size() && isDigit(s[i]); ++i, digits = true)
        number.push_back(s[i]);
    if (i < s.size() && s[i] == '.') {
        number.push_back(s[i++]);
        for (; i < s.size() && isDigit(s[i]); ++i, digits = true)
            number.push_back(s[i]);
    }
    if (!digits)
        return 0;
    if (i < s.size() && (s[i] == 'E' || s[i] == 'e' || s[i] == 'D' || s[i] == 'd')) {
        size_t j = i + 1;
        std::string exponent = "e";
        if (j < s.size() && (s[j] == '+' || s[j] == '-'))
            exponent.push_back(s[j++]);
        bool expDigits = false;
        for (; j < s.size() && isDigit(s[j]); ++j, expDigits = true)
            exponent.push_back(s[j]);
        if (expDigits)
            number += exponent;
    }

    const char *first = number.data();
    if (*first == '+')
        ++first;
    double value = 0;
    const auto [end, ec] = std::from_chars(first, number.data() + number.size(), value);
    (void)end;
    if (ec == std::errc::result_out_of_range) {
        // Too large to hold: it is certainly none of the signal values, so it reads as an
        // infinity (or zero when too small) rather than stopping the row from loading.
        const bool negative = number[0] == '-';
        const size_t e = number.find('e');
        const bool tiny = e != std::string::npos && number[e + 1] == '-';
        if (tiny)
            return negative ? -0.0 : 0.0;
        return negative ? -std::numeric_limits<double>::infinity()
                        : std::numeric_limits<double>::infinity();
    }
    return value;
}
