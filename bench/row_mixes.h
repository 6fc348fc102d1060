// Tables of different shapes for the benchmarks that time whole files: the cost of reading
// and writing a row depends on what it holds (kanji take the code page's two-byte path,
// ASCII the one-byte one) and on its length (short rows cost their line's overhead, long
// ones their characters), so one sample would hide where a program is slow.
#pragma once

#include "row/broadcast_row.h"

#include <vector>

enum class RowMix {
    Kanji,  // Japanese sentences of 15 to 50 characters, kanji and kana only
    Ascii,  // ASCII rows of 20 to 60 characters (codes, romaji, times)
    Short,  // 2 to 6 characters: station names, platform numbers, codes
    Long,   // about a thousand characters: many sentences in one row
    Mixed,  // Japanese sentences, ASCII rows and short rows together, as files are
};

inline constexpr RowMix kAllRowMixes[] = {RowMix::Kanji, RowMix::Ascii, RowMix::Short,
                                          RowMix::Long, RowMix::Mixed};

const char *rowMixName(RowMix mix);

// rows rows of the mix, every one a row that confirming accepts (no blank, tab or comma),
// fare signals 0 or 1 and sound signals 0 to 3, so a checker finds nothing to report.
std::vector<BroadcastRow> makeMixTable(RowMix mix, int rows);
