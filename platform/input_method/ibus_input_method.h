#pragma once

#include "platform/input_method/input_method.h"

#include <QObject>
#include <QString>

class QDBusConnection;

// IBus, asked on its own bus (the address `ibus address` prints): the Mozc engine becomes
// the current one, and Mozc's hiragana mode is chosen on the input context that has the
// keyboard, as IBus's panel chooses it from Mozc's input mode menu.
class IBusInputMethod final : public QObject, public IInputMethod
{
public:
    explicit IBusInputMethod(QObject *parent = nullptr);
    ~IBusInputMethod() override;
    void switchOnHiragana(QWidget *field) override;

    // Where IBus's bus is: $IBUS_ADDRESS, else the file ibus-daemon writes for this
    // machine and display. Empty when no IBus runs here.
    static QString busAddress();

private:
    bool connectToBus();
    void chooseHiragana(const QDBusConnection &bus);

    QString m_address;
};
