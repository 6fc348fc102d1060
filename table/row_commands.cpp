// The seven row commands: add, delete, copy, append paste, insert paste, move up and
// move down. Each command that does its work ends by loading its row into the editor and
// selecting it, so the editor, CurrentRow and the list's selection name the same row.
#include "table/table_editor.h"

#include "platform/runtime/checked_int.h"
#include "platform/list/list_view.h"

#include <algorithm>

namespace {

const QString kNewRowContent = QStringLiteral("(新しい行)");

// The buttons' indices, Command2(0) to Command2(6).
enum Command : std::int16_t { AddRow, DeleteRow, CopyRow, AppendPaste, InsertPaste, MoveUp, MoveDown };

// WorkItem and NewItem belong to one command: whatever way the command ends, they are
// released.
class ScratchReferences
{
public:
    explicit ScratchReferences(TableEditor &form) : m_form(form) {}
    ~ScratchReferences()
    {
        m_form.WorkItem = ListItem();
        m_form.NewItem = ListItem();
    }
    ScratchReferences(const ScratchReferences &) = delete;
    ScratchReferences &operator=(const ScratchReferences &) = delete;

private:
    TableEditor &m_form;
};

void writeRow(const ListItem &item, const BroadcastRow &row)
{
    item.SetText(row.Content);
    item.SetSubItem(1, row.FareSignal);
    item.SetSubItem(2, row.SoundSignal);
}

BroadcastRow readRow(const ListItem &item)
{
    return {item.Text(), item.SubItem(1), item.SubItem(2)};
}

// The row a command will load must fit CurrentRow. It is checked before the command changes
// anything, so that a command that would overflow leaves the table, the editor and the
// selection as they were instead of stopping half done.
std::int32_t canBecomeCurrent(std::int32_t index)
{
    checked::toInt16(index);
    return index;
}

} // namespace

void TableEditor::loadAndSelect(const ListItem &item)
{
    ListView1_ItemClick(item);
    item.SetSelected(true);
}

void TableEditor::Command2_Click(std::int16_t Index)
{
    ScratchReferences scratch(*this);

    switch (Index) {
    case AddRow:
        // The new row goes below the row loaded last, not below the selection.
        if (ListView1->Count() == 0 || CurrentRow < 1) {
            canBecomeCurrent(checked::add(ListView1->Count(), 1));
            NewItem = ListView1->Add(0, kNewRowContent);
        } else {
            WorkItem = ListView1->Item(CurrentRow);
            NewItem = ListView1->Add(canBecomeCurrent(checked::add(WorkItem.Index(), 1)),
                                     kNewRowContent);
        }
        loadAndSelect(NewItem);
        break;

    case DeleteRow: {
        if (ListView1->Count() == 0)
            return;
        const ListItem selected = ListView1->SelectedItem();
        if (selected.isNothing())
            return; // nothing chosen: nothing to delete, and the editor keeps its text
        // The row that takes its place, or the new last row, is loaded next.
        if (ListView1->Count() > 1)
            canBecomeCurrent(std::min(selected.Index(), checked::sub(ListView1->Count(), 1)));
        clearEditor();
        ListView1->Remove(selected.Index());
        ListView1->SetFocus();
        if (ListView1->Count() == 0)
            return;
        WorkItem = ListView1->SelectedItem();
        loadAndSelect(WorkItem);
        break;
    }

    case CopyRow:
        if (ListView1->Count() == 0)
            return;
        WorkItem = ListView1->SelectedItem();
        if (WorkItem.isNothing())
            return;
        // The stored row, not the editor: unconfirmed edits are not copied.
        ClipboardRow = readRow(WorkItem);
        break;

    case AppendPaste:
        canBecomeCurrent(checked::add(ListView1->Count(), 1));
        WorkItem = ListView1->Add(0, ClipboardRow.Content);
        WorkItem.SetSubItem(1, ClipboardRow.FareSignal);
        WorkItem.SetSubItem(2, ClipboardRow.SoundSignal);
        loadAndSelect(WorkItem);
        break;

    case InsertPaste:
        Command2_Click(AddRow);
        WorkItem = ListView1->SelectedItem();
        if (WorkItem.isNothing())
            return;
        writeRow(WorkItem, ClipboardRow);
        loadAndSelect(WorkItem);
        break;

    case MoveUp:
    case MoveDown: {
        // The values travel, the rows stay; the selection follows the values.
        if (ListView1->Count() == 0)
            return;
        WorkItem = ListView1->SelectedItem();
        if (WorkItem.isNothing())
            return;
        const std::int32_t i = WorkItem.Index();
        const bool up = Index == MoveUp;
        if (up ? !(i > 1) : !(i < ListView1->Count()))
            return;
        NewItem = ListView1->Item(canBecomeCurrent(up ? checked::sub(i, 1) : checked::add(i, 1)));
        SwapRow = readRow(NewItem);
        writeRow(NewItem, readRow(WorkItem));
        writeRow(WorkItem, SwapRow);
        loadAndSelect(NewItem);
        break;
    }

    default:
        break;
    }
}
