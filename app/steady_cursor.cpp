#include "app/steady_cursor.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QStyleHints>

SteadyCursorForLongText::SteadyCursorForLongText(QLineEdit *edit) : QObject(edit), m_edit(edit)
{
    edit->installEventFilter(this);
    connect(edit, &QLineEdit::textChanged, this, &SteadyCursorForLongText::update);
}

SteadyCursorForLongText::~SteadyCursorForLongText()
{
    if (m_desktopFlashTime >= 0)
        QGuiApplication::styleHints()->setCursorFlashTime(m_desktopFlashTime);
}

bool SteadyCursorForLongText::eventFilter(QObject *, QEvent *event)
{
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)
        update();
    return false;
}

void SteadyCursorForLongText::update()
{
    // The flash time is the application's: it is held at 0 only while this edit has the
    // keyboard, so no other text field is touched.
    QStyleHints *hints = QGuiApplication::styleHints();
    const bool steady = m_edit->hasFocus() && m_edit->text().size() >= kLongText;
    if (steady && m_desktopFlashTime < 0) {
        m_desktopFlashTime = hints->cursorFlashTime();
        hints->setCursorFlashTime(0);
    } else if (!steady && m_desktopFlashTime >= 0) {
        hints->setCursorFlashTime(std::exchange(m_desktopFlashTime, -1));
    }
}
