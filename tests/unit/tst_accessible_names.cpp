#include "form_fixture.h"
#include "platform/list/report_view.h"

#include <QAccessible>
#include <QGroupBox>
#include <QLabel>
#include <QTest>

// What a screen reader finds in the window: every control it can reach has a name that
// says what the control is, groups say what they group, and the captions on screen stay
// as they are.
class TestAccessibleNames : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup() { m_f.reset(); }

    void names_data();
    void names();
    void everyFocusableControlIsNamed();

private:
    std::unique_ptr<FormFixture> m_f;
    QWidget *control(const QString &name) const;
};

void TestAccessibleNames::init()
{
    m_f = std::make_unique<FormFixture>();
    m_f->form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_f->form.get()));
}

QWidget *TestAccessibleNames::control(const QString &name) const
{
    Form1 &f = *m_f->form;
    if (name == "ListView1") return f.ListView1->view();
    if (name == "Text1") return f.Text1;
    if (name == "Frame1") return f.Frame1;
    if (name == "Frame2") return f.Frame2;
    if (name == "Frame3") return f.Frame3;
    if (name.startsWith("Option1(")) return f.Option1[size_t(name.mid(8, 1).toInt())];
    return nullptr;
}

void TestAccessibleNames::names_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption"); // as shown, unchanged
    QTest::newRow("the list") << "ListView1" << "放送用データ" << "";
    QTest::newRow("content, after its label") << "Text1" << "放送内容：" << "";
    QTest::newRow("the editor's frame") << "Frame2" << "編集" << "編集";
    QTest::newRow("the sound options' frame") << "Frame1" << "サウンド指定信号" << "サウンド指定信号";
    QTest::newRow("the speech buttons' frame") << "Frame3" << "音声の試聴" << "";
    QTest::newRow("sound 0") << "Option1(0)" << "サウンド指定信号 0(なし)" << "0(なし)";
    QTest::newRow("sound 1") << "Option1(1)" << "サウンド指定信号 1" << "1";
    QTest::newRow("sound 2") << "Option1(2)" << "サウンド指定信号 2" << "2";
    QTest::newRow("sound 3") << "Option1(3)" << "サウンド指定信号 3" << "3";
}

void TestAccessibleNames::names()
{
    QFETCH(QString, control);
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QWidget *widget = this->control(control);
    QVERIFY(widget);
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(widget);
    QVERIFY(accessible);
    QCOMPARE(accessible->text(QAccessible::Name), name);
    if (auto *frame = qobject_cast<QGroupBox *>(widget))
        QCOMPARE(frame->title(), caption);
    else if (auto *option = qobject_cast<QAbstractButton *>(widget))
        QCOMPARE(option->text(), caption);
}

// Walks everything a screen reader can reach from the window, as it would, and fails on
// any control that takes the keyboard but has no name.
void TestAccessibleNames::everyFocusableControlIsNamed()
{
    QStringList unnamed;
    int focusable = 0;
    std::function<void(QAccessibleInterface *, const QString &)> walk =
        [&](QAccessibleInterface *node, const QString &path) {
            const QString here = path + QLatin1Char('/')
                                 + QString::number(int(node->role()), 16) + QLatin1Char(':')
                                 + node->text(QAccessible::Name);
            if (node->state().focusable && !node->state().invisible) {
                ++focusable;
                if (node->text(QAccessible::Name).trimmed().isEmpty())
                    unnamed << here + QStringLiteral(" (") + QString::fromLatin1(
                                   node->object() ? node->object()->metaObject()->className()
                                                  : "no object")
                                   + QLatin1Char(')');
            }
            for (int i = 0; i < node->childCount(); ++i)
                if (QAccessibleInterface *child = node->child(i))
                    walk(child, here);
        };
    walk(QAccessible::queryAccessibleInterface(m_f->form.get()), QString());
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QLatin1Char('\n'))));
    // The list, seven row buttons, four options, the check box, the content, 確定 and the
    // three speech buttons.
    QVERIFY2(focusable >= 18, qPrintable(QString::number(focusable)));
}

QTEST_MAIN(TestAccessibleNames)
#include "tst_accessible_names.moc"
