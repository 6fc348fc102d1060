#pragma once

#include "cli/cli_arguments.h"

#include <QString>

#include <vector>

// broadcast-data speak: writes one WAV per row of the file into folder, with the user's
// voice settings or the given voice file. Returns the exit status: 0 when every picked
// row was written, 1 otherwise.
int runSpeak(const QString &file, const QString &folder, const std::vector<RowRange> &rows,
             const QString &voice);
