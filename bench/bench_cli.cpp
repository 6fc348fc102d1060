// Times broadcast-data as a user runs it, whole processes from start to exit, each figure
// the best of a few runs, with the peak memory of the process (the kernel's high-water
// mark of its resident set):
//  - check and convert of a file of each row mix (all-kanji, all-ASCII, short, long and a
//    mixed file; bench/row_mixes.h) against the iconv program converting the same bytes
//    (code page 932 to UTF-8 for check, UTF-8 to code page 932 for convert); the cost of a
//    row depends on what it holds, so every mix must meet the goal, not their average;
//  - the memory of both on a mixed file four times as large, which must not grow with it;
//  - convert against LibreOffice's headless conversion of the mixed file, when installed;
//  - speak of 50 rows against one open_jtalk process at a time doing the rows in turn.
//
//   bench_cli [rows]   default 1000000 (the long rows' file has a fiftieth as many); the
//                      companion is found beside build/bench
//
// Every row is one the window confirms, with fare signals 0 or 1: check then judges files
// the equipment can use and prints nothing, as for most files. iconv reads the UTF-8 file
// without its byte-order mark (it cannot convert one to code page 932); it writes its
// output to a file as convert does, though without the fsync that makes convert's write
// atomic.
#include "files/broadcast_file_io.h"
#include "platform/speech/open_jtalk_synthesis.h"
#include "platform/speech/speech_text.h"
#include "row_mixes.h"
#include "sample_table.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char **environ;

namespace {

constexpr int kRuns = 3;
constexpr int kSpeakRows = 50;
constexpr int kLongRowsDivisor = 50;
constexpr int kLargeFileFactor = 4;
constexpr double kRatioGoal = 1.2;
constexpr double kPeakGoalMb = 40;

// One whole run of a program.
struct Measured
{
    double ms = 0;
    double peakMb = 0;
};

const char kMeasureOption[] = "--measure";

// This program, started again to run one measured process: a child's peak counts the
// memory of the process it was started from (the kernel carries the high-water mark
// across exec), which must be this small one, not the parent holding its tables. Writes
// "milliseconds peak-kilobytes" to resultFile; its exit status is the program's.
int measureOnce(const char *resultFile, const char *outputFile, char **argv)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outputFile, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv, environ) != 0)
        return 127;
    int status = 0;
    rusage usage{};
    while (::wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    if (std::FILE *result = std::fopen(resultFile, "w")) {
        std::fprintf(result, "%f %ld\n", ms, usage.ru_maxrss);
        std::fclose(result);
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
}

// Runs a program to its end, standard output into a file (or thrown away), and measures
// it; fails loudly when it fails. The best time and the largest peak of the runs.
Measured measure(int runs, const QString &program, const QStringList &arguments,
                 const QString &outputFile = QStringLiteral("/dev/null"))
{
    QTemporaryDir folder;
    const QString resultFile = folder.filePath(QStringLiteral("result"));
    Measured best{1e300, 0};
    for (int i = 0; i < runs; ++i) {
        QProcess process;
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(QCoreApplication::applicationFilePath(),
                      QStringList{QString::fromLatin1(kMeasureOption), resultFile, outputFile, program}
                          + arguments);
        QFile result(resultFile);
        if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit
            || process.exitCode() != 0 || !result.open(QIODevice::ReadOnly))
            qFatal("%s %s failed", qPrintable(program), qPrintable(arguments.join(u' ')));
        const QList<QByteArray> fields = result.readAll().trimmed().split(' ');
        best.ms = std::min(best.ms, fields.value(0).toDouble());
        best.peakMb = std::max(best.peakMb, fields.value(1).toDouble() / 1024.0);
    }
    return best;
}

// The same through QProcess, with standard input from a file: open_jtalk's reference run.
void runProcess(const QString &program, const QStringList &arguments, const QString &inputFile)
{
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardInputFile(inputFile);
    process.start(program, arguments);
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0)
        qFatal("%s failed: %s", qPrintable(program), process.readAllStandardError().constData());
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

QByteArray utf8Of(const std::vector<BroadcastRow> &table)
{
    QByteArray bytes;
    for (const BroadcastRow &row : table)
        bytes += (row.Content + u',' + row.FareSignal + u',' + row.SoundSignal).toUtf8() + "\r\n";
    return bytes;
}

// The files of one table: as saved (code page 932), in UTF-8 with and without the mark.
struct TableFiles
{
    QString cp932;
    QString utf8;
    QString utf8Bare;
};

