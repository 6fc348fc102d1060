#include "platform/speech/speech_text.h"

#include <algorithm>

namespace {

bool isSentenceEnd(QChar c)
{
    return c == u'。' || c == u'！' || c == u'？';
}

bool isClosingBracket(QChar c)
{
    return c == u'」' || c == u'』' || c == u'）' || c == u')' || c == u'】';
}

bool isPauseMark(QChar c)
{
    return c == u'、';
}

// Open JTalk fails on a piece made only of punctuation or spaces.
bool isSpeakable(const QString &piece)
{
    // By code point: a kanji outside the basic plane is two QChars, neither a letter.
    const QList<uint> codePoints = piece.toUcs4();
    return std::any_of(codePoints.begin(), codePoints.end(),
                       [](uint c) { return QChar::isLetterOrNumber(char32_t(c)); });
}

// Splits the text at sentence ends, keeping the end mark and closing brackets with the
// sentence they close.
QStringList splitAtSentenceEnds(const QString &text)
{
    QStringList result;
    QString current;
    for (qsizetype i = 0; i < text.size(); ++i) {
        current += text.at(i);
        if (!isSentenceEnd(text.at(i)))
            continue;
        while (i + 1 < text.size()
               && (isSentenceEnd(text.at(i + 1)) || isClosingBracket(text.at(i + 1))))
            current += text.at(++i);
        result << current;
        current.clear();
    }
    if (!current.isEmpty())
        result << current;
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

QStringList sentences(const QString &text, int maxChars, int firstMaxChars)
{
    QString joined = text;
    for (QChar &c : joined) {
        if (c == u'\r' || c == u'\n')
            c = u' ';
    }

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
        return isSentenceEnd(piece.at(i));
    }
    return false;
}

} // namespace SpeechText
