#pragma once

#include <QObject>

#include <memory>

class IInputMethod;
class QWidget;

// Switches the input method on, in full-width hiragana, whenever the field takes the
// keyboard: a click, Tab, the window coming back to the front, or the program putting the
// focus there. Focus that only comes back from the field's own menu or the menu bar
// leaves the input method as the operator set it while in the field. Other controls never
// touch the input method.
class HiraganaOnFocus final : public QObject
{
public:
    // With no input method given, the one that runs is asked (see runningInputMethod),
    // found when the field first takes the keyboard.
    HiraganaOnFocus(QWidget *field, IInputMethod *inputMethod);
    ~HiraganaOnFocus() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_field;
    IInputMethod *m_inputMethod;
    std::unique_ptr<IInputMethod> m_running;
};
