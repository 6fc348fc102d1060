#pragma once

#include "files/broadcast_file_io.h"

#include <QByteArrayView>
#include <QString>

#include <functional>
#include <optional>

// Turning a broadcast file of any form the reader takes (code page 932, or UTF-8 with its
// byte-order mark or when told so; CR LF or LF; quoted fields) into the canonical file, a piece at a time:
// the rows of each piece are read as File > 開く reads them and written as File > 保存
// writes them, with the same refusals, and the table is never held whole.
namespace broadcast_file {

// What a file without a byte-order mark holds. The window and the equipment read such a
// file as code page 932; told nothing, a conversion refuses one that reads as UTF-8 rather
// than pass on what would be mojibake there.
enum class UnmarkedText { Guess, Utf8, Cp932 };

struct ConvertOutcome
{
    // Reading the input, a line the reader refuses, or a field that would not read back:
    // line is the input's.
    std::optional<FileProblem> input;
    // Writing the result.
    std::optional<FileProblem> output;
    // With UnmarkedText::Guess, the input was refused as UTF-8 without its mark (input
    // says so, at the line of its first character beyond ASCII).
    bool utf8WithoutMark = false;

    bool ok() const { return !input && !output; }
};

// Takes the converted bytes as they come; returns a problem when they cannot be written.
using ByteSink = std::function<std::optional<FileProblem>(QByteArrayView bytes)>;

// From inputFd (a file or a pipe; inputName names it in problems) into sink. The sink may
// have taken the bytes of the rows before a problem.
ConvertOutcome convertStream(int inputFd, const QString &inputName, const ByteSink &sink,
                             UnmarkedText unmarked = UnmarkedText::Guess);

// The same into the file at outputPath, which is replaced whole or not at all: after a
// problem it is as it was.
ConvertOutcome convertToFile(int inputFd, const QString &inputName, const QString &outputPath,
                             UnmarkedText unmarked = UnmarkedText::Guess);

} // namespace broadcast_file
