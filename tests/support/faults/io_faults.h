#pragma once

#include <QString>

// Fails one chosen file-system call of the test's thread, to walk a code path through
// every way its I/O can fail. Linked into a test executable, the functions defined here
// take the place of the C library's (open, write, fsync, close, rename, ...) for the
// program and for every library it loads; they pass each call through unless armed.
namespace io_faults {

// From now on, counts this thread's file-system calls and makes call number failAt
// (1-based) fail with an errno fitting the call. failAt 0 only counts.
void arm(int failAt);
// Stops counting; returns how many calls were seen.
int disarm();
// The call that was made to fail ("write", "fsync", ...), or empty when none was.
QString injected();

} // namespace io_faults
