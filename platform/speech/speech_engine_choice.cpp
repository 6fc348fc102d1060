#include "platform/speech/speech_engine_choice.h"

#include <QFileInfo>

SpeechEngineChoice chooseSpeechEngine(const SpeechEngineInputs &inputs,
                                      const std::function<bool(const QString &)> &engineWorks)
{
    SpeechEngineChoice choice;
    if (inputs.openJTalkReady && !inputs.voices.isEmpty()) {
        choice.kind = SpeechEngineChoice::OpenJTalk;
        choice.voice = chooseOpenJTalkVoice(inputs.voices, inputs.preferredVoice);
        return choice;
    }

    QStringList order = inputs.ttsEngines;
    if (order.removeAll(inputs.preferredTtsEngine) > 0)
        order.prepend(inputs.preferredTtsEngine);
    for (const QString &engine : std::as_const(order)) {
        if (engineWorks(engine)) {
            choice.kind = SpeechEngineChoice::TextToSpeech;
            choice.ttsEngine = engine;
            return choice;
        }
    }
    return choice;
}

QStringList audibleTtsEngines(QStringList engines)
{
    engines.removeAll(QStringLiteral("flite"));
    return engines;
}

QString chooseOpenJTalkVoice(const QStringList &voices, const QString &preferred)
{
    if (voices.isEmpty())
        return {};
    if (!preferred.isEmpty()) {
        if (voices.contains(preferred))
            return preferred;
        const QString name = QFileInfo(preferred).fileName();
        for (const QString &voice : voices) {
            if (QFileInfo(voice).fileName() == name)
                return voice;
        }
    }
    return voices.first();
}

int chooseTtsVoice(const QList<TtsVoiceInfo> &voices, const QString &preferred)
{
    if (!preferred.isEmpty()) {
        for (qsizetype i = 0; i < voices.size(); ++i) {
            if (voices.at(i).name == preferred)
                return int(i);
        }
    }
    for (qsizetype i = 0; i < voices.size(); ++i) {
        if (voices.at(i).locale.language() == QLocale::Japanese)
            return int(i);
    }
    return -1;
}
