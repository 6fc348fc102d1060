#include "cli/check_command.h"

#include "cli/cli_messages.h"
#include "files/atomic_write.h"
#include "files/available_memory.h"
#include "files/broadcast_file_format.h"
#include "files/file_access.h"
#include "files/file_texts.h"
#include "files/utf8_without_mark.h"
#include "platform/runtime/runtime_error.h"
#include "row/content_rule.h"

#include <algorithm>
#include <cerrno>
#include <limits>
#include <new>
#include <optional>
#include <vector>

using CliMessages::at;

namespace {

// The least a line may be allowed, whatever the memory.
constexpr qsizetype kLeastLineLimit = 1 << 20;
// Input is read in pieces small enough that their decoded text is still in the processor's
// cache when its rows are checked.
constexpr qsizetype kPiece = 64 << 10;
// What one byte of a line can cost while it is read: the line as read, with room to
// grow, and its text decoded (two bytes a character), as converting a file reckons it.
constexpr qint64 kMemoryPerLineByte = 8;
constexpr int kEveryLine = std::numeric_limits<int>::max();

bool isFareSignal(QStringView signal)
{
    return signal.size() == 1 && (signal[0] == u'0' || signal[0] == u'1');
}

bool isSoundSignal(QStringView signal)
{
    return signal.size() == 1 && signal[0] >= u'0' && signal[0] <= u'3';
}

QString characterName(char16_t c)
{
    switch (c) {
    case u'\t': return CliTexts::tr("タブ");
    case u'\u3000': return CliTexts::tr("全角スペース");
    case u' ': return CliTexts::tr("スペース");
    default: break;
    }
    return CliTexts::tr("カンマ");
}

QString badSignal(QStringView signal, const QString &name, const QString &allowed)
{
    if (signal.isEmpty())
        return CliTexts::tr("%1が空です（確定していない行です。%2にしてください）")
            .arg(name, allowed);
    return CliTexts::tr("%1「%2」は放送装置で使えません（%3にしてください）")
        .arg(name, signal.toString(), allowed);
}

// What the window opens but the equipment cannot use, one text per finding.
QStringList warningsFor(const broadcast_file::RowView &row)
{
    QStringList found;
    if (const qsizetype i = firstRefusedContentCharacter(row.content); i >= 0) {
        const char16_t c = row.content[i].unicode();
        found << CliTexts::tr("放送内容の %1 文字目に「確定」で使えない文字（%2、U+%3）があります")
                     .arg(QString::number(i + 1), characterName(c),
                          QString::number(c, 16).toUpper().rightJustified(4, u'0'));
    }
    if (!isFareSignal(row.fareSignal))
        found << badSignal(row.fareSignal,
                           CliTexts::tr("運賃切替信号"),
                           CliTexts::tr("「0」か「1」"));
    if (!isSoundSignal(row.soundSignal))
        found << badSignal(row.soundSignal,
                           CliTexts::tr("サウンド指定信号"),
                           CliTexts::tr("「0」～「3」"));
    return found;
}

// One file, read a piece at a time as converting reads it: each row is checked as the
// reader hands it over and never kept, so a file of any size is checked in little memory.
// Reports come in line order. The one about UTF-8 without a byte-order mark belongs at
// the line of the first character beyond ASCII, but is known only some bytes after it:
// reports from that line on wait (a piece's worth at most) until it is.
class FileCheck
{
public:
    FileCheck(const QString &file, bool strict)
        : m_file(file), m_prefix(strict ? QString() : CliTexts::tr("警告: ")), m_strict(strict)
    {
    }

