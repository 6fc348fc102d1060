#include "form_fixture.h"
#include "platform/input_method/input_method.h"
#include "platform/input_method/running_input_method.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMenu>
#include <QRegularExpression>
#include <QTest>

// Records which fields asked for the input method.
class RecordingInputMethod final : public IInputMethod
{
public:
    QList<QWidget *> fields;
    void switchOnHiragana(QWidget *field) override { fields.append(field); }
};

class TestInputMethod : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup() { m_f.reset(); }

    void switchedOnWhenContentTakesTheKeyboard_data();
    void switchedOnWhenContentTakesTheKeyboard();
    void otherControlsLeaveItAlone_data();
    void otherControlsLeaveItAlone();
    void quietWhereNoneCanBeAsked_data();
    void quietWhereNoneCanBeAsked();

private:
    std::unique_ptr<FormFixture> m_f;
    RecordingInputMethod m_inputMethod;
    Form1 &form() { return *m_f->form; }
};

void TestInputMethod::init()
{
    m_inputMethod.fields.clear();
    m_f = std::make_unique<FormFixture>(false);
    m_f->inputMethod = &m_inputMethod;
    m_f->create();
    form().show();
    form().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form()));
    m_inputMethod.fields.clear();
}

void TestInputMethod::switchedOnWhenContentTakesTheKeyboard_data()
{
    QTest::addColumn<QString>("road");
    QTest::newRow("click") << "click";
    QTest::newRow("Tab from the fare switch") << "tab";
    QTest::newRow("Shift+Tab from 確定") << "backtab";
    QTest::newRow("確定 refusing a comma") << "refusal";
    QTest::newRow("the window coming back") << "window";
}

void TestInputMethod::switchedOnWhenContentTakesTheKeyboard()
{
    QFETCH(QString, road);
    Form1 &f = form();
    if (road == "click") {
        QTest::mouseClick(f.Text1, Qt::LeftButton);
    } else if (road == "tab") {
        f.Check1->setFocus();
        QTest::keyClick(f.Check1, Qt::Key_Tab);
    } else if (road == "backtab") {
        f.Command3->setFocus();
        QTest::keyClick(f.Command3, Qt::Key_Backtab, Qt::ShiftModifier);
    } else if (road == "refusal") {
        m_f->addRows({{QStringLiteral("a"), QStringLiteral("0"), QStringLiteral("0")}});
        m_f->load(1);
        f.Text1->setText(QStringLiteral("a,b"));
        m_f->messageBox.answers = {IMessageBox::Ok};
        f.Command3->setFocus();
        QTest::mouseClick(f.Command3, Qt::LeftButton);
        QCOMPARE(m_f->messageBox.shown.size(), 1);
    } else if (road == "window") {
        f.Text1->setFocus();
        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        m_inputMethod.fields.clear();
        f.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f));
    }
    QVERIFY(f.Text1->hasFocus());
    QCOMPARE(m_inputMethod.fields, QList<QWidget *>{f.Text1});
}

void TestInputMethod::otherControlsLeaveItAlone_data()
{
    QTest::addColumn<QString>("control");
    QTest::newRow("the list") << "list";
    QTest::newRow("a row button") << "Command2(0)";
    QTest::newRow("the fare switch") << "Check1";
    QTest::newRow("the chosen sound option") << "Option1(0)";
    QTest::newRow("確定") << "Command3";
    QTest::newRow("再生") << "Command1(0)";
    QTest::newRow("back to the content from its menu") << "menu";
}

void TestInputMethod::otherControlsLeaveItAlone()
{
    QFETCH(QString, control);
    Form1 &f = form();
    f.Text1->setFocus();
    m_inputMethod.fields.clear();
    if (control == "list")
        f.ListView1->SetFocus();
    else if (control == "Command2(0)")
        f.Command2[0]->setFocus(Qt::TabFocusReason);
    else if (control == "Check1")
        f.Check1->setFocus(Qt::TabFocusReason);
    else if (control == "Option1(0)")
        f.Option1[0]->setFocus(Qt::TabFocusReason);
    else if (control == "Command3")
        f.Command3->setFocus(Qt::TabFocusReason);
    else if (control == "Command1(0)")
        f.Command1[0]->setFocus(Qt::TabFocusReason);
    if (control == "menu") {
        // The focus leaves for a popup menu and comes back when it closes.
        QMenu menu(&f);
        menu.addAction(QStringLiteral("x"));
        menu.popup(f.Text1->mapToGlobal(QPoint(5, 5)));
        QVERIFY(QTest::qWaitForWindowExposed(&menu));
        menu.close();
        QTRY_VERIFY(f.Text1->hasFocus());
    } else {
        QVERIFY(!f.Text1->hasFocus());
    }
    QVERIFY(m_inputMethod.fields.isEmpty());
}

void TestInputMethod::quietWhereNoneCanBeAsked_data()
{
    QTest::addColumn<QByteArray>("module");
    QTest::addColumn<QByteArray>("ibusAddress");
    QTest::newRow("no input method") << QByteArray() << QByteArray();
    QTest::newRow("X input method") << QByteArray("xim") << QByteArray();
    QTest::newRow("Fcitx named, no bus") << QByteArray("fcitx") << QByteArray();
    QTest::newRow("IBus named, not running") << QByteArray("ibus") << QByteArray();
    QTest::newRow("IBus gone from its address") << QByteArray("ibus")
                                                 << QByteArray("unix:path=/nonexistent/ibus");
}

// A desktop without the input method it names: no message, no wait, no program started.
void TestInputMethod::quietWhereNoneCanBeAsked()
{
    QFETCH(QByteArray, module);
    QFETCH(QByteArray, ibusAddress);
    qputenv("QT_IM_MODULE", module);
    qputenv("IBUS_ADDRESS", ibusAddress);
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/bus");
    QTest::failOnWarning(QRegularExpression(QStringLiteral(".")));
    QLineEdit field;
    field.show();
    field.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&field));
    QElapsedTimer timer;
    timer.start();
    std::unique_ptr<IInputMethod> inputMethod = runningInputMethod();
    inputMethod->switchOnHiragana(&field);
    QTest::qWait(50);
    QVERIFY2(timer.elapsed() < 1000, qPrintable(QString::number(timer.elapsed())));
    qunsetenv("QT_IM_MODULE");
    qunsetenv("IBUS_ADDRESS");
}

QTEST_MAIN(TestInputMethod)
#include "tst_input_method.moc"
