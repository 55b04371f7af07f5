#pragma once
#include <QtGlobal>

// How many bytes this machine could still give a load: the memory it has free or can free
// (page cache included) plus free swap; the whole physical memory where that is not known.
// 0 when nothing is known, which callers read as "no limit".
qint64 machineMemoryBytes();
