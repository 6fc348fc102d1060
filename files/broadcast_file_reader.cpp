#include "files/broadcast_file_format.h"

#include "files/file_texts.h"

#include "files/cp932.h"
#include "files/utf8.h"


#include <algorithm>
#include <array>
#include <cstring>
#include <optional>

namespace broadcast_file {
namespace {

constexpr QByteArrayView kUtf8Bom("\xEF\xBB\xBF", 3);

// Signal fields are nearly always one ASCII character: every row shares one QString per
// such text instead of allocating its own, which keeps large tables small in memory.
const QString &oneCharacterText(char16_t c)
{
    static const std::array<char16_t, 128> characters = [] {
        std::array<char16_t, 128> all{};
        for (int i = 0; i < 128; ++i)
            all[i] = char16_t(i);
        return all;
    }();
    static const std::array<QString, 128> texts = [] {
        std::array<QString, 128> all;
        for (int i = 0; i < 128; ++i)
            all[i] = QString::fromRawData(reinterpret_cast<const QChar *>(&characters[i]), 1);
        return all;
    }();
    return texts[c];
}

QString makeField(QStringView field)
{
    if (field.isEmpty())
        return QString();
    if (field.size() == 1 && field[0].unicode() < 0x80)
        return oneCharacterText(field[0].unicode());
    return field.toString();
}

// Splits one decoded line (terminator removed) into at most three fields, which view the
// line; missing ones stay empty. Quoted fields are unescaped in place, which is why the
// line is writable.
bool splitFields(char16_t *line, qsizetype length, RowView &row, QString *cause)
{
    // The usual line first: content that neither starts with a quote nor holds a comma,
    // and two one-character signals: this is all that short rows cost beyond their line end.
    if (length >= 4 && line[0] != u'"' && line[length - 2] == u',' && line[length - 4] == u','
        && line[length - 1] != u'"' && line[length - 1] != u',' && line[length - 3] != u','
        && line[length - 3] != u'"') {
        const qsizetype contentEnd = length - 4;
        if (std::find(line, line + contentEnd, u',') == line + contentEnd) {
            row.content = QStringView(line, contentEnd);
            row.fareSignal = QStringView(line + length - 3, 1);
            row.soundSignal = QStringView(line + length - 1, 1);
            return true;
        }
    }
    QStringView *const fields[3] = {&row.content, &row.fareSignal, &row.soundSignal};
    int count = 0;
    qsizetype i = 0;
    for (;;) {
        if (count == 3) {
            *cause = FileTexts::tr("項目が4つ以上あります（1行は3項目までです）");
            return false;
        }
        if (i < length && line[i] == u'"') {
            const qsizetype first = i + 1;
            qsizetype read = first;
            qsizetype write = first;
            for (;;) {
                if (read == length) {
                    *cause = FileTexts::tr("引用符「\"」が閉じられていません");
                    return false;
                }
                if (line[read] == u'"') {
                    if (read + 1 < length && line[read + 1] == u'"') {
                        line[write++] = u'"';
                        read += 2;
                        continue;
                    }
                    ++read;
                    break;
                }
                line[write++] = line[read++];
            }
            *fields[count++] = QStringView(line + first, write - first);
            if (read == length)
                return true;
            if (line[read] != u',') {
                *cause = FileTexts::tr("閉じ引用符「\"」の後に余分な文字があります");
                return false;
            }
            i = read + 1;
        } else {
            const char16_t *const comma = std::find(line + i, line + length, u',');
            const qsizetype end = comma - line;
            *fields[count++] = QStringView(line + i, end - i);
            if (end == length)
                return true;
            i = end + 1;
        }
    }
}

bool onlyCarriageReturns(const char *begin, const char *end)
{
    return std::all_of(begin, end, [](char c) { return c == '\r'; });
}

// Turns the bytes of one line into UTF-16 in the file's encoding.
class LineDecoder
{
public:
    // The file's byte-order mark is already gone; a U+FEFF that starts a line is text, and
    // a sequence cut off at the end of a line is an error, not carried over.
    explicit LineDecoder(bool utf8) : m_utf8(utf8) {}

