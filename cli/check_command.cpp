#include "cli/check_command.h"

#include "cli/cli_messages.h"
#include "cli/table_lifetime.h"
#include "files/broadcast_file_io.h"
#include "files/file_access.h"
#include "files/utf8_without_mark.h"
#include "row/content_rule.h"

using CliMessages::at;
using CliMessages::pick;

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
    case u'\t': return pick(QStringLiteral("タブ"), QStringLiteral("tab"));
    case u'\u3000': return pick(QStringLiteral("全角スペース"), QStringLiteral("ideographic space"));
    case u' ': return pick(QStringLiteral("スペース"), QStringLiteral("space"));
    default: break;
    }
    return pick(QStringLiteral("カンマ"), QStringLiteral("comma"));
}

QString badSignal(const QString &signal, const QString &name, const QString &allowed)
{
    if (signal.isEmpty())
        return pick(QStringLiteral("%1が空です（確定していない行です。%2にしてください）"),
                    QStringLiteral("%1 is empty, as in a row never confirmed (must be %2)"))
            .arg(name, allowed);
    return pick(QStringLiteral("%1「%2」は放送装置で使えません（%3にしてください）"),
                QStringLiteral("%1 \"%2\" cannot be used by the equipment (must be %3)"))
        .arg(name, signal, allowed);
}

// What the window opens but the equipment cannot use, one text per finding.
QStringList warningsFor(const BroadcastRow &row)
{
    QStringList found;
    if (const qsizetype i = firstRefusedContentCharacter(row.Content); i >= 0) {
        const char16_t c = row.Content[i].unicode();
        found << pick(QStringLiteral("放送内容の %1 文字目に「確定」で使えない文字（%2、U+%3）があります"),
                      QStringLiteral("content holds a character that confirming a row refuses at"
                                     " character %1 (%2, U+%3)"))
                     .arg(QString::number(i + 1), characterName(c),
                          QString::number(c, 16).toUpper().rightJustified(4, u'0'));
    }
    if (!isFareSignal(row.FareSignal))
        found << badSignal(row.FareSignal,
                           pick(QStringLiteral("運賃切替信号"), QStringLiteral("fare signal")),
                           pick(QStringLiteral("「0」か「1」"), QStringLiteral("0 or 1")));
    if (!isSoundSignal(row.SoundSignal))
        found << badSignal(row.SoundSignal,
                           pick(QStringLiteral("サウンド指定信号"), QStringLiteral("sound signal")),
                           pick(QStringLiteral("「0」～「3」"), QStringLiteral("0 to 3")));
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
    const QString prefix = strict ? QString() : pick(QStringLiteral("警告: "),
                                                     QStringLiteral("warning: "));
    bool warned = false;
    // The window opens such a file as code page 932, which makes mojibake of it, and the
    // equipment would read it so. Told in line order with the rest.
    int utf8Line = utf8WithoutMarkLine(file);
    const auto tellUtf8Before = [&](int line) {
        if (utf8Line <= 0 || (line > 0 && line < utf8Line))
            return;
        CliMessages::printOut(at(file, utf8Line, prefix + CliMessages::fromCore(
                                                              broadcast_file::utf8WithoutMarkCause())));
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
            at(file, outcome.problem->line, CliMessages::fromCore(outcome.problem->cause)));
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
