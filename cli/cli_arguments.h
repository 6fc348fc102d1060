#pragma once

#include "files/broadcast_file_convert.h"

#include <QString>
#include <QStringList>

#include <vector>

// Rows picked with --rows: 1-based and inclusive; an open end reaches the last row.
struct RowRange
{
    int first = 1;
    int last = 0; // 0: to the last row

    bool operator==(const RowRange &) const = default;
};

// What the command line asks for.
struct Invocation
{
    enum class Action { Run, Help, Version, UsageError };
    enum class Command { None, Check, Convert, Speak, Reading };

    Action action = Action::UsageError;
    Command command = Command::None;
    QString message; // Help: the help text; UsageError: what is wrong, both localised

    QStringList files;   // check, reading
    bool strict = false; // check
    QString input;       // convert, speak; "-" is standard input for convert
    QString output;      // convert: a file or "-"; speak: a folder
    broadcast_file::UnmarkedText unmarked = broadcast_file::UnmarkedText::Guess; // convert --from
    std::vector<RowRange> rows; // speak, reading; empty: every row
    QString voice;       // speak, reading; empty: the user's voice
};

// Reads the arguments as QCoreApplication::arguments() gives them, the program first.
// Options may stand before or after the file names; "--" ends them.
Invocation parseArguments(const QStringList &arguments);

// Reads a list of rows such as "3-7", "5", "2,4-6" or "10-". Returns false on anything
// else, a row 0 or a range that runs backwards.
bool parseRowSelection(const QString &text, std::vector<RowRange> *ranges);
