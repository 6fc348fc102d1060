#include "form_fixture.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QString kDelete = QStringLiteral("編集中の内容を削除してもよろしいですか？");
const QString kDiscard = QStringLiteral("編集中の内容は破棄してもよろしいですか？");

QByteArray sjis(const char *hex) { return QByteArray::fromHex(hex); }
} // namespace

class TestFileMenu : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_f = std::make_unique<FormFixture>();
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }
    void cleanup() { m_f.reset(); }

    void newCommand_data();
    void newCommand();
    void openAsksFirstAndKeepsTableWhenCancelled_data();
    void openAsksFirstAndKeepsTableWhenCancelled();
    void openLoadsRowsAndRowOne();
    void openZeroBytesKeepsEditor_data();
    void openZeroBytesKeepsEditor();
    void openFailureShowsRowsThenEmpties_data();
    void openFailureShowsRowsThenEmpties();
    void clipboardSurvivesOpen();
    void saveWritesExactBytes();
    void saveCancelledOrEmptyDoesNothing();
    void saveRefusalLeavesOldFile_data();
    void saveRefusalLeavesOldFile();
    void exitCommand_data();
    void exitCommand();
    void closeFromFrame_data();
    void closeFromFrame();

private:
    std::unique_ptr<FormFixture> m_f;
    std::unique_ptr<QTemporaryDir> m_dir;
    Form1 &form() { return *m_f->form; }
    QString path(const QString &name) const { return m_dir->filePath(name); }
    QString write(const QString &name, const QByteArray &bytes)
    {
        QFile f(path(name));
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            qFatal("cannot write test file");
        return path(name);
    }
    QByteArray read(const QString &file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    void verifyQuestion(int i, const QString &prompt, const QString &title)
    {
        const auto &box = m_f->messageBox.shown.at(i);
        QCOMPARE(box.prompt, prompt);
        QCOMPARE(box.title, title);
        QCOMPARE(box.buttons, IMessageBox::YesNo);
        QCOMPARE(box.icon, IMessageBox::Question);
    }
};

void TestFileMenu::newCommand_data()
{
    QTest::addColumn<bool>("rows");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("emptied");
    QTest::newRow("empty table: nothing, no question") << false << 0 << false;
    QTest::newRow("rows, No") << true << int(IMessageBox::No) << false;
    QTest::newRow("rows, Yes") << true << int(IMessageBox::Yes) << true;
}

void TestFileMenu::newCommand()
{
    QFETCH(bool, rows);
    QFETCH(int, answer);
    QFETCH(bool, emptied);
    if (rows) {
        m_f->addRows({{"a", "1", "3"}, {"b", "0", "0"}});
        m_f->load(2);
        m_f->messageBox.answers << IMessageBox::Answer(answer);
    }
    form().Text1->setText(QStringLiteral("typed"));
    form().Check1->setChecked(true);
    form().Option1[2]->setChecked(true);

    form().MnuFileNew->trigger();

    QCOMPARE(m_f->messageBox.shown.size(), rows ? 1 : 0);
    if (rows)
        verifyQuestion(0, kDelete, QStringLiteral("削除の確認"));
    QCOMPARE(form().ListView1->Count(), emptied ? 0 : (rows ? 2 : 0));
    QCOMPARE(m_f->text(), emptied ? QString() : QStringLiteral("typed"));
    QCOMPARE(m_f->fare(), !emptied);
    QCOMPARE(m_f->checkedOption(), emptied ? 0 : 2);
    QCOMPARE(int(form().table().CurrentRow), rows ? 2 : 0);
}

void TestFileMenu::openAsksFirstAndKeepsTableWhenCancelled_data()
{
    QTest::addColumn<bool>("rows");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("dialogShown");
    QTest::newRow("empty table: dialog at once, cancelled") << false << 0 << true;
    QTest::newRow("rows, No: no dialog") << true << int(IMessageBox::No) << false;
    QTest::newRow("rows, Yes, then cancelled: all kept") << true << int(IMessageBox::Yes) << true;
}

