#include "cli/cli_messages.h"

#include "files/atomic_write.h"
#include "files/native_name.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

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

void installTranslations(QCoreApplication &app)
{
    // Japanese is what the texts are written in; other locales read English. Qt's own
    // texts (the argument parser's errors) come from Qt's Japanese catalogue.
    auto *translator = new QTranslator(&app);
    const bool loaded = japanese()
        ? translator->load(QLocale(QLocale::Japanese), QStringLiteral("qtbase"),
                           QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))
        : translator->load(QStringLiteral(":/i18n/broadcast-data_en.qm"));
    if (loaded)
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
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
    return CliTexts::tr("標準出力に書き込めません（%1）")
        .arg(describeFileError(error));
}

void complain(const QString &message)
{
    printErr(QCoreApplication::applicationName() + QStringLiteral(": ") + message);
}

QString tryHelp()
{
    return CliTexts::tr("詳しくは「%1 --help」を実行してください。")
        .arg(QCoreApplication::applicationName());
}

QString at(const QString &file, int line, const QString &text)
{
    if (line <= 0)
        return QStringLiteral("%1: %2").arg(file, text);
    return QStringLiteral("%1:%2: %3").arg(file, QString::number(line), text);
}

} // namespace CliMessages
