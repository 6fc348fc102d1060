#pragma once

#include "platform/speech/speech_settings.h"
#include "platform/speech/speech_wav.h"

#include <QObject>
#include <QProcess>
#include <QStringList>

class QTimer;

// What it takes to run Open JTalk on this machine.
struct OpenJTalkSetup
{
    QString program;    // open_jtalk, absolute
    QString dictionary; // the MeCab dictionary folder
    QStringList voices; // .htsvoice files found
    QStringList voiceFolders; // where they were looked for

    // The program can be run and the dictionary is there (voices are checked apart).
    bool isReady() const;
    // Looks for the voices again, so that one added since is offered; keeps the list as
    // it is when it was given rather than found.
    void refreshVoices();

    // Looks up open_jtalk on PATH, Debian's dictionary and the voices in the folders. Only
    // looks at files; nothing is started.
    static OpenJTalkSetup detect(const QStringList &voiceFolders);
};

// One run's arguments: WAV to standard output, text from standard input.
QStringList openJTalkArguments(const OpenJTalkSetup &setup, const QString &voice,
                               const SpeechSettings &settings);

// One piece of text synthesized by its own open_jtalk process. The process is killed and
// waited for when the object goes away, so none is left running or unreaped; it is killed
// too when the program ends in any way, and when it runs longer than its text can need.
class OpenJTalkSynthesis : public QObject
{
    Q_OBJECT
public:
    explicit OpenJTalkSynthesis(QObject *parent);
    ~OpenJTalkSynthesis() override;

    // Starts the program (directly, never through a shell) and hands it the text on its
    // standard input. Returns false with the reason when the program cannot be started;
    // otherwise finished or failed follows.
    bool start(const QString &program, const QStringList &arguments, const QString &text,
               QString *error);
    // Kills the process, if running, and reaps it. Neither signal follows.
    void kill();
    qint64 processId() const;
    // After failed: the synthesizer could not load its voice, so any other text would
    // fail alike.
    bool voiceNotLoaded() const { return m_voiceNotLoaded; }

signals:
    void finished(const WavAudio &audio);
    // The process ended with an error, crashed, wrote no usable WAV or took too long; the
    // description says so to the operator.
    void failed(const QString &description);

private:
    void onTimeLimit();
    void onFinished(int exitCode, QProcess::ExitStatus status);
    void onErrorOccurred(QProcess::ProcessError error);

    QProcess *m_process;
    QTimer *m_timeLimit;
    bool m_voiceNotLoaded = false;
    bool m_done = false;
};
