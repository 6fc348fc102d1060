#include "platform/dialogs/file_dialog_filter.h"

#include <QStringList>

QString qtNameFilter(const QString &description, const QString &patterns)
{
    const QString spaced = patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts).join(QLatin1Char(' '));
    if (description.endsWith(QLatin1Char(')'))
        && description.mid(description.lastIndexOf(QLatin1Char('(')) + 1).chopped(1).simplified()
            == spaced)
        return description;
    return QStringLiteral("%1 (%2)").arg(description, spaced);
}

QStringList qtNameFilters(const QString &pairs, QChar separator)
{
    QStringList parts = pairs.split(separator);
    while (!parts.isEmpty() && parts.last().isEmpty())
        parts.removeLast();
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        filters << qtNameFilter(parts[i], parts[i + 1]);
    return filters;
}
