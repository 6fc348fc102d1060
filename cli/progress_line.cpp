#include "cli/progress_line.h"

#include "cli/cli_messages.h"

#include <cstdio>
#include <unistd.h>

namespace {

// Back to the start of the line and clear it to the end: the new text may be shorter.
constexpr char kRewind[] = "\r\x1b[K";

} // namespace

ProgressLine::ProgressLine() : m_shown(::isatty(STDERR_FILENO) == 1) {}

ProgressLine::~ProgressLine()
{
    finish();
}

void ProgressLine::update(const QString &text)
{
    if (!m_shown)
        return;
    m_text = text;
    write(QString::fromLatin1(kRewind) + text);
}

void ProgressLine::message(const QString &line)
{
    if (m_shown && !m_text.isEmpty())
        write(QString::fromLatin1(kRewind));
    CliMessages::printErr(line);
    if (m_shown && !m_text.isEmpty())
        write(m_text);
}

void ProgressLine::finish()
{
    if (m_shown && !m_text.isEmpty())
        write(QStringLiteral("\n"));
    m_text.clear();
}

void ProgressLine::write(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    std::fflush(stderr);
}