    // Returns whether the file has a problem (with strict, a warning counts).
    bool run()
    {
        std::optional<broadcast_file::FileProblem> problem;
        try {
            problem = read();
        } catch (const std::bad_alloc &) {
            problem = broadcast_file::aboutFile(RuntimeError::OutOfMemory, broadcast_file::cannotRead(),
                                                m_file, FileTexts::tr("メモリーが足りません"));
        }
        release(kEveryLine);
        // Told last, or before the problem unless that is on a line before it.
        if (!problem || problem->line == 0 || problem->line >= m_guess.line())
            tellUtf8Before(0);
        if (problem)
            CliMessages::printOut(at(m_file, problem->line, problem->cause));
        return problem || (m_strict && m_warned);
    }

private:
    std::optional<broadcast_file::FileProblem> read()
    {
        broadcast_file::FileProblem problem;
        broadcast_file::Descriptor input{broadcast_file::openRegularFile(m_file, &problem)};
        if (input.fd < 0)
            return problem;
        broadcast_file::Reader reader;
        if (const qint64 memory = availableMemory(); memory > 0)
            reader.setLineLimit(
                qsizetype(std::max<qint64>(memory / kMemoryPerLineByte, kLeastLineLimit)));
        reader.visitRows([this](const broadcast_file::RowView &row) { checkRow(row); });
        QByteArray buffer(kPiece, Qt::Uninitialized);
        bool reading = true;
        // After a line that cannot be read, the rest is read only as far as the guess needs.
        while (reading || !m_guessed) {
            const ssize_t n = broadcast_file::readSome(input.fd, buffer.data(), buffer.size());
            if (n < 0)
                return broadcast_file::aboutFile(RuntimeError::PathFileAccessError,
                                                 broadcast_file::cannotRead(), m_file,
                                                 describeFileError(errno));
            const QByteArrayView bytes(buffer.constData(), n);
            if (!m_guessed && (n == 0 || m_guess.feed(bytes)))
                guessed();
            if (n == 0)
                break;
            if (reading) {
                reading = reader.feed(bytes);
                // Reports before the guess's line can be told now.
                release(m_guessed ? kEveryLine : m_guess.line());
            }
        }
        const broadcast_file::ParseResult last = reader.finish();
        if (!last.ok())
            return broadcast_file::aboutLine(last.failedLine, last.cause);
        return std::nullopt;
    }

    void guessed()
    {
        m_guess.finish();
        m_guessed = true;
        m_utf8Told = !m_guess.isUtf8();
    }

    void checkRow(const broadcast_file::RowView &row)
    {
        // Nearly every row is clean: the texts are only made for the few that are not.
        if (isFareSignal(row.fareSignal) && isSoundSignal(row.soundSignal)
            && firstRefusedContentCharacter(row.content) < 0)
            return;
        for (const QString &warning : warningsFor(row))
            m_held.push_back({row.line, at(m_file, row.line, m_prefix + warning)});
        m_warned = true;
    }

    // Prints the reports held for lines before the given one, with the one about UTF-8 in
    // its place once the guess is made.
    void release(int before)
    {
        std::size_t i = 0;
        for (; i < m_held.size() && m_held[i].line < before; ++i) {
            tellUtf8Before(m_held[i].line);
            CliMessages::printOut(m_held[i].text);
        }
        m_held.erase(m_held.begin(), m_held.begin() + qsizetype(i));
    }

    // The window opens such a file as code page 932, which makes mojibake of it, and the
    // equipment would read it so.
    void tellUtf8Before(int line)
    {
        if (m_utf8Told || !m_guessed || (line > 0 && line < m_guess.line()))
            return;
        CliMessages::printOut(at(m_file, m_guess.line(),
                                 m_prefix + broadcast_file::utf8WithoutMarkCause()));
        m_utf8Told = true;
        m_warned = true;
    }

    struct Report
    {
        int line;
        QString text;
    };

    const QString m_file;
    const QString m_prefix;
    const bool m_strict;
    broadcast_file::Utf8WithoutMarkGuess m_guess;
    bool m_guessed = false;
    bool m_utf8Told = false;
    bool m_warned = false;
    std::vector<Report> m_held;
};

} // namespace

int runCheck(const QStringList &files, bool strict)
{
    bool problems = false;
    for (const QString &file : files)
        problems = FileCheck(file, strict).run() || problems;
    return problems ? 1 : 0;
}
