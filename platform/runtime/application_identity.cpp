#include "platform/runtime/application_identity.h"

#include <QCoreApplication>
#include <QString>

void setApplicationIdentity(const QString &applicationName)
{
    QCoreApplication::setOrganizationName(QStringLiteral("broadcast-data-tool"));
    QCoreApplication::setApplicationName(applicationName);
    QCoreApplication::setApplicationVersion(QStringLiteral(BDT_VERSION));
}
