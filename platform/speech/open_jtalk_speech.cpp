#include "platform/speech/open_jtalk_speech.h"

#include "platform/speech/speech_audio_output.h"
#include "platform/speech/speech_engine_choice.h"
#include "platform/runtime/runtime_error.h"
#include "platform/speech/speech_failure_messages.h"
#include "platform/speech/speech_pacing.h"
#include "platform/speech/speech_text.h"
#include "platform/speech/speech_voices.h"

#include <QAudioFormat>

#include <utility>

namespace {

// Synthesis runs about twenty times faster than speech; keeping this much ready is plenty
// to hide the next piece's synthesis without holding a long text's audio in memory.
constexpr qint64 kReadAheadMs = 8000;
using SpeechPacing::kCommaPauseMs;
using SpeechPacing::kDefaultSampleRate;
using SpeechPacing::kLeadMs;
using SpeechPacing::kSentencePauseMs;

QAudioFormat formatFor(const QString &voice)
{
    QAudioFormat format;
    const int rate = SpeechVoices::sampleRate(voice);
    format.setSampleRate(rate > 0 ? rate : kDefaultSampleRate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    return format;
}

} // namespace

OpenJTalkSpeech::OpenJTalkSpeech(OpenJTalkSetup setup, ISpeechSettingsUi &ui, QObject *parent)
    : ISpeechComponent(parent), m_setup(std::move(setup)), m_ui(ui),
      m_settings(SpeechSettings::load()),
      m_output(new SpeechAudioOutput(this))
{
    m_output->setLowWaterMs(kReadAheadMs);
    connect(m_output, &SpeechAudioOutput::firstBufferWritten, this,
            &OpenJTalkSpeech::firstBufferWritten);
    connect(m_output, &SpeechAudioOutput::queueLow, this, [this] {
        if (m_waitingForRoom) {
            m_waitingForRoom = false;
            synthesizeNext();
        }
    });
    connect(m_output, &SpeechAudioOutput::finished, this, &OpenJTalkSpeech::endSpeech);
    connect(m_output, &SpeechAudioOutput::failed, this, &OpenJTalkSpeech::onOutputFailed);
}

OpenJTalkSpeech::~OpenJTalkSpeech()
{
    m_pending.clear();
    discardSynthesis();
    m_output->stop();
}

void OpenJTalkSpeech::speak(const QString &text)
{
    speakWith(text, m_settings, false);
}

void OpenJTalkSpeech::stop()
{
    m_pending.clear();
    m_waitingForRoom = false;
    discardSynthesis();
    m_output->stop();
    endSpeech();
}

QString OpenJTalkSpeech::currentVoice() const
{
    return chooseOpenJTalkVoice(m_setup.voices, m_settings.voice);
}

qint64 OpenJTalkSpeech::synthesisProcessId() const
{
    return m_synthesis ? m_synthesis->processId() : 0;
}

void OpenJTalkSpeech::showSettingsDialog(QWidget *owner, const QString &title)
{
    // Read afresh, so that a voice added while the tool runs is offered.
    m_setup.refreshVoices();
    SpeechDialogSources sources;
    sources.engines = {{QStringLiteral("openjtalk"), QStringLiteral("Open JTalk")}};
    sources.voices = [this](const QString &) {
        QList<SpeechChoiceItem> items;
        for (const QString &voice : std::as_const(m_setup.voices))
            items.append({voice, SpeechVoices::displayName(voice)});
        return items;
    };
    sources.tryOut = [this](const SpeechSettings &values) {
        speakWith(speechSampleText(), values, true);
    };

    SpeechSettings shown = m_settings;
    shown.voice = currentVoice();
    const std::optional<SpeechSettings> chosen = m_ui.run(owner, title, shown, std::move(sources));
    // A sample still playing belongs to the dialog; an announcement that was playing when
    // it opened, and was not replaced by a sample, goes on.
    if (m_failures.isSample())
        stop();
    if (!chosen)
        return;
    m_settings = *chosen;
    m_settings.saveOrThrow();
}

void OpenJTalkSpeech::speakWith(const QString &text, const SpeechSettings &settings,
                                bool tryOut)
{
    stop();
    m_failures.begin(tryOut);
    const QStringList pieces = SpeechText::sentences(text);
    if (pieces.isEmpty())
        return;
    if (!m_setup.isReady())
        throw RuntimeError::invalidProcedureCall(QStringLiteral("音声合成プログラム open_jtalk またはその辞書が見つかりません。"));
    const QString voice = chooseOpenJTalkVoice(m_setup.voices, settings.voice);
    if (voice.isEmpty())
        throw RuntimeError::invalidProcedureCall(QStringLiteral("Open JTalk の音声ファイル（.htsvoice）が見つかりません。"));

    ++m_utterance;
    m_active = settings;
    m_voice = voice;
    m_pending = pieces;
    m_speaking = true;
    m_spokeAny = false;
    m_heldFailure.reset();
    QString error;
    if (!startSynthesis(&error)) {
        m_pending.clear();
        m_speaking = false;
        throw RuntimeError::invalidProcedureCall(
            QStringLiteral("音声合成プログラム open_jtalk を起動できません: %1").arg(error));
    }
    // The device opens while the first piece is being synthesized.
    try {
        m_output->open(formatFor(voice));
    } catch (const RuntimeError &) {
        m_pending.clear();
        discardSynthesis();
        m_speaking = false;
        throw;
    }
}

bool OpenJTalkSpeech::startSynthesis(QString *error)
{
    const QString piece = m_pending.takeFirst();
    m_piece = piece;
    m_pieceEndsSentence = SpeechText::endsSentence(piece);
    auto *synthesis = new OpenJTalkSynthesis(this);
    connect(synthesis, &OpenJTalkSynthesis::finished, this, &OpenJTalkSpeech::onSynthesized);
    connect(synthesis, &OpenJTalkSynthesis::failed, this, &OpenJTalkSpeech::onSynthesisFailed);
    if (!synthesis->start(m_setup.program, openJTalkArguments(m_setup, m_voice, m_active),
                          piece, error)) {
        delete synthesis;
        return false;
    }
    m_synthesis = synthesis;
    return true;
}

void OpenJTalkSpeech::synthesizeNext()
{
    if (!m_speaking || m_synthesis || m_pending.isEmpty())
        return;
    QString error;
    if (!startSynthesis(&error)) {
        // What was made is played; nothing after this piece can be.
        m_pending.clear();
        m_output->finishInput();
        m_failures.report(SpeechFailureMessages::restDropped(
            m_piece, SpeechFailureMessages::synthesisNotStarted(error)));
    }
}

void OpenJTalkSpeech::onSynthesized(const WavAudio &audio)
{
    // Called from the synthesis object's own signal, so it goes away later.
    m_synthesis->deleteLater();
    m_synthesis = nullptr;

    if (audio.sampleRate != m_output->format().sampleRate()
        || audio.channels != m_output->format().channelCount()) {
        skipPiece(SpeechFailureMessages::synthesisWrongFormat(audio.sampleRate,
                                                              m_output->format().sampleRate()));
        return;
    }
    m_spokeAny = true;
    if (m_heldFailure) {
        // Something is spoken after all: the piece that failed first is only left out.
        const auto [piece, cause] = *std::exchange(m_heldFailure, std::nullopt);
        m_failures.report(SpeechFailureMessages::pieceSkipped(piece, cause));
    }
    const quint64 utterance = m_utterance;
    m_output->append(trimSilence(audio.pcm, audio.channels, audio.sampleRate, kLeadMs,
                                 m_pieceEndsSentence ? kSentencePauseMs : kCommaPauseMs));
    // Whoever was told about the first samples may have stopped us, or started anew.
    if (!m_speaking || utterance != m_utterance)
        return;
    continueAfterPiece();
}

void OpenJTalkSpeech::onSynthesisFailed(const QString &description)
{
    const bool voiceNotLoaded = m_synthesis->voiceNotLoaded();
    m_synthesis->deleteLater();
    m_synthesis = nullptr;
    if (voiceNotLoaded && !m_spokeAny) {
        // No piece can be spoken with a voice the synthesizer cannot load.
        m_pending.clear();
        m_heldFailure = {m_piece, description};
    }
    skipPiece(description);
}

void OpenJTalkSpeech::skipPiece(const QString &cause)
{
    // The piece is left out and the rest of the text still spoken: a piece the synthesizer
    // trips over says nothing about the ones after it. Until some piece has been spoken the
    // failure is held: if none ever is, the operator is told that nothing could be, and
    // which voice to change, rather than that the rest will be read.
    const QString piece = m_piece;
    if (!m_spokeAny && !m_heldFailure)
        m_heldFailure = {piece, cause};
    const bool last = m_pending.isEmpty();
    const quint64 utterance = m_utterance;
    continueAfterPiece();
    if (m_spokeAny)
        m_failures.report(SpeechFailureMessages::pieceSkipped(piece, cause));
    else if (last && utterance == m_utterance && m_heldFailure)
        m_failures.report(SpeechFailureMessages::nothingSpoken(
            SpeechVoices::displayName(m_voice), std::exchange(m_heldFailure, std::nullopt)->second));
}

void OpenJTalkSpeech::continueAfterPiece()
{
    if (m_pending.isEmpty())
        m_output->finishInput();
    else if (m_output->queuedMs() < kReadAheadMs)
        synthesizeNext();
    else
        m_waitingForRoom = true;
}

void OpenJTalkSpeech::onOutputFailed(const QString &description)
{
    m_pending.clear();
    discardSynthesis();
    endSpeech();
    m_failures.report(description);
}

void OpenJTalkSpeech::endSpeech()
{
    m_waitingForRoom = false;
    if (!m_speaking)
        return;
    m_speaking = false;
    emit finished();
}

void OpenJTalkSpeech::discardSynthesis()
{
    if (!m_synthesis)
        return;
    m_synthesis->kill();
    m_synthesis->deleteLater();
    m_synthesis = nullptr;
}
