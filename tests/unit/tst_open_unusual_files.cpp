// File > 開く on input no broadcast file has: things that are not files, shapes that cost
// memory out of proportion, and files larger than the process may hold. Each ends in the
// read-error message at once, never in a hang or an out-of-memory failure.
#include "form_fixture.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/resource.h>
#include <sys/stat.h>

namespace {

QByteArray repeated(const QByteArray &line, int times)
{
    QByteArray bytes;
    bytes.reserve(line.size() * times);
    for (int i = 0; i < times; ++i)
        bytes += line;
    return bytes;
}

qint64 mappedBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    return statm.open(QIODevice::ReadOnly)
        ? statm.readLine().split(' ').value(0).toLongLong() * ::sysconf(_SC_PAGESIZE)
        : 0;
}

// Lowers this process's address-space limit to what it maps now plus headroom, and puts
// the old limit back when it goes.
class AddressSpaceLimit
{
public:
    explicit AddressSpaceLimit(qint64 headroom)
    {
        ::getrlimit(RLIMIT_AS, &m_old);
        rlimit lower = m_old;
        lower.rlim_cur = rlim_t(mappedBytes() + headroom);
        m_set = ::setrlimit(RLIMIT_AS, &lower) == 0;
    }
    ~AddressSpaceLimit() { ::setrlimit(RLIMIT_AS, &m_old); }
    bool isSet() const { return m_set; }

private:
    rlimit m_old{};
    bool m_set = false;
};

} // namespace

class TestOpenUnusualFiles : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_f = std::make_unique<FormFixture>();
        QVERIFY(m_dir.isValid());
    }
    void cleanup() { m_f.reset(); }

    void notAFileIsRefusedAtOnce_data();
    void notAFileIsRefusedAtOnce();
    void rowsReservedAreRowsRead_data();
    void rowsReservedAreRowsRead();
    void fileLargerThanMemoryIsARefusal_data();
    void fileLargerThanMemoryIsARefusal();

private:
    // Opens path through the menu; returns the read-error box's detail line, or empty.
    QString open(const QString &path)
    {
        m_f->messageBox.shown.clear();
        m_f->messageBox.answers = {IMessageBox::Ok};
        m_f->apiLib.openAnswers = {path};
        m_f->form->MnuFileOpen->trigger();
        return m_f->errorDetail(QStringLiteral("読み込みエラー"),
                                QStringLiteral("読み込み時にエラーが発生しました"));
    }
    QString write(const QString &name, const QByteArray &bytes)
    {
        QFile file(m_dir.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write the test file");
        return file.fileName();
    }

    std::unique_ptr<FormFixture> m_f;
    QTemporaryDir m_dir;
};

void TestOpenUnusualFiles::notAFileIsRefusedAtOnce_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    QTest::newRow("named pipe with no writer") << "fifo" << "名前付きパイプ";
    QTest::newRow("/dev/zero") << "/dev/zero" << "デバイス";
    QTest::newRow("/dev/urandom") << "/dev/urandom" << "デバイス";
    QTest::newRow("folder") << "folder" << "フォルダー";
}

void TestOpenUnusualFiles::notAFileIsRefusedAtOnce()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    QString path = kind;
    if (kind == QStringLiteral("fifo")) {
        path = m_dir.filePath(QStringLiteral("pipeTp.csv"));
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else if (kind == QStringLiteral("folder")) {
        path = m_dir.path();
    }
    const QString detail = open(path);
    QVERIFY2(detail.startsWith(path) && detail.contains(reason), qPrintable(detail));
    QCOMPARE(m_f->form->ListView1->Count(), 0);
}

void TestOpenUnusualFiles::rowsReservedAreRowsRead_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("rows");
    QTest::newRow("blank lines, LF") << QByteArray("\n") << 1;
    QTest::newRow("blank lines, CR LF") << QByteArray("\r\n") << 1;
    QTest::newRow("lines of CRs") << QByteArray("\r\r\r\n") << 1;
    QTest::newRow("a row on every line") << QByteArray("a\r\n") << 200001;
}

void TestOpenUnusualFiles::rowsReservedAreRowsRead()
{
    QFETCH(QByteArray, line);
    QFETCH(int, rows);
    const QString path = write(QStringLiteral("shapeTp.csv"), repeated(line, 200000) + "last,0,0\r\n");
    QCOMPARE(open(path), QString());
    const auto &table = m_f->form->ListView1->Rows();
    QCOMPARE(int(table.size()), rows);
    // What the table holds is what was reserved: nothing for lines that gave no row.
    QCOMPARE(table.capacity(), table.size());
}

void TestOpenUnusualFiles::fileLargerThanMemoryIsARefusal_data()
{
    QTest::addColumn<int>("lines");
    QTest::addColumn<bool>("fits");
    QTest::newRow("a table that fits") << 10000 << true;
    QTest::newRow("a table needing more than the process may map") << 1000000 << false;
}

void TestOpenUnusualFiles::fileLargerThanMemoryIsARefusal()
{
    QFETCH(int, lines);
    QFETCH(bool, fits);
    const QString path = write(QStringLiteral("bigTp.csv"), repeated("a\r\n", lines));
    QString detail;
    {
        const AddressSpaceLimit limit(64 << 20);
        QVERIFY(limit.isSet());
        detail = open(path);
    }
    if (fits) {
        QCOMPARE(detail, QString());
        QCOMPARE(m_f->form->ListView1->Count(), lines);
    } else {
        QVERIFY2(detail.startsWith(path) && detail.contains(QStringLiteral("大きすぎ")),
                 qPrintable(detail));
        QCOMPARE(m_f->form->ListView1->Count(), 0);
    }
}

QTEST_MAIN(TestOpenUnusualFiles)
#include "tst_open_unusual_files.moc"
