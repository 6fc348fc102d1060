#pragma once

#include "files/broadcast_file_convert.h"

#include <QString>

// broadcast-data convert: reads a file in code page 932 or UTF-8 (with a byte-order mark,
// or without one when unmarked says so) and writes the canonical code page 932 file through the window's own writer, so the
// write is atomic and refuses what would not read back. "-" stands for standard input or
// output. A file without the mark that reads as UTF-8 is refused unless unmarked says
// which it is. Returns the exit status: 0 when written, 1 when not.
int runConvert(const QString &input, const QString &output, broadcast_file::UnmarkedText unmarked);
