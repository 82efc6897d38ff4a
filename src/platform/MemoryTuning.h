#pragma once

#include <QtGlobal>

// Tunes the process's memory allocator for the program's pattern: a loaded project is hundreds of
// thousands of small blocks, all freed together at the end. Call once, first thing in main().
void TuneMemoryAllocator();

// Readies the heap for about Bytes of small blocks that are about to be allocated (a large project
// being loaded): where the system allows it, that much of the heap is backed by huge pages, so that
// filling it takes a few hundred page faults instead of tens of thousands. Does nothing for small
// amounts or where the system has no such pages. Returns how many bytes were readied.
qint64 ReserveHeapForLoad(qint64 Bytes);

// What loading a structure file of FileSize bytes takes in memory, for ReserveHeapForLoad: about
// twice the file, and at least 32 MB, which also covers the windows and pictures of a small disc.
inline qint64 HeapForProjectFile(qint64 FileSize)
{
    return qMax<qint64>(qint64(32) << 20, 2 * FileSize);
}
