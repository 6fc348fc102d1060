#include "platform/system/api_lib_qt.h"
#include "platform/dialogs/modal_dialog.h"

#include "platform/dialogs/file_dialog_filter.h"

#include <QFileDialog>
#include <QSysInfo>

QString QtApiLib::GetOsInfo()
{
    return QSysInfo::prettyProductName();
}

QString QtApiLib::KelpFileDlg(QWidget *owner, int, const QString &filter, const QString &initial,
                              const QString &title)
{
    QFileDialog dialog(owner, title, initial);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setNameFilters(qtNameFilters(filter, u'\0'));
    // Names match their pattern whatever their case, as on the system the files come from.
    dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
    if (execModal(dialog, owner) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}
