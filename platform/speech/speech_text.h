#pragma once

#include <QString>
#include <QStringList>

// Cuts announcement text into pieces Open JTalk can speak. The synthesizer reads only the
// first line of its input, drops Japanese text after about 1,000 bytes, crashes on long
// ASCII input and fails on input without a single speakable character, so every piece is
// one line, at most a hundred characters, and holds at least one letter or digit.
namespace SpeechText {

// Longest piece handed to one synthesis run.
inline constexpr int kMaxChars = 100;
// The first piece is kept shorter (cut at a pause when it can be) because nothing is heard
// until it is synthesized; the rest are synthesized while it plays.
inline constexpr int kFirstMaxChars = 40;

// Sentences end at 。！？ (with any closing brackets after them). A sentence longer than the
// limit is cut after its last 、 or at its last space within the limit, or hard at the limit
// when it has neither. Line breaks count as spaces.
QStringList sentences(const QString &text, int maxChars = kMaxChars,
                      int firstMaxChars = kFirstMaxChars);

// True when the piece ends a sentence, so a longer pause belongs after it.
bool endsSentence(const QString &piece);

} // namespace SpeechText
