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

// The text as one line: every control character (U+0000-U+001F, U+007F-U+009F) becomes a
// space. Line breaks would end Open JTalk's input, a NUL (which a data file can carry
// into a row) would cut it short, and the rest mean nothing to a synthesizer.
QString oneLine(const QString &text);

// Sentences end at 。！？｡ (with any closing brackets after them) and at ASCII . ! ? that
// stand before a space. A sentence longer than the limit is cut after its last 、 or ､ or at
// its last space within the limit, or hard at the limit when it has none. Control
// characters count as spaces (see oneLine).
QStringList sentences(const QString &text, int maxChars = kMaxChars,
                      int firstMaxChars = kFirstMaxChars);

// True when the piece ends a sentence, so a longer pause belongs after it.
bool endsSentence(const QString &piece);

} // namespace SpeechText
