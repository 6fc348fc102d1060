#include "cli/speak_command.h"

#include "cli/cli_messages.h"
#include "cli/speak_run.h"
#include "cli/synthesis_input.h"
#include "files/atomic_write.h"
#include "files/broadcast_file_io.h"
#include "files/native_name.h"
#include "platform/speech/speech_voices.h"

#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>

using CliMessages::at;
using CliMessages::complain;

namespace {

// Makes the folder and the folders above it that are missing, with the name as its bytes.
// Returns 0, or the errno of the step that failed.
int makeFolders(const QByteArray &path)
{
    for (qsizetype slash = path.indexOf('/', 1); ; slash = path.indexOf('/', slash + 1)) {
        const QByteArray part = slash < 0 ? path : path.left(slash);
        if (::mkdir(part.constData(), 0777) != 0 && errno != EEXIST)
            return errno;
        if (slash < 0)
            break;
    }
    struct stat status{};
    if (::stat(path.constData(), &status) != 0)
        return errno;
    return S_ISDIR(status.st_mode) ? 0 : ENOTDIR;
}

} // namespace

int runSpeak(const QString &file, const QString &folder, const std::vector<RowRange> &ranges,
             const QString &voiceOption)
{
    const broadcast_file::ReadOutcome read =
        broadcast_file::readFile(file, broadcast_file::RowLines::Keep);
    if (read.problem) {
        CliMessages::printErr(at(file, read.problem->line, read.problem->cause));
        return 1;
    }
    if (read.rows.empty() && ranges.empty()) {
        // Nothing to do is not a failure: a batch over many files goes on to the next.
        CliMessages::printErr(at(file, 0, CliTexts::tr("読み上げる行がありません。WAV は書き出しません")));
        return 0;
    }
    const std::optional<std::vector<int>> picked = pickRows(file, ranges, int(read.rows.size()));
    if (!picked)
        return 1;
    const std::optional<SynthesisSetup> how = findSynthesis(voiceOption);
    if (!how)
        return 1;
    if (const int error = makeFolders(nativeName(folder)); error != 0) {
        complain(CliTexts::tr("フォルダー %1 を作れません（%2）")
                     .arg(folder, describeFileError(error)));
        return 1;
    }

    SpeakOutput output;
    output.sampleRate = SpeechVoices::sampleRate(how->voice);
    output.folder = folder;
    output.nameWidth = std::max<int>(5, int(QString::number(read.rows.size()).size()));
    std::vector<SynthesisRow> rows;
    rows.reserve(picked->size());
    for (const int i : *picked)
        rows.push_back({file, i + 1, read.rowLines[std::size_t(i)], read.rows[std::size_t(i)].Content});

    QEventLoop loop;
    auto *run = new SpeakRun(*how, std::move(output), std::move(rows), &loop);
    QObject::connect(run, &SpeakRun::finished, &loop, &QEventLoop::exit);
    // Started from the loop, so that a run with nothing to synthesize can end it too.
    QTimer::singleShot(0, run, &SpeakRun::start);
    return loop.exec();
}
