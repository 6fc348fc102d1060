// Times saving and opening broadcast data files against glibc's iconv doing the bare
// conversion of the same bytes, and measures the peak memory of opening the largest one.
//
//   bench_files [rows ...]        default sizes: 1000 100000 1000000
//
// Opening is timed two ways: the whole file read into memory and parsed at once, and the
// file read in 1 MB pieces fed to broadcast_file::Reader after a first pass that counts
// the lines (so the row vector is reserved once). Each figure is the best of a few runs,
// so that a stray scheduling hiccup on a shared machine does not decide the ratio.
//
// The peak memory of opening the largest table is taken in a fresh child process (this
// program started again with --open-peak whole|pieces FILE) that reads /proc/self/status
// VmHWM before and after opening: the parent has built and saved the tables already, so
// its own high-water mark says nothing about opening alone.

#include "files/broadcast_file_format.h"
#include "sample_table.h"

#include <QApplication>
#include <QWidget>

#include "files/broadcast_file.h"
#include "platform/list/list_view.h"
#include "recovery/recovery_journal.h"
#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kRuns = 3;

QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
}

// A field of /proc/self/status, in kB (VmHWM: peak resident set; VmRSS: current).
qint64 statusKb(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray key = QByteArray(field) + ':';
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}


// The reference: the iconv program converting a file, timed as a whole process, output
// thrown away.
double iconvMs(const char *from, const char *to, const QString &input)
{
    return bestMs(kRuns, [&] {
        QProcess iconv;
        iconv.setStandardOutputFile(QProcess::nullDevice());
        iconv.start(QStringLiteral("iconv"),
                    {QStringLiteral("-f"), QString::fromLatin1(from), QStringLiteral("-t"),
                     QString::fromLatin1(to), input});
        if (!iconv.waitForFinished(-1) || iconv.exitCode() != 0)
            qFatal("iconv failed on %s", qPrintable(input));
    });
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

// The same text as UTF-8, for the encoding reference.
QByteArray asUtf8(const std::vector<BroadcastRow> &table)
{
    QString text;
    for (const BroadcastRow &row : table)
        text += row.Content + u',' + row.FareSignal + u',' + row.SoundSignal
            + QStringLiteral("\r\n");
    return text.toUtf8();
}

// Opening as the window does: the file read in pieces into the list's table model, ready
// to show.
void openIntoList(const QString &path, int rows)
{
    QWidget holder;
    ListView list(&holder);
    ReadBroadcastFile(list, path);
    if (list.Count() != rows)
        qFatal("read %d rows back instead of %d", list.Count(), rows);
}

// Opening without and with the window's recovery journal, which keeps a copy of the file's
// bytes (made while the file is read) so the table can be rebuilt even if the file changes.
// Only the opening is timed, not the table's release afterwards, nor the journal's sync to
// the disk in the background, which the window does not wait for either.
double openAloneMs(const QString &path, int rows, bool withJournal)
{
    double best = -1;
    for (int run = 0; run < kRuns; ++run) {
        QTemporaryDir folder;
        QWidget holder;
        ListView list(&holder);
        RowEditorControls editor{new QLineEdit(&holder), new QCheckBox(&holder), {}};
        for (QRadioButton *&option : editor.Option1)
            option = new QRadioButton(&holder);
        editor.Option1[0]->setChecked(true);
        RecoveryJournal journal(list, editor, folder.filePath(QStringLiteral("recovery")), &holder);
        QElapsedTimer timer;
        timer.start();
        if (withJournal) {
            ReadBroadcastFile(list, path, journal.openingTap());
            journal.commit();
        } else {
            journal.setPaused(true);
            ReadBroadcastFile(list, path);
        }
        const double ms = timer.nsecsElapsed() / 1e6;
        if (list.Count() != rows)
            qFatal("read %d rows back instead of %d", list.Count(), rows);
        best = best < 0 ? ms : std::min(best, ms);
    }
    return best;
}

struct OpenPeak
{
    double baselineMb = -1; // high-water mark before opening
    double peakMb = -1;     // high-water mark after opening, whole process
};

// Child side: open the file and print the process's memory before and after, with the
// rows still alive as the window would keep them.
int openAndReportPeak(const char *how, const QString &path)
{
    Q_UNUSED(how);
    QWidget holder;
    ListView list(&holder);
    const qint64 baseline = statusKb("VmHWM");
    ReadBroadcastFile(list, path);
    std::printf("%lld %lld\n", static_cast<long long>(baseline),
                static_cast<long long>(statusKb("VmHWM")));
    return 0;
}

OpenPeak measureOpenPeak(const char *how, const QString &path)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--open-peak"), QString::fromLatin1(how), path});
    if (!child.waitForFinished(-1) || child.exitCode() != 0)
        qFatal("the measuring child failed: %s", child.readAllStandardError().constData());
    const QList<QByteArray> numbers = child.readAllStandardOutput().trimmed().split(' ');
    OpenPeak peak;
    if (numbers.size() == 2) {
        peak.baselineMb = numbers[0].toLongLong() * 1024 / 1e6;
        peak.peakMb = numbers[1].toLongLong() * 1024 / 1e6;
    }
    return peak;
}

