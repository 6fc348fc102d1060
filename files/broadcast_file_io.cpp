#include "files/broadcast_file_io.h"

#include "files/file_texts.h"

#include "files/atomic_write.h"
#include "files/available_memory.h"
#include "files/broadcast_file_format.h"
#include "files/file_access.h"
#include "platform/runtime/runtime_error.h"

#include <QByteArray>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace broadcast_file {
namespace {

constexpr qsizetype kChunk = 1 << 20;
// What one row can take beyond the text itself: the row's three strings, the list view's
// record of the row, and for each string a block header and the allocator's rounding.
// The text takes at most two bytes in memory per byte of file. Deliberately on the high
// side: it only decides whether to try.
constexpr qint64 kBytesPerRow = qint64(sizeof(BroadcastRow)) + 8 + 3 * 40;
constexpr qint64 kMemoryPerFileByte = 2;
// The table's model counts rows in an int.
constexpr qint64 kMaxRows = std::numeric_limits<int>::max() - 1;

// How many rows the file can yield (lines holding anything but CRs) and its size: the
// reader then reserves exactly that, so neither blank lines nor growth cost memory.
struct Census
{
    qint64 rows = 0;
    qint64 bytes = 0;
};

bool takeCensus(int fd, QByteArray &buffer, Census &census)
{
    bool lineHasText = false;
    for (;;) {
        const ssize_t n = readSome(fd, buffer.data(), buffer.size());
        if (n < 0)
            return false;
        if (n == 0)
            break;
        census.bytes += n;
        const char *p = buffer.constData();
        const char *const end = p + n;
        while (p < end) {
            const auto *lf = static_cast<const char *>(std::memchr(p, '\n', size_t(end - p)));
            const char *const stop = lf ? lf : end;
            if (!lineHasText)
                lineHasText = std::any_of(p, stop, [](char c) { return c != '\r'; });
            if (!lf)
                break;
            census.rows += lineHasText ? 1 : 0;
            lineHasText = false;
            p = lf + 1;
        }
    }
    census.rows += lineHasText ? 1 : 0;
    return true;
}

std::optional<FileProblem> tooLarge(const QString &path, const Census &census)
{
    const qint64 needed = census.rows * kBytesPerRow + census.bytes * kMemoryPerFileByte;
    const qint64 available = availableMemory();
    if (census.rows <= kMaxRows && (available < 0 || needed <= available))
        return std::nullopt;
    const QString why = census.rows > kMaxRows
        ? FileTexts::tr("行が %1 行を超えています").arg(kMaxRows)
        : FileTexts::tr("約 %1 MB のメモリーが必要ですが、使えるのは約 %2 MB です")
              .arg((needed >> 20) + 1)
              .arg(available >> 20);
    return aboutFile(RuntimeError::OutOfMemory, FileTexts::tr("ファイルが大きすぎて開けません"),
                     path, why);
}

void keepRowsRead(ParseResult result, ReadOutcome &outcome)
{
    outcome.rows = std::move(result.rows);
    outcome.rowLines = std::move(result.rowLines);
}

// The second pass: the file is read as counted, piece by piece, into exactly reserved rows.
void readRows(int fd, const QString &path, const Census &census, QByteArray &buffer,
              RowLines rowLines, ReadOutcome &outcome)
{
    Reader reader;
    if (rowLines == RowLines::Keep)
        reader.keepRowLines();
    reader.reserve(qsizetype(census.rows));
    qint64 total = 0;
    for (;;) {
        const ssize_t n = readSome(fd, buffer.data(), buffer.size());
        if (n < 0) {
            const int error = errno;
            keepRowsRead(reader.finish(), outcome);
            outcome.problem = aboutFile(RuntimeError::PathFileAccessError, cannotRead(), path,
                                        describeFileError(error));
            return;
        }
        total += n;
        if (total > census.bytes) {
            keepRowsRead(reader.finish(), outcome);
            outcome.problem = aboutFile(RuntimeError::PathFileAccessError, cannotRead(), path,
                                        FileTexts::tr("読み込み中にファイルが書き換えられました"));
            return;
        }
        if (n == 0 || !reader.feed(QByteArrayView(buffer.constData(), n)))
            break;
    }
    ParseResult result = reader.finish();
    if (!result.ok())
        outcome.problem = aboutLine(result.failedLine, result.cause);
    keepRowsRead(std::move(result), outcome);
}

// Whether a file changed between two looks at it: a write moves its change time.
bool sameContent(const struct stat &before, const struct stat &after)
{
    return before.st_size == after.st_size && before.st_mtim.tv_sec == after.st_mtim.tv_sec
        && before.st_mtim.tv_nsec == after.st_mtim.tv_nsec
        && before.st_ctim.tv_sec == after.st_ctim.tv_sec
        && before.st_ctim.tv_nsec == after.st_ctim.tv_nsec;
}

} // namespace

ReadOutcome readFile(const QString &path, RowLines rowLines, ReadTap *tap)
{
    ReadOutcome outcome;
    FileProblem problem;
    Descriptor file{openRegularFile(path, &problem)};
    if (file.fd < 0) {
        outcome.problem = std::move(problem);
        return outcome;
    }

    QByteArray buffer(kChunk, Qt::Uninitialized);
    Census census;
    struct stat before{};
    if (tap && ::fstat(file.fd, &before) != 0)
        tap = nullptr;
    if (!takeCensus(file.fd, buffer, census) || ::lseek(file.fd, 0, SEEK_SET) != 0) {
        outcome.problem = aboutFile(RuntimeError::PathFileAccessError, cannotRead(), path,
                                    describeFileError(errno));
        return outcome;
    }
    if (auto problem = tooLarge(path, census)) {
        outcome.problem = std::move(problem);
        return outcome;
    }
    if (tap)
        tap->started(file.fd, census.bytes);
    try {
        readRows(file.fd, path, census, buffer, rowLines, outcome);
    } catch (const std::bad_alloc &) {
        outcome.rows = {};
        outcome.rowLines = {};
        outcome.problem = aboutFile(RuntimeError::OutOfMemory, FileTexts::tr("ファイルが大きすぎて開けません"),
                                    path, FileTexts::tr("メモリーが足りません"));
    }
    if (tap) {
        struct stat after{};
        tap->finished(!outcome.problem && before.st_size == census.bytes
                      && ::fstat(file.fd, &after) == 0 && sameContent(before, after));
    }
    return outcome;
}

std::optional<FileProblem> writeFile(const QString &path, std::span<const BroadcastRow> rows)
{
    const EncodeOutcome encoded = encodeFile(rows);
    if (encoded.problem)
        return encoded.problem;
    if (const auto failure = writeFileAtomically(path, encoded.bytes))
        return aboutFile(RuntimeError::PathFileAccessError, failure->what, path, failure->reason);
    return std::nullopt;
}

EncodeOutcome encodeFile(std::span<const BroadcastRow> rows)
{
    SerializeResult result = serialize(rows);
    if (!result.ok())
        return {QByteArray(), aboutField(result, result.failedRow)};
    return {std::move(result.bytes), std::nullopt};
}

} // namespace broadcast_file
