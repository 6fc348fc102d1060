#include "table_fixture.h"

#include <QApplication>

#include <QTest>

class TestRowConfirmation : public QObject
{
    Q_OBJECT
private slots:
    void init() { m_f = std::make_unique<TableFixture>(); }
    void cleanup() { m_f.reset(); }

    void forbiddenCharacterPosition_data();
    void forbiddenCharacterPosition();
    void refusal_data();
    void refusal();
    void acceptance_data();
    void acceptance();
    void guardIgnoresClick_data();
    void guardIgnoresClick();
    void noSelectedRowWritesTheRowInTheEditor();

private:
    std::unique_ptr<TableFixture> m_f;
    TableEditor &table() { return *m_f->table; }
};

void TestRowConfirmation::forbiddenCharacterPosition_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("position");
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("clean Japanese") << "次は終点です" << 0;
    QTest::newRow("comma at 3") << "ab,c" << 3;
    QTest::newRow("leading tab") << "\tabc" << 1;
    QTest::newRow("space at the end") << "abc " << 4;
    QTest::newRow("ideographic space") << QString::fromUtf16(u"次は\u3000終点") << 3;
    QTest::newRow("leftmost of comma and space") << "a,bc d" << 2;
    QTest::newRow("leftmost of space and comma") << "a bc,d" << 2;
    QTest::newRow("full-width comma passes") << QString::fromUtf16(u"a\uFF0Cb") << 0;
    QTest::newRow("ideographic comma passes") << QString::fromUtf16(u"a\u3001b") << 0;
    QTest::newRow("no-break space passes") << QString::fromUtf16(u"a\u00A0b") << 0;
    QTest::newRow("line feed passes") << "a\nb" << 0;
    QTest::newRow("after a surrogate pair") << QString::fromUtf16(u"\U0001F600,") << 3;
}

void TestRowConfirmation::forbiddenCharacterPosition()
{
    QFETCH(QString, text);
    QFETCH(int, position);
    const QString before = text;
    QCOMPARE(table().IsCommaAndTab(text), position);
    QCOMPARE(text, before);
}

void TestRowConfirmation::refusal_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("position");
    QTest::newRow("comma at 3") << "ab,c" << 3;
    QTest::newRow("tab first") << "\tx" << 1;
    QTest::newRow("comma at 2, space at 5") << "a,bc d" << 2;
    QTest::newRow("ideographic space at 12")
        << QString::fromUtf16(u"ご乗車ありがとうござい\u3000ます") << 12;
    QTest::newRow("two-digit position") << "abcdefghij klm" << 11;
}

void TestRowConfirmation::refusal()
{
    QFETCH(QString, text);
    QFETCH(int, position);
    m_f->addRows({{"stored", "0", "1"}});
    m_f->host.show();
    QVERIFY(QTest::qWaitForWindowActive(&m_f->host));
    m_f->load(1);
    table().Text1->setText(text);
    table().Check1->setChecked(true);
    table().Option1[3]->setChecked(true);
    table().Check1->setFocus();
    m_f->messageBox.answers << IMessageBox::Ok;
    // While the box is up, the text box has not been touched yet.
    bool selectionBeforeClose = true;
    m_f->messageBox.whileShown = [&] { selectionBeforeClose = table().Text1->hasSelectedText(); };

    table().Command3_Click();

    QCOMPARE(m_f->messageBox.shown.size(), 1);
    const auto &box = m_f->messageBox.shown.first();
    QCOMPARE(box.prompt, QStringLiteral("入力した放送内容の %1 文字目あたりに、"
                                        "使用禁止の文字（カンマ・タブ・スペース）が含まれています！"
                                        "\r\n修正してください。").arg(position));
    QCOMPARE(box.title, QStringLiteral("エラー"));
    QCOMPARE(box.buttons, IMessageBox::OkOnly);
    QCOMPARE(box.icon, IMessageBox::Exclamation);
    QVERIFY(!selectionBeforeClose);
    QCOMPARE(table().Text1->selectionStart(), position - 1);
    QCOMPARE(table().Text1->selectedText().size(), 1);
    QCOMPARE(table().Text1->selectedText(), text.mid(position - 1, 1));
    QCOMPARE(QApplication::focusWidget(), table().Text1);
    QCOMPARE(m_f->row(1), (BroadcastRow{"stored", "0", "1"}));
    QCOMPARE(table().Text1->text(), text);
}

