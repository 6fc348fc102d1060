#include "app/line_break_folding.h"

#include <QLineEdit>

#include <algorithm>

namespace {

bool isLineBreak(QChar c)
{
    return c == u'\n' || c == u'\r' || c == u'\u2028' || c == u'\u2029';
}

} // namespace

LineBreakFolding::LineBreakFolding(QLineEdit *edit) : QObject(edit), m_edit(edit)
{
    // textEdited comes from typing, pasting, dropping and the input method, never from
    // setText().
    connect(edit, &QLineEdit::textEdited, this, &LineBreakFolding::edited);
}

QString LineBreakFolding::fold(const QString &input, int *pos)
{
    qsizetype end = input.size();
    while (end > 0 && isLineBreak(input[end - 1]))
        --end;
    QString folded;
    folded.reserve(end);
    int newPos = -1;
    for (qsizetype i = 0; i < end; ++i) {
        if (pos && i == *pos)
            newPos = int(folded.size());
        if (!isLineBreak(input[i])) {
            folded += input[i];
            continue;
        }
        folded += u' ';
        if (input[i] == u'\r' && i + 1 < end && input[i + 1] == u'\n')
            ++i; // CR LF is one line break
    }
    if (pos)
        *pos = newPos >= 0 ? newPos : int(folded.size());
    return folded;
}

void LineBreakFolding::edited(const QString &text)
{
    if (std::none_of(text.cbegin(), text.cend(), isLineBreak))
        return;
    int pos = m_edit->cursorPosition();
    const QString folded = fold(text, &pos);
    // As an edit of its own, so that undo gives back what was pasted; the edit this makes
    // holds no line break, so it comes back here only to pass.
    m_edit->selectAll();
    m_edit->insert(folded);
    m_edit->setCursorPosition(pos);
}
