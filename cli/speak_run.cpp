#include "cli/speak_run.h"

#include "cli/cli_messages.h"
#include "files/atomic_write.h"
#include "files/native_name.h"
#include "platform/speech/open_jtalk_synthesis.h"
#include "platform/speech/speech_failure_messages.h"
#include "platform/speech/speech_pacing.h"
#include "platform/speech/speech_text.h"

#include <unistd.h>

using CliMessages::at;

namespace {

// The silence written for a row with nothing to speak.
constexpr int kSilenceMs = 100;

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

SpeakRun::SpeakRun(SpeakSetup setup, std::vector<SpeakRow> rows, QObject *parent)
    : QObject(parent), m_setup(std::move(setup)), m_rows(std::move(rows)),
      m_state(m_rows.size())
{
    for (std::size_t row = 0; row < m_rows.size(); ++row) {
        const QStringList pieces = piecesOf(m_rows[row].content);
        m_state[row].pcm.resize(std::size_t(pieces.size()));
        m_state[row].remaining = int(pieces.size());
        for (qsizetype i = 0; i < pieces.size(); ++i) {
            m_pieces.push_back({row, pieces[i], SpeechText::endsSentence(pieces[i])});
            m_pieceIndex.push_back(int(i));
        }
    }
}

SpeakRun::~SpeakRun() = default;

void SpeakRun::start()
{
    if (m_rows.empty()) {
        // No piece will ever end, so nothing else would say that the run is over.
        emit finished(0);
        return;
    }
    m_progress.update(CliTexts::tr("WAV を書き出しています: 0 / %1 行")
                          .arg(m_rows.size()));
    // Rows with nothing to speak are written at once; the others as their pieces come.
    for (std::size_t row = 0; row < m_rows.size(); ++row) {
        if (m_state[row].remaining == 0) {
            m_state[row].remaining = 1;
            pieceEnded(row);
        }
    }
    launchMore();
}

void SpeakRun::launchMore()
{
    while (!m_ended && m_running < m_setup.processes && m_nextPiece < m_pieces.size())
        launch(m_nextPiece++);
}

void SpeakRun::launch(std::size_t piece)
{
    const std::size_t row = m_pieces[piece].row;
    if (m_state[row].failed) {
        // The row's file will not be written: its other pieces need no synthesis.
        pieceEnded(row);
        return;
    }
    auto *synthesis = new OpenJTalkSynthesis(this);
    const int index = m_pieceIndex[piece];
    connect(synthesis, &OpenJTalkSynthesis::finished, this,
            [this, synthesis, piece, index](const WavAudio &audio) {
                synthesis->deleteLater();
                --m_running;
                pieceSynthesized(piece, index, audio);
                launchMore();
            });
    connect(synthesis, &OpenJTalkSynthesis::failed, this,
            [this, synthesis, piece](const QString &description) {
                synthesis->deleteLater();
                --m_running;
                if (synthesis->voiceNotLoaded()) {
                    voiceFailed(description);
                    return;
                }
                pieceFailed(piece, description);
                launchMore();
            });
    QString error;
    if (!synthesis->start(m_setup.program, m_setup.arguments, m_pieces[piece].text, &error)) {
        delete synthesis;
        pieceFailed(piece, SpeechFailureMessages::synthesisNotStarted(error));
        return;
    }
    ++m_running;
}

void SpeakRun::pieceSynthesized(std::size_t piece, int index, const WavAudio &audio)
{
    const Piece &p = m_pieces[piece];
    if (audio.channels != 1 || (m_setup.sampleRate > 0 && audio.sampleRate != m_setup.sampleRate)) {
        pieceFailed(piece, SpeechFailureMessages::synthesisWrongFormat(audio.sampleRate,
                                                                       m_setup.sampleRate));
        return;
    }
    if (m_setup.sampleRate == 0)
        m_setup.sampleRate = audio.sampleRate;
    m_state[p.row].pcm[std::size_t(index)] =
        trimSilence(audio.pcm, audio.channels, audio.sampleRate, SpeechPacing::kLeadMs,
                    p.endsSentence ? SpeechPacing::kSentencePauseMs
                                   : SpeechPacing::kCommaPauseMs);
    pieceEnded(p.row);
}

void SpeakRun::pieceFailed(std::size_t piece, const QString &description)
{
    const Piece &p = m_pieces[piece];
    const SpeakRow &row = m_rows[p.row];
    m_progress.message(at(m_setup.dataFile, row.line,
              CliTexts::tr("%1 行目の「%2」を読み上げられません: %3")
                  .arg(QString::number(row.number), p.text, description)));
    m_state[p.row].failed = true;
    pieceEnded(p.row);
}

void SpeakRun::voiceFailed(const QString &description)
{
    // Every other row would fail alike: one report, and the synthesis still running is
    // ended with the run.
    if (m_ended)
        return;
    m_ended = true;
    m_progress.finish();
    CliMessages::complain(CliTexts::tr("声のファイル %1 を使えません: %2")
                              .arg(m_setup.voice, description));
    for (OpenJTalkSynthesis *running : findChildren<OpenJTalkSynthesis *>())
        running->kill();
    emit finished(1);
}

void SpeakRun::pieceEnded(std::size_t row)
{
    if (m_ended)
        return;
    if (--m_state[row].remaining > 0)
        return;
    writeRow(row);
    m_state[row] = RowState{};
    ++m_rowsDone;
    m_progress.update(CliTexts::tr("WAV を書き出しています: %1 / %2 行")
                          .arg(m_rowsDone)
                          .arg(m_rows.size()));
    if (m_rowsDone == m_rows.size()) {
        m_progress.finish();
        emit finished(m_failures ? 1 : 0);
    }
}

void SpeakRun::writeRow(std::size_t row)
{
    const QString path = wavPath(m_rows[row]);
    if (m_state[row].failed) {
        // A file left from an earlier run would pass for this row's.
        ::unlink(nativeName(path).constData());
        m_failures = true;
        return;
    }
    WavAudio audio;
    audio.sampleRate = m_setup.sampleRate > 0 ? m_setup.sampleRate
                                              : SpeechPacing::kDefaultSampleRate;
    audio.channels = 1;
    audio.bitsPerSample = 16;
    for (const QByteArray &pcm : m_state[row].pcm)
        audio.pcm += pcm;
    if (audio.pcm.isEmpty())
        audio.pcm = QByteArray(qsizetype(audio.sampleRate) * kSilenceMs / 1000 * audio.bytesPerFrame(),
                               '\0');
    if (const auto failure = writeFileAtomically(path, wavFile(audio))) {
        m_progress.message(at(path, 0, QStringLiteral("%1（%2）").arg(failure->what, failure->reason)));
        m_failures = true;
    }
}

QString SpeakRun::wavPath(const SpeakRow &row) const
{
    return m_setup.folder + u'/'
        + QStringLiteral("%1.wav").arg(row.number, m_setup.nameWidth, 10, QLatin1Char('0'));
}
