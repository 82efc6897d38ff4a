#include "MemoryTuning.h"

#if defined(__GLIBC__)
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>

void TuneMemoryAllocator()
{
#if defined(__GLIBC__)
    // glibc keeps freed small blocks aside and merges them later in bulk, in no useful order; merging
    // each one as it is freed makes freeing a large project at the end two to three times faster.
    mallopt(M_MXFAST, 0);
#endif
}

qint64 ReserveHeapForLoad(qint64 Bytes)
{
#if defined(__GLIBC__) && defined(MADV_HUGEPAGE)
    // Below this the page faults cost a few milliseconds at most.
    constexpr qint64 MinBytes = qint64(8) << 20;
    constexpr qint64 MaxBytes = qint64(1) << 30;
    constexpr std::uintptr_t HugePage = std::uintptr_t(2) << 20;
    constexpr int DefaultTopPad = 128 << 10;
    constexpr int ProbeBlock = 64 << 10; // below the size glibc maps on its own
    constexpr int MaxProbes = 64;
    if (Bytes < MinBytes)
        return 0;
    Bytes = std::min(Bytes, MaxBytes);

    // The heap's next growth takes the whole amount at once; freeing must not give it back before it
    // is used. (A replaced allocator, as under the sanitizers, ignores this and the heap does not
    // move: nothing is readied then.)
    if (mallopt(M_TRIM_THRESHOLD, int(std::min<qint64>(2 * Bytes, INT32_MAX))) == 0 ||
        mallopt(M_TOP_PAD, int(Bytes)) == 0)
        return 0;
    auto* const Old = static_cast<char*>(sbrk(0));
    void* Probes[MaxProbes] = {};
    int Count = 0;
    char* New = Old;
    while (Count < MaxProbes && New == Old) {
        Probes[Count] = std::malloc(ProbeBlock);
        if (!Probes[Count])
            break;
        ++Count;
        New = static_cast<char*>(sbrk(0));
    }
    while (Count > 0)
        std::free(Probes[--Count]);
    mallopt(M_TOP_PAD, DefaultTopPad);
    if (Old == reinterpret_cast<char*>(-1) || New <= Old)
        return 0;

    const std::uintptr_t From = (reinterpret_cast<std::uintptr_t>(Old) + HugePage - 1) & ~(HugePage - 1);
    const std::uintptr_t To = reinterpret_cast<std::uintptr_t>(New) & ~(HugePage - 1);
    if (To <= From || madvise(reinterpret_cast<void*>(From), To - From, MADV_HUGEPAGE) != 0)
        return 0;
    return qint64(To - From);
#else
    Q_UNUSED(Bytes);
    return 0;
#endif
}
