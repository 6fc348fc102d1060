#pragma once

#include "platform/runtime/application_identity.h"

#include <QSettings>
#include <QString>

// Gives the suite's user settings a folder of its own, under the name the programs give
// them: <folder>/broadcast-data-tool/speech.ini for the voice settings.
inline void keepSettingsIn(const QString &folder)
{
    setApplicationIdentity(QStringLiteral("broadcast-data-tool"));
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder);
}
