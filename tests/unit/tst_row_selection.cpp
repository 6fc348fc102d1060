#include "table_fixture.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QTest>

class TestRowSelection : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_f = std::make_unique<TableFixture>();
        m_f->routeItemClicks();
    }
    void cleanup() { m_f.reset(); }

    void loadsSignals_data();
    void loadsSignals();
    void loadsContentUnchangedAndLeavesSelection();
    void replacesUnconfirmedEdits();
    void mouseChoosesRows();
    void gesturesThatKeepSelection_data();
    void gesturesThatKeepSelection();
    void keyboardChoosesRows_data();
    void keyboardChoosesRows();
    void copyKeysLeaveTheSystemClipboard_data();
    void copyKeysLeaveTheSystemClipboard();

private:
    std::unique_ptr<TableFixture> m_f;
    TableEditor &table() { return *m_f->table; }
    ReportView *view() { return table().ListView1->view(); }
    QPoint rowPoint(int row) { return view()->visualRect(view()->model()->index(row - 1, 0)).center(); }
    void showWithRows(int n);
};

void TestRowSelection::showWithRows(int n)
{
    QList<BroadcastRow> rows;
    for (int i = 1; i <= n; ++i)
        rows.append({QStringLiteral("row %1").arg(i), QString::number(i % 2), QString::number(i % 4)});
    m_f->addRows(rows);
    m_f->host.show();
    QVERIFY(QTest::qWaitForWindowActive(&m_f->host));
    table().ListView1->SetFocus();
}

void TestRowSelection::loadsSignals_data()
{
    QTest::addColumn<QString>("fare");
    QTest::addColumn<QString>("sound");
    QTest::addColumn<bool>("checked");
    QTest::addColumn<int>("option");

    QTest::newRow("confirmed 1 and 3") << "1" << "3" << true << 3;
    QTest::newRow("confirmed 0 and 0") << "0" << "0" << false << 0;
    QTest::newRow("added, never confirmed") << "" << "" << false << 0;
    QTest::newRow("sound 1") << "0" << "1" << false << 1;
    QTest::newRow("sound 2") << "1" << "2" << true << 2;
    QTest::newRow("fare 1.0") << "1.0" << "0" << true << 0;
    QTest::newRow("fare 01") << "01" << "0" << true << 0;
    QTest::newRow("fare space 1") << " 1" << "0" << true << 0;
    QTest::newRow("fare 1 then letters") << "1abc" << "0" << true << 0;
    QTest::newRow("fare 2") << "2" << "0" << false << 0;
    QTest::newRow("fare -1") << "-1" << "0" << false << 0;
    QTest::newRow("fare 0.5") << "0.5" << "0" << false << 0;
    QTest::newRow("fare &H1") << "&H1" << "0" << true << 0;
    QTest::newRow("sound 4") << "0" << "4" << false << 0;
    QTest::newRow("sound 2.5") << "0" << "2.5" << false << 0;
    QTest::newRow("sound letters") << "0" << "abc" << false << 0;
    QTest::newRow("sound 2 then letters") << "0" << "2abc" << false << 2;
    QTest::newRow("sound -3") << "0" << "-3" << false << 0;
    QTest::newRow("sound 3.0") << "0" << "3.0" << false << 3;
    QTest::newRow("sound 9, fare 7") << "7" << "9" << false << 0;
}

void TestRowSelection::loadsSignals()
{
    QFETCH(QString, fare);
    QFETCH(QString, sound);
    QFETCH(bool, checked);
    QFETCH(int, option);
    // The editor starts from the opposite state, so every field must really be set.
    table().Check1->setChecked(!checked);
    table().Option1[option == 3 ? 0 : 3]->setChecked(true);
    m_f->addRows({{"first", "1", "1"}, {"content", fare, sound}});
    table().ListView1_ItemClick(table().ListView1->Item(2));
    QCOMPARE(table().CurrentRow, std::int16_t(2));
    QCOMPARE(m_f->fare(), checked);
    QCOMPARE(m_f->checkedOption(), option);
    QCOMPARE(m_f->text(), QStringLiteral("content"));
}

void TestRowSelection::loadsContentUnchangedAndLeavesSelection()
{
    const QString content = QStringLiteral("  次は, 終点\tです　");
    m_f->addRows({{"a", "0", "0"}, {content, "1", "2"}});
    table().ListView1->Item(1).SetSelected(true);
    table().ListView1_ItemClick(table().ListView1->Item(2));
    QCOMPARE(m_f->text(), content);
    QCOMPARE(m_f->selectedRow(), 1); // loading a row does not select it
    QCOMPARE(m_f->messageBox.shown.size(), 0);
}

void TestRowSelection::replacesUnconfirmedEdits()
{
    showWithRows(2);
    QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, rowPoint(1));
    table().Text1->setText(QStringLiteral("edited"));
    table().Check1->setChecked(false);
    // Clicking the row that is already current reloads it.
    QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, rowPoint(1));
    QCOMPARE(m_f->text(), QStringLiteral("row 1"));
    QVERIFY(m_f->fare());
    QCOMPARE(m_f->row(1).Content, QStringLiteral("row 1")); // the table never saw the edit
}

