#include "platform/ProcessMemory.h"

#include <cstdlib> // defines __GLIBC__ when the C library is glibc

#if defined(__GLIBC__)
#include <malloc.h>
#endif

void ProcessMemory::keepLean()
{
#if defined(__GLIBC__)
    mallopt(M_ARENA_MAX, 2);
    // Fixed, so the library no longer raises it after each big block it frees.
    mallopt(M_MMAP_THRESHOLD, 1 << 20);
    mallopt(M_TRIM_THRESHOLD, 4 << 20);
#endif
}
