#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Telling UTF-8 that lacks its byte-order mark from code page 932. The window reads a file
// without the mark as code page 932, as the equipment does, so a spreadsheet's UTF-8
// export without it would reach the equipment as mojibake. Text beyond ASCII that is
// valid UTF-8 is almost never code page 932: its lead bytes 0x81 to 0x9F cannot start a
// UTF-8 sequence, and its half-width kana are UTF-8 continuation bytes.
namespace broadcast_file {

class Utf8WithoutMarkGuess
{
public:
    // Feeds the file's bytes in order, in pieces of any size. Returns true once the guess
    // is made; later pieces change nothing.
    bool feed(QByteArrayView bytes);
    // The end of the file: the guess is made on what came.
    void finish();
    // The file has no byte-order mark and its text beyond ASCII reads as UTF-8.
    bool isUtf8() const { return m_utf8; }
    // The 1-based line of the first character beyond ASCII.
    int line() const { return m_line; }

private:
    void decide(bool atEnd);

    QByteArray m_start;  // the first bytes, until a byte-order mark can be told
    QByteArray m_sample; // from the first byte beyond ASCII on
    int m_line = 1;
    bool m_decided = false;
    bool m_utf8 = false;
};

// What is said about such a file, without its place.
QString utf8WithoutMarkCause();

} // namespace broadcast_file
