#include "files/broadcast_file_convert.h"

#include "files/file_texts.h"

#include "files/atomic_write.h"
#include "files/available_memory.h"
#include "files/broadcast_file_format.h"
#include "files/file_access.h"
#include "files/utf8_without_mark.h"
#include "platform/runtime/runtime_error.h"

#include <algorithm>
#include <cerrno>
#include <new>
#include <vector>

namespace broadcast_file {
namespace {

constexpr qsizetype kChunk = 1 << 20;
// Input is read in pieces small enough that their decoded text is still in the processor's
// cache when its rows are written: a megabyte's would not be.
constexpr qsizetype kPiece = 64 << 10;
// What one byte of a line can cost while it is read and written: the line as read, with
// room to grow, its text decoded (two bytes a character) and split into fields, and its
// bytes encoded again, each at its peak at the same moment.
constexpr qint64 kMemoryPerLineByte = 8;

FileProblem aboutOutput(const QString &path, const WriteFailure &failure)
{
    return aboutFile(RuntimeError::PathFileAccessError, failure.what, path, failure.reason);
}

ConvertOutcome convertWithin(int inputFd, const QString &inputName, const ByteSink &sink,
                             UnmarkedText unmarked, qint64 memory)
{
    ConvertOutcome outcome;
    Reader reader;
    if (unmarked == UnmarkedText::Utf8)
        reader.readUnmarkedAsUtf8();
    Utf8WithoutMarkGuess guess;
    bool guessing = unmarked == UnmarkedText::Guess;
    // Until the guess is made every byte seen was ASCII, which reads the same either way.
    const auto refusedAsUtf8 = [&] {
        if (!guess.isUtf8())
            return false;
        outcome.input = aboutLine(guess.line(), utf8WithoutMarkCause());
        outcome.utf8WithoutMark = true;
        return true;
    };
    // Lines are held whole while they are read; one that memory cannot hold stops the
    // conversion, with its number, before memory runs out.
    if (memory > 0)
        reader.setLineLimit(qsizetype(std::max<qint64>(memory / kMemoryPerLineByte, kChunk)));
    // Each row is written as it is read, straight from the reader's text: no row is kept.
    std::vector<char> out(std::size_t(2 * kChunk));
    qsizetype used = 0;
    SerializeResult refused; // made once: most rows are not
    reader.visitRows([&](const RowView &row) {
        if (outcome.input)
            return; // a row was refused: what follows in this piece is not written
        const qsizetype room = used + lineBound(row.content, row.fareSignal, row.soundSignal);
        if (room > qsizetype(out.size()))
            out.resize(std::size_t(std::max(room, 2 * qsizetype(out.size()))));
        const qsizetype written = serializeRowInto(row, out.data() + used, &refused);
        if (written < 0)
            outcome.input = aboutField(refused, row.line);
        else
            used += written;
    });
    // Passes on what was written so far; false once something has failed.
    const auto passOn = [&](qsizetype atLeast) {
        if (outcome.input)
            return false;
        if (used < atLeast || used == 0)
            return true;
        outcome.output = sink(QByteArrayView(out.data(), used));
        used = 0;
        return !outcome.output;
    };

    QByteArray buffer(kPiece, Qt::Uninitialized);
    for (;;) {
        const ssize_t n = readSome(inputFd, buffer.data(), buffer.size());
        if (n < 0) {
            outcome.input = aboutFile(RuntimeError::PathFileAccessError, cannotRead(), inputName,
                                      describeFileError(errno));
            return outcome;
        }
        if (guessing && guess.feed(QByteArrayView(buffer.constData(), n))) {
            guessing = false;
            if (refusedAsUtf8())
                return outcome;
        }
        if (n == 0 || !reader.feed(QByteArrayView(buffer.constData(), n)))
            break;
        if (!passOn(kChunk))
            return outcome;
    }
    if (guessing) {
        guess.finish();
        if (refusedAsUtf8())
            return outcome;
    }
    const ParseResult last = reader.finish();
    if (outcome.input)
        return outcome;
    if (!last.ok()) {
        outcome.input = aboutLine(last.failedLine, last.cause);
        return outcome;
    }
    passOn(1);
    return outcome;
}

} // namespace

ConvertOutcome convertStream(int inputFd, const QString &inputName, const ByteSink &sink,
                             UnmarkedText unmarked)
{
    try {
        return convertWithin(inputFd, inputName, sink, unmarked, availableMemory());
    } catch (const std::bad_alloc &) {
        // Memory taken by something else meanwhile: the input is refused as too large for
        // now, as a line over the limit is.
        ConvertOutcome outcome;
        outcome.input = aboutFile(RuntimeError::OutOfMemory, cannotRead(), inputName,
                                  FileTexts::tr("メモリーが足りません"));
        return outcome;
    }
}

ConvertOutcome convertToFile(int inputFd, const QString &inputName, const QString &outputPath,
                             UnmarkedText unmarked)
{
    AtomicFileWriter file(outputPath);
    if (const auto failed = file.open())
        return {std::nullopt, aboutOutput(outputPath, *failed)};
    ConvertOutcome outcome =
        convertStream(inputFd, inputName, [&](QByteArrayView bytes) -> std::optional<FileProblem> {
            if (const auto failed = file.append(bytes))
                return aboutOutput(outputPath, *failed);
            file.startWriting();
            return std::nullopt;
        },
        unmarked);
    if (!outcome.ok())
        return outcome; // the new file goes with the writer, the old one stays
    if (const auto failed = file.commit())
        outcome.output = aboutOutput(outputPath, *failed);
    return outcome;
}

} // namespace broadcast_file
