// Start-up time to the first paint, and resident memory once idle, of the tool against a
// minimal Qt Widgets program showing an empty window of the same size, in the same run
// and the same X server (DISPLAY, or offscreen when there is none). The tool starts with
// no recovery journal to offer, and again with the journal of a 1,000-row table that a
// dead window left (offered after the first paint).
//
//   bench_startup [path/to/broadcast-data-tool] [path/to/minimal_window] [rounds]
#include "recovery/journal_records.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

struct Sample
{
    double firstPaintMs;
    double idleRssMb;
};

double rssMb(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong() / 1024.0;
    }
    return -1;
}

Sample run(const QString &program, const QStringList &arguments = {},
           const QString &stateHome = QString())
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!stateHome.isEmpty())
        env.insert(QStringLiteral("XDG_STATE_HOME"), stateHome);
    env.insert(QStringLiteral("BDT_REPORT_FIRST_PAINT"), QStringLiteral("1"));
    if (!env.contains(QStringLiteral("DISPLAY")))
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::SeparateChannels);
    QElapsedTimer timer;
    timer.start();
    process.start(program, arguments);
    if (!process.waitForStarted(10000))
        qFatal("cannot start %s", qPrintable(program));
    while (!process.canReadLine()) {
        if (!process.waitForReadyRead(20000))
            qFatal("%s never painted", qPrintable(program));
    }
    const double painted = timer.nsecsElapsed() / 1e6;
    QThread::msleep(1500); // let it settle: speech engines and caches start lazily
    const double rss = rssMb(process.processId());
    process.kill();
    process.waitForFinished(5000);
    return {painted, rss};
}

// A journal that a window died with: a table of rows not saved, waiting to be offered.
void leaveDeadJournal(const QString &stateHome)
{
    const QString folder = stateHome + QStringLiteral("/broadcast-data-tool/recovery");
    QDir().mkpath(folder);
    QByteArray bytes = journal::fileHeader();
    journal::RecordWriter snapshot(journal::RecordType::Snapshot);
    snapshot.u8(1).u32(1000);
    for (int i = 1; i <= 1000; ++i)
        snapshot.row({QStringLiteral("次は%1番線から発車します").arg(i), QStringLiteral("1"),
                      QStringLiteral("2")});
    snapshot.appendTo(bytes);
    QFile file(folder + QStringLiteral("/journal-left.bdtj"));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write the journal");
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString dir = QFileInfo(QCoreApplication::applicationFilePath()).absolutePath();
    const QStringList args = app.arguments();
    const QString tool = args.value(1, dir + QStringLiteral("/../broadcast-data-tool"));
    const QString minimal = args.value(2, dir + QStringLiteral("/minimal_window"));
    const int rounds = args.value(3, QStringLiteral("7")).toInt();

    QTemporaryDir noJournal, deadJournal;
    leaveDeadJournal(deadJournal.path());
    std::vector<double> toolMs, toolMb, minMs, minMb, textMs, textMb, waitingMs;
    for (int i = 0; i < rounds; ++i) {
        // Alternate, so both see the same machine load and caches.
        const Sample m = run(minimal);
        const Sample t = run(tool, {}, noJournal.path());
        waitingMs.push_back(run(tool, {}, deadJournal.path()).firstPaintMs);
        const Sample x = run(minimal, {QStringLiteral("--with-text")});
        textMs.push_back(x.firstPaintMs);
        textMb.push_back(x.idleRssMb);
        minMs.push_back(m.firstPaintMs);
        minMb.push_back(m.idleRssMb);
        toolMs.push_back(t.firstPaintMs);
        toolMb.push_back(t.idleRssMb);
    }
    const double tMs = median(toolMs), mMs = median(minMs);
    const double tMb = median(toolMb), mMb = median(minMb);
    std::printf("first paint: tool %.1f ms, minimal %.1f ms, ratio %.2f (goal <= 1.5)\n", tMs, mMs,
                tMs / mMs);
    std::printf("idle memory: tool %.1f MB, minimal %.1f MB, ratio %.2f (goal <= 1.5)\n", tMb, mMb,
                tMb / mMb);
    const double xMs = median(textMs), xMb = median(textMb);
    std::printf("for scale, the minimal window with one line of Japanese text: %.1f ms, %.1f MB"
                " (tool / that: %.2f, %.2f)\n",
                xMs, xMb, tMs / xMs, tMb / xMb);
    std::printf("first paint with a dead window's journal waiting to be offered: %.1f ms"
                " (tool / the one-line window: %.2f, goal <= 1.5)\n",
                median(waitingMs), median(waitingMs) / xMs);
    return 0;
}
