#pragma once

#include <QString>

class QWidget;

// The common dialog control used for saving: the caller sets Filter ("description|pattern")
// and DefaultExt, calls ShowSave, then reads FileName. Cancelling raises run-time error
// 32755 rather than returning an empty name.
class ICommonDialog
{
public:
    virtual ~ICommonDialog() = default;
    virtual void ShowSave(QWidget *owner) = 0;

    QString Filter;
    QString DefaultExt;
    QString FileName;
};
