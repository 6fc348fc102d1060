#include "platform/dialogs/modal_dialog.h"

#include <QDialog>

int execModal(QDialog &dialog, QWidget *owner)
{
    const int result = dialog.exec();
    if (owner && owner->window()->isVisible())
        owner->window()->activateWindow();
    return result;
}
