#include "cli/convert_command.h"

#include "cli/cli_messages.h"
#include "cli/table_lifetime.h"
#include "files/atomic_write.h"
#include "files/broadcast_file_format.h"
#include "files/broadcast_file_io.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

using CliMessages::at;
using CliMessages::fromCore;
using CliMessages::pick;

namespace {

const QString kStandardStream = QStringLiteral("-");

QString standardInputName()
{
    return pick(QStringLiteral("(標準入力)"), QStringLiteral("(standard input)"));
}

// Standard input cannot be read as a file (it may be a pipe), so it is fed to the reader
// piece by piece as it comes, with the same reading rules.
broadcast_file::ReadOutcome readStandardInput()
{
    broadcast_file::Reader reader;
    reader.keepRowLines();
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    for (;;) {
        const ssize_t n = ::read(STDIN_FILENO, buffer.data(), size_t(buffer.size()));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            // Worded as the file core words a file it cannot read.
            broadcast_file::ReadOutcome outcome;
            outcome.problem = broadcast_file::FileProblem{
                0, QString(), QString(), 0,
                QStringLiteral("ファイルを読み込めません（%1）").arg(describeFileError(errno))};
            return outcome;
        }
        if (n == 0 || !reader.feed(QByteArrayView(buffer.constData(), n)))
            break;
    }
    broadcast_file::ParseResult result = reader.finish();
    broadcast_file::ReadOutcome outcome;
    if (!result.ok())
        outcome.problem = broadcast_file::FileProblem{0, QString(), QString(), result.failedLine,
                                                      result.cause};
    outcome.rows = std::move(result.rows);
    outcome.rowLines = std::move(result.rowLines);
    return outcome;
}

bool writeStandardOutput(const QByteArray &bytes)
{
    return std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) == size_t(bytes.size())
        && std::fflush(stdout) == 0;
}

} // namespace

int runConvert(const QString &input, const QString &output)
{
    const bool fromStdin = input == kStandardStream;
    const QString inputName = fromStdin ? standardInputName() : input;
    broadcast_file::ReadOutcome read = fromStdin
        ? readStandardInput()
        : broadcast_file::readFile(input, broadcast_file::RowLines::Keep);
    if (read.problem) {
        CliMessages::printErr(at(inputName, read.problem->line, fromCore(read.problem->cause)));
        return 1;
    }

    // A refused field is reported at its line in the input, which is what the user can
    // open and fix; the writer knows only the row.
    const auto refused = [&](const broadcast_file::FileProblem &problem) {
        const std::size_t row = std::size_t(problem.line) - 1;
        const int line = row < read.rowLines.size() ? read.rowLines[row] : 0;
        CliMessages::printErr(at(inputName, line, fromCore(problem.cause)));
        return 1;
    };

    if (output == kStandardStream) {
        const broadcast_file::EncodeOutcome encoded = broadcast_file::encodeFile(read.rows);
        if (encoded.problem)
            return refused(*encoded.problem);
        if (!writeStandardOutput(encoded.bytes)) {
            CliMessages::complain(pick(QStringLiteral("標準出力に書き込めません（%1）"),
                                       QStringLiteral("cannot write standard output (%1)"))
                                      .arg(QString::fromLocal8Bit(std::strerror(errno))));
            return 1;
        }
        return 0;
    }
    const auto problem = broadcast_file::writeFile(output, read.rows);
    keepUntilExit(std::move(read.rows));
    if (problem) {
        if (problem->line > 0)
            return refused(*problem);
        CliMessages::printErr(at(output, 0, fromCore(problem->cause)));
        return 1;
    }
    return 0;
}
