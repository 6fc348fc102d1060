#include "app/form1.h"

#include "platform/system/api_lib_qt.h"
#include "platform/dialogs/common_dialog_qt.h"
#include "platform/list/list_view.h"
#include "platform/dialogs/message_box.h"
#include "platform/list/report_view.h"
#include "platform/runtime/runtime_error.h"
#include "platform/speech/speech_component.h"
#include "platform/system/taskbar.h"

#include <QAction>
#include <QCloseEvent>
#include <QShowEvent>
#include <QTimer>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>

Form1::Form1(FormServices services, QWidget *parent)
    : QMainWindow(parent), m_services(std::move(services))
{
    if (!m_services.messageBox) {
        m_ownMessageBox = std::make_unique<QtMessageBox>(this);
        m_services.messageBox = m_ownMessageBox.get();
    }
    if (!m_services.apiLib) {
        m_ownApiLib = std::make_unique<QtApiLib>();
        m_services.apiLib = m_ownApiLib.get();
    }
    if (!m_services.commonDialog) {
        m_ownCommonDialog = std::make_unique<QtCommonDialog>();
        m_services.commonDialog = m_ownCommonDialog.get();
    }
    if (!m_services.endProgram)
        m_services.endProgram = [] { QCoreApplication::exit(0); };
    C_Dialog1 = m_services.commonDialog;

    createControls();
    createMenu();
    routeEvents();
    if (m_services.loadAfterFirstPaint) {
        setSpeechButtonsEnabled(false);
        m_loadPending = true;
    } else {
        Dispatch([this] { Form_Load(); });
    }
    ListView1->SetFocus();
}

Form1::~Form1() = default;

void Form1::routeEvents()
{
    connect(ListView1, &ListView::ItemClick, this,
            [this](const ListItem &item) { Dispatch([&] { ListView1_ItemClick(item); }); });
    for (std::int16_t i = 0; i < static_cast<std::int16_t>(Command2.size()); ++i) {
        connect(Command2[static_cast<size_t>(i)], &QPushButton::clicked, this,
                [this, i] { Dispatch([&] { Command2_Click(i); }); });
    }
    connect(Command3, &QPushButton::clicked, this,
            [this] { Dispatch([&] { Command3_Click(); }); });
    for (std::int16_t i = 0; i < static_cast<std::int16_t>(Command1.size()); ++i) {
        connect(Command1[static_cast<size_t>(i)], &QPushButton::clicked, this,
                [this, i] { Dispatch([&] { Command1_Click(i); }); });
    }
    connect(MnuFileNew, &QAction::triggered, this,
            [this] { Dispatch([&] { MnuFileNew_Click(); }); });
    connect(MnuFileOpen, &QAction::triggered, this,
            [this] { Dispatch([&] { MnuFileOpen_Click(); }); });
    connect(MnuFileSave, &QAction::triggered, this,
            [this] { Dispatch([&] { MnuFileSave_Click(); }); });
    connect(MnuFileExit, &QAction::triggered, this,
            [this] { Dispatch([&] { MnuFileExit_Click(); }); });
}

void Form1::Dispatch(const std::function<void()> &handler)
{
    try {
        handler();
    } catch (const RuntimeError &error) {
        if (error.number() == RuntimeError::Overflow)
            keepSelectionOnCurrentRow();
        showUnhandledError(error.number(), error.description());
    } catch (const std::bad_alloc &) {
        const RuntimeError error = RuntimeError::outOfMemory();
        showUnhandledError(error.number(), error.description());
    }
}

QString Form1::editorContent() const
{
    return Text1->text();
}

void Form1::showUnhandledError(int number, const QString &description)
{
    // An error no handler traps is reported and the window carries on: ending the program
    // here would throw away every row the user has made.
    const QString prompt = QStringLiteral("実行時エラー '%1':\r\n%2").arg(number).arg(description);
    m_services.messageBox->show(prompt, IMessageBox::OkOnly, IMessageBox::Critical,
                                windowTitle());
}

void Form1::closeEvent(QCloseEvent *event)
{
    // Closing from the frame asks the same question as File > Exit: the table holds no copy
    // anywhere else, and a stray click must not throw away the operator's rows.
    bool keepOpen = false;
    Dispatch([&] { keepOpen = ListView1->Count() > 0 && !userAgreesToDiscard(); });
    if (keepOpen) {
        event->ignore();
        return;
    }
    std::int16_t cancel = 0;
    Dispatch([&] { Form_QueryUnload(cancel, 0); });
    if (cancel != 0)
        event->ignore();
    else
        event->accept();
}

void Form1::paintEvent(QPaintEvent *event)
{
    QMainWindow::paintEvent(event);
    if (!m_loadPending)
        return;
    m_loadPending = false;
    // Queued, so that this paint reaches the screen first.
    QTimer::singleShot(0, this, [this] { Dispatch([this] { Form_Load(); }); });
}

void Form1::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!event->spontaneous())
        excludeFromTaskbar(this);
}
