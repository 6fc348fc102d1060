#include "platform/runtime/application_identity.h"

#include <QCoreApplication>
#include <QVariant>

void setApplicationIdentity(const QString &applicationName, const QString &desktopEntry)
{
    QCoreApplication::setOrganizationName(QStringLiteral("broadcast-data-tool"));
    QCoreApplication::setApplicationName(applicationName);
    QCoreApplication::setApplicationVersion(QStringLiteral(BDT_VERSION));
    // Through the property, since this library stays on Qt Core for the companion, which
    // has no window and no desktop entry.
    QCoreApplication *app = QCoreApplication::instance();
    if (!desktopEntry.isEmpty() && app && app->inherits("QGuiApplication"))
        app->setProperty("desktopFileName", desktopEntry);
}
