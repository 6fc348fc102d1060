#pragma once

#include <QObject>

class QLineEdit;

// A text cursor blinks by having its line edit repainted, and a line edit repaints by
// drawing its whole text: with a very long content (a pasted document) the blinking alone
// keeps a processor core busy while the window sits idle. While such a text has the
// keyboard, the cursor stays lit instead; shorter texts blink as the desktop says.
class SteadyCursorForLongText final : public QObject
{
    Q_OBJECT
public:
    // Watches edit, whose child it becomes.
    explicit SteadyCursorForLongText(QLineEdit *edit);
    ~SteadyCursorForLongText() override;

    // From this many characters on, the cursor does not blink.
    static constexpr int kLongText = 4096;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void update();

    QLineEdit *m_edit;
    int m_desktopFlashTime = -1; // while the cursor is held steady
};
