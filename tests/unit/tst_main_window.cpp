#include "app/japanese_ui.h"
#include "form_fixture.h"
#include "platform/list/report_view.h"

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTest>
#include <QClipboard>
#include <QEventLoop>
#include <QTimer>

#include <ctime>

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void init() { m_f = std::make_unique<FormFixture>(); }
    void cleanup() { m_f.reset(); }

    void windowFrame();
    void controlGeometry_data();
    void controlGeometry();
    void captionsFit_data();
    void captionsFit();
    void initialState();
    void focusOrder();
    void noDefaultOrCancelButton();
    void listColumnsAndFont();
    void fileMenu();
    void contentHasNoLengthLimit();
    void pastedLineBreaks_data();
    void pastedLineBreaks();
    void loadedContentKeepsItsLineBreak();
    void idleWithLongContent_data();
    void idleWithLongContent();
    void qtTextsAreJapanese();

private:
    std::unique_ptr<FormFixture> m_f;
    QWidget *control(const QString &name) const;
};

QWidget *TestMainWindow::control(const QString &name) const
{
    Form1 &f = *m_f->form;
    if (name == "ListView1") return f.ListView1->view();
    if (name.startsWith("Command2(")) return f.Command2[size_t(name.mid(9, 1).toInt())];
    if (name.startsWith("Command1(")) return f.Command1[size_t(name.mid(9, 1).toInt())];
    if (name.startsWith("Option1(")) return f.Option1[size_t(name.mid(8, 1).toInt())];
    if (name == "Frame1") return f.Frame1;
    if (name == "Frame2") return f.Frame2;
    if (name == "Frame3") return f.Frame3;
    if (name == "Check1") return f.Check1;
    if (name == "Text1") return f.Text1;
    if (name == "Command3") return f.Command3;
    if (name == "Label1") return f.Label1;
    return nullptr;
}

void TestMainWindow::windowFrame()
{
    Form1 &f = *m_f->form;
    QCOMPARE(f.windowTitle(), QStringLiteral("放送用データ作成ツール"));
    QCOMPARE(f.centralWidget()->size(), QSize(668, 427));
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    // The menu bar sits above the client area, and the window cannot be resized.
    QCOMPARE(f.centralWidget()->geometry().top(), f.menuBar()->geometry().bottom() + 1);
    QCOMPARE(f.minimumSize(), f.maximumSize());
    QCOMPARE(f.size(), QSize(668, 427 + f.menuBar()->height()));
    const Qt::WindowFlags flags = f.windowFlags();
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(flags & Qt::WindowSystemMenuHint);
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QCOMPARE(f.windowType(), Qt::Window); // a normal window, not a tool window
}

void TestMainWindow::controlGeometry_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QWidget *>("unused");
    QTest::addColumn<QString>("container");
    QTest::addColumn<QRect>("twipsRect");

    auto row = [](const char *name, const char *container, int l, int t, int w, int h) {
        QTest::newRow(name) << QString(name) << static_cast<QWidget *>(nullptr)
                            << QString(container) << QRect(l, t, w, h);
    };
    row("ListView1", "window", 30, 0, 9930, 4230);
    row("Command2(0)", "window", 105, 4305, 1050, 345);
    row("Command2(1)", "window", 1230, 4305, 1050, 345);
    row("Command2(2)", "window", 2715, 4305, 1050, 345);
    row("Command2(3)", "window", 3810, 4305, 1050, 345);
    row("Command2(4)", "window", 4965, 4305, 1020, 345);
    row("Command2(5)", "window", 6645, 4320, 1110, 345);
    row("Command2(6)", "window", 7800, 4320, 1110, 345);
    row("Frame2", "window", 210, 4680, 9690, 1605);
    row("Frame1", "Frame2", 2565, 930, 4275, 525);
    row("Option1(3)", "Frame1", 3135, 180, 915, 255);
    row("Option1(2)", "Frame1", 2145, 180, 915, 255);
    row("Option1(1)", "Frame1", 1140, 180, 915, 255);
    row("Option1(0)", "Frame1", 120, 195, 915, 255);
    row("Check1", "Frame2", 1005, 1095, 1470, 255);
    row("Text1", "Frame2", 990, 330, 7485, 345);
    row("Command3", "Frame2", 8580, 255, 975, 555);
    row("Label1", "Frame2", 105, 390, 885, 255);
    row("Frame3", "Frame2", 7065, 900, 2505, 600);
    row("Command1(0)", "Frame3", 150, 195, 630, 330);
    row("Command1(1)", "Frame3", 780, 195, 630, 330);
    row("Command1(2)", "Frame3", 1455, 195, 975, 330);
}

