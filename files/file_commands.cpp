// The File menu: New, Open, Save and Exit, and the question before closing the window.
#include "files/file_commands.h"

#include "files/broadcast_file.h"
#include "files/table_record.h"
#include "platform/system/api_lib.h"
#include "platform/dialogs/common_dialog.h"
#include "platform/list/list_view.h"
#include "platform/dialogs/message_box.h"
#include "table/table_editor.h"

namespace {

const QString kDeleteQuestion = QStringLiteral("編集中の内容を削除してもよろしいですか？");
const QString kDeleteTitle = QStringLiteral("削除の確認");
const QString kDiscardQuestion = QStringLiteral("編集中の内容は破棄してもよろしいですか？");
const QString kDiscardTitle = QStringLiteral("破棄の確認");

// The open dialog's filter in its library's form: description, NUL, pattern, NUL, NUL.
QString openFilter()
{
    const QChar nul(u'\0');
    return QStringLiteral("放送用データファイル(*Tp.csv)") + nul + QStringLiteral("*Tp.csv") + nul + nul;
}

// The error's prompt, with what went wrong and where on a second line when known.
QString withDetail(const QString &prompt, const RuntimeError &error)
{
    if (const auto *fileError = dynamic_cast<const BroadcastFileError *>(&error))
        return prompt + QStringLiteral("\r\n") + fileError->detail();
    return prompt + QStringLiteral("\r\n") + error.description();
}

} // namespace

FileCommands::FileCommands(TableEditor &table, Services services)
    : C_Dialog1(&services.saveDialog),
      m_table(table),
      m_services(std::move(services))
{
}

bool FileCommands::userAgreesToDiscard()
{
    return m_services.messageBox.show(kDiscardQuestion, IMessageBox::YesNo,
                                      IMessageBox::Question, kDiscardTitle)
        == IMessageBox::Yes;
}

void FileCommands::MnuFileNew_Click()
{
    if (m_table.ListView1->Count() == 0)
        return;
    if (m_services.messageBox.show(kDeleteQuestion, IMessageBox::YesNo, IMessageBox::Question,
                                   kDeleteTitle)
        != IMessageBox::Yes)
        return;
    m_table.ListView1->Clear();
    m_table.clearEditor();
    if (m_services.tableRecord)
        m_services.tableRecord->tableDiscarded();
}

void FileCommands::MnuFileOpen_Click()
{
    const bool hadRows = m_table.ListView1->Count() > 0;
    if (hadRows
        && m_services.messageBox.show(kDeleteQuestion, IMessageBox::YesNo,
                                      IMessageBox::Question, kDeleteTitle)
            != IMessageBox::Yes)
        return;

    // The table is emptied only once a file has been chosen: cancelling the dialog keeps
    // everything the user had.
    const QString path =
        m_services.apiLib.KelpFileDlg(m_services.dialogOwner, 0, openFilter(), QString(),
                                      QStringLiteral("放送用データファイルを開く"));
    if (path.isEmpty())
        return;
    if (hadRows) {
        m_table.ListView1->Clear();
        m_table.clearEditor();
        if (m_services.tableRecord)
            m_services.tableRecord->tableDiscarded();
    }

    try {
        m_table.ListView1->Clear();
        ReadBroadcastFile(*m_table.ListView1, path,
                          m_services.tableRecord ? m_services.tableRecord->openingTap() : nullptr);
        if (m_table.ListView1->Count() >= 1) {
            const ListItem first = m_table.ListView1->Item(1);
            m_table.ListView1_ItemClick(first);
            first.SetSelected(true);
        }
    } catch (const RuntimeError &error) {
        // The rows read before the failure stay listed while the message is up.
        m_services.messageBox.show(
            withDetail(QStringLiteral("読み込み時にエラーが発生しました"), error),
            IMessageBox::OkOnly, IMessageBox::Critical, QStringLiteral("読み込みエラー"));
        m_table.ListView1->Clear();
    }
}

void FileCommands::MnuFileSave_Click()
{
    if (m_table.ListView1->Count() == 0)
        return;
    try {
        C_Dialog1->Filter = QStringLiteral("放送用データファイル(*.csv)|*.csv");
        C_Dialog1->DefaultExt = QStringLiteral("*.csv");
        C_Dialog1->ShowSave(m_services.dialogOwner);
        WriteBroadcastFile(*m_table.ListView1, C_Dialog1->FileName);
        if (m_services.tableRecord)
            m_services.tableRecord->tableSaved();
    } catch (const RuntimeError &error) {
        if (error.number() == RuntimeError::CancelError)
            return;
        m_services.messageBox.show(
            withDetail(QStringLiteral("保存時にエラーが発生しました"), error),
            IMessageBox::OkOnly, IMessageBox::Critical, QStringLiteral("保存エラー"));
    }
}

void FileCommands::MnuFileExit_Click()
{
    if (m_table.ListView1->Count() > 0 && !userAgreesToDiscard())
        return;
    m_services.endProgram();
}
