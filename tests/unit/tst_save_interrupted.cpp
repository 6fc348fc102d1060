// A save killed at any moment (power cut, crash, kill -9) must leave the user's file
// either as it was or as the finished save wrote it, never something in between. This
// suite starts itself as a child that saves a large table through WriteBroadcastFile and
// kills the child with SIGKILL at random moments spread over the save.
//
// Nothing can clean up after SIGKILL: a temporary file that has a name when the kill comes
// stays beside the target. Where the file system allows (ext4, tmpfs, ...) the save writes
// to an unnamed file and names it only for the instant before the rename, elsewhere the
// name exists for the whole save. Leftovers are tolerated but counted and reported; they
// must never look like a file the user could pick in the open dialog.
//
// The kill moments are random; the seed is printed, and BDT_SAVE_KILL_SEED replays a run.
#include "files/broadcast_file.h"
#include "platform/list/list_view.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <QWidget>
#include <QtTest>

#include <algorithm>
#include <array>
#include <cstdio>
#include <unistd.h>
#include <vector>

namespace {

constexpr char kChildFlag[] = "--save-table-child";
constexpr int kNewRows = 300000;
constexpr int kNewVariant = 0;
constexpr int kRoundsPerCase = 20;
// The open dialog lists only these; a leftover that matched would look like a real file.
const QString kOpenDialogPattern = QStringLiteral("*.csv");

// A table of announcements of realistic shape, tens of megabytes once written. Rows share
// a pool of texts so that building the table does not dominate each round; variant makes
// tables of the same size differ in content.
std::vector<BroadcastRow> makeTable(int rowCount, int variant)
{
    constexpr int kPool = 997;
    std::vector<QString> texts;
    texts.reserve(kPool);
    for (int i = 0; i < kPool; ++i) {
        texts.push_back(QStringLiteral("まもなく%1番線に%2行きの電車がまいります。黄色い線の内側で"
                                       "お待ちください（%3）")
                            .arg(i % 12 + 1)
                            .arg(i * 31 + variant)
                            .arg(variant));
    }
    const std::array<QString, 2> fares{QStringLiteral("0"), QStringLiteral("1")};
    const std::array<QString, 4> sounds{QStringLiteral("0"), QStringLiteral("1"),
                                        QStringLiteral("2"), QStringLiteral("3")};
    std::vector<BroadcastRow> rows;
    rows.reserve(std::size_t(rowCount));
    for (int i = 0; i < rowCount; ++i) {
        rows.push_back({texts[std::size_t((i * 7 + variant) % kPool)],
                        fares[std::size_t((i + variant) % 2)],
                        sounds[std::size_t((i / 3 + variant) % 4)]});
    }
    return rows;
}

// The child: builds the table, says when the save starts and when it has finished.
int saveTableAsChild(int rowCount, int variant, const QString &path)
{
    QWidget host;
    ListView list(&host);
    list.AppendRows(makeTable(rowCount, variant));
    std::fputs("saving\n", stdout);
    std::fflush(stdout);
    try {
        WriteBroadcastFile(list, path);
    } catch (const BroadcastFileError &error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.detail()));
        return 2;
    }
    std::fputs("saved\n", stdout);
    std::fflush(stdout);
    return 0;
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

// Puts the old file in place and on disk, as a file saved long ago would be: otherwise its
// pending write-back would slow the next save and throw the kills off their spread.
bool writeContents(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        && file.write(bytes) == bytes.size() && file.flush() && ::fsync(file.handle()) == 0;
}

struct Outcome
{
    int oldKept = 0;
    int newWritten = 0;
    int absent = 0;
    int interrupted = 0;   // killed before the child had finished
    int temporaryFiles = 0;
};

} // namespace

class TestSaveInterrupted : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void killedSaveLeavesOldOrNewFile_data();
    void killedSaveLeavesOldOrNewFile();
    void cleanupTestCase();

private:
    // Starts a child saving the new table to path; returns once the save has begun.
    bool startSavingChild(QProcess &child, const QString &path);

    QTemporaryDir m_dir;
    QByteArray m_newBytes;
    qint64 m_saveNs = 0;
    quint32 m_seed = 0;
    Outcome m_total;
};

