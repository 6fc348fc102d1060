#include "platform/input_method/fcitx5_input_method.h"

#include <QDBusMessage>
#include <QPointer>
#include <QTimer>
#include <QWidget>

Fcitx5InputMethod::Fcitx5InputMethod(const QDBusConnection &bus, QObject *parent)
    : QObject(parent), m_bus(bus)
{
}

void Fcitx5InputMethod::switchOnHiragana(QWidget *field)
{
    // Qt tells Fcitx of the new focus just after the field's focus event, on this same
    // session bus connection; waiting for the event loop puts the request behind it, so
    // Fcitx switches on the field's input context and not the one that had the keyboard.
    QTimer::singleShot(0, this, [this, field = QPointer<QWidget>(field)] {
        if (!field || !field->hasFocus() || !m_bus.isConnected())
            return;
        QDBusMessage activate = QDBusMessage::createMethodCall(
            QStringLiteral("org.fcitx.Fcitx5"), QStringLiteral("/controller"),
            QStringLiteral("org.fcitx.Fcitx.Controller1"), QStringLiteral("Activate"));
        // A desktop without Fcitx running must not get one started for it.
        activate.setAutoStartService(false);
        m_bus.send(activate);
    });
}
