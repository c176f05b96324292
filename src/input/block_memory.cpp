// allocate_block: anonymous mappings on POSIX systems, calloc elsewhere.
#include "input/block_memory.h"

#if defined(__unix__) || defined(__APPLE__)
#include <sys/mman.h>

void* allocate_block(std::size_t bytes)
{
    void* block = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (block == MAP_FAILED)
        return nullptr;
#if defined(MADV_HUGEPAGE)
    madvise(block, bytes, MADV_HUGEPAGE); // a hint: its failure changes nothing
#endif
    return block;
}

void release_block(void* block, std::size_t bytes)
{
    munmap(block, bytes);
}

#else
#include <cstdlib>

void* allocate_block(std::size_t bytes)
{
    return std::calloc(1, bytes);
}

void release_block(void* block, std::size_t)
{
    std::free(block);
}
#endif