bool TestSaveInterrupted::startSavingChild(QProcess &child, const QString &path)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    if (!environment.contains(QStringLiteral("XDG_RUNTIME_DIR")))
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_dir.path());
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(),
                {QString::fromLatin1(kChildFlag), QString::number(kNewRows),
                 QString::number(kNewVariant), path});
    if (!child.waitForStarted(30000))
        return false;
    while (!child.canReadLine()) {
        if (!child.waitForReadyRead(60000))
            return false;
    }
    return child.readLine() == "saving\n";
}

void TestSaveInterrupted::initTestCase()
{
    QVERIFY(m_dir.isValid());
    bool seeded = false;
    m_seed = qEnvironmentVariable("BDT_SAVE_KILL_SEED").toUInt(&seeded);
    if (!seeded)
        m_seed = QRandomGenerator::global()->generate();
    qInfo("random seed %u", m_seed);

    // Uninterrupted saves: the median of their durations spreads the kills, and their file
    // is the "new" file every interrupted save is compared with. The first save of a run is
    // much slower than the rest (cold caches) and only warms up.
    const QString path = m_dir.filePath(QStringLiteral("complete.csv"));
    std::array<qint64, 4> durations{};
    for (qint64 &duration : durations) {
        QProcess child;
        QVERIFY(startSavingChild(child, path));
        QElapsedTimer timer;
        timer.start();
        // Up to "saved", not to the child's exit: tearing down its table takes time too,
        // and kills in that time would hit no save at all.
        while (!child.canReadLine())
            QVERIFY(child.waitForReadyRead(120000));
        duration = timer.nsecsElapsed();
        QCOMPARE(child.readLine(), QByteArray("saved\n"));
        QVERIFY(child.waitForFinished(120000));
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 0);
    }
    std::sort(durations.begin() + 1, durations.end());
    m_saveNs = durations[2];
    m_newBytes = contents(path);
    QVERIFY(m_newBytes.size() > 10 * 1024 * 1024);
    qInfo("uninterrupted save of %d rows, %lld bytes: median %lld ms", kNewRows,
          qlonglong(m_newBytes.size()), qlonglong(m_saveNs / 1000000));

    // That file really is the whole table, so "the new file" below means the right one.
    QWidget host;
    ListView list(&host);
    ReadBroadcastFile(list, path);
    QVERIFY(list.Rows() == makeTable(kNewRows, kNewVariant));
}

void TestSaveInterrupted::killedSaveLeavesOldOrNewFile_data()
{
    QTest::addColumn<int>("oldRows"); // -1: no file there before the save
    QTest::addColumn<int>("oldVariant");

    QTest::newRow("replacing a smaller file") << 100000 << 1;
    QTest::newRow("replacing a larger file") << 360000 << 2;
    QTest::newRow("creating the file") << -1 << 0;
}

