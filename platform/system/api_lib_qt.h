#pragma once

#include "platform/system/api_lib.h"

// The maker's library on this platform: the system's name from Qt, and Qt's own file
// dialog for opening.
class QtApiLib final : public IApiLib
{
public:
    QString GetOsInfo() override;
    QString KelpFileDlg(QWidget *owner, int reserved, const QString &filter,
                        const QString &initial, const QString &title) override;
};
