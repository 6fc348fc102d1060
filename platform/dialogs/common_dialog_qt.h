#pragma once

#include "platform/dialogs/common_dialog.h"

// The save dialog on Qt's own file dialog: it asks before replacing an existing file and
// gives a name typed without an extension the default one.
class QtCommonDialog final : public ICommonDialog
{
public:
    void ShowSave(QWidget *owner) override;
};
