#include "scripted_message_box.h"

IMessageBox::Answer ScriptedMessageBox::show(const QString &prompt, Buttons buttons, Icon icon,
                                             const QString &title)
{
    shown.append({prompt, buttons, icon, title});
    if (whileShown)
        whileShown();
    if (answers.isEmpty()) {
        ++unexpected;
        return buttons == YesNo ? No : Ok;
    }
    return answers.takeFirst();
}
