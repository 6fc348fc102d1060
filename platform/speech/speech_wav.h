#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// The audio Open JTalk writes: a RIFF/WAVE file holding 16-bit PCM.
struct WavAudio
{
    int sampleRate = 0;
    int channels = 0;
    int bitsPerSample = 0;
    QByteArray pcm;

    int bytesPerFrame() const { return channels * bitsPerSample / 8; }
};

// Reads the header and returns the samples, or nothing (with the reason in error) when the
// data is not 16-bit PCM WAV. A data size larger than the bytes present (a writer that
// could not seek back to fill it in) is taken as "up to the end".
std::optional<WavAudio> parseWav(const QByteArray &bytes, QString *error = nullptr);

// The RIFF/WAVE file holding the audio's samples, as parseWav reads it back.
QByteArray wavFile(const WavAudio &audio);

// Shortens the silence at both ends of 16-bit PCM to at most the given lengths. Open
// JTalk pads each sentence with about half a second on either side; left as it is, the
// first word comes late and consecutive sentences are separated by a second of nothing.
QByteArray trimSilence(const QByteArray &pcm, int channels, int sampleRate, int keepLeadMs,
                       int keepTailMs);
