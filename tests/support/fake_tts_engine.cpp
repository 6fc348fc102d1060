#include "fake_tts_engine.h"

#include <QHash>
#include <QPointer>

namespace {

QHash<QString, QPointer<FakeTtsEngine>> &engines()
{
    static QHash<QString, QPointer<FakeTtsEngine>> made;
    return made;
}

} // namespace

FakeTtsEngine::FakeTtsEngine(QString engineName) : name(std::move(engineName))
{
    engines().insert(name, this);
}

FakeTtsEngine::~FakeTtsEngine() = default;

FakeTtsEngine *FakeTtsEngine::last(const QString &engineName)
{
    return engines().value(engineName);
}

QList<QVoice> FakeTtsEngine::availableVoices() const
{
    return {createVoice(QStringLiteral("slt"), QLocale(QLocale::English), QVoice::Female,
                        QVoice::Adult, {}),
            createVoice(QStringLiteral("kyoko"), QLocale(QLocale::Japanese), QVoice::Female,
                        QVoice::Adult, {})};
}

void FakeTtsEngine::say(const QString &text)
{
    said << text;
    setState(QTextToSpeech::Speaking);
}

void FakeTtsEngine::stop(QTextToSpeech::BoundaryHint)
{
    ++stops;
    if (m_state == QTextToSpeech::Speaking)
        setState(QTextToSpeech::Ready);
}

void FakeTtsEngine::finish()
{
    setState(QTextToSpeech::Ready);
}

void FakeTtsEngine::fail(const QString &reason)
{
    m_error = reason;
    setState(QTextToSpeech::Error);
}

QTextToSpeech::ErrorReason FakeTtsEngine::errorReason() const
{
    return m_error.isEmpty() ? QTextToSpeech::ErrorReason::NoError
                             : QTextToSpeech::ErrorReason::Playback;
}

void FakeTtsEngine::setState(QTextToSpeech::State state)
{
    if (m_state == state)
        return;
    m_state = state;
    emit stateChanged(state);
}
