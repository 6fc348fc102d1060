#include "platform/speech/open_jtalk_speech.h"

#include "platform/speech/speech_audio_output.h"
#include "platform/speech/speech_engine_choice.h"
#include "platform/runtime/runtime_error.h"
#include "platform/speech/speech_failure_messages.h"
#include "platform/speech/speech_pacing.h"
#include "platform/speech/speech_text.h"
#include "platform/speech/speech_voices.h"

#include <QAudioFormat>
#include <QTimer>

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
      m_output(new SpeechAudioOutput(this)),
      m_prepareTimer(new QTimer(this))
{
    m_prepareTimer->setSingleShot(true);
    m_prepareTimer->setInterval(kPrepareDelayMs);
    connect(m_prepareTimer, &QTimer::timeout, this, &OpenJTalkSpeech::startPreparing);
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
    dropPreparation();
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
    // The text is made ahead again, in the new voice.
    dropPreparation();
    m_prepareTimer->start();
}

void OpenJTalkSpeech::prepare(const QString &text)
{
    // Whatever is being made ahead is for another text now; the new one is made once it
    // has stayed the same a moment, so typing does not start a synthesis per key.
    m_preparedText = text;
    dropPreparation();
    m_prepareTimer->start();
}

QStringList OpenJTalkSpeech::cacheKey(const QString &piece, const QString &voice,
                                      const SpeechSettings &settings) const
{
    return SynthesisCache::key(QStringList(m_setup.program)
                                   << openJTalkArguments(m_setup, voice, settings),
                               piece);
}

void OpenJTalkSpeech::startPreparing()
{
    // One synthesis at a time: an announcement being spoken has the processor, and the
    // text is made ahead once it has ended.
    if (m_speaking || m_preparing || !m_setup.isReady())
        return;
    const QStringList pieces = SpeechText::sentences(m_preparedText);
    const QString voice = chooseOpenJTalkVoice(m_setup.voices, m_settings.voice);
    if (pieces.isEmpty() || voice.isEmpty())
        return;
    const QStringList key = cacheKey(pieces.first(), voice, m_settings);
    if (m_cache.find(key)) {
        emit prepared();
        return;
    }
    auto *synthesis = new OpenJTalkSynthesis(this);
    connect(synthesis, &OpenJTalkSynthesis::finished, this, [this](const WavAudio &audio) {
        m_cache.insert(m_preparingKey, audio);
        std::exchange(m_preparing, nullptr)->deleteLater();
        emit prepared();
    });
    // Nobody asked to hear it: a failure here is told, if at all, when 再生 makes it again.
    connect(synthesis, &OpenJTalkSynthesis::failed, this, &OpenJTalkSpeech::dropPreparation);
    QString error;
    if (!synthesis->start(m_setup.program, openJTalkArguments(m_setup, voice, m_settings),
                          pieces.first(), &error)) {
        delete synthesis;
        return;
    }
    m_preparing = synthesis;
    m_preparingKey = key;
}

void OpenJTalkSpeech::dropPreparation()
{
    if (!m_preparing)
        return;
    m_preparing->kill();
    std::exchange(m_preparing, nullptr)->deleteLater();
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
    // The first piece: made ahead already, being made ahead (it carries on as this
    // utterance's), or made now. What is made ahead for another text gives way.
    m_firstPieceKey = cacheKey(pieces.first(), voice, settings);
    std::optional<WavAudio> madeAhead;
    if (const WavAudio *cached = m_cache.find(m_firstPieceKey))
        madeAhead = *cached;
    if (madeAhead || (m_preparing && m_preparingKey == m_firstPieceKey)) {
        takePiece();
        if (!madeAhead)
            adoptPreparation();
    } else {
        dropPreparation();
        QString error;
        if (!startSynthesis(&error)) {
            m_pending.clear();
            m_speaking = false;
            throw RuntimeError::invalidProcedureCall(
                QStringLiteral("音声合成プログラム open_jtalk を起動できません: %1").arg(error));
        }
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
    // After speak() has returned, as when a synthesis ends.
    if (madeAhead) {
        QMetaObject::invokeMethod(
            this,
            [this, utterance = m_utterance, audio = *madeAhead] {
                if (m_speaking && utterance == m_utterance)
                    onSynthesized(audio);
            },
            Qt::QueuedConnection);
    }
}

void OpenJTalkSpeech::takePiece()
{
    m_piece = m_pending.takeFirst();
    m_pieceEndsSentence = SpeechText::endsSentence(m_piece);
}

void OpenJTalkSpeech::adoptPreparation()
{
    OpenJTalkSynthesis *synthesis = std::exchange(m_preparing, nullptr);
    disconnect(synthesis, nullptr, this, nullptr);
    connect(synthesis, &OpenJTalkSynthesis::finished, this, &OpenJTalkSpeech::onSynthesized);
    connect(synthesis, &OpenJTalkSynthesis::failed, this, &OpenJTalkSpeech::onSynthesisFailed);
    m_synthesis = synthesis;
}

bool OpenJTalkSpeech::startSynthesis(QString *error)
{
    takePiece();
    const QString piece = m_piece;
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
    // Called from the synthesis object's own signal, so it goes away later; audio made
    // ahead comes without one.
    if (m_synthesis)
        std::exchange(m_synthesis, nullptr)->deleteLater();
    const QStringList firstPieceKey = std::exchange(m_firstPieceKey, {});

    if (audio.sampleRate != m_output->format().sampleRate()
        || audio.channels != m_output->format().channelCount()) {
        skipPiece(SpeechFailureMessages::synthesisWrongFormat(audio.sampleRate,
                                                              m_output->format().sampleRate()));
        return;
    }
    // The first piece is kept, so that 再生 of the same text again starts at once.
    if (!firstPieceKey.isEmpty())
        m_cache.insert(firstPieceKey, audio);
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
    m_firstPieceKey.clear();
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
    m_firstPieceKey.clear();
    if (!m_speaking)
        return;
    m_speaking = false;
    // The editor's text may have changed while this was spoken.
    if (!m_preparedText.isEmpty())
        m_prepareTimer->start();
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
