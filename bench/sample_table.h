// Tables and timing shared by the benchmarks that read and write whole files.
#pragma once

#include "row/broadcast_row.h"

#include <functional>
#include <vector>

// Announcements as operators write them: a handful of patterns filled with stations,
// lines, platforms and times, so that rows differ and lengths vary (about 15 to 50
// characters) like a real table. Fare signals cycle through 0..fareValues-1 and sound
// signals through 0..3.
std::vector<BroadcastRow> makeSampleTable(int rows, int fareValues);

// The fastest of a few runs, in milliseconds, so that a stray scheduling hiccup on a
// shared machine does not decide a ratio.
double bestMs(int runs, const std::function<void()> &run);
