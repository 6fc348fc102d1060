#include "platform/dialogs/modal_dialog.h"

#include <QDialog>
#include <QGuiApplication>
#include <QPointer>
#include <QTimer>

namespace {

// A busy window manager may still be handling the dialog's disappearance when the first
// request comes, and leave the keyboard with none of the tool's windows. The request is
// made again a few times, for under a second, and only while no window of the tool has the
// keyboard: once one has, the operator is typing somewhere on purpose.
void activateUntilSomeWindowIsActive(QWidget *window, int attemptsLeft)
{
    if (attemptsLeft <= 0)
        return;
    QTimer::singleShot(150, window, [window, attemptsLeft] {
        if (QGuiApplication::focusWindow() || !window->isVisible())
            return;
        window->activateWindow();
        activateUntilSomeWindowIsActive(window, attemptsLeft - 1);
    });
}

} // namespace

int execModal(QDialog &dialog, QWidget *owner)
{
    const int result = dialog.exec();
    if (owner && owner->window()->isVisible()) {
        owner->window()->activateWindow();
        activateUntilSomeWindowIsActive(owner->window(), 5);
    }
    return result;
}
