// What the window adds to its parts: the routing of user events, the one error boundary
// that shows what a handler did not trap, and the focus chain across all controls.
#include "form_fixture.h"
#include "platform/list/report_view.h"

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QTest>

namespace {
const QString kUnconfirmed = QStringLiteral("unconfirmed");
}

class TestWindowRouting : public QObject
{
    Q_OBJECT
private slots:
    void init() { m_f = std::make_unique<FormFixture>(); }
    void cleanup() { m_f.reset(); }

    void rowCommandThatWouldOverflowChangesNothing_data();
    void rowCommandThatWouldOverflowChangesNothing();
    void tabLeavesTheList_data();
    void tabLeavesTheList();
    void rowBeyond16BitsChangesNothing_data();
    void rowBeyond16BitsChangesNothing();
    void confirmIgnoredAfterFileNew();

private:
    std::unique_ptr<FormFixture> m_f;
    Form1 &form() { return *m_f->form; }
    TableEditor &table() { return m_f->form->table(); }
    ReportView *view() { return form().ListView1->view(); }
    QPoint rowPoint(int row) { return view()->visualRect(view()->model()->index(row - 1, 0)).center(); }
    void showWithRows(int n);
};

void TestWindowRouting::showWithRows(int n)
{
    QList<BroadcastRow> rows;
    for (int i = 1; i <= n; ++i)
        rows.append({QStringLiteral("row %1").arg(i), QString::number(i % 2), QString::number(i % 4)});
    m_f->addRows(rows);
    form().show();
    QVERIFY(QTest::qWaitForWindowActive(&form()));
    form().ListView1->SetFocus();
}

void TestWindowRouting::rowCommandThatWouldOverflowChangesNothing_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("current");
    QTest::addColumn<int>("command");
    QTest::newRow("add below row 32767") << 32767 << 32767 << 0;
    QTest::newRow("append paste as row 32768") << 32767 << 5 << 3;
    QTest::newRow("insert paste below row 32767") << 32767 << 32767 << 4;
    QTest::newRow("move down from row 32767") << 32768 << 32767 << 6;
}

void TestWindowRouting::rowCommandThatWouldOverflowChangesNothing()
{
    QFETCH(int, rows);
    QFETCH(int, current);
    QFETCH(int, command);
    std::vector<BroadcastRow> stored(size_t(rows), BroadcastRow{"r", "0", "0"});
    stored[size_t(current - 1)] = BroadcastRow{"current", "1", "3"};
    form().ListView1->AppendRows(std::move(stored));
    const std::vector<BroadcastRow> before = form().ListView1->Rows();
    m_f->load(current);
    form().Text1->setText(kUnconfirmed);
    form().Command2[size_t(command)]->click(); // through the window's routing, as a user's click

    QCOMPARE(m_f->messageBox.shown.size(), 1);
    QCOMPARE(m_f->messageBox.shown.first().prompt,
             QStringLiteral("実行時エラー '6':\r\nオーバーフローしました。"));
    QVERIFY(form().ListView1->Rows() == before);
    QCOMPARE(int(table().CurrentRow), current);
    QCOMPARE(m_f->selectedRow(), current);
    QCOMPARE(m_f->text(), kUnconfirmed);
    QVERIFY(table().WorkItem.isNothing() && table().NewItem.isNothing());
}

void TestWindowRouting::tabLeavesTheList_data()
{
    QTest::addColumn<bool>("backwards");
    QTest::addColumn<QString>("next");
    QTest::newRow("Tab: the add button") << false << "行の追加";
    QTest::newRow("Shift+Tab: the last speech button") << true << "音声調整";
}

void TestWindowRouting::tabLeavesTheList()
{
    QFETCH(bool, backwards);
    QFETCH(QString, next);
    showWithRows(5);
    m_f->load(2);
    form().Text1->setText(QStringLiteral("unconfirmed"));
    form().ListView1->SetFocus();
    QTest::keyClick(view(), Qt::Key_Tab, backwards ? Qt::ShiftModifier : Qt::NoModifier);
    auto *focused = qobject_cast<QPushButton *>(QApplication::focusWidget());
    QVERIFY(focused);
    QCOMPARE(focused->text(), next);
    QCOMPARE(m_f->selectedRow(), 2);
    QCOMPARE(int(table().CurrentRow), 2);
    QCOMPARE(m_f->text(), QStringLiteral("unconfirmed"));
}

void TestWindowRouting::rowBeyond16BitsChangesNothing_data()
{
    QTest::addColumn<QString>("gesture");
    QTest::newRow("click on row 32768") << "click";
    QTest::newRow("Down from row 32767") << "down";
    QTest::newRow("End") << "end";
}

void TestWindowRouting::rowBeyond16BitsChangesNothing()
{
    QFETCH(QString, gesture);
    std::vector<BroadcastRow> rows(32770, BroadcastRow{QStringLiteral("r"), QStringLiteral("1"), QStringLiteral("2")});
    rows[32766].Content = QStringLiteral("current");
    form().ListView1->AppendRows(std::move(rows));
    const std::vector<BroadcastRow> before = form().ListView1->Rows();
    form().show();
    QVERIFY(QTest::qWaitForWindowActive(&form()));
    m_f->load(32767);
    form().ListView1->SetFocus();
    form().Text1->setText(QStringLiteral("editing"));
    form().Check1->setChecked(false);

    if (gesture == QStringLiteral("click")) {
        view()->scrollTo(view()->model()->index(32767, 0));
        QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, rowPoint(32768));
    } else {
        QTest::keyClick(view(), gesture == QStringLiteral("down") ? Qt::Key_Down : Qt::Key_End);
    }

    QCOMPARE(m_f->messageBox.shown.size(), 1);
    const auto &box = m_f->messageBox.shown.first();
    QCOMPARE(box.prompt, QStringLiteral("実行時エラー '6':\r\nオーバーフローしました。"));
    QCOMPARE(box.title, QStringLiteral("放送用データ作成ツール"));
    QCOMPARE(box.icon, IMessageBox::Critical);
    QCOMPARE(table().CurrentRow, std::int16_t(32767));
    QCOMPARE(m_f->selectedRow(), 32767);
    QCOMPARE(view()->currentIndex().row(), 32766);
    QCOMPARE(m_f->text(), QStringLiteral("editing"));
    QVERIFY(!m_f->fare());
    QVERIFY(form().ListView1->Rows() == before);

    // Confirming now writes the whole editor into row 32767 and nowhere else.
    form().Command3->click();
    QCOMPARE(m_f->row(32767), (BroadcastRow{"editing", "0", "2"}));
    QCOMPARE(m_f->row(32768), before[32767]);
}

void TestWindowRouting::confirmIgnoredAfterFileNew()
{
    // File > New empties the table but leaves CurrentRow naming the row loaded last.
    m_f->addRows({{"a", "0", "0"}, {"b", "1", "1"}});
    m_f->load(2);
    m_f->messageBox.answers << IMessageBox::Yes;
    form().MnuFileNew->trigger();
    m_f->messageBox.shown.clear();
    QCOMPARE(form().ListView1->Count(), 0);
    QVERIFY(table().CurrentRow != 0);
    form().Text1->setText(QStringLiteral("x,y"));
    form().Check1->setChecked(true);
    form().Command3->click();
    QCOMPARE(m_f->messageBox.shown.size(), 0);
    QCOMPARE(m_f->text(), QStringLiteral("x,y"));
}

QTEST_MAIN(TestWindowRouting)
#include "tst_window_routing.moc"
