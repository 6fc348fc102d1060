#include "platform/speech/speech_text.h"

#include <algorithm>

namespace {

// Full stops that end a sentence wherever they stand, half-width forms included.
bool isSentenceEnd(QChar c)
{
    return c == u'。' || c == u'！' || c == u'？' || c == u'｡';
}

// ASCII stops end a sentence only before a space: "3.5" and "www.example.jp" stay whole.
bool isAsciiStop(QChar c)
{
    return c == u'.' || c == u'!' || c == u'?';
}

bool isClosingBracket(QChar c)
{
    return c == u'」' || c == u'』' || c == u'）' || c == u')' || c == u'】' || c == u'｣';
}

bool isPauseMark(QChar c)
{
    return c == u'、' || c == u'､';
}

// Open JTalk fails on a piece made only of punctuation or spaces.
bool isSpeakable(const QString &piece)
{
    // By code point: a kanji outside the basic plane is two QChars, neither a letter.
    const QList<uint> codePoints = piece.toUcs4();
    return std::any_of(codePoints.begin(), codePoints.end(),
                       [](uint c) { return QChar::isLetterOrNumber(char32_t(c)); });
}

// Where the sentence that has an end mark at i ends (the index after its last mark and
// closing bracket), or -1 when the mark at i ends none.
qsizetype sentenceEndAfter(const QString &text, qsizetype i)
{
    if (isAsciiStop(text.at(i))) {
        qsizetype end = i + 1;
        while (end < text.size() && isAsciiStop(text.at(end)))
            ++end;
        return end == text.size() || text.at(end).isSpace() ? end : -1;
    }
    if (!isSentenceEnd(text.at(i)))
        return -1;
    qsizetype end = i + 1;
    while (end < text.size() && (isSentenceEnd(text.at(end)) || isClosingBracket(text.at(end))))
        ++end;
    return end;
}

// Splits the text at sentence ends, keeping the end mark and closing brackets with the
// sentence they close.
QStringList splitAtSentenceEnds(const QString &text)
{
    QStringList result;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype end = sentenceEndAfter(text, i);
        if (end < 0)
            continue;
        result << text.mid(start, end - start);
        start = end;
        i = end - 1;
    }
    if (start < text.size())
        result << text.mid(start);
    return result;
}

// Where to cut a sentence that is longer than limit: just after the last 、 or at the last
// space inside the limit, or -1 when there is none.
qsizetype softCut(const QString &sentence, int limit)
{
    for (qsizetype i = std::min<qsizetype>(limit, sentence.size()) - 1; i > 0; --i) {
        if (isPauseMark(sentence.at(i)))
            return i + 1;
        if (sentence.at(i).isSpace())
            return i;
    }
    return -1;
}

} // namespace

namespace SpeechText {

QString oneLine(const QString &text)
{
    QString line = text;
    for (QChar &c : line) {
        const char16_t u = c.unicode();
        if (u <= 0x1F || (u >= 0x7F && u <= 0x9F))
            c = u' ';
    }
    return line;
}

QStringList sentences(const QString &text, int maxChars, int firstMaxChars)
{
    const QString joined = oneLine(text);

    QStringList pieces;
    auto add = [&pieces](const QString &piece) {
        const QString trimmed = piece.trimmed();
        if (isSpeakable(trimmed))
            pieces << trimmed;
    };

    for (QString rest : splitAtSentenceEnds(joined)) {
        rest = rest.trimmed();
        while (!rest.isEmpty()) {
            const bool first = pieces.isEmpty();
            if (first && rest.size() > firstMaxChars) {
                // Only a natural pause is worth cutting at for an early start; without
                // one the ordinary limit applies.
                const qsizetype cut = softCut(rest, firstMaxChars);
                if (cut > 0 && isSpeakable(rest.left(cut))) {
                    add(rest.left(cut));
                    rest = rest.mid(cut).trimmed();
                    continue;
                }
            }
            if (rest.size() <= maxChars) {
                add(rest);
                break;
            }
            qsizetype cut = softCut(rest, maxChars);
            if (cut <= 0) {
                cut = maxChars;
                // Never separate the halves of a character outside the basic plane.
                if (rest.at(cut - 1).isHighSurrogate())
                    --cut;
            }
            add(rest.left(cut));
            rest = rest.mid(cut).trimmed();
        }
    }
    return pieces;
}

bool endsSentence(const QString &piece)
{
    for (qsizetype i = piece.size() - 1; i >= 0; --i) {
        if (isClosingBracket(piece.at(i)))
            continue;
        // Pieces are trimmed: an ASCII stop at the end stood before a space or the end.
        return isSentenceEnd(piece.at(i)) || isAsciiStop(piece.at(i));
    }
    return false;
}

} // namespace SpeechText
