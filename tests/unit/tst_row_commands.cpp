#include "table_fixture.h"

#include <QApplication>

#include <QTest>

namespace {

// A table as text: rows separated by spaces, each "content/fare/sound".
QList<BroadcastRow> parseRows(const QString &text)
{
    QList<BroadcastRow> rows;
    for (const QString &row : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QStringList f = row.split(QLatin1Char('/'));
        rows.append({f.value(0), f.value(1), f.value(2)});
    }
    return rows;
}

QString formatRows(const std::vector<BroadcastRow> &rows)
{
    QStringList out;
    for (const BroadcastRow &r : rows)
        out << r.Content + '/' + r.FareSignal + '/' + r.SoundSignal;
    return out.join(QLatin1Char(' '));
}

const QString N = QStringLiteral("(新しい行)//");
const QString kUnconfirmed = QStringLiteral("unconfirmed");

} // namespace

class TestRowCommands : public QObject
{
    Q_OBJECT
private slots:
    void init() { m_f = std::make_unique<TableFixture>(); }
    void cleanup() { m_f.reset(); }

    void command_data();
    void command();
    void addFollowsCurrentRowNotSelection();
    void insertPasteRunsTheWholeAddFirst();
    void moveUpThenDownRestoresOrder();
    void copyTakesTheStoredRow();
    void clipboardSurvivesDelete();
    void deleteFocusesTheList();
    void pasteBeforeAnyCopy_data();
    void pasteBeforeAnyCopy();

private:
    std::unique_ptr<TableFixture> m_f;
    TableEditor &table() { return *m_f->table; }
};

void TestRowCommands::command_data()
{
    QTest::addColumn<QString>("rows");
    QTest::addColumn<int>("current");
    QTest::addColumn<int>("command");
    QTest::addColumn<QString>("expectedRows");
    QTest::addColumn<int>("expectedSelected"); // 0: none
    QTest::addColumn<int>("expectedCurrent");
    QTest::addColumn<QString>("expectedText"); // editor content afterwards
    QTest::addColumn<QString>("expectedClipboard");

    const QString K = "K/1/2"; // the clipboard before each case
    const QString abc = "A/1/1 B/0/2 C/1/3";
    const QString u = kUnconfirmed;

    // Empty table, nothing loaded yet.
    QTest::newRow("empty: add") << "" << 0 << 0 << N << 1 << 1 << "(新しい行)" << K;
    QTest::newRow("empty: delete") << "" << 0 << 1 << "" << 0 << 0 << u << K;
    QTest::newRow("empty: copy") << "" << 0 << 2 << "" << 0 << 0 << u << K;
    QTest::newRow("empty: append paste") << "" << 0 << 3 << K << 1 << 1 << "K" << K;
    QTest::newRow("empty: insert paste") << "" << 0 << 4 << K << 1 << 1 << "K" << K;
    QTest::newRow("empty: move up") << "" << 0 << 5 << "" << 0 << 0 << u << K;
    QTest::newRow("empty: move down") << "" << 0 << 6 << "" << 0 << 0 << u << K;
    QTest::newRow("empty: unknown index") << "" << 0 << 7 << "" << 0 << 0 << u << K;

    // One row, loaded.
    QTest::newRow("one: add") << "A/1/1" << 1 << 0 << "A/1/1 " + N << 2 << 2 << "(新しい行)" << K;
    QTest::newRow("one: delete") << "A/1/1" << 1 << 1 << "" << 0 << 1 << "" << K;
    QTest::newRow("one: copy") << "A/1/1" << 1 << 2 << "A/1/1" << 1 << 1 << u << "A/1/1";
    QTest::newRow("one: append paste") << "A/1/1" << 1 << 3 << "A/1/1 K/1/2" << 2 << 2 << "K" << K;
    QTest::newRow("one: insert paste") << "A/1/1" << 1 << 4 << "A/1/1 K/1/2" << 2 << 2 << "K" << K;
    QTest::newRow("one: move up") << "A/1/1" << 1 << 5 << "A/1/1" << 1 << 1 << u << K;
    QTest::newRow("one: move down") << "A/1/1" << 1 << 6 << "A/1/1" << 1 << 1 << u << K;
    QTest::newRow("one: negative index") << "A/1/1" << 1 << -1 << "A/1/1" << 1 << 1 << u << K;

    // Three rows, each of them current in turn.
    QTest::newRow("three@1: add") << abc << 1 << 0 << "A/1/1 " + N + " B/0/2 C/1/3" << 2 << 2 << "(新しい行)" << K;
    QTest::newRow("three@2: add") << abc << 2 << 0 << "A/1/1 B/0/2 " + N + " C/1/3" << 3 << 3 << "(新しい行)" << K;
    QTest::newRow("three@3: add") << abc << 3 << 0 << abc + " " + N << 4 << 4 << "(新しい行)" << K;
    QTest::newRow("three@1: delete") << abc << 1 << 1 << "B/0/2 C/1/3" << 1 << 1 << "B" << K;
    QTest::newRow("three@2: delete") << abc << 2 << 1 << "A/1/1 C/1/3" << 2 << 2 << "C" << K;
    QTest::newRow("three@3: delete") << abc << 3 << 1 << "A/1/1 B/0/2" << 2 << 2 << "B" << K;
    QTest::newRow("three@1: copy") << abc << 1 << 2 << abc << 1 << 1 << u << "A/1/1";
    QTest::newRow("three@2: copy") << abc << 2 << 2 << abc << 2 << 2 << u << "B/0/2";
    QTest::newRow("three@3: copy") << abc << 3 << 2 << abc << 3 << 3 << u << "C/1/3";
    QTest::newRow("three@1: append paste") << abc << 1 << 3 << abc + " K/1/2" << 4 << 4 << "K" << K;
    QTest::newRow("three@3: append paste") << abc << 3 << 3 << abc + " K/1/2" << 4 << 4 << "K" << K;
    QTest::newRow("three@1: insert paste") << abc << 1 << 4 << "A/1/1 K/1/2 B/0/2 C/1/3" << 2 << 2 << "K" << K;
    QTest::newRow("three@2: insert paste") << abc << 2 << 4 << "A/1/1 B/0/2 K/1/2 C/1/3" << 3 << 3 << "K" << K;
    QTest::newRow("three@3: insert paste") << abc << 3 << 4 << abc + " K/1/2" << 4 << 4 << "K" << K;
    QTest::newRow("three@1: move up") << abc << 1 << 5 << abc << 1 << 1 << u << K;
    QTest::newRow("three@2: move up") << abc << 2 << 5 << "B/0/2 A/1/1 C/1/3" << 1 << 1 << "B" << K;
    QTest::newRow("three@3: move up") << abc << 3 << 5 << "A/1/1 C/1/3 B/0/2" << 2 << 2 << "C" << K;
    QTest::newRow("three@1: move down") << abc << 1 << 6 << "B/0/2 A/1/1 C/1/3" << 2 << 2 << "A" << K;
    QTest::newRow("three@2: move down") << abc << 2 << 6 << "A/1/1 C/1/3 B/0/2" << 3 << 3 << "B" << K;
    QTest::newRow("three@3: move down") << abc << 3 << 6 << abc << 3 << 3 << u << K;
}

