#pragma once

#include <QByteArrayView>
#include <QString>

#include <optional>

// What went wrong in a save, in words an operator can act on.
struct WriteFailure
{
    QString what;   // the step that failed, e.g. "ファイルに書き込めません"
    QString reason; // why, e.g. "ディスクの空き容量が足りません"
    int error = 0;  // errno
};

// Replaces the file at path with bytes, whole or not at all. The bytes go to a new file in
// the same folder, are forced to the disk, and only then take the old file's name; a
// failure at any step (open, write, fsync, close, rename) is reported and leaves the old
// file as it was, with nothing left behind. A symbolic link keeps pointing where it did:
// its target is replaced. An existing file keeps its permissions; one the user may not
// write is not replaced.
//
// Qt's QSaveFile is not used: it keeps small writes in memory and, when committing,
// ignores a failing flush, fsync or close and renames the incomplete file over the old one.
std::optional<WriteFailure> writeFileAtomically(const QString &path, QByteArrayView bytes);

// A short Japanese description of an errno value as a file operation reports it.
QString describeFileError(int error);
