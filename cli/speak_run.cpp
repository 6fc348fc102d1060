#include "cli/speak_run.h"

#include "cli/cli_messages.h"
#include "files/atomic_write.h"
#include "files/native_name.h"
#include "platform/speech/open_jtalk_synthesis.h"
#include "platform/speech/speech_failure_messages.h"
#include "platform/speech/speech_pacing.h"

#include <unistd.h>

using CliMessages::at;

namespace {

// The silence written for a row with nothing to speak.
constexpr int kSilenceMs = 100;

} // namespace

SpeakRun::SpeakRun(SynthesisSetup setup, SpeakOutput output, std::vector<SynthesisRow> rows,
                   QObject *parent)
    : SynthesisRun(std::move(setup), std::move(rows), parent), m_output(std::move(output)),
      m_pcm(this->rows().size())
{
    for (std::size_t row = 0; row < m_pcm.size(); ++row)
        m_pcm[row].resize(std::size_t(pieceCount(row)));
}

SpeakRun::~SpeakRun() = default;

QObject *SpeakRun::launch(std::size_t index, QString *error)
{
    auto *synthesis = new OpenJTalkSynthesis(this);
    connect(synthesis, &OpenJTalkSynthesis::finished, this,
            [this, synthesis, index](const WavAudio &audio) { pieceAudio(synthesis, index, audio); });
    connect(synthesis, &OpenJTalkSynthesis::failed, this,
            [this, synthesis, index](const QString &description) {
                pieceFailed(synthesis, index, description, synthesis->voiceNotLoaded());
            });
    if (!synthesis->start(setup().program, setup().arguments, piece(index).text, error)) {
        delete synthesis;
        return nullptr;
    }
    return synthesis;
}

void SpeakRun::pieceAudio(QObject *synthesis, std::size_t index, const WavAudio &audio)
{
    const Piece &p = piece(index);
    if (audio.channels != 1 || (m_output.sampleRate > 0 && audio.sampleRate != m_output.sampleRate)) {
        pieceFailed(synthesis, index,
                    SpeechFailureMessages::synthesisWrongFormat(audio.sampleRate, m_output.sampleRate),
                    false);
        return;
    }
    if (m_output.sampleRate == 0)
        m_output.sampleRate = audio.sampleRate;
    m_pcm[p.row][std::size_t(p.index)] =
        trimSilence(audio.pcm, audio.channels, audio.sampleRate, SpeechPacing::kLeadMs,
                    p.endsSentence ? SpeechPacing::kSentencePauseMs
                                   : SpeechPacing::kCommaPauseMs);
    pieceSynthesized(synthesis, index);
}

bool SpeakRun::finishRow(std::size_t row, bool failed)
{
    const std::vector<QByteArray> pcm = std::exchange(m_pcm[row], {});
    const QString path = wavPath(rows()[row]);
    if (failed) {
        // A file left from an earlier run would pass for this row's.
        ::unlink(nativeName(path).constData());
        return false;
    }
    WavAudio audio;
    audio.sampleRate = m_output.sampleRate > 0 ? m_output.sampleRate
                                               : SpeechPacing::kDefaultSampleRate;
    audio.channels = 1;
    audio.bitsPerSample = 16;
    for (const QByteArray &piece : pcm)
        audio.pcm += piece;
    if (audio.pcm.isEmpty())
        audio.pcm = QByteArray(qsizetype(audio.sampleRate) * kSilenceMs / 1000 * audio.bytesPerFrame(),
                               '\0');
    if (const auto failure = writeFileAtomically(path, wavFile(audio))) {
        progress().message(at(path, 0, QStringLiteral("%1（%2）").arg(failure->what, failure->reason)));
        return false;
    }
    return true;
}

QString SpeakRun::progressText(std::size_t rowsDone) const
{
    return CliTexts::tr("WAV を書き出しています: %1 / %2 行")
        .arg(rowsDone)
        .arg(rows().size());
}

QString SpeakRun::wavPath(const SynthesisRow &row) const
{
    return m_output.folder + u'/'
        + QStringLiteral("%1.wav").arg(row.number, m_output.nameWidth, 10, QLatin1Char('0'));
}