    // Returns the decoded units (in buffer()), or -1 with cause filled.
    qsizetype decode(QByteArrayView bytes, QString *cause)
    {
        reserve(bytes.size());
        if (m_utf8) {
            const qsizetype written = utf8::decodeInto(bytes, m_buffer.data());
            if (written < 0)
                *cause = FileTexts::tr("UTF-8として正しくないバイト列があります");
            return written;
        }
        cp932::DecodeError error;
        const qsizetype written = cp932::decodeInto(bytes, m_buffer.data(), &error);
        if (written < 0)
            *cause = error.cause;
        return written;
    }

    // Decodes whole lines, each ending in LF, in one go: for lines that end in LF that
    // gives exactly what decoding them one by one gives (neither encoding has an LF inside
    // a character; a code page 932 lead byte before one is an invalid pair either way),
    // without a call per line, which short rows would pay for. Returns the units (in
    // buffer()), or -1 when the text is not valid and the lines are to be decoded one by
    // one to find the line at fault.
    qsizetype decodeLines(QByteArrayView bytes)
    {
        reserve(bytes.size());
        if (m_utf8)
            return utf8::decodeInto(bytes, m_buffer.data());
        return cp932::decodeInto(bytes, m_buffer.data(), nullptr);
    }

    char16_t *buffer() { return m_buffer.data(); }

private:
    void reserve(qsizetype room)
    {
        if (qsizetype(m_buffer.size()) < room)
            m_buffer.resize(std::max<qsizetype>(room, 2 * m_buffer.size()));
    }

    bool m_utf8;
    std::vector<char16_t> m_buffer;
};

} // namespace

struct Reader::State
{
    ParseResult result;
    QByteArray pending; // the start of a line whose end has not come yet
    std::optional<LineDecoder> decoder; // set once the encoding is known
    RowVisitor visitor; // when set, rows go to it instead of into result.rows
    int line = 0;
    bool failed = false;
    bool keepRowLines = false;
    qsizetype lineLimit = 0; // bytes of one line; 0: no limit
    bool unmarkedIsUtf8 = false;

    // A line still coming that has grown past the limit fails reading, at its own number.
    bool pendingFits()
    {
        if (lineLimit <= 0 || pending.size() <= lineLimit)
            return true;
        ++line;
        pending = QByteArray();
        return fail(FileTexts::tr("行が長すぎて読み込めません（使えるメモリーで読める1行は約 %1 MB までです）")
                        .arg(lineLimit >> 20));
    }

    // The byte-order mark can only be told from the first three bytes.
    bool encodingKnown(bool atEnd)
    {
        if (decoder)
            return true;
        if (!atEnd && pending.size() < kUtf8Bom.size() && kUtf8Bom.startsWith(pending))
            return false;
        const bool marked = pending.startsWith(kUtf8Bom);
        if (marked)
            pending.remove(0, kUtf8Bom.size());
        decoder.emplace(marked || unmarkedIsUtf8);
        return true;
    }

    bool fail(const QString &cause)
    {
        failed = true;
        result.failedLine = line;
        result.cause = cause;
        return false;
    }

    // One line, with its LF when it has one.
    bool readLine(const char *begin, const char *end, bool terminated)
    {
        ++line;
        const char *const textEnd = terminated ? end - 1 : end;
        if (begin == textEnd || onlyCarriageReturns(begin, textEnd))
            return true;
        // The LF is decoded with the line so that a lead byte before it is reported as
        // the broken pair it is, not as a file cut short.
        QString cause;
        const qsizetype decoded = decoder->decode(QByteArrayView(begin, end), &cause);
        if (decoded < 0)
            return fail(cause);
        qsizetype length = decoded;
        char16_t *const text = decoder->buffer();
        if (terminated) {
            --length;
            if (length > 0 && text[length - 1] == u'\r')
                --length;
        }
        return takeRow(text, length);
    }

    // The row of one decoded line whose line end is already dropped.
    bool takeRow(char16_t *text, qsizetype length)
    {
        RowView row{{}, {}, {}, line};
        QString cause;
        if (!splitFields(text, length, row, &cause)) {
            // Lines ended by a lone CR (old Mac files) run together into one line, whose
            // fields then seem too many: the line ends are what the operator must fix.
            if (std::find(text, text + length, u'\r') != text + length)
                cause = FileTexts::tr("行の区切りに CR だけが使われています（行は CR LF か LF で区切ってください）");
            return fail(cause);
        }
        if (visitor) {
            visitor(row);
            return true;
        }
        result.rows.push_back(
            BroadcastRow{makeField(row.content), makeField(row.fareSignal), makeField(row.soundSignal)});
        if (keepRowLines)
            result.rowLines.push_back(line);
        return true;
    }

