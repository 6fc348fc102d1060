#include "platform/speech/speech_wav.h"

#include <QtEndian>
#include <algorithm>
#include <cstdlib>

namespace {

quint32 le32(const char *p)
{
    return qFromLittleEndian<quint32>(p);
}

quint16 le16(const char *p)
{
    return qFromLittleEndian<quint16>(p);
}

std::optional<WavAudio> fail(QString *error, const QString &reason)
{
    if (error)
        *error = reason;
    return std::nullopt;
}

// Below this a sample is taken as silence; the synthesizer's pauses are digital zero, and
// the margin keeps dither-like noise from counting as sound.
constexpr int kSilenceLevel = 64;

} // namespace

std::optional<WavAudio> parseWav(const QByteArray &bytes, QString *error)
{
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE")
        return fail(error, QStringLiteral("not a RIFF/WAVE file"));

    WavAudio audio;
    bool haveFormat = false;
    qsizetype pos = 12;
    while (pos + 8 <= bytes.size()) {
        const QByteArray id = bytes.mid(pos, 4);
        const quint32 declared = le32(bytes.constData() + pos + 4);
        const qsizetype body = pos + 8;
        const qsizetype available = bytes.size() - body;
        if (id == "fmt ") {
            if (declared < 16 || available < 16)
                return fail(error, QStringLiteral("format chunk too short"));
            const char *f = bytes.constData() + body;
            const quint16 tag = le16(f);
            audio.channels = le16(f + 2);
            audio.sampleRate = static_cast<int>(le32(f + 4));
            audio.bitsPerSample = le16(f + 14);
            if (tag != 1)
                return fail(error, QStringLiteral("not PCM (format tag %1)").arg(tag));
            if (audio.bitsPerSample != 16)
                return fail(error,
                            QStringLiteral("%1-bit samples, expected 16").arg(audio.bitsPerSample));
            if (audio.channels < 1 || audio.channels > 2)
                return fail(error, QStringLiteral("%1 channels").arg(audio.channels));
            if (audio.sampleRate < 8000 || audio.sampleRate > 192000)
                return fail(error, QStringLiteral("sample rate %1 Hz").arg(audio.sampleRate));
            haveFormat = true;
        } else if (id == "data") {
            if (!haveFormat)
                return fail(error, QStringLiteral("data before format"));
            qsizetype size = declared > quint32(available) ? available : qsizetype(declared);
            size -= size % audio.bytesPerFrame();
            audio.pcm = bytes.mid(body, size);
            return audio;
        }
        if (declared > quint32(available))
            break;
        pos = body + declared + (declared & 1);
    }
    return fail(error, haveFormat ? QStringLiteral("no data chunk")
                                  : QStringLiteral("no format chunk"));
}

QByteArray wavFile(const WavAudio &audio)
{
    const auto le32 = [](QByteArray &out, quint32 value) {
        char bytes[4];
        qToLittleEndian(value, bytes);
        out.append(bytes, 4);
    };
    const auto le16 = [](QByteArray &out, quint16 value) {
        char bytes[2];
        qToLittleEndian(value, bytes);
        out.append(bytes, 2);
    };
    const quint32 dataBytes = quint32(audio.pcm.size());
    QByteArray out;
    out.reserve(44 + audio.pcm.size());
    out.append("RIFF");
    le32(out, 36 + dataBytes);
    out.append("WAVEfmt ");
    le32(out, 16);
    le16(out, 1); // PCM
    le16(out, quint16(audio.channels));
    le32(out, quint32(audio.sampleRate));
    le32(out, quint32(audio.sampleRate * audio.bytesPerFrame()));
    le16(out, quint16(audio.bytesPerFrame()));
    le16(out, quint16(audio.bitsPerSample));
    out.append("data");
    le32(out, dataBytes);
    out.append(audio.pcm);
    return out;
}

QByteArray trimSilence(const QByteArray &pcm, int channels, int sampleRate, int keepLeadMs,
                       int keepTailMs)
{
    const qsizetype frameBytes = qsizetype(channels) * 2;
    const qsizetype frames = pcm.size() / frameBytes;
    const auto *samples = reinterpret_cast<const qint16 *>(pcm.constData());
    auto loud = [&](qsizetype frame) {
        for (int c = 0; c < channels; ++c) {
            if (std::abs(int(samples[frame * channels + c])) > kSilenceLevel)
                return true;
        }
        return false;
    };

    qsizetype first = 0;
    while (first < frames && !loud(first))
        ++first;
    if (first == frames)
        return {};
    qsizetype last = frames - 1;
    while (last > first && !loud(last))
        --last;

    const qsizetype begin = std::max<qsizetype>(0, first - qsizetype(sampleRate) * keepLeadMs / 1000);
    const qsizetype end =
        std::min<qsizetype>(frames, last + 1 + qsizetype(sampleRate) * keepTailMs / 1000);
    return pcm.mid(begin * frameBytes, (end - begin) * frameBytes);
}
