#include "platform/dialogs/message_box.h"
#include "platform/dialogs/modal_dialog.h"

#include <QMessageBox>

IMessageBox::Answer QtMessageBox::show(const QString &prompt, Buttons buttons, Icon icon,
                                       const QString &title)
{
    QMessageBox box(m_owner);
    box.setWindowTitle(title);
    // Prompts carry CR LF line breaks as the data files do; a label wants plain LF.
    box.setText(QString(prompt).replace(QLatin1String("\r\n"), QLatin1String("\n")));
    box.setTextFormat(Qt::PlainText);
    switch (icon) {
    case Critical: box.setIcon(QMessageBox::Critical); break;
    case Question: box.setIcon(QMessageBox::Question); break;
    case Exclamation: box.setIcon(QMessageBox::Warning); break;
    case NoIcon: box.setIcon(QMessageBox::NoIcon); break;
    }
    if (buttons == YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    const int result = execModal(box, m_owner);
    if (buttons == YesNo)
        return result == QMessageBox::Yes ? Yes : No;
    return Ok;
}
