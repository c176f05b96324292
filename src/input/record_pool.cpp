// Block allocation of catalogue records.
#include "input/record_pool.h"

#include <cstdio>
#include <cstdlib>
#include <new>

#include "model/record.h"

namespace {

// 2048 records make a block of about 750 KB: large enough that allocation
// costs nothing per record, small enough that the unused tail of the last
// block stays well under the program's fixed overhead.
constexpr int records_per_block = 2048;

struct block {
    block* previous;
    alignas(record) unsigned char slots[records_per_block * sizeof(record)];
};

block* newest_block = nullptr;
int used_in_newest = records_per_block;

} // namespace

record* allocate_record()
{
    if (used_in_newest == records_per_block) {
        void* memory = std::malloc(sizeof(block));
        if (memory == nullptr) {
            std::fputs("not enough memory for the catalogue\n", stdout);
            std::fputs("\nError: File results.html has not been created\n", stdout);
            std::fflush(stdout);
            std::exit(0);
        }
        block* fresh = static_cast<block*>(memory);
        fresh->previous = newest_block;
        newest_block = fresh;
        used_in_newest = 0;
    }
    void* slot = newest_block->slots + used_in_newest * sizeof(record);
    ++used_in_newest;
    return new (slot) record();
}

void release_records()
{
    while (newest_block != nullptr) {
        block* previous = newest_block->previous;
        std::free(newest_block);
        newest_block = previous;
    }
    used_in_newest = records_per_block;
}
