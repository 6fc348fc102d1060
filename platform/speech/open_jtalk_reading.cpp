#include "platform/speech/open_jtalk_reading.h"

#include "platform/speech/open_jtalk_synthesis.h"
#include "platform/speech/speech_texts.h"
#include "platform/speech/spoken_reading.h"

#include <QDir>
#include <QTemporaryFile>

OpenJTalkReading::OpenJTalkReading(QObject *parent)
    : QObject(parent), m_synthesis(new OpenJTalkSynthesis(this)),
      m_trace(new QTemporaryFile(QDir::tempPath() + QStringLiteral("/broadcast-data-trace-XXXXXX"),
                                 this))
{
    connect(m_synthesis, &OpenJTalkSynthesis::finished, this, &OpenJTalkReading::synthesized);
    connect(m_synthesis, &OpenJTalkSynthesis::failed, this, &OpenJTalkReading::failed);
}

OpenJTalkReading::~OpenJTalkReading() = default;

bool OpenJTalkReading::start(const QString &program, const QStringList &arguments,
                             const QString &text, QString *error)
{
    // The synthesizer writes the trace by name; the file is made here, private to the user,
    // and removed with this object.
    if (!m_trace->open()) {
        if (error)
            *error = m_trace->errorString();
        return false;
    }
    m_trace->close();
    return m_synthesis->start(program, arguments + QStringList{QStringLiteral("-ot"), m_trace->fileName()},
                              text, error);
}

bool OpenJTalkReading::voiceNotLoaded() const
{
    return m_synthesis->voiceNotLoaded();
}

void OpenJTalkReading::synthesized(const WavAudio &audio)
{
    bool found = false;
    QString reading;
    if (m_trace->open()) {
        reading = SpokenReading::fromTrace(m_trace->readAll(), &found);
        m_trace->close();
    }
    if (!found) {
        emit failed(SpeechTexts::tr("音声合成プログラム open_jtalk が読みを書き出しませんでした"));
        return;
    }
    emit finished(reading, audio);
}
