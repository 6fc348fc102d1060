#include "platform/speech/speech_factory.h"

#include "platform/speech/open_jtalk_speech.h"
#include "platform/speech/speech_engine_choice.h"
#include "platform/runtime/runtime_error.h"
#include "platform/speech/speech_settings.h"
#include "platform/speech/speech_voices.h"
#include "platform/speech/tts_speech.h"

#include <QTextToSpeech>
#include <memory>

ISpeechComponent *DefaultSpeechFactory::create(QObject *parent)
{
    const SpeechSettings settings = SpeechSettings::load();
    OpenJTalkSetup setup = OpenJTalkSetup::detect(SpeechVoices::defaultFolders());

    SpeechEngineInputs inputs;
    inputs.openJTalkReady = setup.isReady();
    inputs.voices = setup.voices;
    inputs.ttsEngines = audibleTtsEngines(QTextToSpeech::availableEngines());
    inputs.preferredTtsEngine = settings.ttsEngine;
    inputs.preferredVoice = settings.voice;

    // An engine that answers is kept for the component rather than started twice.
    std::unique_ptr<QTextToSpeech> answered;
    const auto engineWorks = [&answered](const QString &engine) {
        auto tts = std::make_unique<QTextToSpeech>(engine);
        if (tts->state() == QTextToSpeech::Error)
            return false;
        answered = std::move(tts);
        return true;
    };

    const SpeechEngineChoice choice = chooseSpeechEngine(inputs, engineWorks);
    switch (choice.kind) {
    case SpeechEngineChoice::OpenJTalk:
        return new OpenJTalkSpeech(std::move(setup), m_ui, parent);
    case SpeechEngineChoice::TextToSpeech:
        return new TtsSpeech(answered.release(), m_ui, parent);
    case SpeechEngineChoice::None:
        break;
    }
    throw RuntimeError::cannotCreateObject(QStringLiteral(
        "音声合成エンジンが見つかりません。Open JTalk の音声（.htsvoice）を導入してください。"));
}
