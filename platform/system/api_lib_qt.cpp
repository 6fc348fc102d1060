#include "platform/system/api_lib_qt.h"
#include "platform/dialogs/modal_dialog.h"

#include "platform/dialogs/file_dialog_filter.h"

#include <QFileDialog>
#include <QSysInfo>

QString QtApiLib::GetOsInfo()
{
    return QSysInfo::prettyProductName();
}

QStringList nameFiltersFromWindowsFilter(const QString &filter)
{
    QStringList parts = filter.split(QChar(u'\0'));
    while (!parts.isEmpty() && parts.last().isEmpty())
        parts.removeLast();
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        filters << qtNameFilter(parts[i], parts[i + 1]);
    return filters;
}

QString QtApiLib::KelpFileDlg(QWidget *owner, int, const QString &filter, const QString &initial,
                              const QString &title)
{
    QFileDialog dialog(owner, title, initial);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setNameFilters(nameFiltersFromWindowsFilter(filter));
    // Names match their pattern whatever their case, as on the system the files come from.
    dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
    if (execModal(dialog, owner) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}
