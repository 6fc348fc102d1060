#include "platform/list/list_model.h"
#include "platform/list/list_view.h"
#include "platform/list/report_view.h"
#include "platform/runtime/runtime_error.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>

class TestListView : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void addAtPositionsAndEnd();
    void referencesFollowTheirRow();
    void removedReferenceKeepsValues();
    void clearDetachesEveryReference();
    void removingSelectedRowSelectsItsSuccessor_data();
    void removingSelectedRowSelectsItsSuccessor();
    void badIndicesRaise_data();
    void badIndicesRaise();
    void nothingRaises();
    void selectionByCodeIsNotReported();
    void bulkAppendKeepsOrder();
    void longFieldIsShownCut_data();
    void longFieldIsShownCut();

private:
    QWidget *m_window = nullptr;
    ListView *m_list = nullptr;
    QAbstractItemModelTester *m_tester = nullptr;

    void fill(int n)
    {
        for (int i = 1; i <= n; ++i)
            m_list->Add(0, QString::number(i));
    }
    QStringList texts() const
    {
        QStringList out;
        for (const BroadcastRow &row : m_list->Rows())
            out << row.Content;
        return out;
    }
};

void TestListView::init()
{
    m_window = new QWidget;
    m_list = new ListView(m_window);
    m_tester = new QAbstractItemModelTester(m_list->model(),
                                            QAbstractItemModelTester::FailureReportingMode::QtTest,
                                            m_list);
}

void TestListView::cleanup()
{
    delete m_window;
}

void TestListView::addAtPositionsAndEnd()
{
    ListItem first = m_list->Add(0, QStringLiteral("b"));
    QCOMPARE(first.Index(), 1);
    ListItem top = m_list->Add(1, QStringLiteral("a"));
    QCOMPARE(top.Index(), 1);
    ListItem end = m_list->Add(3, QStringLiteral("c"));
    QCOMPARE(end.Index(), 3);
    QCOMPARE(texts(), QStringList({"a", "b", "c"}));
    QCOMPARE(end.SubItem(1), QString());
    QCOMPARE(end.SubItem(2), QString());
    QCOMPARE(m_list->Count(), 3);
}

void TestListView::referencesFollowTheirRow()
{
    fill(3);
    ListItem second = m_list->Item(2);
    m_list->Add(1, QStringLiteral("new top"));
    QCOMPARE(second.Index(), 3);
    QCOMPARE(second.Text(), QStringLiteral("2"));
    m_list->Remove(1);
    m_list->Remove(1);
    QCOMPARE(second.Index(), 1);
    second.SetSubItem(2, QStringLiteral("3"));
    QCOMPARE(m_list->Rows().front().SoundSignal, QStringLiteral("3"));
    // A row below the reference does not move it.
    m_list->Add(2, QStringLiteral("below"));
    QCOMPARE(second.Index(), 1);
}

void TestListView::removedReferenceKeepsValues()
{
    fill(2);
    ListItem first = m_list->Item(1);
    first.SetSubItem(1, QStringLiteral("1"));
    m_list->Remove(1);
    QVERIFY(!first.isInList());
    QCOMPARE(first.Text(), QStringLiteral("1"));
    QCOMPARE(first.SubItem(1), QStringLiteral("1"));
    QVERIFY_THROWS_EXCEPTION(RuntimeError, first.Index());
    QCOMPARE(texts(), QStringList({"2"}));
}

void TestListView::clearDetachesEveryReference()
{
    fill(3);
    ListItem a = m_list->Item(1), c = m_list->Item(3);
    m_list->Clear();
    QCOMPARE(m_list->Count(), 0);
    QVERIFY(!a.isInList() && !c.isInList());
    QCOMPARE(c.Text(), QStringLiteral("3"));
    QVERIFY(m_list->SelectedItem().isNothing());
}

