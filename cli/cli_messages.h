#pragma once

#include <QString>

// What the companion says, in the user's language: Japanese when the locale that decides
// messages (LC_ALL, else LC_MESSAGES, else LANG, as QLocale::system() reads them) is
// Japanese, English otherwise. Its own messages carry both forms where they are written;
// the file core and the speech engine speak Japanese only (the window shows their texts),
// so theirs are looked up in the English catalogue (core_texts_en.cpp).
namespace CliMessages {

bool japanese();

// ja or en, by the locale.
QString pick(const QString &ja, const QString &en);

// A text made by the file core or the speech engine, in the user's language.
QString fromCore(const QString &japanese);

// The English form of such a text; the text itself when the catalogue lacks it.
QString englishCoreText(const QString &japanese);

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
