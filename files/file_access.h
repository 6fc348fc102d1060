#pragma once

#include "files/broadcast_file_format.h"
#include "files/broadcast_file_io.h"

#include <QString>

#include <sys/types.h>

// What the file core's ways of reading and writing share: opening only regular files for
// reading, reading through interruptions, and the words for what went wrong.
namespace broadcast_file {

// What failed, in the words a FileProblem gives.
QString cannotOpen();
QString cannotRead();

// A problem with a file as a whole, told as "<path>: <what>（<why>）".
FileProblem aboutFile(int number, const QString &what, const QString &path, const QString &why);
// A line the reader refused.
FileProblem aboutLine(int line, const QString &cause);
// A field of the given line (or row) that would not read back once written.
FileProblem aboutField(const SerializeResult &refused, int line);

// Reads what is there, up to size bytes, through interruptions; waits for input that is
// not there yet even on a descriptor left non-blocking. 0 at the end, -1 with errno.
ssize_t readSome(int fd, char *buffer, qsizetype size);
// Writes every byte, through interruptions and short writes: at the file's offset, or at
// offset (pwrite) when one is given. False with errno set when it cannot (a write that
// takes nothing counts as a full disk).
bool writeAll(int fd, QByteArrayView bytes, qint64 offset = -1);

// Closes the descriptor however reading ends.
struct Descriptor
{
    int fd = -1;
    ~Descriptor();
};

} // namespace broadcast_file
