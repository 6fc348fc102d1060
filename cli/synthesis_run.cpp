#include "cli/synthesis_run.h"

#include "cli/cli_messages.h"
#include "platform/speech/speech_failure_messages.h"
#include "platform/speech/speech_text.h"

#include <algorithm>

using CliMessages::at;

namespace {

// A row that fits in one synthesis run is spoken in one, which keeps the synthesizer's own
// phrasing across its sentences and starts one process for it; a longer one is cut as
// 再生 cuts it. Text the synthesizer cannot speak at all gives no piece.
QStringList piecesOf(const QString &content)
{
    QStringList pieces = SpeechText::sentences(content);
    const QString whole = SpeechText::oneLine(content).trimmed();
    if (pieces.size() > 1 && whole.size() <= SpeechText::kMaxChars)
        pieces = QStringList{whole};
    return pieces;
}

} // namespace

SynthesisRun::SynthesisRun(SynthesisSetup setup, std::vector<SynthesisRow> rows, QObject *parent)
    : QObject(parent), m_setup(std::move(setup)), m_rows(std::move(rows)), m_state(m_rows.size())
{
    for (std::size_t row = 0; row < m_rows.size(); ++row) {
        const QStringList pieces = piecesOf(m_rows[row].content);
        m_state[row].pieces = int(pieces.size());
        m_state[row].remaining = int(pieces.size());
        for (qsizetype i = 0; i < pieces.size(); ++i)
            m_pieces.push_back({row, int(i), pieces[i], SpeechText::endsSentence(pieces[i])});
    }
}

SynthesisRun::~SynthesisRun() = default;

QString SynthesisRun::progressText(std::size_t) const
{
    return QString();
}

void SynthesisRun::start()
{
    if (m_rows.empty()) {
        // No piece will ever end, so nothing else would say that the run is over.
        emit finished(0);
        return;
    }
    showProgress();
    // Rows with nothing to speak end at once; the others as their pieces come.
    for (std::size_t row = 0; row < m_rows.size() && !m_ended; ++row) {
        if (m_state[row].remaining == 0) {
            m_state[row].remaining = 1;
            pieceEnded(row);
        }
    }
    launchMore();
}

void SynthesisRun::launchMore()
{
    while (!m_ended && int(m_running.size()) < m_setup.processes && m_nextPiece < m_pieces.size())
        launchPiece(m_nextPiece++);
}

void SynthesisRun::launchPiece(std::size_t piece)
{
    const std::size_t row = m_pieces[piece].row;
    if (m_state[row].failed) {
        // The row will not be finished: its other pieces need no synthesis.
        pieceEnded(row);
        return;
    }
    QString error;
    QObject *synthesis = launch(piece, &error);
    if (!synthesis) {
        pieceFailed(nullptr, piece, SpeechFailureMessages::synthesisNotStarted(error), false);
        return;
    }
    m_running.push_back(synthesis);
}

void SynthesisRun::synthesisEnded(QObject *synthesis)
{
    m_running.erase(std::remove(m_running.begin(), m_running.end(), synthesis), m_running.end());
    synthesis->deleteLater();
}

void SynthesisRun::pieceSynthesized(QObject *synthesis, std::size_t piece)
{
    synthesisEnded(synthesis);
    pieceEnded(m_pieces[piece].row);
    launchMore();
}

void SynthesisRun::pieceFailed(QObject *synthesis, std::size_t piece, const QString &description,
                               bool voiceNotLoaded)
{
    if (synthesis)
        synthesisEnded(synthesis);
    if (voiceNotLoaded) {
        voiceFailed(description);
        return;
    }
    const Piece &p = m_pieces[piece];
    const SynthesisRow &row = m_rows[p.row];
    m_progress.message(at(row.file, row.line,
                          CliTexts::tr("%1 行目の「%2」を読み上げられません: %3")
                              .arg(QString::number(row.number), p.text, description)));
    m_state[p.row].failed = true;
    pieceEnded(p.row);
    // A piece that never started is met inside launchMore, which goes on by itself.
    if (synthesis)
        launchMore();
}

void SynthesisRun::voiceFailed(const QString &description)
{
    // Every other row would fail alike: one report, and the syntheses still running are
    // ended with the run.
    if (m_ended)
        return;
    m_ended = true;
    m_progress.finish();
    CliMessages::complain(CliTexts::tr("声のファイル %1 を使えません: %2")
                              .arg(m_setup.voice, description));
    for (QObject *running : std::exchange(m_running, {}))
        delete running;
    emit finished(1);
}

void SynthesisRun::pieceEnded(std::size_t row)
{
    if (m_ended)
        return;
    if (--m_state[row].remaining > 0)
        return;
    if (!finishRow(row, m_state[row].failed) || m_state[row].failed)
        m_failures = true;
    ++m_rowsDone;
    showProgress();
    if (m_rowsDone == m_rows.size()) {
        m_ended = true;
        m_progress.finish();
        emit finished(m_failures ? 1 : 0);
    }
}

void SynthesisRun::showProgress()
{
    const QString text = progressText(m_rowsDone);
    if (!text.isEmpty())
        m_progress.update(text);
}
