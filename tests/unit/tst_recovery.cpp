// The recovery journal: a window that dies comes back, at the next start, as it stood after
// its last finished command, with the editor as the operator left it.
#include "form_fixture.h"
#include "recovery/journal_replay.h"
#include "recovery/recovery_journal.h"

#include <QAction>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kQuestion = QStringLiteral("保存されていない編集内容が残っています。復元しますか？");
const QString kTitle = QStringLiteral("編集内容の復元");

struct Seen
{
    std::vector<BroadcastRow> rows;
    QString text;
    bool fare = false;
    int option = 0;
    int selected = 0;
};

} // namespace

class TestRecovery : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup() { m_f.reset(); }

    void windowComesBackAfterDying_data();
    void windowComesBackAfterDying();
    void tornLastRecordIsLeftOut_data();
    void tornLastRecordIsLeftOut();
    void declinedJournalIsKeptAside();
    void liveWindowsJournalIsNeverOffered();
    void newestIsOfferedFirst();
    void unreadableJournalIsSetAside_data();
    void unreadableJournalIsSetAside();
    void unwritableFolderSaysSoOnce();
    void journalStaysInProportion();

private:
    // A window on the recovery folder, whose start-up boxes get these answers.
    void start(const QList<IMessageBox::Answer> &answers = {});
    // The window goes without closing: its journal stays, as after a crash or a kill.
    void die() { m_f.reset(); }
    void expectQuestion(int box);
    void run(const QString &script);
    Seen seen();
    QString folder() const { return m_dir->filePath(QStringLiteral("recovery")); }
    QStringList journals(const QString &where) const
    {
        return QDir(where).entryList({QStringLiteral("*.bdtj")}, QDir::Files);
    }
    void writeFile(const QString &name, const QByteArray &bytes);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<FormFixture> m_f;
};

void TestRecovery::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    start();
}

void TestRecovery::start(const QList<IMessageBox::Answer> &answers)
{
    m_f = std::make_unique<FormFixture>(false);
    m_f->recoveryFolder = folder();
    m_f->messageBox.answers = answers;
    m_f->create();
}

void TestRecovery::expectQuestion(int box)
{
    QVERIFY(m_f->messageBox.shown.size() > box);
    const auto &shown = m_f->messageBox.shown.at(box);
    QCOMPARE(shown.prompt, kQuestion);
    QCOMPARE(shown.title, kTitle);
    QCOMPARE(shown.buttons, IMessageBox::YesNo);
    QCOMPARE(shown.icon, IMessageBox::Question);
}

