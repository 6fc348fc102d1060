#pragma once

#include <functional>

class IApiLib;
class ICommonDialog;
class IMessageBox;
class ITableRecord;
class QWidget;
class TableEditor;

// The File menu's part of the window: New, Open, Save and Exit over the table, and the
// question before the table is discarded. It works on the table through the table's part,
// which loads the first row of an opened file and clears the editor.
class FileCommands final
{
public:
    struct Services
    {
        IMessageBox &messageBox;
        IApiLib &apiLib;
        ICommonDialog &saveDialog;
        // The window that owns the dialogs.
        QWidget *dialogOwner;
        // Ends the program at once, without the window's close handling.
        std::function<void()> endProgram;
        // Told what the commands do to the table's worth; null for nobody.
        ITableRecord *tableRecord = nullptr;
    };

    FileCommands(TableEditor &table, Services services);
    FileCommands(const FileCommands &) = delete;
    FileCommands &operator=(const FileCommands &) = delete;

    // The save dialog control.
    ICommonDialog *const C_Dialog1;

    // Handlers.
    void MnuFileExit_Click();
    void MnuFileNew_Click();
    void MnuFileOpen_Click();
    void MnuFileSave_Click();

    // The question before rows are thrown away by leaving the program.
    bool userAgreesToDiscard();

private:
    TableEditor &m_table;
    Services m_services;
};
