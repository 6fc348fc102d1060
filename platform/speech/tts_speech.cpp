#include "platform/speech/tts_speech.h"

#include "platform/speech/speech_engine_choice.h"
#include "platform/runtime/runtime_error.h"
#include "platform/speech/speech_failure_messages.h"
#include "platform/speech/speech_text.h"

#include <QTextToSpeech>
#include <QVoice>
#include <memory>

namespace {

QList<TtsVoiceInfo> voiceInfos(const QList<QVoice> &voices)
{
    QList<TtsVoiceInfo> infos;
    for (const QVoice &voice : voices)
        infos.append({voice.name(), voice.locale()});
    return infos;
}

QList<SpeechChoiceItem> voiceItems(const QList<QVoice> &voices)
{
    QList<SpeechChoiceItem> items{{QString(), QStringLiteral("自動（日本語の声を優先）")}};
    for (const QVoice &voice : voices)
        items.append({voice.name(), QStringLiteral("%1（%2）")
                                        .arg(voice.name(), QLocale::languageToString(
                                                               voice.locale().language()))});
    return items;
}

} // namespace

TtsSpeech::TtsSpeech(QTextToSpeech *engine, ISpeechSettingsUi &ui, QObject *parent)
    : ISpeechComponent(parent), m_ui(ui), m_settings(SpeechSettings::load())
{
    adopt(engine);
}

TtsSpeech::~TtsSpeech()
{
    if (m_engine) {
        disconnect(m_engine, nullptr, this, nullptr);
        m_engine->stop();
    }
}

QString TtsSpeech::engineName() const
{
    return m_engine->engine();
}

void TtsSpeech::speak(const QString &text)
{
    speakWith(text, m_settings, false);
}

void TtsSpeech::stop()
{
    m_engine->stop();
    if (m_speaking) {
        m_speaking = false;
        emit finished();
    }
}

void TtsSpeech::showSettingsDialog(QWidget *owner, const QString &title)
{
    SpeechDialogSources sources;
    sources.enginesAreTts = true;
    // Only engines that can be heard here: one that cannot would be saved, then passed
    // over at the next start, and the saved choice and the engine that speaks would differ.
    sources.engines.append({m_engine->engine(), m_engine->engine()});
    for (const QString &name : audibleTtsEngines(QTextToSpeech::availableEngines())) {
        if (name != m_engine->engine())
            sources.engines.append({name, name});
    }
    sources.voices = [this](const QString &engine) {
        if (engine == m_engine->engine())
            return voiceItems(m_engine->availableVoices());
        // Another engine is started only to list its voices, and only on request.
        const QTextToSpeech other(engine);
        return voiceItems(other.availableVoices());
    };
    sources.tryOut = [this](const SpeechSettings &values) {
        speakWith(speechSampleText(), values, true);
    };

    SpeechSettings shown = m_settings;
    shown.ttsEngine = m_engine->engine();
    const std::optional<SpeechSettings> answer = m_ui.run(owner, title, shown, std::move(sources));
    // A sample still playing belongs to the dialog; an announcement that was playing when
    // it opened, and was not replaced by a sample, goes on.
    if (m_failures.isSample())
        stop();
    // A sample with other values has already marked the engine for resetting (m_applied).
    if (!answer)
        return;
    const SpeechSettings chosen = *answer;
    if (chosen.ttsEngine != m_engine->engine()) {
        auto replacement = std::make_unique<QTextToSpeech>(chosen.ttsEngine);
        if (replacement->state() == QTextToSpeech::Error)
            throw RuntimeError::invalidProcedureCall(QStringLiteral("音声合成エンジン %1 を使えません: %2")
                                    .arg(chosen.ttsEngine, replacement->errorString()));
        adopt(replacement.release());
    }
    m_settings = chosen;
    m_applied = false;
    m_settings.saveOrThrow();
}

void TtsSpeech::speakWith(const QString &text, const SpeechSettings &settings, bool tryOut)
{
    stop();
    m_failures.begin(tryOut);
    const QString oneLine = SpeechText::oneLine(text);
    if (oneLine.trimmed().isEmpty())
        return;
    if (m_engine->state() == QTextToSpeech::Error)
        throw RuntimeError::invalidProcedureCall(QStringLiteral("音声合成エンジンが使えません: %1").arg(m_engine->errorString()));
    if (!m_applied || settings != m_settings) {
        apply(settings);
        // A sample with other values leaves the engine unlike the saved settings.
        m_applied = settings == m_settings;
    }
    m_engine->say(oneLine);
    if (m_engine->state() == QTextToSpeech::Error)
        throw RuntimeError::invalidProcedureCall(QStringLiteral("音声を再生できません: %1").arg(m_engine->errorString()));
    m_speaking = true;
}

void TtsSpeech::apply(const SpeechSettings &settings)
{
    const QList<QVoice> voices = m_engine->availableVoices();
    const int index = chooseTtsVoice(voiceInfos(voices), settings.voice);
    if (index >= 0)
        m_engine->setVoice(voices.at(index));
    m_engine->setRate(settings.ttsRate());
    m_engine->setPitch(settings.ttsPitch());
    m_engine->setVolume(settings.ttsVolume());
}

void TtsSpeech::adopt(QTextToSpeech *engine)
{
    if (m_engine) {
        disconnect(m_engine, nullptr, this, nullptr);
        m_engine->stop();
        m_engine->deleteLater();
        // Whatever it was saying ended with it.
        if (m_speaking) {
            m_speaking = false;
            emit finished();
        }
    }
    m_engine = engine;
    m_engine->setParent(this);
    connect(m_engine, &QTextToSpeech::stateChanged, this, &TtsSpeech::onStateChanged);
    m_applied = false;
}

void TtsSpeech::onStateChanged()
{
    const QTextToSpeech::State state = m_engine->state();
    if (!m_speaking || (state != QTextToSpeech::Ready && state != QTextToSpeech::Error))
        return;
    m_speaking = false;
    emit finished();
    if (state == QTextToSpeech::Error)
        m_failures.report(SpeechFailureMessages::engineFailed(m_engine->engine(),
                                                          m_engine->errorString()));
}

