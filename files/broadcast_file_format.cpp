#include "files/broadcast_file_format.h"

#include "files/file_texts.h"

#include "files/cp932.h"

#include <algorithm>
#include <array>

namespace broadcast_file {
namespace {

QString describeCharacter(char32_t c)
{
    const QString code = QStringLiteral("U+%1").arg(
        QString::number(uint(c), 16).toUpper().rightJustified(4, u'0'));
    if (QChar::isSurrogate(c))
        return FileTexts::tr("対になっていないサロゲート %1").arg(code);
    QString text;
    if (QChar::requiresSurrogates(c))
        text = QString(QChar(QChar::highSurrogate(c))) + QChar(QChar::lowSurrogate(c));
    else
        text = QChar(char16_t(c));
    return FileTexts::tr("「%1」(%2)").arg(text, code);
}

struct Refusal
{
    qsizetype index = -1;
    char32_t character = 0;
    QString cause;
};

bool isSeparator(char16_t c) { return c == u',' || c == u'\r' || c == u'\n'; }

Refusal separatorRefusal(qsizetype index, char16_t c)
{
    switch (c) {
    case u'\r':
        return {index, c, FileTexts::tr("改行文字 (CR) は保存できません")};
    case u'\n':
        return {index, c, FileTexts::tr("改行文字 (LF) は保存できません")};
    default:
        return {index, c, FileTexts::tr("カンマ「,」は項目の区切りになるため保存できません")};
    }
}

// Writes the bytes of any field at *out and moves *out past them; false when the field
// would not read back as it stands. There must be room for two bytes per UTF-16 unit.
bool writeAnyField(QStringView field, char **out, Refusal *refusal)
{
    if (field.startsWith(u'"')) {
        *refusal = {0, U'"',
                    FileTexts::tr("先頭の「\"」は引用符として読まれるため保存できません")};
        return false;
    }
    cp932::EncodeError encodeError;
    const qsizetype written = cp932::encodeInto(field, *out, &encodeError);
    if (written >= 0) {
        // Trail bytes are never below 0x40, so a separator byte is a separator character.
        const auto *p = reinterpret_cast<const uchar *>(*out);
        const auto *const end = p + written;
        bool clean = true;
        for (; p < end; ++p) {
            if (*p <= ',' && (*p == ',' || *p == '\r' || *p == '\n')) {
                clean = false;
                break;
            }
        }
        if (clean) {
            *out += written;
            return true;
        }
    }
    // Report whichever problem comes first in the field.
    const qsizetype limit = written >= 0 ? field.size() : encodeError.index;
    for (qsizetype i = 0; i < limit; ++i) {
        if (isSeparator(field[i].unicode())) {
            *refusal = separatorRefusal(i, field[i].unicode());
            return false;
        }
    }
    *refusal = {encodeError.index, encodeError.character,
                FileTexts::tr("シフトJISで保存できない文字 %1 があります")
                    .arg(describeCharacter(encodeError.character))};
    return false;
}

// The same, with a signal (nearly always one ASCII character, which is its own byte)
// written on the spot: two of a row's three fields.
inline bool writeField(QStringView field, char **out, Refusal *refusal)
{
    if (field.size() == 1) {
        const char16_t c = field[0].unicode();
        if (c < 0x80 && !isSeparator(c) && c != u'"') {
            *(*out)++ = char(c);
            return true;
        }
    }
    return writeAnyField(field, out, refusal);
}

} // namespace

qsizetype serializeRowInto(const RowView &row, char *out, SerializeResult *refused)
{
    // Field by field, without gathering them first: short rows cost little more than this.
    char *d = out;
    Refusal refusal;
    Field field = Field::Content;
    if (writeField(row.content, &d, &refusal)) {
        *d++ = ',';
        field = Field::FareSignal;
        if (writeField(row.fareSignal, &d, &refusal)) {
            *d++ = ',';
            field = Field::SoundSignal;
            if (writeField(row.soundSignal, &d, &refusal)) {
                *d++ = '\r';
                *d++ = '\n';
                return d - out;
            }
        }
    }
    refused->failedRow = row.line;
    refused->failedField = field;
    refused->failedIndex = refusal.index;
    refused->failedCharacter = refusal.character;
    refused->cause = refusal.cause;
    return -1;
}

SerializeResult serialize(std::span<const BroadcastRow> rows)
{
    SerializeResult result;
    // At most two bytes per UTF-16 unit, plus two commas and CR LF per line: making that
    // room once keeps a large table from being copied while it grows. The bytes go
    // straight into it, and it is cut to what was written at the end.
    qsizetype bound = 0;
    for (const BroadcastRow &row : rows)
        bound += lineBound(row.Content, row.FareSignal, row.SoundSignal);
    QByteArray out(bound, Qt::Uninitialized);
    char *d = out.data();

    for (std::size_t i = 0; i < rows.size(); ++i) {
        const BroadcastRow &row = rows[i];
        const qsizetype written = serializeRowInto(
            RowView{row.Content, row.FareSignal, row.SoundSignal, int(i + 1)}, d, &result);
        if (written < 0)
            return result;
        d += written;
    }
    out.truncate(d - out.constData());
    result.bytes = std::move(out);
    return result;
}

ParseResult parse(QByteArrayView bytes)
{
    Reader reader;
    // Lines hold at most one row each: counting them first means the table is never copied
    // while it grows, which would briefly need twice its memory.
    reader.reserve(qsizetype(std::count(bytes.begin(), bytes.end(), '\n')) + 1);
    reader.feed(bytes);
    return reader.finish();
}

} // namespace broadcast_file
