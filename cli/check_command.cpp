#include "cli/check_command.h"

#include "cli/cli_messages.h"
#include "cli/table_lifetime.h"
#include "files/broadcast_file_io.h"
#include "files/file_access.h"
#include "files/utf8_without_mark.h"
#include "row/content_rule.h"

using CliMessages::at;

namespace {

bool isFareSignal(const QString &signal)
{
    return signal == u"0" || signal == u"1";
}

bool isSoundSignal(const QString &signal)
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

QString badSignal(const QString &signal, const QString &name, const QString &allowed)
{
    if (signal.isEmpty())
        return CliTexts::tr("%1が空です（確定していない行です。%2にしてください）")
            .arg(name, allowed);
    return CliTexts::tr("%1「%2」は放送装置で使えません（%3にしてください）")
        .arg(name, signal, allowed);
}

// What the window opens but the equipment cannot use, one text per finding.
QStringList warningsFor(const BroadcastRow &row)
{
    QStringList found;
    if (const qsizetype i = firstRefusedContentCharacter(row.Content); i >= 0) {
        const char16_t c = row.Content[i].unicode();
        found << CliTexts::tr("放送内容の %1 文字目に「確定」で使えない文字（%2、U+%3）があります")
                     .arg(QString::number(i + 1), characterName(c),
                          QString::number(c, 16).toUpper().rightJustified(4, u'0'));
    }
    if (!isFareSignal(row.FareSignal))
        found << badSignal(row.FareSignal,
                           CliTexts::tr("運賃切替信号"),
                           CliTexts::tr("「0」か「1」"));
    if (!isSoundSignal(row.SoundSignal))
        found << badSignal(row.SoundSignal,
                           CliTexts::tr("サウンド指定信号"),
                           CliTexts::tr("「0」～「3」"));
    return found;
}

// The line at which a file that lacks a byte-order mark shows itself as UTF-8, or 0.
int utf8WithoutMarkLine(const QString &file)
{
    broadcast_file::FileProblem problem;
    broadcast_file::Descriptor input{broadcast_file::openRegularFile(file, &problem)};
    if (input.fd < 0)
        return 0; // reading has said why
    broadcast_file::Utf8WithoutMarkGuess guess;
    QByteArray buffer(1 << 16, Qt::Uninitialized);
    for (;;) {
        const ssize_t n = broadcast_file::readSome(input.fd, buffer.data(), buffer.size());
        if (n <= 0) {
            guess.finish();
            break;
        }
        if (guess.feed(QByteArrayView(buffer.constData(), n)))
            break;
    }
    return guess.isUtf8() ? guess.line() : 0;
}

// Checks one file; returns whether it has a problem (with strict, a warning counts).
bool checkFile(const QString &file, bool strict)
{
    broadcast_file::ReadOutcome outcome =
        broadcast_file::readFile(file, broadcast_file::RowLines::Keep);
    const QString prefix = strict ? QString() : CliTexts::tr("警告: ");
    bool warned = false;
    // The window opens such a file as code page 932, which makes mojibake of it, and the
    // equipment would read it so. Told in line order with the rest.
    int utf8Line = utf8WithoutMarkLine(file);
    const auto tellUtf8Before = [&](int line) {
        if (utf8Line <= 0 || (line > 0 && line < utf8Line))
            return;
        CliMessages::printOut(at(file, utf8Line, prefix + 
                                                              broadcast_file::utf8WithoutMarkCause()));
        utf8Line = 0;
        warned = true;
    };
    // Rows read before a failing line are reported too: the operator fixes the file once.
    for (std::size_t i = 0; i < outcome.rows.size(); ++i) {
        const BroadcastRow &row = outcome.rows[i];
        // Nearly every row is clean: the texts are only made for the few that are not.
        if (isFareSignal(row.FareSignal) && isSoundSignal(row.SoundSignal)
            && firstRefusedContentCharacter(row.Content) < 0)
            continue;
        const int line = i < outcome.rowLines.size() ? outcome.rowLines[i] : 0;
        tellUtf8Before(line);
        for (const QString &warning : warningsFor(row))
            CliMessages::printOut(at(file, line, prefix + warning));
        warned = true;
    }
    tellUtf8Before(outcome.problem ? outcome.problem->line : 0);
    if (outcome.problem)
        CliMessages::printOut(
            at(file, outcome.problem->line, outcome.problem->cause));
    keepUntilExit(std::move(outcome.rows));
    return outcome.problem || (strict && warned);
}

} // namespace

int runCheck(const QStringList &files, bool strict)
{
    bool problems = false;
    for (const QString &file : files)
        problems = checkFile(file, strict) || problems;
    return problems ? 1 : 0;
}
