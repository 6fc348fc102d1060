// The table part made from its controls, and loading a row into the row editor.
#include "table/table_editor.h"

#include "platform/runtime/checked_int.h"
#include "platform/list/list_view.h"
#include "table/numeric_value.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>

TableEditor::TableEditor(ListView &list, const RowEditorControls &editor, IMessageBox &messageBox)
    : ListView1(&list),
      Text1(editor.Text1),
      Check1(editor.Check1),
      Option1(editor.Option1),
      m_messageBox(messageBox)
{
}

void TableEditor::ListView1_ItemClick(const ListItem &Item)
{
    // A row beyond the 16-bit range cannot become current: the overflow stops the load
    // before the editor is touched.
    CurrentRow = checked::toInt16(Item.Index());

    Text1->setText(Item.Text());

    const double fare = NumericValue(ListView1->Item(CurrentRow).SubItem(1));
    Check1->setChecked(fare == 1);

    const double sound = NumericValue(ListView1->Item(CurrentRow).SubItem(2));
    const int k = sound == 1 ? 1 : sound == 2 ? 2 : sound == 3 ? 3 : 0;
    Option1[static_cast<size_t>(k)]->setChecked(true);
}

void TableEditor::clearEditor()
{
    Text1->setText(QString());
    Check1->setChecked(false);
    Option1[0]->setChecked(true);
}

void TableEditor::keepSelectionOnCurrentRow()
{
    // A row that could not become current (the user chose a row past CurrentRow's range)
    // must not stay selected: confirming writes through the selection, and would split the
    // editor's row over two rows of the table.
    if (CurrentRow >= 1 && CurrentRow <= ListView1->Count())
        ListView1->Item(CurrentRow).SetSelected(true);
}
