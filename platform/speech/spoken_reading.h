#pragma once

#include <QByteArrayView>
#include <QString>

// How Open JTalk will speak a text, read from the trace it writes (-ot): the analysis of
// the text into words, each with its pronunciation, the accent of the phrase it starts
// and whether it joins the phrase before it. Misread names ("三田" read ミタ, "行き" read
// イキ) show here without listening.
//
// The reading is written the way the synthesizer groups the words it says:
//   - the pronunciation in katakana (ー for a long vowel, as the synthesizer has it);
//   - / between accent phrases, 、 where it pauses (at punctuation), ？ after a question;
//   - ' after the mora where the pitch falls (the accent nucleus); a phrase without one
//     stays high to its end.
// For example "次は三田です。お出口は左側です" reads ツギ'ワ/ミタデ'ス、オデ'グチワ/ヒダリガワデ'ス.
namespace SpokenReading {

// The reading in one synthesis run's trace. found is false when the trace holds no text
// analysis (it is not Open JTalk's trace); a text with nothing to say reads empty.
QString fromTrace(QByteArrayView trace, bool *found);

// The readings of the pieces one text was cut into, in order: a pause between each.
QString joined(const QStringList &pieces);

} // namespace SpokenReading
