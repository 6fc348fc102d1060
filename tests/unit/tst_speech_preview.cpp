#include "form_fixture.h"

#include <QTest>

class TestSpeechPreview : public QObject
{
    Q_OBJECT
private slots:
    void startUpDecidesOnSystemName_data();
    void startUpDecidesOnSystemName();
    void failedCreationDisablesSilently();
    void engineWaitsForTheFirstPaint();
    void playStopsThenSpeaksEditorText_data();
    void playStopsThenSpeaksEditorText();
    void stopAndSettings();
    void failureOfAnOperationIsReported();
    void laterFailureIsShownOncePerPlay_data();
    void laterFailureIsShownOncePerPlay();
    void closingReleasesTheEngine();
    void editorTellsTheEngineItsText();
};

void TestSpeechPreview::startUpDecidesOnSystemName_data()
{
    QTest::addColumn<QString>("osName");
    QTest::addColumn<bool>("created");
    QTest::newRow("exactly Windows Vista") << "Windows Vista" << false;
    QTest::newRow("lower case") << "windows vista" << true;
    QTest::newRow("trailing space") << "Windows Vista " << true;
    QTest::newRow("suffix") << "Windows Vista SP2" << true;
    QTest::newRow("later Windows") << "Windows 7" << true;
    QTest::newRow("this system") << "Debian GNU/Linux 12 (bookworm)" << true;
    QTest::newRow("empty name") << "" << true;
}

void TestSpeechPreview::startUpDecidesOnSystemName()
{
    QFETCH(QString, osName);
    QFETCH(bool, created);
    FormFixture f(false);
    f.apiLib.osName = osName;
    f.create();
    QCOMPARE(f.speechFactory.creations, created ? 1 : 0);
    QCOMPARE(f.form->speech().SpeechEngine.isNull(), !created);
    for (QPushButton *b : f.form->Command1)
        QCOMPARE(b->isEnabled(), created);
    for (QPushButton *b : f.form->Command2)
        QVERIFY(b->isEnabled());
    QCOMPARE(f.messageBox.shown.size(), 0);
}

// The program's own window finds its engine only once it has been painted, so a slow
// engine cannot hold the window back; its buttons wait, disabled, until then.
void TestSpeechPreview::engineWaitsForTheFirstPaint()
{
    FormFixture f(false);
    f.loadAfterFirstPaint = true;
    f.create();
    QCOMPARE(f.speechFactory.creations, 0);
    for (QPushButton *b : f.form->Command1)
        QVERIFY(!b->isEnabled());

    f.form->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.form.get()));
    QTRY_COMPARE(f.speechFactory.creations, 1);
    QVERIFY(!f.form->speech().SpeechEngine.isNull());
    for (QPushButton *b : f.form->Command1)
        QVERIFY(b->isEnabled());

    // Later paints do not start it again.
    f.form->repaint();
    QTest::qWait(20);
    QCOMPARE(f.speechFactory.creations, 1);
    QCOMPARE(f.messageBox.shown.size(), 0);
}

void TestSpeechPreview::failedCreationDisablesSilently()
{
    FormFixture f(false);
    f.speechFactory.fail = true;
    f.create();
    QCOMPARE(f.speechFactory.creations, 1);
    QVERIFY(f.form->speech().SpeechEngine.isNull());
    for (QPushButton *b : f.form->Command1)
        QVERIFY(!b->isEnabled());
    QCOMPARE(f.messageBox.shown.size(), 0);
    // Everything else still works.
    f.form->Command2[0]->click();
    QCOMPARE(f.form->ListView1->Count(), 1);
}

void TestSpeechPreview::playStopsThenSpeaksEditorText_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("Japanese") << "次は終点です";
    QTest::newRow("empty") << "";
    QTest::newRow("comma and space, not validated") << "ご乗車, ありがとう ございます";
}

void TestSpeechPreview::playStopsThenSpeaksEditorText()
{
    QFETCH(QString, text);
    FormFixture f;
    f.addRows({{"stored", "0", "0"}});
    f.form->table().ListView1_ItemClick(f.form->ListView1->Item(1));
    f.form->Text1->setText(text); // unconfirmed: the editor's text is what is heard
    f.form->Command1[0]->click();
    QCOMPARE(f.speechFactory.last->calls, QStringList({"stop", "speak:" + text}));
    f.form->Command1[0]->click();
    QCOMPARE(f.speechFactory.last->calls.size(), 4);
    QCOMPARE(f.speechFactory.last->calls.at(2), QStringLiteral("stop"));
    QCOMPARE(f.row(1).Content, QStringLiteral("stored"));
}

