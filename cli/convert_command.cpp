#include "cli/convert_command.h"

#include "cli/cli_messages.h"
#include "files/broadcast_file_convert.h"
#include "files/native_name.h"

#include <cerrno>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

using CliMessages::at;

namespace {

const QString kStandardStream = QStringLiteral("-");

QString standardInputName()
{
    return CliTexts::tr("(標準入力)");
}

// Standard output takes the bytes as they come, as a filter's output does; a problem
// later in the input still ends the command with an error.
broadcast_file::FileProblem standardOutputFailed(int error)
{
    broadcast_file::FileProblem problem;
    problem.cause = CliMessages::cannotWriteStandardOutput(error);
    return problem;
}

std::optional<broadcast_file::FileProblem> writeStandardOutput(QByteArrayView bytes)
{
    if (std::fwrite(bytes.data(), 1, size_t(bytes.size()), stdout) == size_t(bytes.size()))
        return std::nullopt;
    return standardOutputFailed(errno);
}

// Whether path names this process's standard output (/dev/stdout, /dev/fd/1, or the file
// it was redirected to): writing there is writing standard output, which the writer's
// file beside the target cannot do for a pipe or a terminal.
bool isStandardOutput(const QString &path)
{
    struct stat named{};
    struct stat out{};
    return ::stat(nativeName(path).constData(), &named) == 0 && ::fstat(STDOUT_FILENO, &out) == 0
        && named.st_dev == out.st_dev && named.st_ino == out.st_ino;
}

} // namespace

int runConvert(const QString &input, const QString &output, broadcast_file::UnmarkedText unmarked)
{
    const bool toStandardOutput = output == kStandardStream || isStandardOutput(output);
    const bool fromStdin = input == kStandardStream;
    const QString inputName = fromStdin ? standardInputName() : input;
    // Files are read only when they are regular files, as the window reads them; standard
    // input may be a pipe.
    int fd = STDIN_FILENO;
    if (!fromStdin) {
        broadcast_file::FileProblem problem;
        fd = broadcast_file::openRegularFile(input, &problem);
        if (fd < 0) {
            CliMessages::printErr(at(inputName, 0, problem.cause));
            return 1;
        }
    }

    broadcast_file::ConvertOutcome outcome;
    if (toStandardOutput) {
        outcome = broadcast_file::convertStream(fd, inputName, writeStandardOutput, unmarked);
        if (outcome.ok()) {
            if (const int error = CliMessages::finishStandardOutput())
                outcome.output = standardOutputFailed(error);
        }
    } else {
        outcome = broadcast_file::convertToFile(fd, inputName, output, unmarked);
    }
    if (!fromStdin)
        ::close(fd);

    if (outcome.input) {
        QString cause = outcome.input->cause;
        if (outcome.utf8WithoutMark)
            cause += CliTexts::tr("。--from utf-8 か --from cp932 で指定してください");
        CliMessages::printErr(at(inputName, outcome.input->line, cause));
        return 1;
    }
    if (outcome.output) {
        if (toStandardOutput)
            CliMessages::complain(outcome.output->cause);
        else
            CliMessages::printErr(at(output, 0, outcome.output->cause));
        return 1;
    }
    return 0;
}