void TestFileMenu::openAsksFirstAndKeepsTableWhenCancelled()
{
    QFETCH(bool, rows);
    QFETCH(int, answer);
    QFETCH(bool, dialogShown);
    if (rows) {
        m_f->addRows({{"a", "1", "3"}, {"b", "0", "0"}});
        m_f->load(1);
        m_f->messageBox.answers << IMessageBox::Answer(answer);
    }
    form().Text1->setText(QStringLiteral("typed"));
    int rowsWhileDialog = -1;
    m_f->apiLib.whileOpenShown = [&] { rowsWhileDialog = form().ListView1->Count(); };
    m_f->apiLib.openAnswers << QString(); // cancel

    form().MnuFileOpen->trigger();

    QCOMPARE(m_f->messageBox.shown.size(), rows ? 1 : 0);
    if (rows)
        verifyQuestion(0, kDelete, QStringLiteral("削除の確認"));
    QCOMPARE(m_f->apiLib.openCalls.size(), dialogShown ? 1 : 0);
    if (dialogShown) {
        const auto &call = m_f->apiLib.openCalls.first();
        QCOMPARE(call.owner, &form());
        QCOMPARE(call.reserved, 0);
        QCOMPARE(call.filter, QStringLiteral("放送用データファイル(*Tp.csv)") + QChar(0)
                                  + QStringLiteral("*Tp.csv") + QChar(0) + QChar(0));
        QCOMPARE(call.initial, QString());
        QCOMPARE(call.title, QStringLiteral("放送用データファイルを開く"));
        QCOMPARE(rowsWhileDialog, rows ? 2 : 0); // nothing is deleted before a file is chosen
    }
    QCOMPARE(form().ListView1->Count(), rows ? 2 : 0);
    QCOMPARE(m_f->text(), QStringLiteral("typed"));
}

void TestFileMenu::openLoadsRowsAndRowOne()
{
    const QString file = write("threeTp.csv", QByteArray("a,1,3\r\n") + sjis("8E9F82CD8F49935F82C582B7") + ",0,0\r\n(x),7,9\r\n");
    m_f->addRows({{"old", "0", "0"}});
    m_f->load(1);
    m_f->messageBox.answers << IMessageBox::Yes;
    m_f->apiLib.openAnswers << file;
    form().MnuFileOpen->trigger();
    QCOMPARE(m_f->messageBox.shown.size(), 1);
    QCOMPARE(form().ListView1->Count(), 3);
    QCOMPARE(m_f->row(1), (BroadcastRow{"a", "1", "3"}));
    QCOMPARE(m_f->row(2), (BroadcastRow{"次は終点です", "0", "0"}));
    QCOMPARE(m_f->row(3), (BroadcastRow{"(x)", "7", "9"}));
    QCOMPARE(m_f->selectedRow(), 1);
    QCOMPARE(int(form().table().CurrentRow), 1);
    QCOMPARE(m_f->text(), QStringLiteral("a"));
    QVERIFY(m_f->fare());
    QCOMPARE(m_f->checkedOption(), 3);
}

void TestFileMenu::openZeroBytesKeepsEditor_data()
{
    QTest::addColumn<bool>("rows");
    QTest::newRow("empty table: the editor keeps its text") << false;
    QTest::newRow("rows, Yes: the editor stays cleared") << true;
}

void TestFileMenu::openZeroBytesKeepsEditor()
{
    QFETCH(bool, rows);
    const QString file = write("emptyTp.csv", QByteArray());
    if (rows) {
        m_f->addRows({{"a", "1", "3"}});
        m_f->load(1);
        m_f->messageBox.answers << IMessageBox::Yes;
    }
    form().Text1->setText(QStringLiteral("typed"));
    m_f->apiLib.openAnswers << file;
    form().MnuFileOpen->trigger();
    QCOMPARE(form().ListView1->Count(), 0);
    QCOMPARE(m_f->messageBox.shown.size(), rows ? 1 : 0);
    QCOMPARE(m_f->text(), rows ? QString() : QStringLiteral("typed"));
    QCOMPARE(m_f->fare(), false);
    QCOMPARE(m_f->checkedOption(), 0);
}

void TestFileMenu::openFailureShowsRowsThenEmpties_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("rowsBefore");
    QTest::addColumn<QString>("detailStart");
    QTest::newRow("four fields on line 3") << QByteArray("a,0,0\r\nb,1,1\r\nc,1,1,x\r\nd,0,0\r\n")
                                           << 2 << "3 行目: ";
    QTest::newRow("truncated double-byte character")
        << QByteArray("a,0,0\r\nb,1,") + sjis("82") << 1 << "2 行目: ";
    QTest::newRow("lead byte with a bad trail byte")
        << QByteArray("a,0,0\r\n") + sjis("8220") + ",0,0\r\n" << 1 << "2 行目: ";
    QTest::newRow("missing file") << QByteArray() << 0 << "";
}

