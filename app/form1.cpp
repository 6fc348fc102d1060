#include "app/form1.h"

#include "files/file_commands.h"
#include "recovery/recovery_journal.h"
#include "recovery/recovery_offer.h"
#include "speech/speech_preview.h"
#include "table/table_editor.h"
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

    createControls();
    createMenu();
    createParts();
    routeEvents();
    if (m_services.loadAfterFirstPaint) {
        m_speech->setSpeechButtonsEnabled(false);
        m_loadPending = true;
    } else {
        loadForm();
    }
    ListView1->SetFocus();
}

Form1::~Form1() = default;

void Form1::createParts()
{
    const RowEditorControls editor{Text1, Check1, Option1};
    m_table = std::make_unique<TableEditor>(*ListView1, editor, *m_services.messageBox);
    if (!m_services.recoveryFolder.isEmpty()) {
        m_journal = new RecoveryJournal(*ListView1, editor, m_services.recoveryFolder, this);
        // Queued: the journal stops in the middle of a handler's commit.
        connect(m_journal, &RecoveryJournal::stopped, this, &Form1::showRecoveryStopped,
                Qt::QueuedConnection);
    }
    m_files = std::make_unique<FileCommands>(
        *m_table, FileCommands::Services{*m_services.messageBox, *m_services.apiLib,
                                         *m_services.commonDialog, this,
                                         [this] {
                                             endJournal();
                                             m_services.endProgram();
                                         },
                                         m_journal});
    m_speech = std::make_unique<SpeechPreview>(
        Command1, SpeechPreview::Services{*m_services.apiLib, m_services.speechFactory, this,
                                          [this] { return Text1->text(); }});
}

void Form1::routeEvents()
{
    connect(ListView1, &ListView::ItemClick, this,
            [this](const ListItem &item) { Dispatch([&] { m_table->ListView1_ItemClick(item); }); });
    for (std::int16_t i = 0; i < static_cast<std::int16_t>(Command2.size()); ++i) {
        connect(Command2[static_cast<size_t>(i)], &QPushButton::clicked, this,
                [this, i] { Dispatch([&] { m_table->Command2_Click(i); }); });
    }
    connect(Command3, &QPushButton::clicked, this,
            [this] { Dispatch([&] { m_table->Command3_Click(); }); });
    for (std::int16_t i = 0; i < static_cast<std::int16_t>(Command1.size()); ++i) {
        connect(Command1[static_cast<size_t>(i)], &QPushButton::clicked, this,
                [this, i] { Dispatch([&] { m_speech->Command1_Click(i); }); });
    }
    // Not through Dispatch: nothing here fails, and it comes with every key typed.
    connect(Text1, &QLineEdit::textChanged, this, [this] { m_speech->Text1_Change(); });
    connect(MnuFileNew, &QAction::triggered, this,
            [this] { Dispatch([&] { m_files->MnuFileNew_Click(); }); });
    connect(MnuFileOpen, &QAction::triggered, this,
            [this] { Dispatch([&] { m_files->MnuFileOpen_Click(); }); });
    connect(MnuFileSave, &QAction::triggered, this,
            [this] { Dispatch([&] { m_files->MnuFileSave_Click(); }); });
    connect(MnuFileExit, &QAction::triggered, this,
            [this] { Dispatch([&] { m_files->MnuFileExit_Click(); }); });
}

void Form1::loadForm()
{
    Dispatch([this] { m_speech->Form_Load(); });
    // Speech that fails after 再生 has returned reaches the operator through the same
    // boundary as a handler's error. Queued, so that the box is not opened from inside the
    // component while it is still putting itself in order.
    if (ISpeechComponent *engine = m_speech->SpeechEngine) {
        connect(
            engine, &ISpeechComponent::failed, this,
            [this](int number, const QString &description) {
                Dispatch([&] { m_speech->SpeechEngine_Failed(number, description); });
            },
            Qt::QueuedConnection);
    }
    // Work left by a window that died is offered once this window stands.
    if (m_journal)
        Dispatch([this] { offerRecovery(*m_journal, *m_table, *m_services.messageBox); });
}

void Form1::endJournal()
{
    if (m_journal)
        m_journal->end();
}

void Form1::showRecoveryStopped(const QString &reason)
{
    m_services.messageBox->show(
        QStringLiteral("編集内容を復元用に記録できないため、この後の編集内容は復元できません（%1）。"
                       "\r\n作業中の内容はこまめに保存してください。")
            .arg(reason),
        IMessageBox::OkOnly, IMessageBox::Exclamation, QStringLiteral("編集内容の復元"));
}

void Form1::Dispatch(const std::function<void()> &handler)
{
    try {
        handler();
    } catch (const RuntimeError &error) {
        if (error.number() == RuntimeError::Overflow)
            m_table->keepSelectionOnCurrentRow();
        showUnhandledError(error.number(), error.description());
    } catch (const std::bad_alloc &) {
        const RuntimeError error = RuntimeError::outOfMemory();
        showUnhandledError(error.number(), error.description());
    }
    // What the event changed is in the journal before the next event is taken.
    if (m_journal)
        m_journal->commit();
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
    Dispatch([&] { keepOpen = ListView1->Count() > 0 && !m_files->userAgreesToDiscard(); });
    if (keepOpen) {
        event->ignore();
        return;
    }
    std::int16_t cancel = 0;
    Dispatch([&] { m_speech->Form_QueryUnload(cancel, 0); });
    if (cancel != 0) {
        event->ignore();
        return;
    }
    endJournal();
    event->accept();
}

void Form1::paintEvent(QPaintEvent *event)
{
    QMainWindow::paintEvent(event);
    if (!m_loadPending)
        return;
    m_loadPending = false;
    // Queued, so that this paint reaches the screen first.
    QTimer::singleShot(0, this, [this] { loadForm(); });
}

void Form1::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!event->spontaneous())
        excludeFromTaskbar(this);
}
