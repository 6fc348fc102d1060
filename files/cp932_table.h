#pragma once

// The fixed double-byte codes of code page 932 as data: one row per lead byte that has
// any, in trail order 0x40..0x7E then 0x80..0xFC. U+FFFD marks a trail the code page
// leaves undefined (U+FFFD itself is not in the code page). Lead bytes with no fixed
// codes (0x85, 0x86, 0xEB, 0xEC, 0xEF and the user-defined 0xF0..0xF9) have no row.
namespace cp932::table {

inline constexpr int kTrailsPerLead = 188;
inline constexpr char16_t kUndefined = u'\uFFFD';

struct LeadRow
{
    unsigned char lead;
    const char16_t *chars; // kTrailsPerLead characters
};

extern const LeadRow kLeadRows[];
extern const int kLeadRowCount;

} // namespace cp932::table
