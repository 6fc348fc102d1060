// Times broadcast-data as a user runs it, whole processes from start to exit, each figure
// the best of a few runs:
//  - check and convert of a 1,000,000-row file against the iconv program converting the
//    same bytes (code page 932 to UTF-8 for check, UTF-8 to code page 932 for convert);
//  - convert against LibreOffice's headless conversion of the same file, when installed;
//  - speak of 50 rows against one open_jtalk process at a time doing the rows in turn.
//
//   bench_cli [rows]           default 1000000; the companion is found beside build/bench
//
// The table is made as bench_files makes it, except that its fare signals are 0 or 1:
// check then judges a file the equipment can use and prints nothing, as for most files.
// iconv reads the UTF-8 file without its byte-order mark (it cannot convert one to code
// page 932); it writes its output to a file as convert does, though without the fsync
// that makes convert's write atomic.
#include "files/broadcast_file_io.h"
#include "platform/speech/open_jtalk_synthesis.h"
#include "platform/speech/speech_text.h"
#include "sample_table.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kRuns = 3;
constexpr int kSpeakRows = 50;


// Runs a program to its end, its output into a file (or thrown away); fails loudly.
void runProcess(const QString &program, const QStringList &arguments,
                const QString &outputFile = QProcess::nullDevice(),
                const QString &inputFile = QString())
{
    QProcess process;
    process.setStandardOutputFile(outputFile);
    if (!inputFile.isEmpty())
        process.setStandardInputFile(inputFile);
    process.start(program, arguments);
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0)
        qFatal("%s %s failed: %s", qPrintable(program), qPrintable(arguments.join(u' ')),
               process.readAllStandardError().constData());
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

QByteArray utf8Of(const std::vector<BroadcastRow> &table)
{
    QString text;
    for (const BroadcastRow &row : table)
        text += row.Content + u',' + row.FareSignal + u',' + row.SoundSignal + QStringLiteral("\r\n");
    return text.toUtf8();
}

void printRatio(const char *what, double ms, const char *reference, double referenceMs,
                double ratio, const char *goal, bool met)
{
    std::printf("  %s: %.1f ms; %s: %.1f ms; ratio %.2f (goal %s: %s)\n", what, ms, reference,
                referenceMs, ratio, goal, met ? "met" : "NOT met");
}

