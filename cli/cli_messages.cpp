#include "cli/cli_messages.h"

#include "files/native_name.h"

#include <QCoreApplication>
#include <QLocale>

#include <cstdio>

namespace CliMessages {
namespace {

// File names in a line come out as the bytes they are, so that a name that is not UTF-8
// can be told and copied from the message.
bool write(std::FILE *stream, const QString &line)
{
    const QByteArray bytes = nativeName(line + u'\n');
    return std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream) == size_t(bytes.size());
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
