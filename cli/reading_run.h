#pragma once

#include "cli/synthesis_run.h"
#include "platform/speech/speech_wav.h"

#include <QString>
#include <QStringList>

#include <vector>

// Prints each row's reading as the synthesizer will speak it (SpokenReading) and how long
// it lasts, as speak would write it: its pieces with their silence trimmed and the pauses
// between them. "FILE:LINE: SECONDS READING", one line per row in the order given, each as
// soon as the rows before it are done; a row with nothing to speak reads empty and lasts
// 0.00 s. A row the synthesizer fails on is reported and prints nothing.
class ReadingRun : public SynthesisRun
{
    Q_OBJECT
public:
    ReadingRun(SynthesisSetup setup, std::vector<SynthesisRow> rows, QObject *parent);
    ~ReadingRun() override;

protected:
    QObject *launch(std::size_t piece, QString *error) override;
    bool finishRow(std::size_t row, bool failed) override;

private:
    struct RowReading
    {
        QStringList pieces; // each piece's reading, in order
        double seconds = 0;
        bool finished = false;
        bool failed = false;
    };

    void pieceRead(QObject *synthesis, std::size_t piece, const QString &reading,
                   const WavAudio &audio);

    std::vector<RowReading> m_readings;
    std::size_t m_nextToPrint = 0;
};