void TestRowSelection::mouseChoosesRows()
{
    showWithRows(3);
    QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, rowPoint(3));
    QCOMPARE(table().CurrentRow, std::int16_t(3));
    QCOMPARE(m_f->selectedRow(), 3);
    QCOMPARE(m_f->checkedOption(), 3);
    QTest::mouseClick(view()->viewport(), Qt::LeftButton, Qt::ControlModifier, rowPoint(2));
    QCOMPARE(table().CurrentRow, std::int16_t(2));
    QCOMPARE(m_f->selectedRow(), 2);
    QCOMPARE(m_f->checkedOption(), 2);
    QVERIFY(!m_f->fare());
    // A double click: its second press arrives as a double-click event, then a release.
    QTest::mouseDClick(view()->viewport(), Qt::LeftButton, {}, rowPoint(1));
    QTest::mouseRelease(view()->viewport(), Qt::LeftButton, {}, rowPoint(1));
    QCOMPARE(table().CurrentRow, std::int16_t(1));
    QCOMPARE(m_f->selectedRow(), 1);
    // Pressing on one row and letting go on another still loads the row that got selected.
    QTest::mousePress(view()->viewport(), Qt::LeftButton, {}, rowPoint(3));
    QTest::mouseRelease(view()->viewport(), Qt::LeftButton, {}, rowPoint(1));
    QCOMPARE(m_f->selectedRow(), 3);
    QCOMPARE(table().CurrentRow, std::int16_t(3));
}

void TestRowSelection::gesturesThatKeepSelection_data()
{
    QTest::addColumn<QString>("gesture");
    QTest::newRow("ctrl+click on the selected row") << "ctrl-click";
    QTest::newRow("click below the last row") << "empty";
    QTest::newRow("ctrl+space") << "ctrl-space";
    QTest::newRow("click on a header") << "header";
    QTest::newRow("right click on another row") << "right";
    QTest::newRow("drag to another row") << "drag";
}

void TestRowSelection::gesturesThatKeepSelection()
{
    QFETCH(QString, gesture);
    showWithRows(3);
    QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, rowPoint(2));
    QCOMPARE(m_f->selectedRow(), 2);
    table().Text1->setText(QStringLiteral("unconfirmed"));

    if (gesture == "ctrl-click") {
        QTest::mouseClick(view()->viewport(), Qt::LeftButton, Qt::ControlModifier, rowPoint(2));
    } else if (gesture == "empty") {
        const QPoint below(20, view()->viewport()->height() - 5);
        QVERIFY(!view()->indexAt(below).isValid());
        QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, below);
    } else if (gesture == "ctrl-space") {
        QTest::keyClick(view(), Qt::Key_Space, Qt::ControlModifier);
    } else if (gesture == "header") {
        QHeaderView *header = view()->header();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionPosition(1) + 10, header->height() / 2));
    } else if (gesture == "right") {
        QTest::mouseClick(view()->viewport(), Qt::RightButton, {}, rowPoint(3));
    } else if (gesture == "drag") {
        QTest::mousePress(view()->viewport(), Qt::LeftButton, {}, rowPoint(2));
        QMouseEvent move(QEvent::MouseMove, rowPoint(3), view()->viewport()->mapToGlobal(rowPoint(3)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view()->viewport(), &move);
        QCOMPARE(m_f->selectedRow(), 2);
        // Letting go elsewhere after a press on the current row reloads nothing.
        QTest::mouseRelease(view()->viewport(), Qt::LeftButton, {}, rowPoint(3));
    }
    QCOMPARE(m_f->selectedRow(), 2);
    QCOMPARE(table().CurrentRow, std::int16_t(2));
    QCOMPARE(m_f->text(), QStringLiteral("unconfirmed"));
}

void TestRowSelection::keyboardChoosesRows_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("expected");
    QTest::newRow("down") << 1 << int(Qt::Key_Down) << 2;
    QTest::newRow("up") << 3 << int(Qt::Key_Up) << 2;
    QTest::newRow("home") << 3 << int(Qt::Key_Home) << 1;
    QTest::newRow("end") << 1 << int(Qt::Key_End) << 50;
    QTest::newRow("page down") << 1 << int(Qt::Key_PageDown) << -1;
    QTest::newRow("down at the bottom stays") << 50 << int(Qt::Key_Down) << 50;
}

void TestRowSelection::keyboardChoosesRows()
{
    QFETCH(int, start);
    QFETCH(int, key);
    QFETCH(int, expected);
    showWithRows(50);
    table().ListView1->Item(start).SetSelected(true);
    table().ListView1_ItemClick(table().ListView1->Item(start));
    table().Text1->setText(QStringLiteral("unconfirmed"));
    QTest::keyClick(view(), Qt::Key(key));
    const int now = m_f->selectedRow();
    if (expected > 0)
        QCOMPARE(now, expected);
    else
        QVERIFY(now > start + 1);
    QCOMPARE(int(table().CurrentRow), now);
    if (now != start)
        QCOMPARE(m_f->text(), QStringLiteral("row %1").arg(now));
    QCOMPARE(view()->currentIndex().row(), now - 1);
}

void TestRowSelection::copyKeysLeaveTheSystemClipboard_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("Ctrl+C") << int(Qt::Key_C);
    QTest::newRow("Ctrl+Insert") << int(Qt::Key_Insert);
}

void TestRowSelection::copyKeysLeaveTheSystemClipboard()
{
    QFETCH(int, key);
    showWithRows(5);
    m_f->load(2);
    QGuiApplication::clipboard()->setText(QStringLiteral("another program's text"));
    QTest::keyClick(view(), Qt::Key(key), Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("another program's text"));
    QCOMPARE(table().ClipboardRow, BroadcastRow());
    QCOMPARE(m_f->selectedRow(), 2);
}

QTEST_MAIN(TestRowSelection)
#include "tst_row_selection.moc"
