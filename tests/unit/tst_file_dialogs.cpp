#include "app/japanese_ui.h"
#include "platform/system/api_lib_qt.h"
#include "platform/dialogs/common_dialog_qt.h"
#include "platform/dialogs/file_dialog_filter.h"
#include "platform/runtime/runtime_error.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QListView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

// Drives the real Qt dialogs: a timer finds the modal dialog once it is up and acts on it.
class TestFileDialogs : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { installJapaneseTranslations(*qApp); }
    void openDialogListsTpCsvWhateverTheCase();
    void openDialogCancelGivesEmptyString();
    void saveDialogAddsDefaultExtension_data();
    void saveDialogAddsDefaultExtension();
    void saveDialogCancelRaises32755();
    void windowsFilterConversion_data();
    void windowsFilterConversion();

private:
    QWidget m_owner;
    void whenDialogShown(const std::function<void(QFileDialog *)> &act)
    {
        auto *timer = new QTimer(this);
        timer->setInterval(20);
        connect(timer, &QTimer::timeout, this, [timer, act] {
            for (QWidget *w : QApplication::topLevelWidgets()) {
                auto *dialog = qobject_cast<QFileDialog *>(w);
                if (dialog && dialog->isVisible()) {
                    timer->stop();
                    timer->deleteLater();
                    act(dialog);
                    return;
                }
            }
        });
        timer->start();
    }
    // As a user would: the name into the file-name field, then Enter.
    static void typeAndEnter(QFileDialog *dialog, const QString &name)
    {
        auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        if (!edit) {
            dialog->reject();
            return;
        }
        edit->setText(name);
        QTest::keyClick(edit, Qt::Key_Return);
    }
    static QStringList listedNames(QFileDialog *dialog)
    {
        auto *view = dialog->findChild<QListView *>(QStringLiteral("listView"));
        QStringList names;
        if (!view)
            return names;
        const QModelIndex root = view->rootIndex();
        for (int r = 0; r < view->model()->rowCount(root); ++r)
            names << view->model()->index(r, 0, root).data().toString();
        names.sort();
        return names;
    }
};

void TestFileDialogs::openDialogListsTpCsvWhateverTheCase()
{
    QTemporaryDir dir;
    for (const char *name : {"aTp.csv", "bTP.CSV", "ctp.Csv", "d.csv", "eTp.txt", "Tp.csv.bak"}) {
        QFile f(dir.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    QtApiLib lib;
    QStringList listed;
    QString title;
    QStringList filters;
    Qt::WindowModality modality = Qt::NonModal;
    QWidget *parent = nullptr;
    whenDialogShown([&](QFileDialog *dialog) {
        title = dialog->windowTitle();
        filters = dialog->nameFilters();
        modality = dialog->windowModality();
        parent = dialog->parentWidget();
        dialog->setDirectory(dir.path());
        (void)QTest::qWaitFor([&] { return listedNames(dialog).size() >= 3; }, 5000);
        QTest::qWait(200); // let the directory finish loading, so extra names would show
        listed = listedNames(dialog);
        typeAndEnter(dialog, dir.filePath("bTP.CSV"));
    });
    const QString chosen = lib.KelpFileDlg(&m_owner, 0,
                                           QStringLiteral("放送用データファイル(*Tp.csv)") + QChar(0)
                                               + QStringLiteral("*Tp.csv") + QChar(0) + QChar(0),
                                           QString(), QStringLiteral("放送用データファイルを開く"));
    QCOMPARE(title, QStringLiteral("放送用データファイルを開く"));
    QCOMPARE(filters, QStringList({"放送用データファイル(*Tp.csv)"}));
    QCOMPARE(parent, &m_owner);
    QVERIFY(modality != Qt::NonModal);
    QCOMPARE(listed, QStringList({"aTp.csv", "bTP.CSV", "ctp.Csv"}));
    QCOMPARE(chosen, dir.filePath("bTP.CSV"));
}

void TestFileDialogs::openDialogCancelGivesEmptyString()
{
    QtApiLib lib;
    whenDialogShown([](QFileDialog *dialog) { dialog->reject(); });
    QCOMPARE(lib.KelpFileDlg(&m_owner, 0, QString(), QString(), QStringLiteral("t")), QString());
}

void TestFileDialogs::saveDialogAddsDefaultExtension_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");
    QTest::newRow("no extension") << "routeTp" << "routeTp.csv";
    QTest::newRow("with extension") << "route.csv" << "route.csv";
}

void TestFileDialogs::saveDialogAddsDefaultExtension()
{
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    QtCommonDialog dialogControl;
    dialogControl.Filter = QStringLiteral("放送用データファイル(*.csv)|*.csv");
    dialogControl.DefaultExt = QStringLiteral("*.csv");
    QStringList filters;
    whenDialogShown([&](QFileDialog *dialog) {
        filters = dialog->nameFilters();
        dialog->setDirectory(dir.path());
        typeAndEnter(dialog, typed);
    });
    dialogControl.ShowSave(&m_owner);
    QCOMPARE(filters, QStringList({"放送用データファイル(*.csv)"}));
    QCOMPARE(dialogControl.FileName, dir.filePath(expected));
}

void TestFileDialogs::saveDialogCancelRaises32755()
{
    QtCommonDialog dialogControl;
    dialogControl.FileName = QStringLiteral("/tmp/kept.csv");
    whenDialogShown([](QFileDialog *dialog) { dialog->reject(); });
    try {
        dialogControl.ShowSave(&m_owner);
        QFAIL("no error raised");
    } catch (const RuntimeError &e) {
        QCOMPARE(e.number(), 32755);
    }
    QCOMPARE(dialogControl.FileName, QStringLiteral("/tmp/kept.csv"));
}

void TestFileDialogs::windowsFilterConversion_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("expected");
    const QChar nul(0);
    QTest::newRow("pattern shown in the description")
        << QString("放送用データファイル(*Tp.csv)") + nul + "*Tp.csv" + nul + nul
        << QStringList({"放送用データファイル(*Tp.csv)"});
    QTest::newRow("two pairs, patterns added")
        << QString("CSV") + nul + "*.csv" + nul + "All" + nul + "*.*;*" + nul + nul
        << QStringList({"CSV (*.csv)", "All (*.* *)"});
    QTest::newRow("empty") << QString() << QStringList();
}

void TestFileDialogs::windowsFilterConversion()
{
    QFETCH(QString, filter);
    QFETCH(QStringList, expected);
    QCOMPARE(qtNameFilters(filter, u'\0'), expected);
}

QTEST_MAIN(TestFileDialogs)
#include "tst_file_dialogs.moc"
