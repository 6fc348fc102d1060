#include "cli/speak_command.h"

#include "cli/cli_messages.h"
#include "cli/speak_run.h"
#include "files/atomic_write.h"
#include "files/broadcast_file_io.h"
#include "files/native_name.h"
#include "platform/speech/open_jtalk_synthesis.h"
#include "platform/speech/speech_engine_choice.h"
#include "platform/speech/speech_settings.h"
#include "platform/speech/speech_voices.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QThread>
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

std::vector<int> selectRows(const std::vector<RowRange> &ranges, int count, int *missing)
{
    *missing = 0;
    std::vector<bool> picked(std::size_t(count), ranges.empty());
    for (const RowRange &range : ranges) {
        const int last = range.last == 0 ? count : range.last;
        if (range.first > count || last > count) {
            *missing = range.first > count ? range.first : last;
            return {};
        }
        std::fill(picked.begin() + (range.first - 1), picked.begin() + last, true);
    }
    std::vector<int> rows;
    for (int i = 0; i < count; ++i) {
        if (picked[std::size_t(i)])
            rows.push_back(i);
    }
    return rows;
}

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
    int missing = 0;
    const std::vector<int> picked = selectRows(ranges, int(read.rows.size()), &missing);
    if (missing > 0) {
        complain(CliTexts::tr("--rows: %1 に %2 行目はありません（%3 行です）")
                     .arg(file, QString::number(missing), QString::number(read.rows.size())));
        return 1;
    }

    // The voice and its settings as the window's speech reads them.
    const OpenJTalkSetup setup = OpenJTalkSetup::detect(SpeechVoices::defaultFolders());
    if (!setup.isReady()) {
        complain(CliTexts::tr("音声合成プログラム open_jtalk またはその辞書が見つかりません"
                                     "（open-jtalk と open-jtalk-mecab-naist-jdic のパッケージが必要です）"));
        return 1;
    }
    const SpeechSettings settings = SpeechSettings::load();
    const QString voice = voiceOption.isEmpty() ? chooseOpenJTalkVoice(setup.voices, settings.voice)
                                                : voiceOption;
    if (voice.isEmpty()) {
        complain(CliTexts::tr("Open JTalk の声のファイル（.htsvoice）が見つかりません"));
        return 1;
    }
    if (!QFileInfo(voice).isFile() || !QFileInfo(voice).isReadable()) {
        complain(CliTexts::tr("声のファイルを読めません: %1")
                     .arg(voice));
        return 1;
    }
    if (const int error = makeFolders(nativeName(folder)); error != 0) {
        complain(CliTexts::tr("フォルダー %1 を作れません（%2）")
                     .arg(folder, describeFileError(error)));
        return 1;
    }

    SynthesisSetup how;
    how.program = setup.program;
    how.arguments = openJTalkArguments(setup, voice, settings);
    how.voice = voice;
    how.processes = std::max(1, QThread::idealThreadCount());
    SpeakOutput output;
    output.sampleRate = SpeechVoices::sampleRate(voice);
    output.folder = folder;
    output.nameWidth = std::max<int>(5, int(QString::number(read.rows.size()).size()));
    std::vector<SynthesisRow> rows;
    rows.reserve(picked.size());
    for (const int i : picked)
        rows.push_back({file, i + 1, read.rowLines[std::size_t(i)], read.rows[std::size_t(i)].Content});

    QEventLoop loop;
    auto *run = new SpeakRun(std::move(how), std::move(output), std::move(rows), &loop);
    QObject::connect(run, &SpeakRun::finished, &loop, &QEventLoop::exit);
    // Started from the loop, so that a run with nothing to synthesize can end it too.
    QTimer::singleShot(0, run, &SpeakRun::start);
    return loop.exec();
}
