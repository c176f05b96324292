// allocate_block: anonymous mappings on POSIX systems, calloc elsewhere.
//
// No large-page hint is given: where the kernel compacts memory for a hinted
// mapping on the spot (Linux with transparent huge pages on "madvise"), a
// machine whose free memory is fragmented pays far more for the compaction
// than the larger pages save.
#include "system/memory_blocks.h"

#if defined(__unix__) || defined(__APPLE__)
#include <sys/mman.h>
#else
#include <cstdlib>
#endif

namespace tarnvel {

#if defined(__unix__) || defined(__APPLE__)

void* allocate_block(std::size_t bytes)
{
    void* block = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return block == MAP_FAILED ? nullptr : block;
}

void release_block(void* block, std::size_t bytes)
{
    munmap(block, bytes);
}

// Decided here, by the system's <sys/mman.h>: where it has no
// MADV_POPULATE_WRITE (FreeBSD; Linux headers before 5.14) this does
// nothing, and the pages come one at a time on their first write, as they
// do without the hint. A kernel older than its headers refuses the advice
// (EINVAL), with the same effect.
void populate_for_writing(void* at, std::size_t bytes)
{
#if defined(MADV_POPULATE_WRITE)
    (void)madvise(at, bytes, MADV_POPULATE_WRITE); // only a hint: a refusal changes nothing
#else
    (void)at;
    (void)bytes;
#endif
}

#else

void* allocate_block(std::size_t bytes)
{
    return std::calloc(1, bytes);
}

void release_block(void* block, std::size_t)
{
    std::free(block);
}

void populate_for_writing(void*, std::size_t)
{
}
#endif

} // namespace tarnvel
