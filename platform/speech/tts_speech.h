#pragma once

#include "platform/speech/speech_component.h"
#include "platform/speech/speech_settings.h"
#include "platform/speech/speech_settings_ui.h"
#include "platform/speech/utterance_failures.h"

class QTextToSpeech;

// Speech through Qt TextToSpeech, for machines without an Open JTalk voice. It speaks
// with the engine's Japanese voice when it has one, else with the engine's default.
class TtsSpeech : public ISpeechComponent
{
    Q_OBJECT
public:
    // engine is an engine that has already answered (the factory tried it); the component
    // takes it over. ui shows the voice dialog.
    TtsSpeech(QTextToSpeech *engine, ISpeechSettingsUi &ui, QObject *parent);
    ~TtsSpeech() override;

    void speak(const QString &text) override;
    void stop() override;
    void showSettingsDialog(QWidget *owner, const QString &title) override;

    QString engineName() const;
    bool isSpeaking() const { return m_speaking; }
    const SpeechSettings &settings() const { return m_settings; }

signals:
    // The utterance ended: spoken, stopped or failed.
    void finished();

private:
    void speakWith(const QString &text, const SpeechSettings &settings, bool tryOut);
    void apply(const SpeechSettings &settings);
    void adopt(QTextToSpeech *engine);
    void onStateChanged();

    QTextToSpeech *m_engine = nullptr;
    ISpeechSettingsUi &m_ui;
    SpeechSettings m_settings;
    // Voice, rate, pitch and volume are set on first use, not when the window starts.
    bool m_applied = false;
    bool m_speaking = false;
    UtteranceFailures m_failures{*this, m_ui};
};
