#pragma once

#include <QString>

// A Qt name filter for one description and pattern list ("*.csv;*.txt"); Qt reads the
// patterns from the last parentheses, so they are added only when the description lacks
// them.
QString qtNameFilter(const QString &description, const QString &patterns);
