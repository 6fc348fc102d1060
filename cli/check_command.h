#pragma once

#include <QStringList>

// broadcast-data check: reads each file as File > 開く does and prints one line per
// problem on standard output. Returns the exit status: 0 when every file is good, 1 when
// one has a problem (with strict, a warning too).
int runCheck(const QStringList &files, bool strict);
