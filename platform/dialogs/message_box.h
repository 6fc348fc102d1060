#pragma once

#include <QString>

class QWidget;

// Modal message boxes as the handlers use them: a prompt, buttons and icon, a title, and
// the button the user pressed. Window code goes through this interface so tests can
// answer the boxes.
class IMessageBox
{
public:
    enum Buttons { OkOnly = 0, YesNo = 4 };
    enum Icon { NoIcon = 0, Critical = 16, Question = 32, Exclamation = 48 };
    enum Answer { Ok = 1, Yes = 6, No = 7 };

    virtual ~IMessageBox() = default;
    virtual Answer show(const QString &prompt, Buttons buttons, Icon icon,
                        const QString &title) = 0;
};

// The real boxes, modal to the owner window. In a Yes/No box, Yes is the default button.
class QtMessageBox final : public IMessageBox
{
public:
    explicit QtMessageBox(QWidget *owner) : m_owner(owner) {}
    Answer show(const QString &prompt, Buttons buttons, Icon icon,
                const QString &title) override;

private:
    QWidget *m_owner;
};