void benchmarkSize(int rows, const QString &folder, bool measurePeak)
{
    const std::vector<BroadcastRow> table = makeSampleTable(rows, 4);
    const QString path = folder + QStringLiteral("/table_%1.csv").arg(rows);
    const QString utf8Path = folder + QStringLiteral("/table_%1.utf8.csv").arg(rows);

    // Saving as the window does: from the list's rows through the atomic file writer.
    QWidget holder;
    ListView list(&holder);
    list.AppendRows(std::vector<BroadcastRow>(table));
    const double saveMs = bestMs(kRuns, [&] { WriteBroadcastFile(list, path); });
    writeFile(utf8Path, asUtf8(table));

    const double openMs = bestMs(kRuns, [&] { openIntoList(path, rows); });
    const double openAlone = openAloneMs(path, rows, false);
    const double openJournal = openAloneMs(path, rows, true);

    const double decodeRefMs = iconvMs("CP932", "UTF-8", path);
    const double encodeRefMs = iconvMs("UTF-8", "CP932", utf8Path);
    const qint64 fileBytes = QFile(path).size();

    out() << QStringLiteral("%1 rows, %2 bytes (%3 MB)\n")
                 .arg(rows)
                 .arg(fileBytes)
                 .arg(fileBytes / 1e6, 0, 'f', 1);
    out() << QStringLiteral("  save (into the file, atomically): %1 ms; iconv UTF-8 -> CP932: %2 ms;"
                            " ratio %3 (goal <= 2.5)\n")
                 .arg(saveMs, 0, 'f', 1)
                 .arg(encodeRefMs, 0, 'f', 1)
                 .arg(saveMs / encodeRefMs, 0, 'f', 2);
    out() << QStringLiteral("  open (into the table model): %1 ms; iconv CP932 -> UTF-8: %2 ms;"
                            " ratio %3 (goal <= 2.5)\n")
                 .arg(openMs, 0, 'f', 1)
                 .arg(decodeRefMs, 0, 'f', 1)
                 .arg(openMs / decodeRefMs, 0, 'f', 2);
    out() << QStringLiteral("  open, the table's release not timed: %1 ms without the recovery"
                            " journal, %2 ms with it; ratios to iconv %3 and %4 (goal <= 1.5)\n")
                 .arg(openAlone, 0, 'f', 1)
                 .arg(openJournal, 0, 'f', 1)
                 .arg(openAlone / decodeRefMs, 0, 'f', 2)
                 .arg(openJournal / decodeRefMs, 0, 'f', 2);

    if (measurePeak) {
        const double limitMb = 3.0 * fileBytes / 1e6 + 60.0;
        for (const char *how : {"pieces"}) {
            const OpenPeak peak = measureOpenPeak(how, path);
            out() << QStringLiteral("  peak memory opening %1 (fresh process, VmHWM): %2 MB,"
                                    " %3 MB of it before opening; limit 3 x file + 60 MB ="
                                    " %4 MB (%5)\n")
                         .arg(QString::fromLatin1(how))
                         .arg(peak.peakMb, 0, 'f', 1)
                         .arg(peak.baselineMb, 0, 'f', 1)
                         .arg(limitMb, 0, 'f', 1)
                         .arg(peak.peakMb < limitMb ? QStringLiteral("met")
                                                    : QStringLiteral("NOT met"));
        }
    }
    out().flush();
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc == 4 && qstrcmp(argv[1], "--open-peak") == 0) {
        QApplication app(argc, argv);
        return openAndReportPeak(argv[2], QString::fromLocal8Bit(argv[3]));
    }

    QApplication app(argc, argv);
    std::vector<int> sizes;
    for (const QString &argument : app.arguments().mid(1))
        sizes.push_back(argument.toInt());
    if (sizes.empty())
        sizes = {1000, 100000, 1000000};

    QTemporaryDir folder;
    if (!folder.isValid())
        qFatal("no temporary folder");
    const int largest = *std::max_element(sizes.begin(), sizes.end());
    for (int rows : sizes)
        benchmarkSize(rows, folder.path(), rows == largest);
    return 0;
}