void TestRowCommands::command()
{
    QFETCH(QString, rows);
    QFETCH(int, current);
    QFETCH(int, command);
    QFETCH(QString, expectedRows);
    QFETCH(int, expectedSelected);
    QFETCH(int, expectedCurrent);
    QFETCH(QString, expectedText);
    QFETCH(QString, expectedClipboard);

    m_f->addRows(parseRows(rows));
    if (current > 0)
        m_f->load(current);
    table().ClipboardRow = parseRows("K/1/2").first();
    table().Text1->setText(kUnconfirmed);

    table().Command2_Click(std::int16_t(command));

    QCOMPARE(formatRows(table().ListView1->Rows()), expectedRows);
    QCOMPARE(m_f->selectedRow(), expectedSelected);
    QCOMPARE(int(table().CurrentRow), expectedCurrent);
    QCOMPARE(m_f->text(), expectedText);
    const BroadcastRow &clip = table().ClipboardRow;
    QCOMPARE(clip.Content + '/' + clip.FareSignal + '/' + clip.SoundSignal, expectedClipboard);
    if (expectedText != kUnconfirmed && expectedSelected > 0) {
        // The editor shows the signals of the row it loaded.
        const BroadcastRow loaded = m_f->row(expectedSelected);
        QCOMPARE(m_f->fare(), loaded.FareSignal == "1");
        QCOMPARE(m_f->checkedOption(), loaded.SoundSignal.isEmpty() ? 0 : loaded.SoundSignal.toInt());
    }
    if (expectedText.isEmpty()) { // cleared
        QVERIFY(!m_f->fare());
        QCOMPARE(m_f->checkedOption(), 0);
    }
    QVERIFY(table().WorkItem.isNothing());
    QVERIFY(table().NewItem.isNothing());
    QCOMPARE(m_f->messageBox.shown.size(), 0);
}

void TestRowCommands::addFollowsCurrentRowNotSelection()
{
    m_f->addRows(parseRows("A/1/1 B/0/2 C/1/3"));
    m_f->load(1);
    table().ListView1->Item(3).SetSelected(true);
    table().Command2_Click(0);
    QCOMPARE(formatRows(table().ListView1->Rows()), "A/1/1 " + N + " B/0/2 C/1/3");
    QCOMPARE(m_f->selectedRow(), 2);
    // After New empties the table CurrentRow keeps its old value; add then appends row 1.
    table().ListView1->Clear();
    QCOMPARE(int(table().CurrentRow), 2);
    table().Command2_Click(0);
    QCOMPARE(formatRows(table().ListView1->Rows()), N);
    QCOMPARE(int(table().CurrentRow), 1);
}