void TestMainWindow::controlGeometry()
{
    QFETCH(QString, name);
    QFETCH(QString, container);
    QFETCH(QRect, twipsRect);
    QWidget *w = control(name);
    QVERIFY(w);
    QWidget *expectedParent = container == "window" ? m_f->form->centralWidget()
                                                    : control(container);
    QCOMPARE(w->parentWidget(), expectedParent);
    const QRect px(twipsRect.x() / 15, twipsRect.y() / 15, twipsRect.width() / 15,
                   twipsRect.height() / 15);
    QCOMPARE(w->geometry(), px);
    // Nothing overlaps its siblings.
    for (QObject *o : w->parentWidget()->children()) {
        auto *sibling = qobject_cast<QWidget *>(o);
        if (sibling && sibling != w && !sibling->isWindow() && !sibling->isHidden())
            QVERIFY2(!sibling->geometry().intersects(w->geometry()),
                     qPrintable(name + " overlaps " + sibling->metaObject()->className()));
    }
}

void TestMainWindow::captionsFit_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    const char *names[] = {"Command2(0)", "Command2(1)", "Command2(2)", "Command2(3)",
                           "Command2(4)", "Command2(5)", "Command2(6)", "Frame2",
                           "Frame1",      "Option1(0)",  "Option1(1)",  "Option1(2)",
                           "Option1(3)",  "Check1",      "Command3",    "Label1",
                           "Command1(0)", "Command1(1)", "Command1(2)"};
    const char *captions[] = {"行の追加", "行の削除", "コピー", "追加貼付", "挿入貼付",
                              "上へ移動", "下へ移動", "編集", "サウンド指定信号", "0(なし)",
                              "1", "2", "3", "運賃表示切替", "確定", "放送内容：",
                              "再生", "停止", "音声調整"};
    for (size_t i = 0; i < std::size(names); ++i)
        QTest::newRow(names[i]) << QString(names[i]) << QString::fromUtf8(captions[i]);
}

void TestMainWindow::captionsFit()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QWidget *w = control(name);
    const QStyle *style = w->style();
    const int text = w->fontMetrics().horizontalAdvance(caption);
    int needed = text;
    QString shown;
    if (auto *b = qobject_cast<QPushButton *>(w)) {
        shown = b->text();
        needed += 2 * style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, b);
    } else if (auto *r = qobject_cast<QRadioButton *>(w)) {
        shown = r->text();
        needed += style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, r)
            + style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, r);
    } else if (auto *c = qobject_cast<QCheckBox *>(w)) {
        shown = c->text();
        needed += style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, c)
            + style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, c);
    } else if (auto *g = qobject_cast<QGroupBox *>(w)) {
        shown = g->title();
        needed += 16; // the caption starts inset from the frame's left edge
    } else if (auto *l = qobject_cast<QLabel *>(w)) {
        shown = l->text();
    }
    QCOMPARE(shown, caption);
    QVERIFY2(needed <= w->width(),
             qPrintable(QStringLiteral("%1 needs %2 px, has %3 (font %4)")
                            .arg(name).arg(needed).arg(w->width()).arg(w->font().toString())));
}

