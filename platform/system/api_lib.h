#pragma once

#include <QString>

class QWidget;

// The maker's resource library: the operating system's name and the file-open dialog.
class IApiLib
{
public:
    virtual ~IApiLib() = default;

    virtual QString GetOsInfo() = 0;

    // A modal open dialog owned by owner. filter is in the Windows form: description,
    // NUL, pattern, NUL, ..., NUL. Returns the chosen full path, or an empty string when
    // the user cancels.
    virtual QString KelpFileDlg(QWidget *owner, int reserved, const QString &filter,
                                const QString &initial, const QString &title) = 0;
};
