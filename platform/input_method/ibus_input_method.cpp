#include "platform/input_method/ibus_input_method.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QFile>
#include <QPointer>
#include <QStandardPaths>
#include <QTimer>
#include <QWidget>

namespace {

const QString kService = QStringLiteral("org.freedesktop.IBus");
const QString kPath = QStringLiteral("/org/freedesktop/IBus");
const QString kConnection = QStringLiteral("broadcast-data-tool-ibus");
const QString kMozcEngine = QStringLiteral("mozc-jp");
// Mozc's own name for its hiragana mode among the properties it offers IBus's panel.
const QString kMozcHiragana = QStringLiteral("InputMode.Hiragana");
constexpr uint kPropertyChecked = 1;

QDBusMessage ibusCall(const QString &path, const QString &interface, const QString &method,
                      const QVariantList &arguments)
{
    QDBusMessage call = QDBusMessage::createMethodCall(kService, path, interface, method);
    call.setArguments(arguments);
    return call;
}

} // namespace

IBusInputMethod::IBusInputMethod(QObject *parent) : QObject(parent) {}

IBusInputMethod::~IBusInputMethod()
{
    if (!m_address.isEmpty())
        QDBusConnection::disconnectFromBus(kConnection);
}

QString IBusInputMethod::busAddress()
{
    const QString fromEnvironment = qEnvironmentVariable("IBUS_ADDRESS");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    // ibus-daemon names its file after the machine and the X display ("unix" when the
    // display has no host part): ~/.config/ibus/bus/<machine id>-unix-0 for ":0.0".
    const QString display = qEnvironmentVariable("DISPLAY");
    const qsizetype colon = display.indexOf(QLatin1Char(':'));
    if (colon < 0)
        return QString();
    const QString host = colon > 0 ? display.left(colon) : QStringLiteral("unix");
    const QString number = display.mid(colon + 1).section(QLatin1Char('.'), 0, 0);
    QFile file(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
               + QStringLiteral("/ibus/bus/") + QString::fromLatin1(QDBusConnection::localMachineId())
               + QLatin1Char('-') + host + QLatin1Char('-') + number);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    const QByteArray key = "IBUS_ADDRESS=";
    while (!file.atEnd()) {
        const QByteArray line = file.readLine().trimmed();
        if (line.startsWith(key))
            return QString::fromUtf8(line.mid(key.size()));
    }
    return QString();
}

// IBus may have been restarted, on another address, since the last time.
bool IBusInputMethod::connectToBus()
{
    const QString address = busAddress();
    if (address.isEmpty())
        return false;
    if (address != m_address && !m_address.isEmpty())
        QDBusConnection::disconnectFromBus(kConnection);
    m_address = address;
    if (QDBusConnection(kConnection).isConnected())
        return true;
    QDBusConnection::disconnectFromBus(kConnection);
    return QDBusConnection::connectToBus(address, kConnection).isConnected();
}

void IBusInputMethod::switchOnHiragana(QWidget *field)
{
    // Qt's IBus input context focuses itself just after the field's focus event; the mode
    // is chosen on the context that has the keyboard, so the request waits until then.
    QTimer::singleShot(0, this, [this, field = QPointer<QWidget>(field)] {
        if (!field || !field->hasFocus() || !connectToBus())
            return;
        QDBusConnection bus(kConnection);
        const QDBusPendingCall engineSet = bus.asyncCall(ibusCall(
            kPath, kService, QStringLiteral("SetGlobalEngine"), {kMozcEngine}));
        auto *watcher = new QDBusPendingCallWatcher(engineSet, this);
        connect(watcher, &QDBusPendingCallWatcher::finished, this,
                [this, bus](QDBusPendingCallWatcher *call) {
                    call->deleteLater();
                    // No Mozc engine here: IBus stays as the operator left it.
                    if (!call->isError())
                        chooseHiragana(bus);
                });
    });
}

// Mozc starts in direct input unless its settings say otherwise; hiragana is one of the
// input modes it lets a panel choose, on the input context that has the keyboard. IBus
// answers an input context's calls only on the connection that made it, which is Qt's
// own ("QIBusProxy"); without it the engine is switched but its mode stays Mozc's choice.
void IBusInputMethod::chooseHiragana(const QDBusConnection &bus)
{
    const QDBusPendingCall current = QDBusConnection(bus).asyncCall(
        ibusCall(kPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"),
                 {kService, QStringLiteral("CurrentInputContext")}));
    auto *watcher = new QDBusPendingCallWatcher(current, this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [](QDBusPendingCallWatcher *call) {
                call->deleteLater();
                const QDBusPendingReply<QDBusVariant> reply = *call;
                if (reply.isError())
                    return;
                const auto context = reply.value().variant().value<QDBusObjectPath>();
                if (context.path().isEmpty() || context.path() == QLatin1String("/"))
                    return;
                QDBusConnection qtConnection(QStringLiteral("QIBusProxy"));
                if (!qtConnection.isConnected())
                    return;
                qtConnection.send(ibusCall(
                    context.path(), QStringLiteral("org.freedesktop.IBus.InputContext"),
                    QStringLiteral("PropertyActivate"),
                    {kMozcHiragana, QVariant::fromValue(kPropertyChecked)}));
            });
}
