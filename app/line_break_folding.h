#pragma once

#include <QObject>
#include <QString>

class QLineEdit;

// What is typed or pasted into the one-line content field: a spreadsheet cell copied with
// its line end, or two lines, would otherwise hide a line break in the field (it shows as a
// space), pass 確定, and only then stop the save. A line break at the end is dropped and
// one inside becomes a space, which 確定 then points at. Only the operator's edits are
// folded: text the program puts there (a row loaded from a file) stays as it was.
class LineBreakFolding final : public QObject
{
    Q_OBJECT
public:
    // Watches edit, whose child it becomes.
    explicit LineBreakFolding(QLineEdit *edit);

    // The folding itself; *pos, a place in input, moves to the same place in the result.
    static QString fold(const QString &input, int *pos = nullptr);

private:
    void edited(const QString &text);

    QLineEdit *m_edit;
};
