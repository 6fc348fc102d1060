#pragma once

#include "platform/speech/speech_component.h"
#include "platform/speech/speech_settings.h"

#include <QPointer>

class QTextToSpeech;
class SpeechSettingsDialog;

// Speech through Qt TextToSpeech, for machines without an Open JTalk voice. It speaks
// with the engine's Japanese voice when it has one, else with the engine's default.
class TtsSpeech : public ISpeechComponent
{
    Q_OBJECT
public:
    // engine is an engine that has already answered (the factory tried it); the component
    // takes it over.
    TtsSpeech(QTextToSpeech *engine, QString settingsFile, QObject *parent);
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
    void reportFailure(const QString &description);

    QTextToSpeech *m_engine = nullptr;
    QString m_settingsFile;
    SpeechSettings m_settings;
    // Voice, rate, pitch and volume are set on first use, not when the window starts.
    bool m_applied = false;
    bool m_speaking = false;
    bool m_tryOut = false; // the utterance is a sample of the voice dialog
    bool m_failureReported = false;
    QPointer<SpeechSettingsDialog> m_dialog; // open, for its samples' failures
};