TableFiles writeTable(const QString &folder, const QString &name,
                      const std::vector<BroadcastRow> &table)
{
    const TableFiles files{folder + u'/' + name + QStringLiteral("Tp.csv"),
                           folder + u'/' + name + QStringLiteral(".utf8.csv"),
                           folder + u'/' + name + QStringLiteral(".utf8-bare.csv")};
    if (broadcast_file::writeFile(files.cp932, table))
        qFatal("cannot save the table");
    const QByteArray utf8 = utf8Of(table);
    writeBytes(files.utf8, QByteArray("\xEF\xBB\xBF") + utf8);
    writeBytes(files.utf8Bare, utf8);
    return files;
}

void printAgainst(const char *what, const Measured &run, const char *reference,
                  const Measured &referenceRun)
{
    const double ratio = run.ms / referenceRun.ms;
    std::printf("    %-8s %8.1f ms  %6.1f MB peak | %-22s %8.1f ms | ratio %.2f (goal <= %.1f: %s) "
                "| memory (goal < %.0f MB: %s)\n",
                what, run.ms, run.peakMb, reference, referenceRun.ms, ratio, kRatioGoal,
                ratio <= kRatioGoal ? "met" : "NOT met", kPeakGoalMb,
                run.peakMb < kPeakGoalMb ? "met" : "NOT met");
}

QStringList checkArguments(const TableFiles &files)
{
    return {QStringLiteral("check"), files.cp932};
}

QStringList convertArguments(const TableFiles &files, const QString &folder)
{
    return {QStringLiteral("convert"), files.utf8, QStringLiteral("-o"),
            folder + QStringLiteral("/convertedTp.csv")};
}

void benchMix(const QString &cli, const QString &folder, RowMix mix, int rows)
{
    const TableFiles files = writeTable(folder, QStringLiteral("mix"), makeMixTable(mix, rows));
    std::printf("  %s: %d rows, %.1f MB in code page 932, %.1f MB in UTF-8\n", rowMixName(mix),
                rows, QFile(files.cp932).size() / 1e6, QFile(files.utf8).size() / 1e6);
    const QString iconv = QStringLiteral("iconv");
    const Measured check = measure(kRuns, cli, checkArguments(files));
    const Measured decode = measure(kRuns, iconv, {QStringLiteral("-f"), QStringLiteral("CP932"),
                                                   QStringLiteral("-t"), QStringLiteral("UTF-8"),
                                                   files.cp932});
    printAgainst("check", check, "iconv CP932 -> UTF-8", decode);
    const Measured convert = measure(kRuns, cli, convertArguments(files, folder));
    const Measured encode = measure(kRuns, iconv,
                                    {QStringLiteral("-f"), QStringLiteral("UTF-8"),
                                     QStringLiteral("-t"), QStringLiteral("CP932"), files.utf8Bare},
                                    folder + QStringLiteral("/iconv-out.csv"));
    printAgainst("convert", convert, "iconv UTF-8 -> CP932", encode);
}

// Streaming holds a piece of the file at a time, whatever its size.
void benchLargeFileMemory(const QString &cli, const QString &folder, int rows)
{
    const TableFiles files =
        writeTable(folder, QStringLiteral("large"), makeMixTable(RowMix::Mixed, rows));
    const Measured check = measure(1, cli, checkArguments(files));
    const Measured convert = measure(1, cli, convertArguments(files, folder));
    std::printf("  mixed file of %d rows (%.1f MB in code page 932): check %.1f MB peak, convert "
                "%.1f MB peak (goal < %.0f MB: %s)\n",
                rows, QFile(files.cp932).size() / 1e6, check.peakMb, convert.peakMb, kPeakGoalMb,
                std::max(check.peakMb, convert.peakMb) < kPeakGoalMb ? "met" : "NOT met");
    for (const QString &file : {files.cp932, files.utf8, files.utf8Bare})
        QFile::remove(file);
}