void TestListView::removingSelectedRowSelectsItsSuccessor_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("selected");
    QTest::addColumn<int>("removed");
    QTest::addColumn<int>("expectedSelected"); // 0 = none

    QTest::newRow("middle row: the next takes its place") << 3 << 2 << 2 << 2;
    QTest::newRow("first row") << 3 << 1 << 1 << 1;
    QTest::newRow("last row: the new last row") << 3 << 3 << 3 << 2;
    QTest::newRow("only row: nothing left") << 1 << 1 << 1 << 0;
    QTest::newRow("other row above: selection follows its row") << 3 << 3 << 1 << 2;
    QTest::newRow("other row below: selection stays") << 3 << 1 << 3 << 1;
}

void TestListView::removingSelectedRowSelectsItsSuccessor()
{
    QFETCH(int, rows);
    QFETCH(int, selected);
    QFETCH(int, removed);
    QFETCH(int, expectedSelected);
    fill(rows);
    m_list->Item(selected).SetSelected(true);
    m_list->Remove(removed);
    ListItem now = m_list->SelectedItem();
    QCOMPARE(now.isNothing() ? 0 : now.Index(), expectedSelected);
    if (expectedSelected) {
        QVERIFY(now.Selected());
        QCOMPARE(m_list->view()->currentIndex().row(), expectedSelected - 1);
    }
}

void TestListView::badIndicesRaise_data()
{
    QTest::addColumn<int>("index");
    QTest::newRow("zero") << 0;
    QTest::newRow("past the end") << 3;
    QTest::newRow("negative") << -1;
}

void TestListView::badIndicesRaise()
{
    QFETCH(int, index);
    fill(2);
    try {
        m_list->Item(index);
        QFAIL("no error raised");
    } catch (const RuntimeError &e) {
        QCOMPARE(e.number(), 35600);
    }
    QVERIFY_THROWS_EXCEPTION(RuntimeError, m_list->Remove(index));
    if (index != 0 && index != 3)
        QVERIFY_THROWS_EXCEPTION(RuntimeError, m_list->Add(index, QString()));
    QCOMPARE(m_list->Count(), 2);
}

void TestListView::nothingRaises()
{
    ListItem nothing;
    QVERIFY(nothing.isNothing());
    try {
        (void)nothing.Text();
        QFAIL("no error raised");
    } catch (const RuntimeError &e) {
        QCOMPARE(e.number(), 91);
    }
}

void TestListView::selectionByCodeIsNotReported()
{
    fill(3);
    QSignalSpy clicks(m_list, &ListView::ItemClick);
    m_list->Item(2).SetSelected(true);
    QVERIFY(m_list->Item(2).Selected());
    QVERIFY(!m_list->Item(1).Selected());
    m_list->Item(3).SetSelected(true);
    QCOMPARE(m_list->SelectedItem().Index(), 3);
    QCOMPARE(clicks.count(), 0);
}

void TestListView::bulkAppendKeepsOrder()
{
    fill(1);
    ListItem first = m_list->Item(1);
    m_list->AppendRows({{"x", "1", "2"}, {"y", "0", "3"}});
    QCOMPARE(texts(), QStringList({"1", "x", "y"}));
    QCOMPARE(first.Index(), 1);
    QCOMPARE(m_list->Item(3).SubItem(2), QStringLiteral("3"));
}

void TestListView::longFieldIsShownCut_data()
{
    QTest::addColumn<QString>("content");
    QTest::addColumn<QString>("shown");
    const QString k(1000, QChar(u'x'));
    QTest::newRow("a thousand characters, whole") << k << k;
    QTest::newRow("one more, cut") << k + u'y' << k + QChar(u'…');
    QTest::newRow("a document, cut") << QString(2500000, QChar(u'長'))
                                     << QString(1000, QChar(u'長')) + QChar(u'…');
    QTest::newRow("a pair of surrogates kept whole") << k.left(999) + QStringLiteral("😀tail")
                                                     << k.left(999) + QChar(u'…');
}

void TestListView::longFieldIsShownCut()
{
    // A cell shows what its column can; the row keeps every character.
    QFETCH(QString, content);
    QFETCH(QString, shown);
    m_list->Add(0, content);
    const QModelIndex cell = m_list->model()->index(0, 0);
    QCOMPARE(cell.data(Qt::DisplayRole).toString(), shown);
    QCOMPARE(m_list->Item(1).Text(), content);
}

QTEST_MAIN(TestListView)
#include "tst_list_view.moc"
