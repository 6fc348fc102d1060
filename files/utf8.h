#pragma once

#include <QByteArrayView>

// UTF-8 to UTF-16 for the file reader, accepting exactly what Qt's decoder accepts without
// an error (well-formed UTF-8: no overlong forms, no surrogates, nothing past U+10FFFF;
// noncharacters and U+FEFF are text) and giving the same units. Qt's decoder costs several
// times more per character than reading the rest of a line, which made opening a UTF-8
// export the slowest way in; the reader only ever needs "valid or not".
namespace utf8 {

// Writes the text of bytes to dst, which must have room for bytes.size() units. Returns
// the number of units written, or -1 when bytes are not well-formed UTF-8.
qsizetype decodeInto(QByteArrayView bytes, char16_t *dst);

} // namespace utf8
