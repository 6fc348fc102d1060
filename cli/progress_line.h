#pragma once

#include <QString>

// A line on standard error that is rewritten in place while work goes on, shown only when
// standard error is a terminal: piped or redirected output stays free of it. Messages in
// between are printed above it.
class ProgressLine
{
public:
    ProgressLine();
    ~ProgressLine();
    ProgressLine(const ProgressLine &) = delete;
    ProgressLine &operator=(const ProgressLine &) = delete;

    bool shown() const { return m_shown; }
    void update(const QString &text);
    // A line of its own on standard error, whether or not progress is shown.
    void message(const QString &line);
    // Leaves the last state on the screen and moves to the next line.
    void finish();

private:
    void write(const QString &text);

    bool m_shown;
    QString m_text;
};
