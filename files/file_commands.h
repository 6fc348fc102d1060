#pragma once

#include "table/table_editor.h"

class IApiLib;
class ICommonDialog;
class QWidget;

// The File menu's part of the window: New, Open, Save and Exit over the table, and the
// question before the table is discarded.
class FileCommands : public TableEditor
{
public:
    // The save dialog control.
    ICommonDialog *C_Dialog1 = nullptr;

    // Handlers.
    void MnuFileExit_Click();
    void MnuFileNew_Click();
    void MnuFileOpen_Click();
    void MnuFileSave_Click();

protected:
    virtual IApiLib &apiLib() const = 0;
    // The window that owns the dialogs.
    virtual QWidget *dialogOwner() = 0;
    // Ends the program at once, without the window's close handling.
    virtual void endProgram() = 0;

    bool userAgreesToDiscard();
};
