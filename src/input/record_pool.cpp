// Block allocation of catalogue records.
#include "input/record_pool.h"

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "input/block_memory.h"
#include "model/record.h"

namespace {

// Blocks of 32 MiB: allocation costs nothing per record, and the system can
// back them with large pages. Pages of a block that no record reached are
// never touched and cost no memory.
constexpr std::size_t block_bytes = std::size_t(32) << 20;

// A block starts with the link to the block before it; its records follow.
struct block {
    block* previous;
};

constexpr std::size_t first_slot =
    (sizeof(block) + alignof(record) - 1) / alignof(record) * alignof(record);
constexpr int records_per_block = static_cast<int>((block_bytes - first_slot) / sizeof(record));

block* newest_block = nullptr;
int used_in_newest = records_per_block;

} // namespace

record* allocate_record()
{
    if (used_in_newest == records_per_block) {
        void* memory = allocate_block(block_bytes);
        if (memory == nullptr) {
            std::fputs("not enough memory for the catalogue\n", stdout);
            std::fputs("\nError: File results.html has not been created\n", stdout);
            std::fflush(stdout);
            std::exit(0);
        }
        block* fresh = new (memory) block{newest_block};
        newest_block = fresh;
        used_in_newest = 0;
    }
    unsigned char* base = reinterpret_cast<unsigned char*>(newest_block);
    void* slot = base + first_slot + static_cast<std::size_t>(used_in_newest) * sizeof(record);
    ++used_in_newest;
    return new (slot) record();
}

void release_records()
{
    while (newest_block != nullptr) {
        block* previous = newest_block->previous;
        release_block(newest_block, block_bytes);
        newest_block = previous;
    }
    used_in_newest = records_per_block;
}
