#include "platform/speech/speech_audio_output.h"

#include "platform/runtime/runtime_error.h"
#include "platform/speech/sound_server_reconnect.h"
#include "platform/speech/speech_failure_messages.h"

#include <QAudioDevice>
#include <QAudioSink>
#include <QMediaDevices>
#include <QPointer>
#include <QTimer>

namespace {

// What the device holds ahead of what is heard. Short, so that little can run on after a
// stop on a backend that does not discard it, yet long enough that a busy window does not
// starve it between two feeds.
constexpr int kDeviceBufferMs = 200;
constexpr int kFeedIntervalMs = 20;
// Played data is cut from the front of the queue once this much has gathered.
constexpr qsizetype kCompactBytes = 1 << 20;

} // namespace

SpeechAudioOutput::SpeechAudioOutput(QObject *parent)
    : QObject(parent), m_feedTimer(new QTimer(this))
{
    m_feedTimer->setInterval(kFeedIntervalMs);
    m_feedTimer->setTimerType(Qt::PreciseTimer);
    connect(m_feedTimer, &QTimer::timeout, this, &SpeechAudioOutput::feed);
    // Watching from now on, so that a server lost later can be found again.
    SoundServerReconnect::instance();
}

SpeechAudioOutput::~SpeechAudioOutput()
{
    close();
}

void SpeechAudioOutput::open(const QAudioFormat &format)
{
    stop();
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull())
        throw RuntimeError::invalidProcedureCall(SpeechFailureMessages::noOutputDevice());
    if (!device.isFormatSupported(format))
        throw RuntimeError::invalidProcedureCall(SpeechFailureMessages::outputFormatRefused(format.sampleRate()));

    if (!start(device, format)) {
        const QAudio::Error error = m_sink->error();
        close();
        // No connection to the sound server: one that came back after Qt gave up on it
        // is found again, and the output opened on the new connection.
        SoundServerReconnect *server = SoundServerReconnect::instance();
        if (error != QAudio::FatalError || !server || !server->reconnect()
            || !start(QMediaDevices::defaultAudioOutput(), format)) {
            const int code = m_sink ? int(m_sink->error()) : int(error);
            close();
            throw RuntimeError::invalidProcedureCall(SpeechFailureMessages::outputNotOpened(code));
        }
    }
    m_format = format;
    m_inputFinished = false;
    m_wroteAny = false;
    m_wasLow = true;
    // Queued: Qt 6.4's sink does not survive being stopped and deleted from inside its
    // own stateChanged, and closing is what this output does when the sink goes idle.
    connect(m_sink, &QAudioSink::stateChanged, this, &SpeechAudioOutput::onStateChanged,
            Qt::QueuedConnection);
    m_feedTimer->start();
}

bool SpeechAudioOutput::start(const QAudioDevice &device, const QAudioFormat &format)
{
    // Without a parent: Qt 6.4 gives the sink's platform half the sink's parent as its
    // own, which ties their deletion to this object's in ways that crashed. close()
    // deletes the sink.
    m_sink = new QAudioSink(device, format);
    m_sink->setBufferSize(format.bytesForDuration(qint64(kDeviceBufferMs) * 1000));
    m_device = m_sink->start();
    return m_device && m_sink->error() == QAudio::NoError;
}

void SpeechAudioOutput::append(const QByteArray &pcm)
{
    if (!m_sink)
        return;
    m_queue.append(pcm);
    m_wasLow = queuedMs() < m_lowWaterMs;
    feed();
}

void SpeechAudioOutput::finishInput()
{
    if (!m_sink)
        return;
    m_inputFinished = true;
    // A device that never got anything, or has already played everything, will not report
    // going idle again.
    if (m_queueStart == m_queue.size()
        && (!m_wroteAny || m_sink->state() == QAudio::IdleState)) {
        close();
        emit finished();
    }
}

void SpeechAudioOutput::stop()
{
    close();
}

qint64 SpeechAudioOutput::queuedMs() const
{
    if (!m_sink)
        return 0;
    return m_format.durationForBytes(m_queue.size() - m_queueStart) / 1000;
}

void SpeechAudioOutput::feed()
{
    if (!m_sink)
        return;
    const qint64 free = m_sink->bytesFree();
    if (free < 0) {
        // Qt 6.4's PulseAudio sink reports a stream the server killed (its sink went away,
        // or the server itself) only this way: state and error stay as they were, and the
        // queue would wait for it forever.
        fail(SpeechFailureMessages::outputLost());
        return;
    }
    const qsizetype frame = m_format.bytesPerFrame();
    qint64 count = std::min<qint64>(free, m_queue.size() - m_queueStart);
    count -= count % frame;
    if (count > 0) {
        const qint64 written = m_device->write(m_queue.constData() + m_queueStart, count);
        if (written > 0)
            m_queueStart += written;
        if (m_queueStart == m_queue.size()) {
            m_queue.clear();
            m_queueStart = 0;
        } else if (m_queueStart >= kCompactBytes) {
            m_queue.remove(0, m_queueStart);
            m_queueStart = 0;
        }
        if (written > 0 && !m_wroteAny) {
            m_wroteAny = true;
            // A receiver may stop us; nothing below may touch a closed sink.
            QPointer<QAudioSink> sink = m_sink;
            emit firstBufferWritten();
            if (!sink || sink != m_sink)
                return;
        }
    }
    const bool low = queuedMs() < m_lowWaterMs;
    if (low && !m_wasLow) {
        m_wasLow = true;
        emit queueLow();
        return;
    }
    m_wasLow = low;
}

void SpeechAudioOutput::onStateChanged()
{
    // A change queued by a sink closed since is of no interest.
    if (!m_sink || sender() != m_sink)
        return;
    const QAudio::Error error = m_sink->error();
    if (error != QAudio::NoError && error != QAudio::UnderrunError) {
        fail(SpeechFailureMessages::outputLost());
        return;
    }
    if (m_sink->state() != QAudio::IdleState)
        return;
    if (m_queueStart < m_queue.size()) {
        // The window kept us from feeding in time; carry on.
        feed();
    } else if (m_inputFinished) {
        close();
        emit finished();
    }
}

void SpeechAudioOutput::fail(const QString &description)
{
    close();
    emit failed(description);
}

void SpeechAudioOutput::close()
{
    m_feedTimer->stop();
    if (m_sink) {
        disconnect(m_sink, nullptr, this, nullptr);
        // reset() discards what the device still holds; stop() alone may play it out.
        m_sink->reset();
        m_sink->stop();
        delete m_sink;
        m_sink = nullptr;
        m_device = nullptr;
    }
    m_queue.clear();
    m_queueStart = 0;
    m_inputFinished = false;
}
