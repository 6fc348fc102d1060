// The writer that File > 保存 and the companion's convert share, where the target's name is
// not a plain file in a plain folder: symbolic links, and what the folder allows.
#include "faults/io_faults.h"
#include "file_bytes.h"
#include "files/atomic_write.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QByteArray kOld("前の内容\r\n");
const QByteArray kNew("新しい内容\r\n");

// Every name in the folder and below it, links as "name -> target", files as "name".
QStringList tree(const QString &folder)
{
    QStringList names;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString name = QDir(folder).relativeFilePath(path);
        const QFileInfo info(path);
        if (info.isSymLink())
            names << name + QStringLiteral(" -> ") + QFile::symLinkTarget(path).section(u'/', -1);
        else if (!info.isDir())
            names << name;
    }
    names.sort();
    return names;
}

} // namespace

class TestAtomicWrite : public QObject
{
    Q_OBJECT
private slots:
    void followsTheWholeLinkChain_data();
    void followsTheWholeLinkChain();
    void longNamesAreWritten_data();
    void longNamesAreWritten();
    void unwritableFolderIsNamed_data();
    void unwritableFolderIsNamed();
    void replacedFileKeepsOwnerAndGroup_data();
    void replacedFileKeepsOwnerAndGroup();
};

void TestAtomicWrite::followsTheWholeLinkChain_data()
{
    QTest::addColumn<QStringList>("links"); // "name=target", made in this order
    QTest::addColumn<QString>("written");   // where the new bytes must land; empty: refused
    QTest::addColumn<int>("error");

    QTest::newRow("one link") << QStringList{u"link1=real/target.csv"_qs} << u"real/target.csv"_qs << 0;
    QTest::newRow("a chain of two") << QStringList{u"link2=real/target.csv"_qs, u"link1=link2"_qs}
                                    << u"real/target.csv"_qs << 0;
    // Relative targets are read from the link's own folder, at each step.
    QTest::newRow("relative, across folders")
        << QStringList{u"sub/link2=../real/target.csv"_qs, u"link1=sub/link2"_qs}
        << u"real/target.csv"_qs << 0;
    QTest::newRow("a chain to a file not yet there")
        << QStringList{u"link2=real/new.csv"_qs, u"link1=link2"_qs} << u"real/new.csv"_qs << 0;
    QTest::newRow("a loop") << QStringList{u"link2=link1"_qs, u"link1=link2"_qs} << QString() << ELOOP;
    QTest::newRow("a link to itself") << QStringList{u"link1=link1"_qs} << QString() << ELOOP;
}

// link1 is written; every link must stay the link it was.
void TestAtomicWrite::followsTheWholeLinkChain()
{
    QFETCH(QStringList, links);
    QFETCH(QString, written);
    QFETCH(int, error);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("real")) && QDir(dir.path()).mkpath(QStringLiteral("sub")));
    QVERIFY(writeContents(dir.filePath(QStringLiteral("real/target.csv")), kOld));
    for (const QString &link : std::as_const(links)) {
        const QString name = link.section(u'=', 0, 0);
        QVERIFY(::symlink(QFile::encodeName(link.section(u'=', 1)).constData(),
                          QFile::encodeName(dir.filePath(name)).constData())
                == 0);
    }
    const QStringList before = tree(dir.path());

    const auto failure = writeFileAtomically(dir.filePath(QStringLiteral("link1")), kNew);
    if (written.isEmpty()) {
        QVERIFY(failure);
        QCOMPARE(failure->error, error);
        QCOMPARE(tree(dir.path()), before);
        return;
    }
    QVERIFY2(!failure, qPrintable(failure ? failure->what + failure->reason : QString()));
    QCOMPARE(contents(dir.filePath(written)), kNew);
    QStringList after = before;
    if (!after.contains(written)) {
        after << written;
        after.sort();
    }
    QCOMPARE(tree(dir.path()), after);
}

