#pragma once

#include <QCoreApplication>
#include <QString>

// The companion's own words, written in Japanese and read in English through its
// translation (broadcast-data_en.ts), as the file core's and the speech engine's are.
class CliTexts
{
    Q_DECLARE_TR_FUNCTIONS(CliTexts)
};

// What the companion says, in the user's language: Japanese when the locale that decides
// messages (LC_ALL, else LC_MESSAGES, else LANG, as QLocale::system() reads them) is
// Japanese, English otherwise.
namespace CliMessages {

bool japanese();

// Installs the English translation, or Qt's Japanese one, by the locale.
void installTranslations(QCoreApplication &app);

// One line to standard output or standard error, as UTF-8. Returns false when it could
// not be written (a closed pipe, a full disk).
bool printOut(const QString &line);
bool printErr(const QString &line);

// Flushes standard output; returns 0 when everything written to it arrived, otherwise
// the errno of the first failure.
int finishStandardOutput();

// "cannot write standard output (<why>)", why told as the file errors tell it.
QString cannotWriteStandardOutput(int error);

// "broadcast-data: <message>" on standard error, as command-line tools report their own
// failures.
void complain(const QString &message);

// The line that follows a usage error, pointing at --help.
QString tryHelp();

// Where a report is about: "FILE:LINE: text", or "FILE: text" for line 0.
QString at(const QString &file, int line, const QString &text);

} // namespace CliMessages
