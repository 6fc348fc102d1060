#pragma once

#include "platform/list/list_item.h"
#include "row/broadcast_row.h"

#include <array>
#include <cstdint>

class IMessageBox;
class ListView;
class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QRadioButton;
class QString;

// The broadcast table's part of the window: the list and the row editor as its handlers
// use them, the form-level editing state, and the handlers that load a row, run the row
// commands and confirm the editor. The window creates the controls and routes the events.
class TableEditor
{
public:
    // Controls, named as the handlers use them.
    ListView *ListView1 = nullptr;
    QLineEdit *Text1 = nullptr;
    QCheckBox *Check1 = nullptr;
    std::array<QRadioButton *, 4> Option1{};
    QButtonGroup *Option1Group = nullptr;

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

protected:
    TableEditor() = default;
    virtual ~TableEditor() = default;

    virtual IMessageBox &messageBox() const = 0;

    void clearEditor();
    void loadAndSelect(const ListItem &item);
    // After a row failed to become current: the selection goes back to row CurrentRow.
    void keepSelectionOnCurrentRow();
};
