#pragma once

#include "platform/list/list_item.h"
#include "row/broadcast_row.h"

#include <array>
#include <cstdint>

class IMessageBox;
class ListView;
class QCheckBox;
class QLineEdit;
class QRadioButton;
class QString;

// The row editor's controls: the content, the fare-switch check box and the four sound
// options, named as the handlers use them.
struct RowEditorControls
{
    QLineEdit *Text1 = nullptr;
    QCheckBox *Check1 = nullptr;
    std::array<QRadioButton *, 4> Option1{};
};

// The broadcast table's part of the window: the list and the row editor as its handlers
// use them, the form-level editing state, and the handlers that load a row, run the row
// commands and confirm the editor. The window creates the controls, hands them over here,
// and routes the events.
class TableEditor final
{
public:
    TableEditor(ListView &list, const RowEditorControls &editor, IMessageBox &messageBox);
    TableEditor(const TableEditor &) = delete;
    TableEditor &operator=(const TableEditor &) = delete;

    // Controls, named as the handlers use them.
    ListView *const ListView1;
    QLineEdit *const Text1;
    QCheckBox *const Check1;
    const std::array<QRadioButton *, 4> Option1;

    // Form-level editing state.
    std::int16_t CurrentRow = 0;
    ListItem WorkItem;
    ListItem NewItem;
    BroadcastRow SwapRow;
    BroadcastRow ClipboardRow;

    // Handlers.
    std::int32_t IsCommaAndTab(const QString &strText);
    void Command2_Click(std::int16_t Index);
    void Command3_Click();
    void ListView1_ItemClick(const ListItem &Item);

    // Text1 empty, Check1 unchecked, Option1(0) on; CurrentRow stays.
    void clearEditor();
    // Loads the row into the editor, then selects it.
    void loadAndSelect(const ListItem &item);
    // After a row failed to become current: the selection goes back to row CurrentRow.
    void keepSelectionOnCurrentRow();

private:
    IMessageBox &m_messageBox;
};