void TestRecovery::writeFile(const QString &name, const QByteArray &bytes)
{
    QFile file(m_dir->filePath(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Drives the window as an operator does, through its routing: one step per word.
void TestRecovery::run(const QString &script)
{
    Form1 &form = *m_f->form;
    for (const QString &step : script.split(u' ', Qt::SkipEmptyParts)) {
        const QString arg = step.section(u':', 1);
        if (step.startsWith(u"cmd:"))
            form.Command2[size_t(arg.toInt())]->click();
        else if (step.startsWith(u"type:"))
            form.Text1->setText(arg);
        else if (step.startsWith(u"fare:"))
            form.Check1->setChecked(arg == u"1");
        else if (step.startsWith(u"sound:"))
            form.Option1[size_t(arg.toInt())]->setChecked(true);
        else if (step == u"confirm")
            form.Command3->click();
        else if (step.startsWith(u"click:")) { // selects the row, and the list reports it
            form.ListView1->Item(arg.toInt()).SetSelected(true);
            emit form.ListView1->ItemClick(form.ListView1->Item(arg.toInt()));
        }
        else if (step == u"new")
            m_f->messageBox.answers << IMessageBox::Yes, form.MnuFileNew->trigger();
        else if (step.startsWith(u"open:")) {
            if (form.ListView1->Count() > 0)
                m_f->messageBox.answers << IMessageBox::Yes;
            m_f->apiLib.openAnswers << m_dir->filePath(arg);
            form.MnuFileOpen->trigger();
        } else if (step.startsWith(u"save:")) {
            m_f->commonDialog.answers << m_dir->filePath(arg);
            form.MnuFileSave->trigger();
        } else if (step.startsWith(u"file:")) // the opened file changes on disk
            writeFile(arg, "changed,0,0\r\n");
        else if (step.startsWith(u"rm:"))
            QFile::remove(m_dir->filePath(arg));
        else if (step == u"wait") // longer than the editor takes to reach the journal
            QTest::qWait(1000);
        else
            QFAIL(qPrintable(QStringLiteral("unknown step ") + step));
    }
}

Seen TestRecovery::seen()
{
    Form1 &form = *m_f->form;
    return {form.ListView1->Rows(), form.Text1->text(), form.Check1->isChecked(),
            form.Option1Group->checkedId(), m_f->selectedRow()};
}

void TestRecovery::windowComesBackAfterDying_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<bool>("offered");
    QTest::newRow("add and confirm")
        << "cmd:0 type:次は終点です fare:1 sound:2 confirm cmd:0 type:乗換 confirm" << true;
    QTest::newRow("unconfirmed edits, no command after them")
        << "cmd:0 type:A confirm type:B未確定 fare:1 sound:3 wait" << true;
    QTest::newRow("typed into an empty table") << "type:まだ行がない wait" << true;
    QTest::newRow("copy, pastes, moves, delete")
        << "cmd:0 type:A confirm cmd:0 type:B confirm cmd:2 cmd:3 cmd:4 cmd:5 cmd:6 click:1 cmd:1"
        << true;
    QTest::newRow("opened, edited, file gone")
        << "open:aTp.csv cmd:0 type:追加 confirm rm:aTp.csv" << true;
    QTest::newRow("opened, edited, file changed")
        << "open:aTp.csv click:2 type:X confirm file:aTp.csv" << true;
    QTest::newRow("text no file takes") << "open:oddTp.csv cmd:0" << true;
    QTest::newRow("opened, unchanged") << "cmd:0 open:aTp.csv click:2" << false;
    QTest::newRow("saved") << "cmd:0 type:A confirm save:outTp.csv" << false;
    QTest::newRow("given up by New") << "cmd:0 type:A confirm new" << false;
    QTest::newRow("edited after saving") << "cmd:0 save:outTp.csv type:B confirm" << true;
}

void TestRecovery::windowComesBackAfterDying()
{
    QFETCH(QString, script);
    QFETCH(bool, offered);
    // ご乗車,1,2 and 次は,0,0 in code page 932
    writeFile(QStringLiteral("aTp.csv"),
              QByteArray::fromHex("82b28fe68ed42c312c320d0a8e9f82cd2c302c300d0a"));
    writeFile(QStringLiteral("oddTp.csv"), "\"a,b\",1,2\r\n\"x \"\"y\"\"\",,\r\n");
    run(script);
    QCOMPARE(m_f->messageBox.unexpected, 0);
    const Seen before = seen();
    die();

    start({IMessageBox::Yes});
    if (!offered) {
        QCOMPARE(m_f->messageBox.shown.size(), 0);
        QVERIFY(journals(folder()).isEmpty());
        return;
    }
    QCOMPARE(m_f->messageBox.shown.size(), 1);
    expectQuestion(0);
    const Seen after = seen();
    QVERIFY(after.rows == before.rows);
    QCOMPARE(after.text, before.text);
    QCOMPARE(after.fare, before.fare);
    QCOMPARE(after.option, before.option);
    QCOMPARE(after.selected, before.selected);
    QCOMPARE(int(m_f->form->table().CurrentRow), before.selected);

    // What was put back is unsaved work again: dying now offers it once more.
    die();
    start({IMessageBox::Yes});
    QCOMPARE(m_f->messageBox.shown.size(), 1);
    QVERIFY(seen().rows == before.rows);
    QCOMPARE(seen().text, before.text);
}

void TestRecovery::tornLastRecordIsLeftOut_data()
{
    QTest::addColumn<int>("cut");  // bytes cut off the end
    QTest::addColumn<int>("flip"); // a byte of the last record changed, counted from the end
    QTest::newRow("last byte missing") << 1 << 0;
    QTest::newRow("only half a header") << 22 << 0;
    QTest::newRow("payload changed") << 0 << 3;
    QTest::newRow("length changed") << 0 << 23;
}

void TestRecovery::tornLastRecordIsLeftOut()
{
    QFETCH(int, cut);
    QFETCH(int, flip);
    // A power cut in the middle of writing the second row's record.
    QByteArray bytes = journal::fileHeader();
    journal::RecordWriter(journal::RecordType::Snapshot).u8(1).u32(1).row({"A", "1", "2"}).appendTo(bytes);
    journal::RecordWriter(journal::RecordType::Insert).u32(1).u32(1).row({"B", "", ""}).appendTo(bytes);
    bytes.chop(cut);
    if (flip > 0)
        bytes[bytes.size() - flip] = char(bytes[bytes.size() - flip] ^ 0x40);
    die();
    QVERIFY(QDir().mkpath(folder()));
    QFile file(folder() + QStringLiteral("/journal-torn.bdtj"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();

    const journal::ReplayOutcome outcome = journal::replay(bytes);
    QVERIFY(outcome.torn);
    start({IMessageBox::Yes});
    QCOMPARE(m_f->messageBox.shown.size(), 1);
    expectQuestion(0);
    const std::vector<BroadcastRow> expected{{"A", "1", "2"}};
    QVERIFY(m_f->form->ListView1->Rows() == expected);
}

void TestRecovery::declinedJournalIsKeptAside()
{
    run("cmd:0 type:A confirm");
    die();
    start({IMessageBox::No});
    expectQuestion(0);
    QCOMPARE(m_f->form->ListView1->Count(), 0);
    QVERIFY(journals(folder()).isEmpty());
    const QString discarded = folder() + QStringLiteral("/discarded");
    QCOMPARE(journals(discarded).size(), 1);
    // The operator can still take it back by hand: it is the whole journal.
    const auto kept = journal::replayFile(discarded + u'/' + journals(discarded).first());
    const std::vector<BroadcastRow> expected{{"A", "0", "0"}};
    QVERIFY(kept.table && kept.table->rows == expected);
    die();
    start();
    QCOMPARE(m_f->messageBox.shown.size(), 0);
    // A week after it was set aside, it goes.
    QFile aside(discarded + u'/' + journals(discarded).first());
    QVERIFY(aside.open(QIODevice::ReadWrite));
    QVERIFY(aside.setFileTime(QDateTime::currentDateTime().addDays(-8),
                              QFileDevice::FileModificationTime));
    aside.close();
    die();
    start();
    QVERIFY(journals(discarded).isEmpty());
}

void TestRecovery::liveWindowsJournalIsNeverOffered()
{
    run("cmd:0 type:A confirm");
    FormFixture other(false);
    other.recoveryFolder = folder();
    other.create();
    QCOMPARE(other.messageBox.shown.size(), 0);
    QCOMPARE(journals(folder()).size(), 1);
    run("cmd:0"); // the first window's journal still takes its changes
    QCOMPARE(journals(folder()).size(), 1);
}

void TestRecovery::newestIsOfferedFirst()
{
    // Two windows that died, the older one's journal kept out of the second's way.
    const QString aside = m_dir->filePath(QStringLiteral("older.bdtj"));
    run("cmd:0 type:Older confirm");
    die();
    QVERIFY(QFile::rename(folder() + u'/' + journals(folder()).first(), aside));
    start();
    run("cmd:0 type:Newer confirm");
    die();
    QFile older(aside);
    QVERIFY(older.open(QIODevice::ReadWrite));
    QVERIFY(older.setFileTime(QDateTime::currentDateTime().addSecs(-60),
                              QFileDevice::FileModificationTime));
    older.close();
    QVERIFY(older.rename(folder() + QStringLiteral("/journal-older.bdtj")));

    start({IMessageBox::No, IMessageBox::Yes});
    QCOMPARE(m_f->messageBox.shown.size(), 2);
    QCOMPARE(m_f->form->ListView1->Rows().at(0).Content, QStringLiteral("Older"));
    QCOMPARE(journals(folder() + QStringLiteral("/discarded")).size(), 1);
}

void TestRecovery::unreadableJournalIsSetAside_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QByteArray huge = journal::fileHeader();
    journal::RecordWriter(journal::RecordType::Snapshot).u8(1).u32(1'000'000'000).appendTo(huge);
    QByteArray pastTheEnd = journal::fileHeader();
    journal::RecordWriter(journal::RecordType::Remove).u32(5).u32(1).appendTo(pastTheEnd);
    QByteArray unknown = journal::fileHeader();
    journal::RecordWriter(journal::RecordType(99)).u32(0).appendTo(unknown);
    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("another program's file") << QByteArray("ご乗車,1,2\r\n");
    QTest::newRow("a later version") << QByteArray("BDTJ\x09\x00\x00\x00", 8);
    QTest::newRow("a billion rows claimed") << huge;
    QTest::newRow("a row that is not there") << pastTheEnd;
    QTest::newRow("a record of no known kind") << unknown;
}

void TestRecovery::unreadableJournalIsSetAside()
{
    QFETCH(QByteArray, bytes);
    die();
    QVERIFY(QDir().mkpath(folder()));
    QFile file(folder() + QStringLiteral("/journal-bad.bdtj"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();

    start();
    QCOMPARE(m_f->messageBox.shown.size(), 1);
    const auto &note = m_f->messageBox.shown.first();
    QCOMPARE(note.icon, IMessageBox::Exclamation);
    QCOMPARE(note.title, kTitle);
    QVERIFY2(note.prompt.startsWith(QStringLiteral("読み込めない復元用の記録を ")), qPrintable(note.prompt));
    QCOMPARE(journals(folder() + QStringLiteral("/discarded")), QStringList{"journal-bad.bdtj"});
    run("cmd:0"); // the window goes on
    QCOMPARE(m_f->form->ListView1->Count(), 1);
}

void TestRecovery::unwritableFolderSaysSoOnce()
{
    die();
    QFile blocker(m_dir->filePath(QStringLiteral("not-a-folder")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    m_f = std::make_unique<FormFixture>(false);
    m_f->recoveryFolder = blocker.fileName() + QStringLiteral("/recovery");
    m_f->create();

    run("cmd:0 type:A confirm cmd:0 type:B");
    QTest::qWait(700); // the editor's change and the queued message
    run("save:outTp.csv");
    QCOMPARE(m_f->messageBox.shown.size(), 1);
    const auto &box = m_f->messageBox.shown.first();
    QCOMPARE(box.icon, IMessageBox::Exclamation);
    QCOMPARE(box.title, kTitle);
    QVERIFY2(box.prompt.contains(QStringLiteral("パスの途中にフォルダーでないものがあります")),
             qPrintable(box.prompt));
    QCOMPARE(m_f->form->ListView1->Count(), 2);
    QVERIFY(QFile::exists(m_dir->filePath(QStringLiteral("outTp.csv"))));
}

void TestRecovery::journalStaysInProportion()
{
    // A long text edited over and over: each edit is a record of its own, until the journal
    // is written afresh as one snapshot.
    run("cmd:0");
    qint64 largest = 0;
    QString text;
    for (int i = 0; i < 12; ++i) {
        text = QString(1'000'000, QChar(u'a' + i));
        m_f->form->Text1->setText(text);
        m_f->form->journal()->commit();
        largest = std::max(largest, QFileInfo(folder() + u'/' + journals(folder()).first()).size());
    }
    QVERIFY2(largest < (20 << 20), qPrintable(QString::number(largest)));
    die();
    start({IMessageBox::Yes});
    QCOMPARE(m_f->form->Text1->text(), text);
}

QTEST_MAIN(TestRecovery)
#include "tst_recovery.moc"