    // Complete lines, each with its LF.
    bool readWholeLines(const char *begin, const char *end)
    {
        const qsizetype decoded = decoder->decodeLines(QByteArrayView(begin, end));
        if (decoded < 0) {
            for (const char *p = begin; p < end;) {
                const auto *const lf = static_cast<const char *>(std::memchr(p, '\n', end - p));
                if (!readLine(p, lf + 1, true))
                    return false;
                p = lf + 1;
            }
            return true;
        }
        // The same steps as readLine's, on the decoded text: an LF or a CR is one unit in
        // either form.
        char16_t *text = decoder->buffer();
        char16_t *const stop = text + decoded;
        while (text < stop) {
            char16_t *const lf = std::find(text, stop, u'\n');
            ++line;
            if (!std::all_of(text, lf, [](char16_t c) { return c == u'\r'; })) {
                const qsizetype length = lf - text - (lf[-1] == u'\r' ? 1 : 0);
                if (!takeRow(text, length))
                    return false;
            }
            text = lf + 1;
        }
        return true;
    }

    // Reads every complete line of bytes (after what is pending) and keeps the rest.
    bool readLines(QByteArrayView bytes)
    {
        const char *p = bytes.data();
        const char *const end = p + bytes.size();
        if (!pending.isEmpty()) {
            const auto *const lf = static_cast<const char *>(std::memchr(p, '\n', end - p));
            if (!lf) {
                pending.append(bytes);
                return pendingFits();
            }
            pending.append(QByteArrayView(p, lf + 1));
            p = lf + 1;
            if (!readLine(pending.cbegin(), pending.cend(), true))
                return false;
            pending.resize(0);
        }
        const qsizetype lastLf = QByteArrayView(p, end).lastIndexOf('\n');
        if (lastLf >= 0) {
            if (!readWholeLines(p, p + lastLf + 1))
                return false;
            p += lastLf + 1;
        }
        if (p < end)
            pending.append(QByteArrayView(p, end));
        return pendingFits();
    }
};

Reader::Reader() : m_state(std::make_unique<State>()) {}

Reader::~Reader() = default;

void Reader::reserve(qsizetype rows)
{
    m_state->result.rows.reserve(std::size_t(rows));
    if (m_state->keepRowLines)
        m_state->result.rowLines.reserve(std::size_t(rows));
}

void Reader::setLineLimit(qsizetype bytes)
{
    m_state->lineLimit = bytes;
}

void Reader::readUnmarkedAsUtf8()
{
    m_state->unmarkedIsUtf8 = true;
}

void Reader::visitRows(RowVisitor visit)
{
    m_state->visitor = std::move(visit);
}

void Reader::keepRowLines()
{
    m_state->keepRowLines = true;
    m_state->result.rowLines.reserve(m_state->result.rows.capacity());
}

bool Reader::feed(QByteArrayView bytes)
{
    State &s = *m_state;
    if (s.failed)
        return false;
    if (!s.decoder && s.pending.isEmpty() && bytes.size() >= kUtf8Bom.size()) {
        // The usual case, a first piece long enough to tell: no copy of it is made.
        const bool marked = bytes.startsWith(kUtf8Bom);
        s.decoder.emplace(marked || s.unmarkedIsUtf8);
        if (marked)
            bytes = bytes.sliced(kUtf8Bom.size());
    }
    if (s.decoder)
        return s.readLines(bytes);
    s.pending.append(bytes);
    if (!s.encodingKnown(false))
        return true;
    const QByteArray start = std::exchange(s.pending, QByteArray());
    return s.readLines(start);
}

void Reader::takeRows(std::vector<BroadcastRow> &rows, std::vector<int> &rowLines)
{
    rows.clear();
    rowLines.clear();
    std::swap(rows, m_state->result.rows);
    std::swap(rowLines, m_state->result.rowLines);
}

ParseResult Reader::finish()
{
    State &s = *m_state;
    if (!s.failed && s.encodingKnown(true) && !s.pending.isEmpty())
        s.readLine(s.pending.cbegin(), s.pending.cend(), false);
    s.pending = QByteArray();
    return std::move(s.result);
}

} // namespace broadcast_file
