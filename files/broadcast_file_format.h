#pragma once

#include "row/broadcast_row.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>
#include <memory>
#include <span>
#include <vector>

// The byte form of a broadcast data file: one line per row, in table order, written as
// Content,FareSignal,SoundSignal followed by CR LF (the last line included), in code page
// 932, with no header, byte-order mark, quoting or trimming. The equipment reads exactly
// these bytes, so nothing is added, dropped or normalised on the way.
namespace broadcast_file {

enum class Field { Content, FareSignal, SoundSignal };

struct SerializeResult
{
    QByteArray bytes;   // the whole file; empty when the table cannot be saved
    int failedRow = 0;  // 1-based row of the first field that would not read back; 0 if none
    Field failedField = Field::Content;
    qsizetype failedIndex = -1; // of the offending character in that field, in UTF-16 units
    char32_t failedCharacter = 0;
    QString cause;      // what is wrong with the character, in Japanese, without the row

    bool ok() const { return failedRow == 0; }
};

// Builds the file from the rows. A table is saved only when every field reads back
// exactly as it stands: a field holding a character the code page lacks, a CR, an LF or
// a comma, or starting with a double quote (the reader would take it for a quoted field)
// refuses the whole save, reporting the first such field in table order.
SerializeResult serialize(std::span<const BroadcastRow> rows);

struct ParseResult
{
    std::vector<BroadcastRow> rows; // on failure: the rows before the failing line
    int failedLine = 0;             // 1-based; 0 when the whole file was read
    QString cause;                  // in Japanese, without the line number
    // The 1-based line of each row, when the reader was asked to keep them: blank lines
    // are skipped, so a row's place in the table does not tell its line.
    std::vector<int> rowLines;

    bool ok() const { return failedLine == 0; }
};

// Reads a file, including ones written by other programs:
//  - a line ends in CR LF or in a lone LF, and the last line may lack it;
//  - fields split at commas; a field starting with a double quote is quoted as in CSV
//    (a doubled quote is one quote, commas inside are kept), but it must close on its own
//    line: the file cannot hold a line break inside a field, so one never spans lines;
//  - blanks are kept as they stand; missing fields are empty; lines that are empty or
//    hold only CRs are skipped (they still count in line numbers);
//  - a file starting with the UTF-8 byte-order mark is read as UTF-8.
// Reading stops at the first line with more than three fields, bytes that are not valid
// in the file's encoding, or malformed quoting.
ParseResult parse(QByteArrayView bytes);

// One row as it is read: its fields view the reader's buffer and are valid only until the
// visitor returns.
struct RowView
{
    QStringView content;
    QStringView fareSignal;
    QStringView soundSignal;
    int line = 0; // 1-based
};
using RowVisitor = std::function<void(const RowView &row)>;

// The most bytes the line of a row with fields of these sizes can take: two per UTF-16
// unit, two commas and CR LF.
constexpr qsizetype lineBound(QStringView content, QStringView fareSignal, QStringView soundSignal)
{
    return 2 * (content.size() + fareSignal.size() + soundSignal.size()) + 4;
}

// Writes the line of one row at out, which must have room for lineBound of its fields,
// for a caller that writes rows as they come instead of a whole table. Returns the bytes
// written, or -1 when a field would not read back, refused as serialize refuses it (with
// the row's line as failedRow) in *refused.
qsizetype serializeRowInto(const RowView &row, char *out, SerializeResult *refused);

// The same reading, fed piece by piece, so that a large file need not be in memory whole
// next to its rows. For the least memory, count the file's LF bytes first and reserve
// that many rows: the table then never grows by copying.
//
//     Reader reader;
//     reader.reserve(lineFeeds + 1);
//     while (more bytes)
//         reader.feed(nextBytes);          // pieces may split lines and characters
//     ParseResult result = reader.finish();
class Reader
{
public:
    Reader();
    ~Reader();
    Reader(const Reader &) = delete;
    Reader &operator=(const Reader &) = delete;

    void reserve(qsizetype rows);
    // Keeps each row's line in ParseResult::rowLines, for reports about rows read well.
    // Call before the first piece; reading for the window does without.
    void keepRowLines();
    // Fails reading at a line longer than bytes, before it is held whole, for a caller
    // that reads input of any size a piece at a time. Reading for the window does without:
    // it measures the whole file first.
    void setLineLimit(qsizetype bytes);
    // Hands each row to visit as it is read instead of keeping it, for a caller that looks
    // at rows one at a time (checking or converting a file of any size): no string is made
    // for a row, and ParseResult::rows stays empty. Call before the first piece.
    void visitRows(RowVisitor visit);
    // Reads a file without a byte-order mark as UTF-8 rather than as code page 932, for a
    // caller told which it is. Call before the first piece.
    void readUnmarkedAsUtf8();
    // Returns false once reading has failed; later pieces are then ignored.
    bool feed(QByteArrayView bytes);
    // Hands over the rows read so far (with their lines when kept), for a caller that
    // passes rows on as they come instead of holding the whole table.
    void takeRows(std::vector<BroadcastRow> &rows, std::vector<int> &rowLines);
    // Reads what is left as the last line and hands over the result; the reader is spent.
    ParseResult finish();

private:
    struct State;
    std::unique_ptr<State> m_state;
};

} // namespace broadcast_file
