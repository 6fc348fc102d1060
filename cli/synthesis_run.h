#pragma once

#include "cli/progress_line.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <vector>

// One row of a data file to synthesize.
struct SynthesisRow
{
    QString file;    // the data file, as named in reports
    int number = 0;  // the row's number in its file, from 1
    int line = 0;    // its line in the file
    QString content;
};

// How the rows are synthesized.
struct SynthesisSetup
{
    QString program;       // open_jtalk
    QStringList arguments; // for the chosen voice and settings
    QString voice;         // the voice file, as named in reports
    int processes = 1;     // open_jtalk runs at once
};

// Synthesizes rows as the window's 再生 speaks them, several open_jtalk processes at once:
// a row's text is prepared as 再生 prepares it, and a row longer than one synthesis run
// takes is cut into pieces as 再生 cuts it, each synthesized by its own process. What is
// made of a piece and of a finished row is the command's (speak writes WAV files, reading
// prints readings). A row with nothing to speak has no piece and ends at once. A piece the
// synthesizer fails on is reported, its row ends failed and its other pieces are not
// synthesized; the other rows go on. A voice the synthesizer cannot load ends the run at
// once, reported once: no row could be spoken.
class SynthesisRun : public QObject
{
    Q_OBJECT
public:
    ~SynthesisRun() override;

    // Call once the event loop runs; finished follows, also for an empty list: 0 when every
    // row was finished, 1 otherwise.
    void start();

signals:
    void finished(int exitStatus);

protected:
    struct Piece
    {
        std::size_t row = 0; // index into the rows
        int index = 0;       // its place within its row
        QString text;
        bool endsSentence = false;
    };

    SynthesisRun(SynthesisSetup setup, std::vector<SynthesisRow> rows, QObject *parent);

    // Starts synthesizing a piece. The object returned, a child of the run, later leads to
    // exactly one call of pieceSynthesized or pieceFailed with itself; nullptr with the
    // reason in error when the synthesis could not be started.
    virtual QObject *launch(std::size_t piece, QString *error) = 0;
    // Every piece of the row has ended, one of them failed when failed says so. Returns
    // whether the row was finished (a file written, a reading printed).
    virtual bool finishRow(std::size_t row, bool failed) = 0;
    // What the progress line says with this many rows finished; empty: no progress shown.
    virtual QString progressText(std::size_t rowsDone) const;

    void pieceSynthesized(QObject *synthesis, std::size_t piece);
    void pieceFailed(QObject *synthesis, std::size_t piece, const QString &description,
                     bool voiceNotLoaded);

    const SynthesisSetup &setup() const { return m_setup; }
    const std::vector<SynthesisRow> &rows() const { return m_rows; }
    const Piece &piece(std::size_t index) const { return m_pieces[index]; }
    // How many pieces the row was cut into.
    int pieceCount(std::size_t row) const { return m_state[row].pieces; }
    ProgressLine &progress() { return m_progress; }

private:
    struct RowState
    {
        int pieces = 0;
        int remaining = 0;
        bool failed = false;
    };

    void launchMore();
    void launchPiece(std::size_t piece);
    void synthesisEnded(QObject *synthesis);
    void voiceFailed(const QString &description);
    void pieceEnded(std::size_t row);
    void showProgress();

    SynthesisSetup m_setup;
    std::vector<SynthesisRow> m_rows;
    std::vector<RowState> m_state;
    std::vector<Piece> m_pieces;
    std::vector<QObject *> m_running;
    std::size_t m_nextPiece = 0;
    std::size_t m_rowsDone = 0;
    bool m_failures = false;
    bool m_ended = false;
    ProgressLine m_progress;
};
