// File > 保存 when the disk fails it: on a file system that is really full, and with each
// file-system call of the save made to fail in turn. Every failure must be reported with
// the save-error message, the old file must stay whole, and nothing may be left beside it.
#include "faults/io_faults.h"
#include "file_bytes.h"
#include "form_fixture.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

namespace {

const QByteArray kOld("前の内容,1,2\r\n");

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

} // namespace

class TestSaveFailures : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_f = std::make_unique<FormFixture>();
        m_f->addRows({{QStringLiteral("ご乗車ありがとうございます"), "1", "2"}, {"次は終点です", "0", "0"}});
    }
    void cleanup() { m_f.reset(); }

    void fullDiskKeepsTheOldFile_data();
    void fullDiskKeepsTheOldFile();
    void everyFailingCallIsReported_data();
    void everyFailingCallIsReported();

private:
    // Saves through the menu into path; returns the message box's detail line, or empty
    // when no box was shown.
    QString save(const QString &path)
    {
        m_f->messageBox.shown.clear();
        m_f->messageBox.answers = {IMessageBox::Ok};
        m_f->commonDialog.answers = {path};
        m_f->form->MnuFileSave->trigger();
        return m_f->errorDetail(QStringLiteral("保存エラー"),
                                QStringLiteral("保存時にエラーが発生しました"));
    }

    std::unique_ptr<FormFixture> m_f;
};

namespace {
// A small tmpfs over a folder, unmounted again before the folder is removed.
struct SmallFileSystem
{
    QString path;
    explicit SmallFileSystem(const QString &folder)
    {
        if (QProcess::execute(QStringLiteral("mount"),
                              {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                               QStringLiteral("size=64k"), QStringLiteral("tmpfs"), folder})
            == 0)
            path = folder;
    }
    ~SmallFileSystem()
    {
        if (!path.isEmpty())
            QProcess::execute(QStringLiteral("umount"), {path});
    }
};
} // namespace

void TestSaveFailures::fullDiskKeepsTheOldFile_data()
{
    QTest::addColumn<bool>("overOldFile");
    QTest::newRow("over the old file") << true;
    QTest::newRow("under a new name") << false;
}

void TestSaveFailures::fullDiskKeepsTheOldFile()
{
    QFETCH(bool, overOldFile);
    if (::geteuid() != 0)
        QSKIP("mounting a small file system to fill needs root (CI runs the tests as root)");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const SmallFileSystem mount(dir.path());
    if (mount.path.isEmpty())
        QSKIP("this machine does not let the test mount a tmpfs");

    const QString old = dir.filePath(QStringLiteral("routeTp.csv"));
    QVERIFY(writeContents(old, kOld));
    // Fill what is left, so that no new block can be had.
    QFile filler(dir.filePath(QStringLiteral("filler")));
    QVERIFY(filler.open(QIODevice::WriteOnly));
    const QByteArray block(4096, 'x');
    while (filler.write(block) == block.size() && filler.flush()) {
    }
    filler.close();
    const QStringList before = entries(dir.path());

    const QString target = overOldFile ? old : dir.filePath(QStringLiteral("newTp.csv"));
    const QString detail = save(target);

    QVERIFY2(detail.contains(QStringLiteral("ディスクの空き容量が足りません")), qPrintable(detail));
    QVERIFY2(detail.startsWith(target), qPrintable(detail));
    QCOMPARE(contents(old), kOld);
    QCOMPARE(entries(dir.path()), before);
    QCOMPARE(m_f->form->ListView1->Count(), 2);
}

void TestSaveFailures::everyFailingCallIsReported_data()
{
    QTest::addColumn<bool>("overOldFile");
    QTest::newRow("over the old file") << true;
    QTest::newRow("under a new name") << false;
}

void TestSaveFailures::everyFailingCallIsReported()
{
    QFETCH(bool, overOldFile);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString target = dir.filePath(QStringLiteral("routeTp.csv"));

    // The clean save first: what a good save writes, and how many calls it makes.
    QVERIFY(!overOldFile || writeContents(target, kOld));
    io_faults::arm(0);
    const QString clean = save(target);
    const int calls = io_faults::disarm();
    QCOMPARE(clean, QString());
    const QByteArray saved = contents(target);
    QVERIFY(saved.startsWith("\x82\xb2")); // the first row, in code page 932

    int silent = 0;
    int lost = 0;
    int leftovers = 0;
    QStringList points;
    for (int n = 1; n <= calls; ++n) {
        QFile::remove(target);
        QVERIFY(!overOldFile || writeContents(target, kOld));
        const QStringList before = entries(dir.path());
        io_faults::arm(n);
        const QString detail = save(target);
        io_faults::disarm();
        points << io_faults::injected();
        if (detail.isEmpty())
            ++silent;
        else
            QVERIFY2(detail.startsWith(target), qPrintable(detail));
        if (overOldFile && contents(target) != kOld)
            ++lost;
        if (entries(dir.path()) != before)
            ++leftovers;
    }
    qInfo("%d injection points (%s): %d silent successes, %d old files lost, %d runs left "
          "files behind",
          calls, qPrintable(points.join(u' ')), silent, lost, leftovers);
    QVERIFY(calls >= 5);
    QCOMPARE(silent, 0);
    QCOMPARE(lost, 0);
    QCOMPARE(leftovers, 0);
    QCOMPARE(m_f->form->ListView1->Count(), 2);
}

QTEST_MAIN(TestSaveFailures)
#include "tst_save_failures.moc"
