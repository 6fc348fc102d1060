#pragma once

#include "platform/speech/open_jtalk_synthesis.h"
#include "platform/speech/speech_component.h"
#include "platform/speech/speech_settings.h"
#include "platform/speech/speech_settings_ui.h"
#include "platform/speech/synthesis_cache.h"
#include "platform/speech/utterance_failures.h"

#include <QStringList>

#include <optional>
#include <utility>

class QTimer;
class SpeechAudioOutput;

// Japanese speech through Open JTalk. The text is cut into short pieces; each is
// synthesized by its own open_jtalk process, one after the other, and played through one
// audio output as soon as it is ready, so the first words are heard after one short
// synthesis while the rest are still being made. The first piece of the text the editor
// holds is made ahead, in the background, once it has stayed the same a moment; 再生 of it
// then starts from that audio.
class OpenJTalkSpeech : public ISpeechComponent
{
    Q_OBJECT
public:
    // setup.voices lists the voices to offer; the user's settings are read from and saved
    // to the application's settings; ui shows the voice dialog. Nothing is started here.
    OpenJTalkSpeech(OpenJTalkSetup setup, ISpeechSettingsUi &ui, QObject *parent);
    ~OpenJTalkSpeech() override;

    void speak(const QString &text) override;
    void stop() override;
    void showSettingsDialog(QWidget *owner, const QString &title) override;
    void prepare(const QString &text) override;

    // How long the text must stay the same before its first piece is made ahead.
    static constexpr int kPrepareDelayMs = 300;

    bool isSpeaking() const { return m_speaking; }
    const SpeechSettings &settings() const { return m_settings; }
    // The voice file speech uses now.
    QString currentVoice() const;
    // The open_jtalk process running now, or 0.
    qint64 synthesisProcessId() const;

signals:
    // The first samples of an utterance went to the audio device.
    void firstBufferWritten();
    // The utterance ended: played out, stopped, or given up after a failure.
    void finished();
    // The first piece of the prepared text is ready to be played.
    void prepared();

private:
    void speakWith(const QString &text, const SpeechSettings &settings, bool tryOut);
    bool startSynthesis(QString *error);
    void synthesizeNext();
    void onSynthesized(const WavAudio &audio);
    void onSynthesisFailed(const QString &description);
    void skipPiece(const QString &cause);
    void continueAfterPiece();
    void onOutputFailed(const QString &description);
    void endSpeech();
    void discardSynthesis();
    void takePiece();
    void startPreparing();
    void dropPreparation();
    void adoptPreparation();
    QStringList cacheKey(const QString &piece, const QString &voice,
                         const SpeechSettings &settings) const;

    OpenJTalkSetup m_setup;
    ISpeechSettingsUi &m_ui;
    SpeechSettings m_settings;
    SpeechAudioOutput *m_output;

    // The utterance in progress.
    SpeechSettings m_active;
    QString m_voice;
    QStringList m_pending;
    QString m_piece; // the one synthesized last
    bool m_pieceEndsSentence = false;
    bool m_spokeAny = false; // a piece of this utterance was synthesized
    // The first piece that failed, with why, while no piece has been spoken yet.
    std::optional<std::pair<QString, QString>> m_heldFailure;
    UtteranceFailures m_failures{*this, m_ui};
    OpenJTalkSynthesis *m_synthesis = nullptr;
    bool m_speaking = false;
    bool m_waitingForRoom = false;
    // Tells a callback that resumes after a signal whether its utterance is still the one
    // in progress.
    quint64 m_utterance = 0;

    // What is made ahead: the editor's text, the one synthesis at a time making its first
    // piece, and the pieces made.
    QString m_preparedText;
    QTimer *m_prepareTimer;
    OpenJTalkSynthesis *m_preparing = nullptr;
    QStringList m_preparingKey;
    QStringList m_firstPieceKey; // the utterance's first piece, cached once made
    SynthesisCache m_cache;
};
