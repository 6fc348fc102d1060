#include "cli/cli_messages.h"

#include "files/atomic_write.h"
#include "files/native_name.h"

#include <QCoreApplication>
#include <QLocale>

#include <cerrno>
#include <cstdio>

namespace CliMessages {
namespace {

// File names in a line come out as the bytes they are, so that a name that is not UTF-8
// can be told and copied from the message.
// The first failure to write standard output; a later flush may not tell it again.
int g_standardOutputError = 0;

bool write(std::FILE *stream, const QString &line)
{
    const QByteArray bytes = nativeName(line + u'\n');
    if (std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream) == size_t(bytes.size()))
        return true;
    if (stream == stdout && g_standardOutputError == 0)
        g_standardOutputError = errno ? errno : EIO;
    return false;
}

} // namespace

bool japanese()
{
    static const bool value = QLocale::system().language() == QLocale::Japanese;
    return value;
}

QString pick(const QString &ja, const QString &en)
{
    return japanese() ? ja : en;
}

QString fromCore(const QString &japanese)
{
    return CliMessages::japanese() ? japanese : englishCoreText(japanese);
}

bool printOut(const QString &line)
{
    return write(stdout, line);
}

bool printErr(const QString &line)
{
    return write(stderr, line);
}

int finishStandardOutput()
{
    if (std::fflush(stdout) != 0 && g_standardOutputError == 0)
        g_standardOutputError = errno ? errno : EIO;
    if (std::ferror(stdout) && g_standardOutputError == 0)
        g_standardOutputError = EIO;
    return g_standardOutputError;
}

QString cannotWriteStandardOutput(int error)
{
    return pick(QStringLiteral("標準出力に書き込めません（%1）"),
                QStringLiteral("cannot write standard output (%1)"))
        .arg(fromCore(describeFileError(error)));
}

void complain(const QString &message)
{
    printErr(QCoreApplication::applicationName() + QStringLiteral(": ") + message);
}

QString tryHelp()
{
    return pick(QStringLiteral("詳しくは「%1 --help」を実行してください。"),
                QStringLiteral("Try '%1 --help' for more information."))
        .arg(QCoreApplication::applicationName());
}

QString at(const QString &file, int line, const QString &text)
{
    if (line <= 0)
        return QStringLiteral("%1: %2").arg(file, text);
    return QStringLiteral("%1:%2: %3").arg(file, QString::number(line), text);
}

} // namespace CliMessages
