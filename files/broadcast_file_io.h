#pragma once

#include "row/broadcast_row.h"

#include <QString>

#include <optional>
#include <span>
#include <vector>

// Broadcast data files on disk: a path read into rows and rows written to a path, with
// every failure described for the operator. Nothing here knows about the window.
namespace broadcast_file {

struct FileProblem
{
    int number = 0;      // the run-time error number the failure is reported as
    QString description; // what failed
    QString detail;      // where and why: "3 行目: <cause>" or "<path>: <cause>"
    int line = 0;        // the 1-based line of the file at fault; 0 when it is no one line
    QString cause;       // why, without the place
};

struct ReadOutcome
{
    std::vector<BroadcastRow> rows; // with a problem: the rows read before it
    std::optional<FileProblem> problem;
    std::vector<int> rowLines; // each row's 1-based line, with RowLines::Keep only
};

// Whether reading also notes the line of each row, for tools that report about rows.
enum class RowLines { Skip, Keep };

// Sees the bytes of a file as it is read, for a copy of them kept elsewhere (the window's
// recovery journal keeps what was opened, so that the table can be rebuilt exactly even
// after the file changed or went away).
class ReadTap
{
public:
    virtual ~ReadTap() = default;
    // The file is about to be read: fd is open on it, which holds size bytes. The
    // descriptor stays open until finished() returns; its offset is the reader's, so a tap
    // reads it at offsets of its own (pread, copy_file_range).
    virtual void started(int fd, qint64 size) = 0;
    // Reading ended. complete: all size bytes were read into rows without a problem and
    // the file did not change meanwhile, so its copy gives back exactly the rows read.
    virtual void finished(bool complete) = 0;
};

// Reads the file at path in the format's reading rules (see broadcast_file_format.h).
// Only a regular file is read: a folder, a pipe or a device is refused before anything is
// read from it, since reading one may never end. A file whose table would not fit in the
// memory this process can have is refused before it is loaded, so opening never ends in
// an out-of-memory failure; the rows are reserved exactly, never more than the file holds.
ReadOutcome readFile(const QString &path, RowLines rowLines = RowLines::Skip,
                     ReadTap *tap = nullptr);

// Writes the rows to path, replacing the file whole or not at all. A table that would not
// read back exactly as it stands is not written.
std::optional<FileProblem> writeFile(const QString &path, std::span<const BroadcastRow> rows);

// Opens path for reading if it is a regular file: a folder, a pipe or a device is refused
// before it is opened (opening a device can itself do something), and what was opened is
// looked at again. Returns the descriptor, or -1 with problem filled.
int openRegularFile(const QString &path, FileProblem *problem);

struct EncodeOutcome
{
    QByteArray bytes; // the whole file; empty with a problem
    std::optional<FileProblem> problem; // a field that would not read back; line is its row
};

// The bytes writeFile writes for the rows, for callers that send them elsewhere than to a
// file; refuses what writeFile refuses, in the same words.
EncodeOutcome encodeFile(std::span<const BroadcastRow> rows);

} // namespace broadcast_file
