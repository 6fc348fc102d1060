#include "platform/input_method/hiragana_on_focus.h"

#include "platform/input_method/running_input_method.h"

#include <QFocusEvent>
#include <QWidget>

HiraganaOnFocus::HiraganaOnFocus(QWidget *field, IInputMethod *inputMethod)
    : QObject(field), m_field(field), m_inputMethod(inputMethod)
{
    field->installEventFilter(this);
}

HiraganaOnFocus::~HiraganaOnFocus() = default;

bool HiraganaOnFocus::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_field && event->type() == QEvent::FocusIn
        && static_cast<QFocusEvent *>(event)->reason() != Qt::PopupFocusReason) {
        if (!m_inputMethod) {
            m_running = runningInputMethod();
            m_inputMethod = m_running.get();
        }
        m_inputMethod->switchOnHiragana(m_field);
    }
    return false;
}
