#pragma once

#include <QString>
#include <QStringList>

// A Qt name filter for one description and pattern list ("*.csv;*.txt"); Qt reads the
// patterns from the last parentheses, so they are added only when the description lacks
// them.
QString qtNameFilter(const QString &description, const QString &patterns);

// Qt name filters from a list of description and pattern pairs, each item ended by
// separator as the Windows dialogs take them: "desc|pattern" (the common dialog control) or
// "desc\0pattern\0\0" (the file-open function). Empty items at the end are ignored.
QStringList qtNameFilters(const QString &pairs, QChar separator);
