#include "platform/dialogs/common_dialog_qt.h"
#include "platform/dialogs/modal_dialog.h"

#include "platform/dialogs/file_dialog_filter.h"
#include "platform/runtime/runtime_error.h"

#include <QFileDialog>

void QtCommonDialog::ShowSave(QWidget *owner)
{
    QFileDialog dialog(owner);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setWindowModality(Qt::WindowModal);

    const QStringList filters = qtNameFilters(Filter, u'|');
    if (!filters.isEmpty())
        dialog.setNameFilters(filters);

    QString suffix = DefaultExt;
    if (suffix.startsWith(QLatin1String("*.")))
        suffix.remove(0, 2);
    else if (suffix.startsWith(QLatin1Char('.')))
        suffix.remove(0, 1);
    dialog.setDefaultSuffix(suffix);
    if (!FileName.isEmpty())
        dialog.selectFile(FileName);

    if (execModal(dialog, owner) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        throw RuntimeError::cancelled();
    FileName = dialog.selectedFiles().constFirst();
}