void TestFileMenu::openFailureShowsRowsThenEmpties()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, rowsBefore);
    QFETCH(QString, detailStart);
    const QString file = detailStart.isEmpty() ? path("missingTp.csv") : write("badTp.csv", bytes);
    form().Text1->setText(QStringLiteral("typed"));
    const std::int16_t currentBefore = form().table().CurrentRow;
    m_f->apiLib.openAnswers << file;
    m_f->messageBox.answers << IMessageBox::Ok;
    int rowsWhileShown = -1;
    m_f->messageBox.whileShown = [&] { rowsWhileShown = form().ListView1->Count(); };

    form().MnuFileOpen->trigger();

    QCOMPARE(m_f->messageBox.shown.size(), 1);
    const auto &box = m_f->messageBox.shown.first();
    QCOMPARE(box.title, QStringLiteral("読み込みエラー"));
    QCOMPARE(box.icon, IMessageBox::Critical);
    QCOMPARE(box.buttons, IMessageBox::OkOnly);
    const QStringList lines = box.prompt.split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines[0], QStringLiteral("読み込み時にエラーが発生しました"));
    QVERIFY2(lines[1].startsWith(detailStart) && lines[1].size() > detailStart.size(),
             qPrintable(lines[1]));
    QCOMPARE(rowsWhileShown, rowsBefore);
    QCOMPARE(form().ListView1->Count(), 0);
    QCOMPARE(m_f->text(), QStringLiteral("typed"));
    QCOMPARE(form().table().CurrentRow, currentBefore);
}

void TestFileMenu::clipboardSurvivesOpen()
{
    m_f->addRows({{"keep", "1", "2"}});
    m_f->load(1);
    form().table().Command2_Click(2);
    m_f->messageBox.answers << IMessageBox::Yes;
    m_f->apiLib.openAnswers << write("otherTp.csv", "x,0,0\r\n");
    form().MnuFileOpen->trigger();
    form().table().Command2_Click(3);
    QCOMPARE(form().ListView1->Count(), 2);
    QCOMPARE(m_f->row(2), (BroadcastRow{"keep", "1", "2"}));
}

void TestFileMenu::saveWritesExactBytes()
{
    m_f->addRows({{"ご乗車ありがとうございます", "1", "2"}, {"次は終点です", "0", "0"}});
    form().table().Command2_Click(0); // a placeholder row, appended since nothing is current
    const QString file = write("outTp.csv", "old contents that are longer than the new file ...............");
    m_f->commonDialog.answers << file;
    form().MnuFileSave->trigger();
    QCOMPARE(m_f->messageBox.shown.size(), 0);
    QCOMPARE(m_f->commonDialog.filtersSeen, QStringList({"放送用データファイル(*.csv)|*.csv"}));
    QCOMPARE(m_f->commonDialog.defaultExtsSeen, QStringList({"*.csv"}));
    const QByteArray expected = sjis("82B28FE68ED482A082E882AA82C682A482B282B482A282DC82B7") + ",1,2\r\n"
        + sjis("8E9F82CD8F49935F82C582B72C302C300D0A") + sjis("28905682B582A28D73292C2C0D0A");
    QCOMPARE(expected.size(), 50 + 14);
    QCOMPARE(read(file), expected);
    // The table, editor and current row are untouched by saving.
    QCOMPARE(form().ListView1->Count(), 3);
    QCOMPARE(int(form().table().CurrentRow), 3);
}

void TestFileMenu::saveCancelledOrEmptyDoesNothing()
{
    form().MnuFileSave->trigger();
    QCOMPARE(m_f->commonDialog.shows, 0);
    m_f->addRows({{"a", "0", "0"}});
    m_f->commonDialog.answers << QString(); // cancel
    form().MnuFileSave->trigger();
    QCOMPARE(m_f->commonDialog.shows, 1);
    QCOMPARE(m_f->messageBox.shown.size(), 0);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files).size(), 0);
}