void TestRowConfirmation::acceptance_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("fare");
    QTest::addColumn<int>("option");
    QTest::addColumn<QString>("expectedFare");
    QTest::addColumn<QString>("expectedSound");
    QTest::newRow("checked, sound 3") << "次は終点です" << true << 3 << "1" << "3";
    QTest::newRow("unchecked, sound 0") << "ご乗車ありがとうございます" << false << 0 << "0" << "0";
    QTest::newRow("sound 1") << "a" << false << 1 << "0" << "1";
    QTest::newRow("sound 2") << "a" << true << 2 << "1" << "2";
    QTest::newRow("empty content") << "" << true << 2 << "1" << "2";
    QTest::newRow("full-width comma") << QString::fromUtf16(u"a\uFF0Cb") << false << 0 << "0" << "0";
    QTest::newRow("long content") << QString(40000, QChar(u'長')) << false << 1 << "0" << "1";
}

void TestRowConfirmation::acceptance()
{
    QFETCH(QString, text);
    QFETCH(bool, fare);
    QFETCH(int, option);
    QFETCH(QString, expectedFare);
    QFETCH(QString, expectedSound);
    // A row just added, with empty signals, gets both at its first confirmation.
    m_f->addRows({{"first", "1", "3"}});
    m_f->host.show();
    QVERIFY(QTest::qWaitForWindowActive(&m_f->host));
    m_f->load(1);
    table().Command2_Click(0);
    QCOMPARE(m_f->row(2), (BroadcastRow{"(新しい行)", "", ""}));
    table().Text1->setText(text);
    table().Check1->setChecked(fare);
    table().Option1[size_t(option)]->setChecked(true);
    table().Text1->setFocus();

    table().Command3_Click();

    QCOMPARE(m_f->row(2), (BroadcastRow{text, expectedFare, expectedSound}));
    QCOMPARE(m_f->row(1), (BroadcastRow{"first", "1", "3"}));
    QCOMPARE(m_f->messageBox.shown.size(), 0);
    QCOMPARE(table().Text1->text(), text);
    QCOMPARE(m_f->fare(), fare);
    QCOMPARE(m_f->checkedOption(), option);
    QCOMPARE(QApplication::focusWidget(), table().Text1);
    QCOMPARE(m_f->selectedRow(), 2);
    QCOMPARE(int(table().CurrentRow), 2);
}

void TestRowConfirmation::guardIgnoresClick_data()
{
    QTest::addColumn<bool>("withRows");
    QTest::addColumn<QString>("emptiedBy"); // after row 2 was current
    QTest::newRow("empty table") << false << "";
    QTest::newRow("rows, none loaded yet") << true << "";
    QTest::newRow("emptied by deletes") << false << "deletes";
}

void TestRowConfirmation::guardIgnoresClick()
{
    QFETCH(bool, withRows);
    QFETCH(QString, emptiedBy);
    if (withRows)
        m_f->addRows({{"a", "0", "0"}});
    if (!emptiedBy.isEmpty()) {
        m_f->addRows({{"a", "0", "0"}, {"b", "1", "1"}});
        m_f->load(2);
        table().Command2_Click(1);
        table().Command2_Click(1);
        QCOMPARE(table().ListView1->Count(), 0);
        QVERIFY(table().CurrentRow != 0); // still names the row loaded last
    }
    table().Text1->setText(QStringLiteral("x,y"));
    table().Check1->setChecked(true);
    table().Command3_Click();
    QCOMPARE(m_f->messageBox.shown.size(), 0);
    QCOMPARE(m_f->text(), QStringLiteral("x,y"));
    if (withRows)
        QCOMPARE(m_f->row(1), (BroadcastRow{"a", "0", "0"}));
}

void TestRowConfirmation::noSelectedRowWritesTheRowInTheEditor()
{
    m_f->addRows({{"a", "0", "0"}, {"b", "0", "0"}});
    m_f->load(2);
    table().ListView1->Item(2).SetSelected(false);
    QVERIFY(table().ListView1->SelectedItem().isNothing());
    table().Text1->setText(QStringLiteral("B"));
    table().Check1->setChecked(true);
    table().Option1[1]->setChecked(true);
    table().Command3_Click();
    QCOMPARE(m_f->row(2), (BroadcastRow{"B", "1", "1"}));
    QCOMPARE(m_f->row(1), (BroadcastRow{"a", "0", "0"}));
}

QTEST_MAIN(TestRowConfirmation)
#include "tst_row_confirmation.moc"
