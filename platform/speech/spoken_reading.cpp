#include "platform/speech/spoken_reading.h"

#include <QStringList>

#include <vector>

namespace {

constexpr QByteArrayView kAnalysis("[Text analysis result]\n");
// What the analysis writes as a word's pronunciation for punctuation: a pause, and a
// question (which rises, then pauses).
constexpr char16_t kPause = u'、';
constexpr char16_t kQuestion = u'？';
// After a mora: its vowel is not voiced. Heard, not written here.
constexpr char16_t kDevoiced = u'’';
constexpr char16_t kLongVowel = u'ー';
constexpr char16_t kNucleus = u'\'';
constexpr char16_t kPhraseBreak = u'/';

bool isKatakana(char16_t c)
{
    return c >= u'ァ' && c <= u'ヶ';
}

// Small kana make one mora with the kana before them (キャ, ティ).
bool isSmallKana(char16_t c)
{
    switch (c) {
    case u'ァ': case u'ィ': case u'ゥ': case u'ェ': case u'ォ':
    case u'ャ': case u'ュ': case u'ョ': case u'ヮ':
        return true;
    default:
        return false;
    }
}

// One word of the analysis: surface,part of speech (4 fields),conjugation (2),base form,
// reading,pronunciation,accent/morae,chain rule,chain flag. Read from the end: the surface
// is the text as written and may be anything.
struct Word
{
    QStringView pronunciation;
    int accent = 0;       // of the accent phrase this word starts
    bool chained = false; // joins the accent phrase before it
};

bool parseWord(QStringView line, Word *word)
{
    const QList<QStringView> fields = line.split(u',');
    if (fields.size() < 13)
        return false;
    const qsizetype n = fields.size();
    word->pronunciation = fields[n - 4];
    word->accent = fields[n - 3].split(u'/').constFirst().toInt();
    word->chained = fields[n - 1] == u"1";
    return true;
}

struct Phrase
{
    QString text;
    int morae = 0;
    int accent = 0; // the mora after which the pitch falls; 0: it does not
    bool question = false;
    bool pauseBefore = false;

    void addMora(QStringView mora)
    {
        text += mora;
        if (++morae == accent)
            text += kNucleus;
    }
};

// The synthesizer's grouping of the words into accent phrases, pauses and morae.
class Grouping
{
public:
    void add(const Word &word)
    {
        const QStringView pron = word.pronunciation;
        if (pron == QStringView(&kPause, 1)) {
            m_pause = true;
            return;
        }
        if (pron == QStringView(&kQuestion, 1)) {
            if (!m_phrases.empty())
                m_phrases.back().question = true;
            m_pause = true;
            return;
        }
        bool started = false;
        for (qsizetype i = 0; i < pron.size(); ++i) {
            const char16_t c = pron[i].unicode();
            if (c == kDevoiced)
                continue;
            if (c == kLongVowel) {
                // Lengthens the mora before it; none follows a pause.
                if (!m_phrases.empty() && !m_pause)
                    m_phrases.back().addMora(pron.sliced(i, 1));
                continue;
            }
            if (!isKatakana(c))
                break; // the synthesizer drops the rest of such a word
            qsizetype end = i + 1;
            while (end < pron.size() && isSmallKana(pron[end].unicode()) && !isSmallKana(c))
                ++end;
            if (!started) {
                started = true;
                begin(word);
            }
            m_phrases.back().addMora(pron.sliced(i, end - i));
            i = end - 1;
        }
    }

    QString text() const
    {
        QString out;
        for (std::size_t i = 0; i < m_phrases.size(); ++i) {
            const Phrase &phrase = m_phrases[i];
            if (i > 0 && !(phrase.pauseBefore && m_phrases[i - 1].question))
                out += phrase.pauseBefore ? kPause : kPhraseBreak;
            out += phrase.text;
            if (phrase.question)
                out += kQuestion;
        }
        return out;
    }

private:
    // The first mora of a word: a new accent phrase unless the word joins the one before,
    // after a pause if punctuation came since (a pause before everything is not made).
    void begin(const Word &word)
    {
        const bool pause = m_pause && !m_phrases.empty();
        m_pause = false;
        if (m_phrases.empty() || !word.chained) {
            m_phrases.push_back(Phrase{QString(), 0, word.accent, false, pause});
            return;
        }
        if (pause)
            m_phrases.back().text += kPause;
    }

    std::vector<Phrase> m_phrases;
    bool m_pause = false;
};

} // namespace

namespace SpokenReading {

QString fromTrace(QByteArrayView trace, bool *found)
{
    const qsizetype start = trace.indexOf(kAnalysis);
    *found = start >= 0;
    if (start < 0)
        return QString();
    // The analysis ends at a blank line; the rest of the trace is the synthesis.
    const qsizetype from = start + kAnalysis.size();
    const qsizetype end = trace.indexOf(QByteArrayView("\n\n"), from);
    const QString text = QString::fromUtf8(trace.sliced(from, (end < 0 ? trace.size() : end) - from));
    Grouping grouping;
    for (const QStringView line : QStringView(text).split(u'\n')) {
        Word word;
        if (parseWord(line, &word))
            grouping.add(word);
    }
    return grouping.text();
}

QString joined(const QStringList &pieces)
{
    QStringList spoken;
    for (const QString &piece : pieces) {
        if (!piece.isEmpty())
            spoken << piece;
    }
    return spoken.join(kPause);
}

} // namespace SpokenReading
