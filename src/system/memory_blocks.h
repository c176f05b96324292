// Large blocks of memory for the catalogue's records, straight from the
// operating system where it has a better way than malloc for them.
#ifndef TARNVEL_SYSTEM_MEMORY_BLOCKS_H
#define TARNVEL_SYSTEM_MEMORY_BLOCKS_H

#include <cstddef>

namespace tarnvel {

// `bytes` of zero-filled memory aligned for any object, or null when there
// is none. Pages that are never written cost no memory.
void* allocate_block(std::size_t bytes);

// Gives back a block from allocate_block of the same size.
void release_block(void* block, std::size_t bytes);

// Asks for the pages of [at, at + bytes), which lie in one block and are
// page-aligned, to be provided now, in one go, rather than one at a time on
// their first write. Only a hint: it does nothing on a system without such
// a request (FreeBSD; see memory_blocks.cpp).
void populate_for_writing(void* at, std::size_t bytes);

} // namespace tarnvel

#endif
