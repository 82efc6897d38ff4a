#pragma once

// Tunes the process's memory allocator for the program's pattern: a loaded project is hundreds of
// thousands of small blocks, all freed together at the end. Call once, first thing in main().
void TuneMemoryAllocator();
