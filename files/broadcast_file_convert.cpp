#include "files/broadcast_file_convert.h"

#include "files/atomic_write.h"
#include "files/broadcast_file_format.h"
#include "files/file_access.h"
#include "platform/runtime/runtime_error.h"

#include <cerrno>

namespace broadcast_file {
namespace {

constexpr qsizetype kChunk = 1 << 20;

FileProblem aboutOutput(const QString &path, const WriteFailure &failure)
{
    return aboutFile(RuntimeError::PathFileAccessError, failure.what, path, failure.reason);
}

} // namespace

ConvertOutcome convertStream(int inputFd, const QString &inputName, const ByteSink &sink)
{
    ConvertOutcome outcome;
    Reader reader;
    reader.keepRowLines();
    std::vector<BroadcastRow> rows;
    std::vector<int> lines;
    // Writes the rows read so far; false once something has failed.
    const auto passOn = [&] {
        const SerializeResult encoded = serialize(rows);
        if (!encoded.ok()) {
            outcome.input = aboutField(encoded, lines[std::size_t(encoded.failedRow - 1)]);
            return false;
        }
        if (!encoded.bytes.isEmpty())
            outcome.output = sink(encoded.bytes);
        return !outcome.output;
    };

    QByteArray buffer(kChunk, Qt::Uninitialized);
    for (;;) {
        const ssize_t n = readSome(inputFd, buffer.data(), buffer.size());
        if (n < 0) {
            outcome.input = aboutFile(RuntimeError::PathFileAccessError, kCannotRead, inputName,
                                      describeFileError(errno));
            return outcome;
        }
        if (n == 0 || !reader.feed(QByteArrayView(buffer.constData(), n)))
            break;
        reader.takeRows(rows, lines);
        if (!passOn())
            return outcome;
    }
    ParseResult last = reader.finish();
    rows = std::move(last.rows);
    lines = std::move(last.rowLines);
    if (!last.ok()) {
        outcome.input = aboutLine(last.failedLine, last.cause);
        return outcome;
    }
    passOn();
    return outcome;
}

ConvertOutcome convertToFile(int inputFd, const QString &inputName, const QString &outputPath)
{
    AtomicFileWriter file(outputPath);
    if (const auto failed = file.open())
        return {std::nullopt, aboutOutput(outputPath, *failed)};
    ConvertOutcome outcome =
        convertStream(inputFd, inputName, [&](QByteArrayView bytes) -> std::optional<FileProblem> {
            if (const auto failed = file.append(bytes))
                return aboutOutput(outputPath, *failed);
            return std::nullopt;
        });
    if (!outcome.ok())
        return outcome; // the new file goes with the writer, the old one stays
    if (const auto failed = file.commit())
        outcome.output = aboutOutput(outputPath, *failed);
    return outcome;
}

} // namespace broadcast_file