void TestMainWindow::initialState()
{
    Form1 &f = *m_f->form;
    f.show();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    QCOMPARE(f.ListView1->Count(), 0);
    QVERIFY(f.Text1->text().isEmpty());
    QVERIFY(!f.Check1->isChecked());
    QCOMPARE(m_f->checkedOption(), 0);
    QCOMPARE(f.table().CurrentRow, std::int16_t(0));
    QVERIFY(f.table().ClipboardRow == BroadcastRow());
    QVERIFY(f.table().SwapRow == BroadcastRow());
    QVERIFY(f.table().WorkItem.isNothing() && f.table().NewItem.isNothing());
    QCOMPARE(QApplication::focusWidget(), f.ListView1->view());
    for (QPushButton *b : f.Command2)
        QVERIFY(b->isEnabled() && b->isVisible());
    QVERIFY(f.Command3->isEnabled());
    for (QAction *a : {f.MnuFileNew, f.MnuFileOpen, f.MnuFileSave, f.MnuFileExit})
        QVERIFY(a->isEnabled() && a->isVisible());
    QVERIFY(f.Frame3->title().isEmpty());
    // Option buttons form one exclusive group.
    f.Option1[2]->click();
    QCOMPARE(m_f->checkedOption(), 2);
    QVERIFY(!f.Option1[0]->isChecked());
    f.Option1[3]->click();
    QCOMPARE(m_f->checkedOption(), 3);
    QVERIFY(!f.Option1[2]->isChecked());
    // The keyboard chooses within the group too, one option at a time.
    f.Option1[3]->setFocus();
    QTest::keyClick(f.Option1[3], Qt::Key_Left);
    QCOMPARE(m_f->checkedOption(), 2);
    QCOMPARE(QApplication::focusWidget(), f.Option1[2]);
    // Editing the editor changes no row and asks nothing.
    QCOMPARE(m_f->messageBox.shown.size(), 0);
}

void TestMainWindow::focusOrder()
{
    Form1 &f = *m_f->form;
    f.show();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    f.ListView1->SetFocus();
    QList<QWidget *> expected = {f.Command2[0], f.Command2[1], f.Command2[2], f.Command2[3],
                                 f.Command2[4], f.Command2[5], f.Command2[6]};
    QList<QWidget *> seen;
    for (int i = 0; i < 7; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        seen << QApplication::focusWidget();
    }
    QCOMPARE(seen, expected);
    // After the row buttons: the checked sound option, the check box, the content, confirm,
    // then the speech buttons (enabled here, since the fake engine was created).
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), f.Option1[0]);
    const QList<QWidget *> rest = {f.Check1, f.Text1, f.Command3, f.Command1[0], f.Command1[1],
                                   f.Command1[2], f.ListView1->view()};
    for (QWidget *w : rest) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), w);
    }
}

void TestMainWindow::noDefaultOrCancelButton()
{
    Form1 &f = *m_f->form;
    m_f->addRows({{"a", "1", "2"}});
    f.show();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    for (QPushButton *b : f.findChildren<QPushButton *>())
        QVERIFY2(!b->isDefault() && !b->autoDefault(), qPrintable(b->text()));
    f.Text1->setFocus();
    f.Text1->setText(QStringLiteral("x,y"));
    QTest::keyClick(f.Text1, Qt::Key_Return);
    QTest::keyClick(f.Text1, Qt::Key_Escape);
    QCOMPARE(m_f->messageBox.shown.size(), 0); // nothing confirmed, nothing refused
    QCOMPARE(m_f->row(1).Content, QStringLiteral("a"));
    QVERIFY(f.isVisible());
}