void benchAgainstOffice(const QString &cli, const QString &folder, int rows)
{
    const QString office = QStandardPaths::findExecutable(QStringLiteral("libreoffice"));
    if (office.isEmpty()) {
        std::printf("  convert against LibreOffice: skipped, libreoffice is not installed\n");
        return;
    }
    const TableFiles files =
        writeTable(folder, QStringLiteral("office"), makeMixTable(RowMix::Mixed, rows));
    // Calc reads the UTF-8 file (character set 76) and writes CSV in code page 932 (64:
    // Shift-JIS as LibreOffice names it), commas, no quoting. A first run on a small file
    // sets up its profile, which a user's later runs would have; the timed run is one, as
    // it is slow.
    const QString officeOut = folder + QStringLiteral("/office");
    const auto officeArguments = [&](const QString &input) {
        return QStringList{QStringLiteral("--headless"), QStringLiteral("--norestore"),
                           QStringLiteral("--infilter=CSV:44,34,76,1"),
                           QStringLiteral("--convert-to"),
                           QStringLiteral("csv:Text - txt - csv (StarCalc):44,,64,1"),
                           QStringLiteral("--outdir"), officeOut, input};
    };
    const QString small = folder + QStringLiteral("/small.csv");
    writeBytes(small, utf8Of(makeMixTable(RowMix::Mixed, 1)));
    measure(1, office, officeArguments(small));
    const double officeMs = measure(1, office, officeArguments(files.utf8Bare)).ms;
    const double convertMs = measure(kRuns, cli, convertArguments(files, folder)).ms;
    const double times = officeMs / convertMs;
    std::printf("  convert of the mixed file: %.1f ms; libreoffice --headless --convert-to: %.1f ms; "
                "%.1f times faster (goal >= 20: %s)\n",
                convertMs, officeMs, times, times >= 20 ? "met" : "NOT met");
}

void benchSpeak(const QString &cli, const QString &folder)
{
    const std::vector<BroadcastRow> table = makeSampleTable(kSpeakRows, 2);
    const QString file = folder + QStringLiteral("/speakTp.csv");
    if (broadcast_file::writeFile(file, table))
        qFatal("cannot save the table");
    const QString voice = QDir(QFileInfo(cli).absolutePath()).filePath(
        QStringLiteral("voices/tohoku-f01-neutral.htsvoice"));
    if (!QFileInfo::exists(voice))
        qFatal("no voice beside %s", qPrintable(cli));

    double speakMs = 1e300;
    for (int i = 0; i < kRuns; ++i) {
        QDir(folder + QStringLiteral("/wav")).removeRecursively();
        speakMs = std::min(speakMs, measure(1, cli, {QStringLiteral("speak"), file, QStringLiteral("-o"),
                                                     folder + QStringLiteral("/wav"),
                                                     QStringLiteral("--voice"), voice}).ms);
    }
    // The reference: the same voice and settings, each row's text as one run, one at a time.
    const OpenJTalkSetup setup = OpenJTalkSetup::detect({});
    QStringList arguments = openJTalkArguments(setup, voice, SpeechSettings{});
    arguments.replace(arguments.indexOf(QStringLiteral("/dev/stdout")), folder + QStringLiteral("/one.wav"));
    const QString text = folder + QStringLiteral("/row.txt");
    const double serialMs = bestMs(kRuns, [&] {
        for (const BroadcastRow &row : table) {
            writeBytes(text, SpeechText::oneLine(row.Content).toUtf8() + '\n');
            runProcess(setup.program, arguments, text);
        }
    });
    const double throughput = serialMs / speakMs;
    std::printf("%d rows spoken into WAV files (%d cores):\n  speak: %.1f ms; one open_jtalk at a "
                "time: %.1f ms; ratio %.2f (goal >= 1.7 (throughput): %s)\n",
                kSpeakRows, QThread::idealThreadCount(), speakMs, serialMs, throughput,
                throughput >= 1.7 ? "met" : "NOT met");
}

} // namespace

int main(int argc, char **argv)
{
    if (argc > 4 && std::strcmp(argv[1], kMeasureOption) == 0)
        return measureOnce(argv[2], argv[3], argv + 4);
    QCoreApplication app(argc, argv);
    const int rows = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 1000000;
    const QString cli = QDir::cleanPath(QCoreApplication::applicationDirPath()
                                        + QStringLiteral("/../broadcast-data"));
    if (!QFileInfo(cli).isExecutable())
        qFatal("%s is not built", qPrintable(cli));
    QTemporaryDir folder;
    if (!folder.isValid())
        qFatal("no temporary folder");
    // The speech settings of a user who chose nothing, whoever runs this.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(folder.filePath(QStringLiteral("config"))));

    std::printf("check and convert, whole processes, best of %d (peak: the largest):\n", kRuns);
    for (const RowMix mix : kAllRowMixes)
        benchMix(cli, folder.path(), mix, mix == RowMix::Long ? rows / kLongRowsDivisor : rows);
    benchLargeFileMemory(cli, folder.path(), rows * kLargeFileFactor);
    benchAgainstOffice(cli, folder.path(), rows);
    benchSpeak(cli, folder.path());
    return 0;
}
