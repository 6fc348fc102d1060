#pragma once

#include "platform/input_method/input_method.h"

#include <QDBusConnection>
#include <QObject>

// Fcitx 5, asked over the session bus as fcitx5-remote asks it: its controller switches on
// the input context that has the keyboard, which is the field's window once Qt has told
// Fcitx of the focus.
//
// Fcitx offers a program no call that chooses an input method's own mode: Mozc comes up
// in its "Initial Mode" setting, hiragana unless the user changed it.
class Fcitx5InputMethod final : public QObject, public IInputMethod
{
public:
    explicit Fcitx5InputMethod(const QDBusConnection &bus, QObject *parent = nullptr);
    void switchOnHiragana(QWidget *field) override;

private:
    QDBusConnection m_bus;
};