void TestAtomicWrite::longNamesAreWritten_data()
{
    QTest::addColumn<QByteArray>("name");
    const auto ascii = [](int bytes) { return QByteArray(bytes - 6, 'a') + "Tp.csv"; };
    for (const int bytes : {1 + 6, 243, 246, 250, 255})
        QTest::addRow("%d ASCII bytes", bytes) << ascii(bytes);
    // 83 kana of three bytes each and Tp.csv: 255 bytes, to be cut on a character's edge.
    QByteArray kana;
    for (int i = 0; i < 83; ++i)
        kana += "\xE3\x81\x82";
    QTest::newRow("255 bytes of kana") << kana + "Tp.csv";
}

// Any name the file system takes must be writable: the temporary file beside it, whose
// name holds the target's, must not be refused for its length. Each write draws a new
// temporary name; several are tried.
void TestAtomicWrite::longNamesAreWritten()
{
    QFETCH(QByteArray, name);
    QTemporaryDir dir;
    const QString path = dir.filePath(QFile::decodeName(name));
    for (int round = 0; round < 8; ++round) {
        const QByteArray bytes = kNew + QByteArray::number(round);
        const auto failure = writeFileAtomically(path, bytes);
        QVERIFY2(!failure, qPrintable(failure ? failure->what + failure->reason : QString()));
        QCOMPARE(contents(path), bytes);
    }
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QFile::decodeName(name)});
}

void TestAtomicWrite::unwritableFolderIsNamed_data()
{
    QTest::addColumn<bool>("exists");
    QTest::newRow("over a writable file") << true;
    QTest::newRow("a new file") << false;
}

// The save writes a new file beside the target and renames it: a folder the operator may
// not write to stops it even when the file itself is writable, and the message must send
// the operator to the folder. (Root may write anywhere, so the folder's refusal is made
// by failing the call that creates the new file, as the kernel fails it.)
void TestAtomicWrite::unwritableFolderIsNamed()
{
    QFETCH(bool, exists);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("routeTp.csv"));
    if (exists)
        QVERIFY(writeContents(path, kOld));

    io_faults::arm(1);
    const auto failure = writeFileAtomically(path, kNew);
    io_faults::disarm();
    QVERIFY(io_faults::injected().startsWith(u"open"));
    QVERIFY(failure);
    QCOMPARE(failure->what, QStringLiteral("保存先のフォルダーに書き込めません"));
    QCOMPARE(failure->reason, QStringLiteral("アクセスが許可されていません。保存では、新しいファイルを"
                                             "同じフォルダーに作ってから元のファイルと置き換えます"));
    QCOMPARE(contents(path), exists ? kOld : QByteArray("<missing>"));
}

void TestAtomicWrite::replacedFileKeepsOwnerAndGroup_data()
{
    QTest::addColumn<uint>("owner");
    QTest::addColumn<uint>("group");
    QTest::newRow("another group") << uint(::getuid()) << 4321u;
    QTest::newRow("another owner and group") << 4321u << 4322u;
}

// A file shared through its group (a team's folder) must stay shared after a save.
void TestAtomicWrite::replacedFileKeepsOwnerAndGroup()
{
    QFETCH(uint, owner);
    QFETCH(uint, group);
    if (::geteuid() != 0)
        QSKIP("giving a file to another owner and group takes root");
    QTemporaryDir dir;
    const QByteArray path = QFile::encodeName(dir.filePath(QStringLiteral("routeTp.csv")));
    QVERIFY(writeContents(QFile::decodeName(path), kOld));
    QVERIFY(::chown(path.constData(), owner, group) == 0);
    QVERIFY(::chmod(path.constData(), 0664) == 0);

    QVERIFY(!writeFileAtomically(QFile::decodeName(path), kNew));
    struct stat after{};
    QVERIFY(::stat(path.constData(), &after) == 0);
    QCOMPARE(contents(QFile::decodeName(path)), kNew);
    QCOMPARE(uint(after.st_uid), owner);
    QCOMPARE(uint(after.st_gid), group);
    QCOMPARE(after.st_mode & 07777, mode_t(0664));
}

QTEST_GUILESS_MAIN(TestAtomicWrite)
#include "tst_atomic_write.moc"
