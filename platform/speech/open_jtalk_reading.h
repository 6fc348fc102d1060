#pragma once

#include "platform/speech/speech_wav.h"

#include <QObject>
#include <QStringList>

class OpenJTalkSynthesis;
class QTemporaryFile;

// One piece of text run through open_jtalk for what it will say: the synthesis that
// speaking it runs, with the synthesizer's trace written beside the audio, into a file of
// its own that goes with this object. The trace gives the reading (SpokenReading), the
// audio how long it lasts. The process is handled as OpenJTalkSynthesis handles it: killed
// and reaped when this goes away, when the program ends, or when it runs too long.
class OpenJTalkReading : public QObject
{
    Q_OBJECT
public:
    explicit OpenJTalkReading(QObject *parent);
    ~OpenJTalkReading() override;

    // arguments are those of a synthesis (openJTalkArguments). Returns false with the
    // reason when the program cannot be started; otherwise finished or failed follows.
    bool start(const QString &program, const QStringList &arguments, const QString &text,
               QString *error);
    // After failed: the synthesizer could not load its voice.
    bool voiceNotLoaded() const;

signals:
    void finished(const QString &reading, const WavAudio &audio);
    void failed(const QString &description);

private:
    void synthesized(const WavAudio &audio);

    OpenJTalkSynthesis *m_synthesis;
    QTemporaryFile *m_trace;
};