void TestSaveInterrupted::killedSaveLeavesOldOrNewFile()
{
    QFETCH(int, oldRows);
    QFETCH(int, oldVariant);

    // The old file is written the way the tool writes, in a folder of its own.
    QByteArray oldBytes;
    if (oldRows >= 0) {
        const QString oldPath = m_dir.filePath(QStringLiteral("old-%1.csv").arg(oldVariant));
        QWidget host;
        ListView list(&host);
        list.AppendRows(makeTable(oldRows, oldVariant));
        WriteBroadcastFile(list, oldPath);
        oldBytes = contents(oldPath);
        QVERIFY(!oldBytes.isEmpty());
        QVERIFY(oldBytes != m_newBytes);
    }

    const QString folder = m_dir.filePath(QStringLiteral("target-%1").arg(QTest::currentDataTag()));
    QVERIFY(QDir().mkpath(folder));
    const QString fileName = QStringLiteral("放送データ.csv");
    const QString target = QDir(folder).filePath(fileName);

    QRandomGenerator random(m_seed ^ quint32(oldRows + 7));
    Outcome outcome;
    for (int round = 0; round < kRoundsPerCase; ++round) {
        const QByteArray where = QByteArray(QTest::currentDataTag()) + ", round "
            + QByteArray::number(round + 1);
        if (oldRows < 0)
            QFile::remove(target);
        else if (round == 0 || contents(target) != oldBytes)
            QVERIFY2(writeContents(target, oldBytes), where);

        // One kill in each slice of the measured duration and a little past it (a save
        // under load takes longer), at a random point of that slice.
        const double fraction = (round + random.generateDouble()) / kRoundsPerCase * 1.3;
        const qint64 delayNs = qint64(fraction * double(m_saveNs));

        QProcess child;
        QVERIFY2(startSavingChild(child, target), where);
        QElapsedTimer timer;
        timer.start();
        const qint64 leftUs = (delayNs - timer.nsecsElapsed()) / 1000;
        if (leftUs > 0)
            QThread::usleep(quint64(leftUs));
        child.kill();
        QVERIFY2(child.waitForFinished(30000), where);
        const bool interrupted = child.exitStatus() == QProcess::CrashExit;
        if (interrupted) {
            ++outcome.interrupted;
        } else {
            QVERIFY2(child.exitCode() == 0, where);
            QVERIFY2(child.readAll() == "saved\n", where);
        }

        const QByteArray now = contents(target);
        if (!QFile::exists(target)) {
            QVERIFY2(oldRows < 0, where + ": the old file is gone");
            QVERIFY2(interrupted, where + ": a finished save left no file");
            ++outcome.absent;
        } else if (now == m_newBytes) {
            ++outcome.newWritten;
        } else {
            QVERIFY2(oldRows >= 0 && now == oldBytes,
                     where + ": the file is neither the old one nor the new one, "
                         + QByteArray::number(now.size()) + " bytes");
            QVERIFY2(interrupted, where + ": a finished save left the old file");
            ++outcome.oldKept;
        }

        // Whatever else is left in the folder is the save's unfinished temporary file.
        const QStringList entries =
            QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
        for (const QString &entry : entries) {
            if (entry == fileName)
                continue;
            QVERIFY2(interrupted, where + ": a finished save left " + entry.toUtf8());
            QVERIFY2(entry.startsWith(u'.' + fileName + u'.'), where + ": unexpected " + entry.toUtf8());
            QVERIFY2(!QDir::match(kOpenDialogPattern, entry),
                     where + ": the open dialog would offer " + entry.toUtf8());
            ++outcome.temporaryFiles;
            QVERIFY(QFile::remove(QDir(folder).filePath(entry)));
        }
    }

    qInfo("%s: %d rounds, %d killed mid-save; file afterwards: %d old, %d new, %d absent; "
          "%d temporary files left",
          QTest::currentDataTag(), kRoundsPerCase, outcome.interrupted, outcome.oldKept,
          outcome.newWritten, outcome.absent, outcome.temporaryFiles);
    m_total.oldKept += outcome.oldKept;
    m_total.newWritten += outcome.newWritten;
    m_total.absent += outcome.absent;
    m_total.interrupted += outcome.interrupted;
    m_total.temporaryFiles += outcome.temporaryFiles;
    // Kills that mostly came after the save would prove little about interrupted saves.
    QVERIFY2(outcome.interrupted * 4 >= kRoundsPerCase,
             "most kills came after the save had finished: the measured duration is off");
}

void TestSaveInterrupted::cleanupTestCase()
{
    qInfo("in all: %d killed mid-save; file afterwards: %d old, %d new, %d absent; "
          "%d temporary files left",
          m_total.interrupted, m_total.oldKept, m_total.newWritten, m_total.absent,
          m_total.temporaryFiles);
}

int main(int argc, char *argv[])
{
    if (argc == 5 && qstrcmp(argv[1], kChildFlag) == 0) {
        QApplication app(argc, argv);
        return saveTableAsChild(QByteArray(argv[2]).toInt(), QByteArray(argv[3]).toInt(),
                                QString::fromLocal8Bit(argv[4]));
    }
    QApplication app(argc, argv);
    TestSaveInterrupted test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_save_interrupted.moc"
