// Peak memory of opening files of unusual shapes, against the file's size: many tiny rows,
// blank lines, one endless line. Each file is opened as the window opens it (into the
// list's table model) in a fresh child process that reads its own high-water mark (VmHWM)
// before and after, so nothing the parent did counts.
//
//   bench_open_shapes [megabytes]      default 30
#include "files/broadcast_file.h"
#include "platform/list/list_view.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QWidget>

#include <cstdio>

namespace {

qint64 highWaterKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

int openAndReport(const QString &path)
{
    QWidget holder;
    ListView list(&holder);
    const qint64 before = highWaterKb();
    try {
        ReadBroadcastFile(list, path);
    } catch (const BroadcastFileError &error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.detail()));
    }
    std::printf("%lld %lld %d\n", static_cast<long long>(before),
                static_cast<long long>(highWaterKb()), list.Count());
    return 0;
}

struct Shape
{
    const char *name;
    QByteArray line; // repeated to fill the file; empty: one line of `fill` bytes
    char fill = 0;
};

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--open") == 0)
        return openAndReport(QString::fromLocal8Bit(argv[2]));

    const qint64 size = (argc > 1 ? QByteArray(argv[1]).toLongLong() : 30) << 20;
    const Shape shapes[] = {
        {"one character per row, LF", "a\n"},
        {"one character per row, CR LF", "a\r\n"},
        {"empty fields only, LF", ",\n"},
        {"two characters per row", "ab\n"},
        {"one kanji per row", "\x88\x9f\n"},
        {"signals only", ",0,0\r\n"},
        {"typical short row", "\x8e\x9f\x82\xcd\x8f\x49\x93\x5f\x82\xc5\x82\xb7,1,2\r\n"},
        {"blank lines", "\n"},
        {"lines of CRs", "\r\r\r\n"},
        {"one line without an end", QByteArray(), 'a'},
        {"one line of kanji without an end", QByteArray(), '\0'},
    };
    QTemporaryDir folder;
    QTextStream out(stdout);
    out << "shape: file MB, peak growth MB while opening, ratio, rows\n";
    double worst = 0;
    for (const Shape &shape : shapes) {
        QByteArray bytes;
        if (!shape.line.isEmpty()) {
            bytes.reserve(size);
            while (bytes.size() + shape.line.size() <= size)
                bytes += shape.line;
        } else if (shape.fill) {
            bytes = QByteArray(size, shape.fill);
        } else {
            bytes.reserve(size);
            while (bytes.size() + 2 <= size)
                bytes += "\x88\x9f";
        }
        const QString path = folder.filePath(QStringLiteral("shapeTp.csv"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
        file.close();
        bytes = QByteArray();

        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--open"), path});
        if (!child.waitForFinished(-1) || child.exitCode() != 0)
            qFatal("the measuring child failed");
        const QList<QByteArray> numbers = child.readAllStandardOutput().trimmed().split(' ');
        const double fileMb = double(file.size()) / (1 << 20);
        const double growthMb = double(numbers.value(1).toLongLong() - numbers.value(0).toLongLong()) / 1024;
        const double ratio = growthMb / fileMb;
        worst = std::max(worst, ratio);
        out << QStringLiteral("%1: %2 MB, %3 MB, %4x, %5 rows\n")
                   .arg(QString::fromLatin1(shape.name))
                   .arg(fileMb, 0, 'f', 1)
                   .arg(growthMb, 0, 'f', 1)
                   .arg(ratio, 0, 'f', 1)
                   .arg(QString::fromLatin1(numbers.value(2)));
        out.flush();
    }
    out << QStringLiteral("worst: %1 x the file\n").arg(worst, 0, 'f', 1);
    return 0;
}
