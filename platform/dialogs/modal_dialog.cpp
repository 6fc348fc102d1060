#include "platform/dialogs/modal_dialog.h"

#include "platform/dialogs/window_manager.h"

#include <QDialog>
#include <QGuiApplication>
#include <QTimer>

namespace {

// A busy window manager may still be handling the dialog's disappearance when the first
// request comes, and leave the keyboard with none of the tool's windows. The request is
// made again a few times, for under a second, and only while nobody has the keyboard:
// once one of the tool's windows has it, or another program's, the operator is typing
// somewhere on purpose.
void activateUntilSomeWindowIsActive(QWidget *window, int attemptsLeft)
{
    if (attemptsLeft <= 0)
        return;
    QTimer::singleShot(150, window, [window, attemptsLeft] {
        if (QGuiApplication::focusWindow() || !window->isVisible()
            || anotherProgramHasTheKeyboard())
            return;
        window->activateWindow();
        activateUntilSomeWindowIsActive(window, attemptsLeft - 1);
    });
}

} // namespace

int execModal(QDialog &dialog, QWidget *owner)
{
    const int result = dialog.exec();
    // The operator was in the dialog a moment ago: whoever has the keyboard now, another
    // program included, had it handed over by the window manager (which may skip a window
    // kept out of the taskbar for the next program's), not by the operator.
    if (owner && owner->window()->isVisible()) {
        owner->window()->activateWindow();
        activateUntilSomeWindowIsActive(owner->window(), 5);
    }
    return result;
}
