// Feeds arbitrary bytes to the code page 932 converter and to the broadcast file's reader
// and writer, and checks what they promise rather than only that they do not crash:
//  - decoding then encoding then decoding gives the decoded text again;
//  - reading in pieces gives exactly what reading at once gives;
//  - a table that was read and that the writer accepts reads back as the same table (but
//    for the nine look-alikes below, which a UTF-8 file can hold);
//  - failures point at the place that really is wrong;
//  - the reader's UTF-8 decoding accepts what Qt's accepts and gives the same text.
// The same input is also taken as UTF-16 text and as a table of UTF-16 fields, so that the
// writer meets text no file could have given it (line breaks, lone surrogates, ...).
#include "files/broadcast_file_format.h"
#include "files/cp932.h"
#include "files/utf8.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <span>
#include <vector>

namespace {

using Rows = std::vector<BroadcastRow>;

// A broken property: say which, then stop so that libFuzzer keeps the input.
#define REQUIRE(condition)                                                                \
    do {                                                                                  \
        if (!(condition)) {                                                               \
            std::fprintf(stderr, "property failed at line %d: %s\n", __LINE__, #condition); \
            __builtin_trap();                                                             \
        }                                                                                 \
    } while (false)

// Characters the encoder writes as the code of a look-alike, so that text typed with Linux
// input methods can be saved. They are the only ones that read back as something else,
// which the fuzzer checks once at start-up against the whole Basic Multilingual Plane.
constexpr std::array<char16_t, 9> kLookAlikes{u'\u301C', u'\u2016', u'\u2212', u'\u00A2',
                                              u'\u00A3', u'\u00AC', u'\u2014', u'\u00A5',
                                              u'\u203E'};

struct LookAlikeTable
{
    std::array<char16_t, 65536> readsAs{};

    LookAlikeTable()
    {
        int oneWay = 0;
        for (int u = 0; u < 65536; ++u) {
            const auto c = char16_t(u);
            readsAs[u] = c;
            QByteArray bytes;
            if (!cp932::encode(QStringView(&c, 1), bytes, nullptr))
                continue;
            QString back;
            REQUIRE(cp932::decode(bytes, back, nullptr));
            REQUIRE(back.size() == 1);
            if (back[0].unicode() != c) {
                REQUIRE(std::find(kLookAlikes.begin(), kLookAlikes.end(), c)
                        != kLookAlikes.end());
                readsAs[u] = back[0].unicode();
                ++oneWay;
            }
        }
        REQUIRE(oneWay == int(kLookAlikes.size()));
    }
};

const LookAlikeTable &lookAlikes()
{
    static const LookAlikeTable table;
    return table;
}

// The text as it reads back once written: look-alikes become what they are written as.
QString readBack(const QString &text)
{
    QString out = text;
    for (QChar &c : out)
        c = QChar(lookAlikes().readsAs[c.unicode()]);
    return out;
}

Rows readBack(const Rows &rows)
{
    Rows out;
    out.reserve(rows.size());
    for (const BroadcastRow &row : rows)
        out.push_back({readBack(row.Content), readBack(row.FareSignal), readBack(row.SoundSignal)});
    return out;
}

bool sameResult(const broadcast_file::ParseResult &a, const broadcast_file::ParseResult &b)
{
    return a.rows == b.rows && a.failedLine == b.failedLine && a.cause == b.cause;
}

const QString &fieldOf(const BroadcastRow &row, broadcast_file::Field field)
{
    switch (field) {
    case broadcast_file::Field::FareSignal: return row.FareSignal;
    case broadcast_file::Field::SoundSignal: return row.SoundSignal;
    case broadcast_file::Field::Content: break;
    }
    return row.Content;
}

// The code point that starts at index: a whole pair, or the lone surrogate.
char32_t codePointAt(const QString &text, qsizetype index)
{
    const char16_t unit = text[index].unicode();
    if (QChar::isHighSurrogate(unit) && index + 1 < text.size()
        && text[index + 1].isLowSurrogate())
        return QChar::surrogateToUcs4(unit, text[index + 1].unicode());
    return unit;
}

void checkDecode(QByteArrayView bytes)
{
    QString text;
    cp932::DecodeError error;
    const bool ok = cp932::decode(bytes, text, &error);

    std::vector<char16_t> buffer(std::size_t(bytes.size()) + 1);
    const qsizetype written = cp932::decodeInto(bytes, buffer.data(), nullptr);

    if (!ok) {
        REQUIRE(written == -1);
        REQUIRE(error.offset >= 0 && error.offset < bytes.size());
        REQUIRE(!error.cause.isEmpty());
        // What came before the offending character is valid and is what was kept.
        QString before;
        REQUIRE(cp932::decode(bytes.first(error.offset), before, nullptr));
        REQUIRE(before == text);
        return;
    }
    REQUIRE(written == text.size());
    REQUIRE(QStringView(buffer.data(), written) == text);

    QByteArray encoded;
    REQUIRE(cp932::encode(text, encoded, nullptr));
    QString again;
    REQUIRE(cp932::decode(encoded, again, nullptr));
    REQUIRE(again == text);
    // The codes the encoder picks are a fixed point: writing what they read gives them back.
    QByteArray reencoded;
    REQUIRE(cp932::encode(again, reencoded, nullptr));
    REQUIRE(reencoded == encoded);
}

void checkUtf8(QByteArrayView bytes)
{
    QStringDecoder qt(QStringDecoder::Utf8,
                      QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    const QString expected = qt.decode(bytes);
    std::vector<char16_t> buffer(std::size_t(bytes.size()) + 1);
    const qsizetype written = utf8::decodeInto(bytes, buffer.data());
    REQUIRE((written >= 0) == !qt.hasError());
    if (written >= 0)
        REQUIRE(QStringView(buffer.data(), written) == expected);
}

void checkEncode(const QString &text)
{
    QByteArray out("kept");
    cp932::EncodeError error;
    if (!cp932::encode(text, out, &error)) {
        REQUIRE(out == "kept");
        REQUIRE(error.index >= 0 && error.index < text.size());
        REQUIRE(error.character == codePointAt(text, error.index));
        REQUIRE(!cp932::canEncode(error.character));
        for (qsizetype i = 0; i < error.index; ++i)
            REQUIRE(cp932::canEncode(text[i].unicode()));
        return;
    }
    for (QChar c : text)
        REQUIRE(cp932::canEncode(c.unicode()));
    QString back;
    REQUIRE(cp932::decode(QByteArrayView(out).sliced(4), back, nullptr));
    REQUIRE(back == readBack(text));
}

// Splits bytes into pieces of 0 to 8 bytes, with lengths drawn from a generator seeded
// with a hash of the bytes: every input is cut somewhere else, and a mutation anywhere
// (the byte-order mark of a UTF-8 file included) moves every cut.
broadcast_file::ParseResult readInPieces(QByteArrayView bytes)
{
    std::uint64_t state = 0xCBF29CE484222325u;
    for (char c : bytes)
        state = (state ^ uchar(c)) * 0x100000001B3u;
    auto next = [&state] { // splitmix64
        std::uint64_t z = (state += 0x9E3779B97F4A7C15u);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
        return z ^ (z >> 31);
    };
    broadcast_file::Reader reader;
    qsizetype at = 0;
    while (at < bytes.size()) {
        const qsizetype length = std::min<qsizetype>(qsizetype(next() % 9), bytes.size() - at);
        reader.feed(bytes.sliced(at, length));
        at += length;
    }
    return reader.finish();
}

// One byte at a time: every line, pair and mark is cut at every place.
broadcast_file::ParseResult readByteByByte(QByteArrayView bytes)
{
    broadcast_file::Reader reader;
    for (qsizetype at = 0; at < bytes.size(); ++at)
        reader.feed(bytes.sliced(at, 1));
    return reader.finish();
}

// A refused table: the field it names holds a character that could not be read back.
void checkRefusal(const Rows &rows, const broadcast_file::SerializeResult &written)
{
    REQUIRE(written.bytes.isEmpty());
    REQUIRE(!written.cause.isEmpty());
    REQUIRE(written.failedRow >= 1 && std::size_t(written.failedRow) <= rows.size());
    const QString &field = fieldOf(rows[std::size_t(written.failedRow - 1)], written.failedField);
    REQUIRE(written.failedIndex >= 0 && written.failedIndex < field.size());
    const char32_t c = codePointAt(field, written.failedIndex);
    REQUIRE(c == written.failedCharacter);
    const bool separator = c == U',' || c == U'\r' || c == U'\n';
    const bool leadingQuote = c == U'"' && written.failedIndex == 0;
    REQUIRE(separator || leadingQuote || !cp932::canEncode(c));
    // The first bad field is the one reported: the rows before it are all fine.
    const auto before = std::span(rows).first(std::size_t(written.failedRow - 1));
    REQUIRE(broadcast_file::serialize(before).ok());
}

void checkWrite(const Rows &rows)
{
    const broadcast_file::SerializeResult written = broadcast_file::serialize(rows);
    if (!written.ok()) {
        checkRefusal(rows, written);
        return;
    }
    const broadcast_file::ParseResult read = broadcast_file::parse(written.bytes);
    REQUIRE(read.ok());
    REQUIRE(read.rows == readBack(rows));
    REQUIRE(broadcast_file::serialize(read.rows).bytes == written.bytes);
}

// Where line number line (1-based) starts: after line - 1 line feeds.
qsizetype startOfLine(QByteArrayView bytes, int line)
{
    qsizetype at = 0;
    for (int seen = 1; seen < line; ++seen) {
        const qsizetype lf = bytes.indexOf('\n', at);
        REQUIRE(lf >= 0);
        at = lf + 1;
    }
    return at;
}

void checkParse(QByteArrayView bytes)
{
    const broadcast_file::ParseResult read = broadcast_file::parse(bytes);
    REQUIRE(sameResult(readInPieces(bytes), read));
    if (bytes.size() <= 256)
        REQUIRE(sameResult(readByteByByte(bytes), read));
    if (read.ok()) {
        REQUIRE(read.cause.isEmpty());
        checkWrite(read.rows);
        return;
    }
    REQUIRE(!read.cause.isEmpty());
    REQUIRE(read.failedLine >= 1);
    // Everything before the failing line reads on its own, to the rows that were kept.
    const broadcast_file::ParseResult before =
        broadcast_file::parse(bytes.first(startOfLine(bytes, read.failedLine)));
    REQUIRE(before.ok());
    REQUIRE(before.rows == read.rows);
}

// The input as UTF-16 text: rows end at U+001E and fields at U+001F (the record and unit
// separators, which the table's own text never needs).
QString asUtf16(QByteArrayView bytes)
{
    QString text(bytes.size() / 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        text[i] = QChar(char16_t(uchar(bytes[2 * i]) | uchar(bytes[2 * i + 1]) << 8));
    return text;
}

Rows asTable(const QString &text)
{
    Rows rows;
    for (QStringView line : QStringView(text).split(u'\x1E')) {
        BroadcastRow row;
        const QList<QStringView> fields = line.split(u'\x1F');
        row.Content = fields.value(0).toString();
        row.FareSignal = fields.value(1).toString();
        row.SoundSignal = fields.value(2).toString();
        rows.push_back(std::move(row));
    }
    return rows;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    lookAlikes();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    checkDecode(bytes);
    checkUtf8(bytes);
    checkParse(bytes);
    const QString text = asUtf16(bytes);
    checkEncode(text);
    checkWrite(asTable(text));
    return 0;
}
