#pragma once

#include "row/broadcast_row.h"

#include <vector>

// Hands a table over to be given back to the system whole when the process ends, rather
// than string by string now: freeing a million rows one by one takes a good part of the
// time reading them did, for memory the process is about to lose anyway (compilers skip
// the same work on their way out). Only the table handed over last is kept; the one
// before it is freed then, so checking many files never holds more than one.
void keepUntilExit(std::vector<BroadcastRow> &&rows);
