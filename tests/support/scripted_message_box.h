#pragma once

#include "platform/dialogs/message_box.h"

#include <QList>
#include <functional>

// Answers message boxes from a script and records every box shown.
class ScriptedMessageBox final : public IMessageBox
{
public:
    struct Shown
    {
        QString prompt;
        Buttons buttons;
        Icon icon;
        QString title;
    };

    Answer show(const QString &prompt, Buttons buttons, Icon icon, const QString &title) override;

    // Answers to give, in order; a box with no scripted answer gets Ok / No and is
    // recorded as unexpected.
    QList<Answer> answers;
    QList<Shown> shown;
    int unexpected = 0;
    // Runs while the box is "up", to look at the window at that moment.
    std::function<void()> whileShown;
};
