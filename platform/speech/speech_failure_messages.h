#pragma once

#include <QString>

// What the operator reads when speech fails: what failed, in words of the desk rather than
// of the program, and what to do about it. Kept in one place so that the window, the
// try-out in the voice dialog and a command-line tool say the same thing.
namespace SpeechFailureMessages {

// open_jtalk ran and failed on a piece of text. detail is what it wrote on its error
// output, if anything.
QString synthesisExited(int exitCode, const QString &detail);
// open_jtalk could not load its voice: no text can be spoken with it.
QString voiceNotLoaded(const QString &detail);
QString synthesisCrashed(const QString &detail);
QString synthesisNotAudio(const QString &reason);
// open_jtalk wrote audio at another rate than its voice announced.
QString synthesisWrongFormat(int wroteRate, int expectedRate);
QString synthesisNotStarted(const QString &reason);
// open_jtalk ran longer than its piece can need and was ended.
QString synthesisTimedOut(int seconds);

// A piece of the text could not be spoken; the rest still is.
QString pieceSkipped(const QString &piece, const QString &cause);
// A piece could not be spoken and nothing after it will be.
QString restDropped(const QString &piece, const QString &cause);
// No piece of the text could be spoken; cause is the first piece's failure.
QString nothingSpoken(const QString &voiceName, const QString &cause);

QString noOutputDevice();
QString outputFormatRefused(int sampleRate);
QString outputNotOpened(int errorCode);
// The device or the sound server went away while speaking.
QString outputLost();

// A Qt TextToSpeech engine failed while speaking.
QString engineFailed(const QString &engine, const QString &reason);

} // namespace SpeechFailureMessages
