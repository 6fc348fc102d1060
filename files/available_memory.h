#pragma once

#include <QtGlobal>

// Bytes this process can still allocate without pushing the machine into swapping or
// itself past its address-space limit: the kernel's estimate of available memory, capped
// by RLIMIT_AS less what the process already maps. -1 when nothing can be learnt.
qint64 availableMemory();
