#include "cli/reading_run.h"

#include "cli/cli_messages.h"
#include "platform/speech/open_jtalk_reading.h"
#include "platform/speech/speech_pacing.h"
#include "platform/speech/spoken_reading.h"

using CliMessages::at;

ReadingRun::ReadingRun(SynthesisSetup setup, std::vector<SynthesisRow> rows, QObject *parent)
    : SynthesisRun(std::move(setup), std::move(rows), parent), m_readings(this->rows().size())
{
    for (std::size_t row = 0; row < m_readings.size(); ++row)
        m_readings[row].pieces.resize(pieceCount(row));
}

ReadingRun::~ReadingRun() = default;

QObject *ReadingRun::launch(std::size_t index, QString *error)
{
    auto *reading = new OpenJTalkReading(this);
    connect(reading, &OpenJTalkReading::finished, this,
            [this, reading, index](const QString &text, const WavAudio &audio) {
                pieceRead(reading, index, text, audio);
            });
    connect(reading, &OpenJTalkReading::failed, this,
            [this, reading, index](const QString &description) {
                pieceFailed(reading, index, description, reading->voiceNotLoaded());
            });
    if (!reading->start(setup().program, setup().arguments, piece(index).text, error)) {
        delete reading;
        return nullptr;
    }
    return reading;
}

void ReadingRun::pieceRead(QObject *synthesis, std::size_t index, const QString &reading,
                           const WavAudio &audio)
{
    const Piece &p = piece(index);
    // As long as the piece is in what speak writes and 再生 plays: its silence trimmed to
    // the breath before it and the pause after it.
    const QByteArray spoken =
        trimSilence(audio.pcm, audio.channels, audio.sampleRate, SpeechPacing::kLeadMs,
                    p.endsSentence ? SpeechPacing::kSentencePauseMs : SpeechPacing::kCommaPauseMs);
    RowReading &row = m_readings[p.row];
    row.pieces[p.index] = reading;
    if (const int bytesPerSecond = audio.bytesPerFrame() * audio.sampleRate; bytesPerSecond > 0)
        row.seconds += double(spoken.size()) / bytesPerSecond;
    pieceSynthesized(synthesis, index);
}

bool ReadingRun::finishRow(std::size_t row, bool failed)
{
    m_readings[row].finished = true;
    m_readings[row].failed = failed;
    // Rows are printed in order: one that ends early waits for those before it.
    for (; m_nextToPrint < m_readings.size() && m_readings[m_nextToPrint].finished; ++m_nextToPrint) {
        RowReading &done = m_readings[m_nextToPrint];
        if (!done.failed) {
            const SynthesisRow &printed = rows()[m_nextToPrint];
            const QString reading = SpokenReading::joined(done.pieces);
            const QString seconds = QString::number(done.seconds, 'f', 2);
            CliMessages::printOut(at(printed.file, printed.line,
                                     reading.isEmpty() ? seconds : seconds + u' ' + reading));
        }
        done.pieces = QStringList();
    }
    return !failed;
}
