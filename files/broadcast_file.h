#pragma once

#include "files/broadcast_file_io.h"
#include "platform/runtime/runtime_error.h"

#include <QString>

class ListView;

// A failure to read or write a broadcast data file. detail says where and why, in words an
// operator can act on ("3 行目: ..."), shown under the File menu's error message.
class BroadcastFileError : public RuntimeError
{
public:
    explicit BroadcastFileError(const broadcast_file::FileProblem &problem)
        : RuntimeError(problem.number, problem.description), m_detail(problem.detail)
    {
    }
    const QString &detail() const { return m_detail; }

private:
    QString m_detail;
};

// Writes every row of the list to the file at path, replacing it whole or not at all. A
// table that would not read back exactly as it stands is not written.
void WriteBroadcastFile(ListView &list, const QString &path);

// Appends the rows of the file at path to the list, in file order. On a failure the rows
// read before it stay appended and BroadcastFileError is thrown. A tap sees the bytes read.
void ReadBroadcastFile(ListView &list, const QString &path,
                       broadcast_file::ReadTap *tap = nullptr);