void TestFileMenu::saveRefusalLeavesOldFile_data()
{
    QTest::addColumn<QString>("content");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("detailStart");
    QTest::newRow("emoji in content") << QString::fromUtf16(u"ok\U0001F600") << "keep" << "2 行目の放送内容: ";
    QTest::newRow("line feed in content") << "a\nb" << "keep" << "2 行目の放送内容: ";
    QTest::newRow("folder that cannot be written") << "fine" << "/proc/bdt-cannot-write.csv" << "";
}

void TestFileMenu::saveRefusalLeavesOldFile()
{
    QFETCH(QString, content);
    QFETCH(QString, target);
    QFETCH(QString, detailStart);
    m_f->addRows({{"first", "0", "0"}, {content, "1", "1"}});
    const QByteArray old("previous file\r\n");
    const QString file = target == "keep" ? write("keepTp.csv", old) : target;
    m_f->commonDialog.answers << file;
    m_f->messageBox.answers << IMessageBox::Ok;
    form().MnuFileSave->trigger();
    QCOMPARE(m_f->messageBox.shown.size(), 1);
    const auto &box = m_f->messageBox.shown.first();
    QCOMPARE(box.title, QStringLiteral("保存エラー"));
    QCOMPARE(box.icon, IMessageBox::Critical);
    const QStringList lines = box.prompt.split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines[0], QStringLiteral("保存時にエラーが発生しました"));
    QVERIFY2(lines[1].startsWith(detailStart), qPrintable(lines[1]));
    if (target == "keep")
        QCOMPARE(read(file), old);
    else
        QVERIFY(!QFile::exists(file));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden).size(), target == "keep" ? 1 : 0);
    QCOMPARE(form().ListView1->Count(), 2);
}

void TestFileMenu::exitCommand_data()
{
    QTest::addColumn<bool>("rows");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("ends");
    QTest::newRow("empty: ends without a question") << false << 0 << true;
    QTest::newRow("rows, No: keeps running") << true << int(IMessageBox::No) << false;
    QTest::newRow("rows, Yes: ends") << true << int(IMessageBox::Yes) << true;
}

void TestFileMenu::exitCommand()
{
    QFETCH(bool, rows);
    QFETCH(int, answer);
    QFETCH(bool, ends);
    if (rows) {
        m_f->addRows({{"a", "0", "0"}});
        m_f->messageBox.answers << IMessageBox::Answer(answer);
    }
    form().MnuFileExit->trigger();
    QCOMPARE(m_f->messageBox.shown.size(), rows ? 1 : 0);
    if (rows)
        verifyQuestion(0, kDiscard, QStringLiteral("破棄の確認"));
    QCOMPARE(m_f->endProgramCalls, ends ? 1 : 0);
    QCOMPARE(form().ListView1->Count(), rows ? 1 : 0);
    QVERIFY(!form().speech().SpeechEngine.isNull()); // Exit does not go through the close handling
}

void TestFileMenu::closeFromFrame_data()
{
    QTest::addColumn<bool>("rows");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("closes");
    QTest::newRow("empty: closes without a question") << false << 0 << true;
    QTest::newRow("rows, No: stays open, nothing changes") << true << int(IMessageBox::No) << false;
    QTest::newRow("rows, Yes: closes") << true << int(IMessageBox::Yes) << true;
}

void TestFileMenu::closeFromFrame()
{
    QFETCH(bool, rows);
    QFETCH(int, answer);
    QFETCH(bool, closes);
    if (rows) {
        m_f->addRows({{"a", "1", "2"}});
        m_f->load(1);
        m_f->messageBox.answers << IMessageBox::Answer(answer);
    }
    form().show();
    QVERIFY(QTest::qWaitForWindowExposed(&form()));
    QPointer<ISpeechComponent> engine = form().speech().SpeechEngine;
    QVERIFY(engine);

    QCOMPARE(form().close(), closes);

    QCOMPARE(m_f->messageBox.shown.size(), rows ? 1 : 0);
    if (rows)
        verifyQuestion(0, kDiscard, QStringLiteral("破棄の確認"));
    QCOMPARE(form().isVisible(), !closes);
    QCOMPARE(engine.isNull(), closes); // released only when the window really closes
    QCOMPARE(form().ListView1->Count(), rows ? 1 : 0);
}

QTEST_MAIN(TestFileMenu)
#include "tst_file_menu.moc"
