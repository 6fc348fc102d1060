#pragma once

#include "cli/synthesis_run.h"
#include "platform/speech/speech_wav.h"

#include <QString>

#include <vector>

// Where and how speak writes its WAV files.
struct SpeakOutput
{
    int sampleRate = 0; // the voice's, for the silence of a row with nothing to speak
    QString folder;     // the WAV files' folder, which exists
    int nameWidth = 5;  // digits in a WAV file's name
};

// Writes one WAV per row, named after the row's number: the row's pieces joined with the
// window's pauses. A row with nothing to speak gets a short silence, so that the files
// stay numbered as the rows. A row with a piece the synthesizer fails on gets no file (an
// older one of the same name is removed). Progress is shown on a terminal.
class SpeakRun : public SynthesisRun
{
    Q_OBJECT
public:
    SpeakRun(SynthesisSetup setup, SpeakOutput output, std::vector<SynthesisRow> rows,
             QObject *parent);
    ~SpeakRun() override;

protected:
    QObject *launch(std::size_t piece, QString *error) override;
    bool finishRow(std::size_t row, bool failed) override;
    QString progressText(std::size_t rowsDone) const override;

private:
    void pieceAudio(QObject *synthesis, std::size_t piece, const WavAudio &audio);
    QString wavPath(const SynthesisRow &row) const;

    SpeakOutput m_output;
    std::vector<std::vector<QByteArray>> m_pcm; // per row, each piece's samples, trimmed
};
