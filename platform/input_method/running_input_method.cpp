#include "platform/input_method/running_input_method.h"

#include "platform/input_method/fcitx5_input_method.h"
#include "platform/input_method/ibus_input_method.h"

#include <QDBusConnection>

std::unique_ptr<IInputMethod> runningInputMethod()
{
    const QString module = qEnvironmentVariable("QT_IM_MODULE").trimmed().toLower();
    if (module == QLatin1String("fcitx") || module == QLatin1String("fcitx5")) {
        const QDBusConnection bus = QDBusConnection::sessionBus();
        if (bus.isConnected())
            return std::make_unique<Fcitx5InputMethod>(bus);
    } else if (module == QLatin1String("ibus")) {
        return std::make_unique<IBusInputMethod>();
    }
    return std::make_unique<NoInputMethod>();
}
