#pragma once

#include <QAudioFormat>
#include <QByteArray>
#include <QObject>

class QAudioDevice;
class QAudioSink;
class QIODevice;
class QTimer;

// Plays PCM that arrives piece by piece through one QAudioSink, without gaps between the
// pieces. The device's own buffer is kept short and stop() discards it, so speech ends at
// once instead of running on for the length of a buffer.
class SpeechAudioOutput : public QObject
{
    Q_OBJECT
public:
    explicit SpeechAudioOutput(QObject *parent);
    ~SpeechAudioOutput() override;

    // Opens the default output for the format. Throws RuntimeError when there is no
    // output device or it refuses the format. A sound server that went away and came back
    // is connected to again.
    void open(const QAudioFormat &format);
    bool isOpen() const { return m_sink != nullptr; }
    QAudioFormat format() const { return m_format; }

    // Queues samples in the open format; playing starts with the first of them.
    void append(const QByteArray &pcm);
    // Nothing more will be appended: finished follows once the queue has been played.
    void finishInput();
    // Drops everything queued and cuts the sound. No signal follows.
    void stop();

    // How much is queued and not yet handed to the device.
    qint64 queuedMs() const;
    // queueLow is emitted when the queue falls below this.
    void setLowWaterMs(qint64 ms) { m_lowWaterMs = ms; }

signals:
    // The first samples of this playback went to the device (used to measure latency).
    void firstBufferWritten();
    // The queue fell below the low-water mark: time to synthesize more.
    void queueLow();
    void finished();
    // The device failed while playing (it went away, or the sound server did); the
    // description says so to the operator. Nothing more is played.
    void failed(const QString &description);

private:
    // Makes the sink and starts it; false when it did not start (the sink is kept, to be
    // asked why).
    bool start(const QAudioDevice &device, const QAudioFormat &format);
    void feed();
    void onStateChanged();
    void fail(const QString &description);
    void close();

    QAudioSink *m_sink = nullptr;
    QIODevice *m_device = nullptr;
    QTimer *m_feedTimer;
    QAudioFormat m_format;
    QByteArray m_queue;
    qsizetype m_queueStart = 0;
    qint64 m_lowWaterMs = 0;
    bool m_inputFinished = false;
    bool m_wroteAny = false;
    bool m_wasLow = false;
};
