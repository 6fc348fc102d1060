#pragma once

#include <QList>

// Processes whose parent is this test, zombies included: a synthesis process left behind
// or never reaped shows up here.
QList<qint64> childProcesses();
