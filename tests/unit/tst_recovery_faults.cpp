// The recovery journal when the disk fails under it (libfiu's POSIX wrappers, preloaded):
// the window goes on, says once that recovery is off and why, and the journal keeps what
// was written before the failure.
#include "form_fixture.h"

#include <QAction>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <fiu-control.h>
#include <fiu.h>

class TestRecoveryFaults : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(fiu_init(0) == 0); }
    void diskFailsUnderTheJournal_data();
    void diskFailsUnderTheJournal();
};

namespace {

void edit(Form1 &form, const QString &text)
{
    form.Command2[0]->click();
    form.Text1->setText(text);
    form.Command3->click();
}

} // namespace

void TestRecoveryFaults::diskFailsUnderTheJournal_data()
{
    QTest::addColumn<QString>("call");
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<int>("rowsKept"); // what a restart gives back at least
    QTest::newRow("write: disk full") << "posix/io/rw/pwrite" << ENOSPC
                                      << "ディスクの空き容量が足りません" << 1;
    QTest::newRow("write: I/O error") << "posix/io/rw/pwrite" << EIO << "ディスクの入出力エラーです"
                                      << 1;
    QTest::newRow("sync: I/O error") << "posix/io/sync/fdatasync" << EIO
                                     << "ディスクの入出力エラーです" << 2;
}

void TestRecoveryFaults::diskFailsUnderTheJournal()
{
    QFETCH(QString, call);
    QFETCH(int, error);
    QFETCH(QString, reason);
    QFETCH(int, rowsKept);
    QTemporaryDir dir;
    auto f = std::make_unique<FormFixture>(false);
    f->recoveryFolder = dir.filePath(QStringLiteral("recovery"));
    f->create();
    edit(*f->form, QStringLiteral("A"));
    QTest::qWait(200); // written and synced

    QVERIFY(fiu_enable(qPrintable(call), 1, reinterpret_cast<void *>(intptr_t(error)), 0) == 0);
    edit(*f->form, QStringLiteral("B"));
    QTest::qWait(300); // the sync thread's turn, then the queued message
    edit(*f->form, QStringLiteral("C"));
    QTest::qWait(300);
    fiu_disable(qPrintable(call));

    QCOMPARE(f->messageBox.shown.size(), 1);
    QVERIFY2(f->messageBox.shown.first().prompt.contains(reason),
             qPrintable(f->messageBox.shown.first().prompt));
    QCOMPARE(f->form->ListView1->Count(), 3); // editing went on

    f.reset(); // the window dies
    FormFixture restarted(false);
    restarted.recoveryFolder = dir.filePath(QStringLiteral("recovery"));
    restarted.messageBox.answers << IMessageBox::Yes;
    restarted.create();
    QCOMPARE(restarted.messageBox.shown.size(), 1);
    // A failed write is never in the journal; a failed sync stops it after the write it
    // followed.
    QVERIFY(restarted.form->ListView1->Count() >= rowsKept);
    if (call.endsWith(u"pwrite"))
        QCOMPARE(restarted.form->ListView1->Count(), rowsKept);
    QCOMPARE(restarted.form->ListView1->Item(1).Text(), QStringLiteral("A"));
}

QTEST_MAIN(TestRecoveryFaults)
#include "tst_recovery_faults.moc"
