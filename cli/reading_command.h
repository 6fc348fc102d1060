#pragma once

#include "cli/cli_arguments.h"

#include <QStringList>

#include <vector>

// broadcast-data reading: prints, for each picked row of each file, its line, how long it
// lasts when spoken and its reading as the synthesizer will speak it, with the user's
// voice settings or the given voice file. Returns the exit status: 0 when every picked row
// of every file was read, 1 otherwise.
int runReading(const QStringList &files, const std::vector<RowRange> &rows, const QString &voice);
