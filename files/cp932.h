#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Code page 932 (Windows' Shift-JIS) converted the way Windows converts it, because the
// equipment that reads our files was built against Windows' tables. Qt's own Shift-JIS
// codec differs from it in several control bytes and is not used.
//
// Invalid input is always an error, never a substitute character: a file that cannot be
// converted exactly is reported to the user instead of being changed behind their back.
namespace cp932 {

struct DecodeError
{
    qsizetype offset = -1; // of the first byte of the offending character
    QString cause;         // short, in Japanese, ready to show to the user
};

// Replaces out with the text of bytes. On invalid input returns false, fills err (when
// given) and leaves in out the text that came before the offending byte.
bool decode(QByteArrayView bytes, QString &out, DecodeError *err);

// For callers that manage their own buffer: writes the text of bytes to dst, which must
// have room for bytes.size() UTF-16 units. Returns the number of units written, or -1 on
// invalid input (err filled when given).
qsizetype decodeInto(QByteArrayView bytes, char16_t *dst, DecodeError *err);

struct EncodeError
{
    qsizetype index = -1;     // in UTF-16 code units
    char32_t character = 0;   // the whole code point, or the lone surrogate
};

// Appends the bytes of text to out. On a character the code page cannot hold, returns
// false, fills err (when given) and leaves out as it was before the call.
bool encode(QStringView text, QByteArray &out, EncodeError *err);

// For callers that manage their own buffer: writes the bytes of text to dst, which must
// have room for 2 * text.size() bytes. Returns the number of bytes written, or -1 on a
// character the code page cannot hold (err filled when given).
qsizetype encodeInto(QStringView text, char *dst, EncodeError *err);

// Whether encode accepts c. Characters outside the Basic Multilingual Plane never fit.
bool canEncode(char32_t c);

} // namespace cp932
