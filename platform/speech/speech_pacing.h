#pragma once

// How the pieces of one announcement are joined: the silence kept around each piece when
// the synthesizer's padding is trimmed, a breath before it and a pause after it that is
// longer at the end of a sentence than at a comma. Together with the quiet edges of the
// speech itself (some 50 ms) the silence between two pieces stays under a quarter of a
// second, so the pieces run on as one announcement instead of as separate ones. Shared by
// everything that joins pieces, so that a row sounds the same wherever it is spoken.
namespace SpeechPacing {

inline constexpr int kLeadMs = 30;
inline constexpr int kCommaPauseMs = 80;
inline constexpr int kSentencePauseMs = 120;
// Open JTalk's voices are made at 48 kHz; used when the voice's header does not say.
inline constexpr int kDefaultSampleRate = 48000;

} // namespace SpeechPacing
