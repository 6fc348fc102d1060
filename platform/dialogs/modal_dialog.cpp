#include "platform/dialogs/modal_dialog.h"

#include "platform/dialogs/window_manager.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QEventLoop>
#include <QPointer>
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

// Drops the keys and clicks that reach the tool while a dialog waits for the operator: the
// click that brings the operator back must not run a handler before the dialog is up.
class InputHeldBack final : public QObject
{
public:
    explicit InputHeldBack(QObject *parent) : QObject(parent) { qApp->installEventFilter(this); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Wheel:
            return watched->isWidgetType();
        default:
            return false;
        }
    }
};

// A dialog the operator did not ask for (speech failing after 再生 has returned) can come
// while the operator works in another program. Opening it then would take the keyboard
// from that program, and a key meant there would answer it unread. Instead the window
// asks for attention (the urgency hint), and the dialog waits until one of the tool's
// windows is active again.
void waitForTheOperator(QWidget *window)
{
    if (!window->isVisible() || QGuiApplication::applicationState() == Qt::ApplicationActive)
        return;
    QApplication::alert(window);
    setUrgent(window, true);
    const QPointer<QWidget> watched(window);
    QEventLoop loop;
    QObject::connect(qGuiApp, &QGuiApplication::applicationStateChanged, &loop,
                     [&loop](Qt::ApplicationState state) {
                         if (state == Qt::ApplicationActive)
                             loop.quit();
                     });
    QObject::connect(window, &QObject::destroyed, &loop, &QEventLoop::quit);
    InputHeldBack heldBack(&loop);
    loop.exec();
    if (watched)
        setUrgent(watched, false);
}

} // namespace

int execModal(QDialog &dialog, QWidget *owner)
{
    if (owner)
        waitForTheOperator(owner->window());
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