void TestMainWindow::listColumnsAndFont()
{
    ReportView *view = m_f->form->ListView1->view();
    QHeaderView *header = view->header();
    const QStringList headers = {"放送内容", "運賃切替信号", "サウンド指定信号"};
    const int widths[] = {400, 96, 96};
    QCOMPARE(view->model()->columnCount(), 3);
    for (int c = 0; c < 3; ++c) {
        QCOMPARE(view->model()->headerData(c, Qt::Horizontal).toString(), headers[c]);
        QCOMPARE(header->sectionSize(c), widths[c]);
        const int needed = header->fontMetrics().horizontalAdvance(headers[c])
            + 2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
        QVERIFY2(needed <= widths[c], qPrintable(headers[c]));
    }
    QVERIFY(!header->sectionsClickable());
    QVERIFY(!view->isSortingEnabled());
    QCOMPARE(view->selectionMode(), QAbstractItemView::SingleSelection);
    QCOMPARE(view->selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(view->editTriggers(), QAbstractItemView::NoEditTriggers);
    QCOMPARE(view->font().pointSize(), 12);
    QVERIFY(QStringList({"ＭＳ Ｐゴシック", "MS PGothic", "IPAPGothic"})
                .contains(QFontInfo(view->font()).family()));
}

void TestMainWindow::fileMenu()
{
    Form1 &f = *m_f->form;
    QCOMPARE(f.menuBar()->actions().size(), 1);
    QCOMPARE(f.MnuFile->title(), QStringLiteral("ファイル(&F)"));
    const QList<QAction *> items = f.MnuFile->actions();
    QCOMPARE(items.size(), 5);
    QCOMPARE(items[0]->text(), QStringLiteral("新規作成(&N)"));
    QCOMPARE(items[1]->text(), QStringLiteral("開く(&O)"));
    QCOMPARE(items[2]->text(), QStringLiteral("保存(&S)"));
    QVERIFY(items[3]->isSeparator());
    QCOMPARE(items[4]->text(), QStringLiteral("終了(&X)"));
    for (QAction *a : items) {
        QVERIFY(a->shortcut().isEmpty());
        QVERIFY(!a->isCheckable());
    }
}

void TestMainWindow::contentHasNoLengthLimit()
{
    const QString longText(100000, QChar(u'あ'));
    m_f->addRows({{longText, "1", "2"}});
    m_f->form->table().ListView1_ItemClick(m_f->form->ListView1->Item(1));
    QCOMPARE(m_f->form->Text1->text().size(), longText.size());
}

void TestMainWindow::qtTextsAreJapanese()
{
    QVERIFY(installJapaneseTranslations(*qApp));
    QMessageBox box(QMessageBox::Question, "t", "p", QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(box.button(QMessageBox::Yes)->text(), QStringLiteral("はい(&Y)"));
    QCOMPARE(box.button(QMessageBox::No)->text(), QStringLiteral("いいえ(&N)"));
}

void TestMainWindow::pastedLineBreaks_data()
{
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("refusedAt"); // where 確定 then points; 0: it takes the row
    QTest::newRow("a cell with its line end") << "次は終点です\r\n" << "次は終点です" << 0;
    QTest::newRow("two lines") << "前半\n後半" << "前半 後半" << 3;
    QTest::newRow("two lines, CR LF, then a line end") << "a\r\nb\r\n" << "a b" << 2;
    QTest::newRow("old Mac line ends") << "x\ry\r\r" << "x y" << 2;
    QTest::newRow("Unicode line separator") << QString::fromUtf16(u"p\u2028q") << "p q" << 2;
}

void TestMainWindow::pastedLineBreaks()
{
    QFETCH(QString, pasted);
    QFETCH(QString, field);
    QFETCH(int, refusedAt);
    m_f->addRows({{"stored", "0", "0"}});
    m_f->load(1);
    Form1 &f = *m_f->form;
    f.Text1->clear();
    QGuiApplication::clipboard()->setText(pasted);
    f.Text1->paste();
    QCOMPARE(f.Text1->text(), field);
    m_f->messageBox.answers << IMessageBox::Ok;
    f.Command3->click();
    if (refusedAt == 0) {
        QCOMPARE(m_f->messageBox.shown.size(), 0);
        QCOMPARE(m_f->row(1).Content, field);
    } else {
        QCOMPARE(m_f->messageBox.shown.size(), 1);
        QVERIFY(m_f->messageBox.shown.first().prompt.startsWith(
            QStringLiteral("入力した放送内容の %1 文字目").arg(refusedAt)));
    }
}

void TestMainWindow::loadedContentKeepsItsLineBreak()
{
    // Content read from a file is the operator's as it stands, line breaks and all.
    m_f->addRows({{"a\nb\r\n", "0", "0"}});
    m_f->load(1);
    QCOMPARE(m_f->form->Text1->text(), QStringLiteral("a\nb\r\n"));
}

void TestMainWindow::idleWithLongContent_data()
{
    QTest::addColumn<int>("characters");
    QTest::newRow("an announcement") << 40;
    QTest::newRow("a pasted document") << 500000;
}

void TestMainWindow::idleWithLongContent()
{
    QFETCH(int, characters);
    Form1 &f = *m_f->form;
    m_f->addRows({{QString(characters, QChar(u'長')), "0", "0"}});
    f.show();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    m_f->load(1);
    f.Text1->setFocus();
    QTest::qWait(100);
    auto processorSeconds = [] {
        timespec now{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
        return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
    };
    const double before = processorSeconds();
    QEventLoop idle;
    QTimer::singleShot(1500, &idle, &QEventLoop::quit);
    idle.exec();
    const double load = (processorSeconds() - before) / 1.5;
    QVERIFY2(load < 0.05, qPrintable(QStringLiteral("%1 % of a core").arg(load * 100, 0, 'f', 1)));
    // The field still takes the keyboard as usual.
    QCOMPARE(QApplication::focusWidget(), f.Text1);
}

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
