// Confirming the row editor into the table, refusing content with a forbidden character.
#include "table/table_editor.h"

#include "platform/list/list_view.h"
#include "platform/dialogs/message_box.h"
#include "row/content_rule.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>

std::int32_t TableEditor::IsCommaAndTab(const QString &strText)
{
    // Positions count UTF-16 code units from 1, as the text box counts its selection.
    return static_cast<std::int32_t>(firstRefusedContentCharacter(strText) + 1);
}

void TableEditor::Command3_Click()
{
    if (ListView1->Count() == 0 || CurrentRow == 0)
        return;

    const QString content = Text1->text();
    const std::int32_t p = IsCommaAndTab(content);
    if (p != 0) {
        m_messageBox.show(QStringLiteral("入力した放送内容の ") + QString::number(p)
                              + QStringLiteral(" 文字目あたりに、使用禁止の文字（カンマ・タブ・スペース）が含まれています！")
                              + QStringLiteral("\r\n") + QStringLiteral("修正してください。"),
                          IMessageBox::OkOnly, IMessageBox::Exclamation,
                          QStringLiteral("エラー"));
        Text1->setSelection(p - 1, 1);
        Text1->setFocus(Qt::OtherFocusReason);
        return;
    }

    // Content and fare signal go to the selected row, the sound signal to row CurrentRow;
    // the two are the same row, since every road that loads a row also selects it. Should
    // no row be selected, the row in the editor (CurrentRow) takes all three.
    ListItem selected = ListView1->SelectedItem();
    if (selected.isNothing())
        selected = ListView1->Item(CurrentRow);
    selected.SetText(content);
    selected.SetSubItem(1, Check1->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    for (int i = 0; i < 4; ++i) {
        if (Option1[static_cast<size_t>(i)]->isChecked())
            ListView1->Item(CurrentRow).SetSubItem(2, QString::number(i));
    }
}
