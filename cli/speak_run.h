#pragma once

#include "cli/progress_line.h"
#include "platform/speech/speech_wav.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <vector>

// One row to write as a WAV file.
struct SpeakRow
{
    int number = 0; // the row's number in the table, from 1: names the file
    int line = 0;   // its line in the data file, for reports
    QString content;
};

// How the rows are spoken and where they go.
struct SpeakSetup
{
    QString program;       // open_jtalk
    QStringList arguments; // for the chosen voice and settings
    int sampleRate = 0;    // the voice's, for the silence of a row with nothing to speak
    QString voice;         // the voice file, as named in reports
    QString dataFile;      // as named in reports
    QString folder;        // the WAV files' folder, which exists
    int nameWidth = 5;     // digits in a WAV file's name
    int processes = 1;     // open_jtalk runs at once
};

// Writes one WAV per row, running several open_jtalk processes at once. A row's text is
// prepared as the window's 再生 prepares it; a row longer than one synthesis run takes is
// cut into pieces as 再生 cuts it, each synthesized by its own process, and the pieces are
// joined with the window's pauses.
// A row with nothing to speak gets a short silence, so that the files stay numbered as
// the rows. A row with a piece the synthesizer fails on gets no file (an older one of the
// same name is removed) and is reported; the other rows are still written. A voice the
// synthesizer cannot load ends the run at once, reported once: no row could be spoken.
class SpeakRun : public QObject
{
    Q_OBJECT
public:
    SpeakRun(SpeakSetup setup, std::vector<SpeakRow> rows, QObject *parent);
    ~SpeakRun() override;

    // Call once the event loop runs; finished follows, also for an empty list.
    void start();

signals:
    void finished(int exitStatus);

private:
    struct Piece
    {
        std::size_t row = 0; // index into m_rows
        QString text;
        bool endsSentence = false;
    };
    struct RowState
    {
        std::vector<QByteArray> pcm; // each piece's samples, trimmed, in order
        int remaining = 0;
        bool failed = false;
    };

    void launchMore();
    void launch(std::size_t piece);
    void pieceSynthesized(std::size_t piece, int index, const WavAudio &audio);
    void pieceFailed(std::size_t piece, const QString &description);
    void voiceFailed(const QString &description);
    void pieceEnded(std::size_t row);
    void writeRow(std::size_t row);
    QString wavPath(const SpeakRow &row) const;

    SpeakSetup m_setup;
    std::vector<SpeakRow> m_rows;
    std::vector<RowState> m_state;
    std::vector<Piece> m_pieces;
    std::vector<int> m_pieceIndex; // each piece's place within its row
    std::size_t m_nextPiece = 0;
    int m_running = 0;
    std::size_t m_rowsDone = 0;
    bool m_failures = false;
    bool m_ended = false;
    ProgressLine m_progress;
};