void TestSpeechPreview::stopAndSettings()
{
    FormFixture f;
    f.form->Command1[1]->click();
    f.form->Command1[2]->click();
    f.form->speech().Command1_Click(3); // no such button: nothing
    QCOMPARE(f.speechFactory.last->calls, QStringList({"stop", "settings:音声の調節"}));
    QCOMPARE(f.speechFactory.last->ownerSeen, f.form.get());
}

void TestSpeechPreview::failureOfAnOperationIsReported()
{
    FormFixture f;
    f.speechFactory.last->failWith = RuntimeError::invalidProcedureCall(QStringLiteral("出力装置が見つかりません"));
    f.form->Text1->setText(QStringLiteral("a"));
    f.form->Command1[0]->click();
    QCOMPARE(f.messageBox.shown.size(), 1);
    QCOMPARE(f.messageBox.shown.first().prompt,
             QStringLiteral("実行時エラー '5':\r\n出力装置が見つかりません"));
    // A failed operation does not disable the buttons.
    QVERIFY(f.form->Command1[0]->isEnabled());
    QCOMPARE(f.form->Text1->text(), QStringLiteral("a"));
}

// Speech that fails after 再生 has returned is reported by the component's signal, and
// reaches the operator through the window's error boundary: one box per 再生.
void TestSpeechPreview::laterFailureIsShownOncePerPlay_data()
{
    QTest::addColumn<QList<int>>("failuresAfterEachPlay");
    QTest::addColumn<int>("boxes");
    QTest::newRow("one failure") << QList<int>{1} << 1;
    QTest::newRow("many failures of one play") << QList<int>{3} << 1;
    QTest::newRow("each play its own box") << QList<int>{2, 0, 1} << 2;
}

void TestSpeechPreview::laterFailureIsShownOncePerPlay()
{
    QFETCH(QList<int>, failuresAfterEachPlay);
    QFETCH(int, boxes);
    FormFixture f;
    f.form->setWindowTitle(QStringLiteral("放送用データ作成ツール"));
    f.form->Text1->setText(QStringLiteral("次は終点です"));
    const QString description = QStringLiteral("音声の出力装置が使えなくなりました。");
    for (int failures : failuresAfterEachPlay) {
        f.form->Command1[0]->click();
        for (int i = 0; i < failures; ++i)
            emit f.speechFactory.last->failed(5, description);
        QTest::qWait(20); // the report is queued
    }
    QCOMPARE(f.messageBox.shown.size(), boxes);
    for (const ScriptedMessageBox::Shown &box : std::as_const(f.messageBox.shown)) {
        QCOMPARE(box.prompt, QStringLiteral("実行時エラー '5':\r\n") + description);
        QCOMPARE(box.icon, IMessageBox::Critical);
        QCOMPARE(box.buttons, IMessageBox::OkOnly);
        QCOMPARE(box.title, QStringLiteral("放送用データ作成ツール"));
    }
    QVERIFY(f.form->Command1[0]->isEnabled());
}

void TestSpeechPreview::closingReleasesTheEngine()
{
    FormFixture f;
    QPointer<FakeSpeech> engine = f.speechFactory.last;
    QVERIFY(engine);
    f.form->show();
    QVERIFY(f.form->close());
    QVERIFY(engine.isNull());
    QVERIFY(f.form->speech().SpeechEngine.isNull());
    QCOMPARE(f.messageBox.shown.size(), 0);
}

void TestSpeechPreview::editorTellsTheEngineItsText()
{
    // The engine hears of the editor's text as it changes, typed or loaded, so that it can
    // make the first sound of it ahead of 再生.
    FormFixture f;
    f.addRows({{"次は終点です", "0", "0"}});
    f.load(1);
    f.form->Text1->insert(QStringLiteral("。"));
    QCOMPARE(f.speechFactory.last->prepared,
             QStringList({QStringLiteral("次は終点です"), QStringLiteral("次は終点です。")}));
    QCOMPARE(f.speechFactory.last->calls, QStringList());
}

QTEST_MAIN(TestSpeechPreview)
#include "tst_speech_preview.moc"