void benchCheckAndConvert(const QString &cli, const QString &folder, int rows)
{
    const std::vector<BroadcastRow> table = makeSampleTable(rows, 2);
    const QString cp932File = folder + QStringLiteral("/tableTp.csv");
    const QString utf8File = folder + QStringLiteral("/table.utf8.csv");
    const QString utf8Bare = folder + QStringLiteral("/table.utf8-no-bom.csv");
    if (broadcast_file::writeFile(cp932File, table))
        qFatal("cannot save the table");
    const QByteArray utf8 = utf8Of(table);
    writeBytes(utf8File, QByteArray("\xEF\xBB\xBF") + utf8);
    writeBytes(utf8Bare, utf8);
    std::printf("%d rows: %.1f MB in code page 932, %.1f MB in UTF-8\n", rows,
                QFile(cp932File).size() / 1e6, QFile(utf8File).size() / 1e6);

    const double checkMs = bestMs(kRuns, [&] { runProcess(cli, {QStringLiteral("check"), cp932File}); });
    const double decodeMs = bestMs(kRuns, [&] {
        runProcess(QStringLiteral("iconv"), {QStringLiteral("-f"), QStringLiteral("CP932"),
                                             QStringLiteral("-t"), QStringLiteral("UTF-8"), cp932File});
    });
    printRatio("check", checkMs, "iconv CP932 -> UTF-8", decodeMs, checkMs / decodeMs, "<= 1.5",
               checkMs / decodeMs <= 1.5);

    const QString converted = folder + QStringLiteral("/convertedTp.csv");
    const double convertMs = bestMs(kRuns, [&] {
        runProcess(cli, {QStringLiteral("convert"), utf8File, QStringLiteral("-o"), converted});
    });
    const double encodeMs = bestMs(kRuns, [&] {
        runProcess(QStringLiteral("iconv"), {QStringLiteral("-f"), QStringLiteral("UTF-8"),
                                             QStringLiteral("-t"), QStringLiteral("CP932"), utf8Bare},
                   folder + QStringLiteral("/iconv-out.csv"));
    });
    printRatio("convert", convertMs, "iconv UTF-8 -> CP932", encodeMs, convertMs / encodeMs,
               "<= 1.5", convertMs / encodeMs <= 1.5);

    const QString office = QStandardPaths::findExecutable(QStringLiteral("libreoffice"));
    if (office.isEmpty()) {
        std::printf("  convert against LibreOffice: skipped, libreoffice is not installed\n");
        return;
    }
    // Calc reads the UTF-8 file (character set 76) and writes CSV in code page 932 (64:
    // Shift-JIS as LibreOffice names it), commas, no quoting. A first run on a small file
    // sets up its profile, which a user's later runs would have; the timed run is one, as
    // it is slow.
    const QString officeOut = folder + QStringLiteral("/office");
    const auto officeConvert = [&](const QString &input) {
        runProcess(office, {QStringLiteral("--headless"), QStringLiteral("--norestore"),
                            QStringLiteral("--infilter=CSV:44,34,76,1"),
                            QStringLiteral("--convert-to"), QStringLiteral("csv:Text - txt - csv (StarCalc):44,,64,1"),
                            QStringLiteral("--outdir"), officeOut, input});
    };
    const QString small = folder + QStringLiteral("/small.csv");
    writeBytes(small, utf8.left(utf8.indexOf('\n') + 1));
    officeConvert(small);
    const double officeMs = bestMs(1, [&] { officeConvert(utf8Bare); });
    QFile officeFile(officeOut + u'/' + QFileInfo(utf8Bare).fileName());
    if (!officeFile.open(QIODevice::ReadOnly))
        qFatal("LibreOffice wrote no file");
    const qsizetype officeLines = officeFile.readAll().count('\n');
    if (officeLines != rows)
        std::printf("  (LibreOffice wrote %lld lines for %d rows)\n", qlonglong(officeLines), rows);
    printRatio("convert", convertMs, "libreoffice --headless --convert-to", officeMs,
               officeMs / convertMs, ">= 20 (times faster)", officeMs / convertMs >= 20);
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

    const double speakMs = bestMs(kRuns, [&] {
        QDir(folder + QStringLiteral("/wav")).removeRecursively();
        runProcess(cli, {QStringLiteral("speak"), file, QStringLiteral("-o"),
                         folder + QStringLiteral("/wav"), QStringLiteral("--voice"), voice});
    });
    // The reference: the same voice and settings, each row's text as one run, one at a time.
    const OpenJTalkSetup setup = OpenJTalkSetup::detect({});
    QStringList arguments = openJTalkArguments(setup, voice, SpeechSettings{});
    arguments.replace(arguments.indexOf(QStringLiteral("/dev/stdout")), folder + QStringLiteral("/one.wav"));
    const QString text = folder + QStringLiteral("/row.txt");
    const double serialMs = bestMs(kRuns, [&] {
        for (const BroadcastRow &row : table) {
            writeBytes(text, SpeechText::oneLine(row.Content).toUtf8() + '\n');
            runProcess(setup.program, arguments, QProcess::nullDevice(), text);
        }
    });
    std::printf("%d rows spoken into WAV files (%d cores):\n", kSpeakRows,
                QThread::idealThreadCount());
    printRatio("speak", speakMs, "one open_jtalk at a time", serialMs, serialMs / speakMs,
               ">= 1.7 (throughput)", serialMs / speakMs >= 1.7);
}

} // namespace

int main(int argc, char **argv)
{
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

    benchCheckAndConvert(cli, folder.path(), rows);
    benchSpeak(cli, folder.path());
    return 0;
}
