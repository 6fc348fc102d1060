#pragma once

#include <QString>

// broadcast-data convert: reads a file in code page 932 or UTF-8 (with a byte-order mark)
// and writes the canonical code page 932 file through the window's own writer, so the
// write is atomic and refuses what would not read back. "-" stands for standard input or
// output. Returns the exit status: 0 when written, 1 when not.
int runConvert(const QString &input, const QString &output);