void TestRowCommands::insertPasteRunsTheWholeAddFirst()
{
    m_f->addRows(parseRows("A/1/1 B/0/2"));
    m_f->load(1);
    table().ClipboardRow = {"K", "1", "3"};
    QStringList editorTexts;
    QObject::connect(table().Text1, &QLineEdit::textChanged, table().Text1,
                     [&](const QString &t) { editorTexts << t; });
    table().Command2_Click(4);
    // The editor showed the placeholder of the nested add before the pasted values.
    QCOMPARE(editorTexts, QStringList({"(新しい行)", "K"}));
    QCOMPARE(formatRows(table().ListView1->Rows()), QStringLiteral("A/1/1 K/1/3 B/0/2"));
    QCOMPARE(m_f->checkedOption(), 3);
    QVERIFY(m_f->fare());
}

void TestRowCommands::moveUpThenDownRestoresOrder()
{
    m_f->addRows(parseRows("X/0/0 A/1/1 B/0/2"));
    m_f->load(3);
    table().Command2_Click(5);
    QCOMPARE(formatRows(table().ListView1->Rows()), QStringLiteral("X/0/0 B/0/2 A/1/1"));
    QCOMPARE(m_f->selectedRow(), 2);
    QCOMPARE(int(table().CurrentRow), 2);
    QCOMPARE(table().SwapRow, (BroadcastRow{"A", "1", "1"}));
    table().Command2_Click(6);
    QCOMPARE(formatRows(table().ListView1->Rows()), QStringLiteral("X/0/0 A/1/1 B/0/2"));
    QCOMPARE(m_f->selectedRow(), 3);
    QCOMPARE(int(table().CurrentRow), 3);
    QCOMPARE(m_f->text(), QStringLiteral("B"));
}

void TestRowCommands::copyTakesTheStoredRow()
{
    m_f->addRows(parseRows("A/1/1"));
    m_f->load(1);
    table().Text1->setText(QStringLiteral("edited"));
    table().Check1->setChecked(false);
    table().Command2_Click(2);
    table().Command2_Click(3);
    QCOMPARE(formatRows(table().ListView1->Rows()), QStringLiteral("A/1/1 A/1/1"));
}

void TestRowCommands::clipboardSurvivesDelete()
{
    m_f->addRows(parseRows("A/1/1 B/0/2"));
    m_f->load(2);
    table().Command2_Click(2); // copy B
    table().Command2_Click(1); // delete B
    table().Command2_Click(1); // delete A
    QCOMPARE(table().ListView1->Count(), 0);
    QCOMPARE(int(table().CurrentRow), 1);
    table().Command2_Click(4); // insert paste into the empty table
    QCOMPARE(formatRows(table().ListView1->Rows()), QStringLiteral("B/0/2"));
    QCOMPARE(m_f->checkedOption(), 2);
}

void TestRowCommands::deleteFocusesTheList()
{
    m_f->addRows(parseRows("A/1/1 B/0/2"));
    m_f->host.show();
    QVERIFY(QTest::qWaitForWindowActive(&m_f->host));
    m_f->load(1);
    table().Text1->setFocus();
    table().Command2_Click(1);
    QCOMPARE(QApplication::focusWidget(), table().ListView1->view());
    QCOMPARE(formatRows(table().ListView1->Rows()), QStringLiteral("B/0/2"));
    QCOMPARE(m_f->text(), QStringLiteral("B"));
}

void TestRowCommands::pasteBeforeAnyCopy_data()
{
    QTest::addColumn<QString>("rows");
    QTest::addColumn<int>("command");
    QTest::addColumn<QString>("expectedRows");
    QTest::addColumn<int>("expectedRow");
    QTest::newRow("append paste, empty table") << "" << 3 << "//" << 1;
    QTest::newRow("insert paste, empty table") << "" << 4 << "//" << 1;
    QTest::newRow("append paste below rows") << "A/1/3 B/0/2" << 3 << "A/1/3 B/0/2 //" << 3;
    QTest::newRow("insert paste below row 1") << "A/1/3 B/0/2" << 4 << "A/1/3 // B/0/2" << 2;
}

void TestRowCommands::pasteBeforeAnyCopy()
{
    QFETCH(QString, rows);
    QFETCH(int, command);
    QFETCH(QString, expectedRows);
    QFETCH(int, expectedRow);
    m_f->addRows(parseRows(rows));
    if (!rows.isEmpty())
        m_f->load(1);
    table().Text1->setText(kUnconfirmed);
    table().Command2_Click(std::int16_t(command));
    QCOMPARE(formatRows(table().ListView1->Rows()), expectedRows);
    QCOMPARE(m_f->selectedRow(), expectedRow);
    QCOMPARE(int(table().CurrentRow), expectedRow);
    QCOMPARE(m_f->text(), QString());
    QVERIFY(!m_f->fare());
    QCOMPARE(m_f->checkedOption(), 0);
    QCOMPARE(table().ClipboardRow, BroadcastRow());
}

QTEST_MAIN(TestRowCommands)
#include "tst_row_commands.moc"
