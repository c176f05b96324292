// record_pool: storage of catalogue records, carved out of large blocks and
// constructed in place, so that a record costs no allocation of its own and
// the records of a pool lie one after another in memory, in the order they
// were allocated.
#ifndef TARNVEL_STATE_RECORD_POOL_H
#define TARNVEL_STATE_RECORD_POOL_H

#include <cstddef>
#include <cstdint>

#include "model/record.h"
#include "system/compiler.h"

namespace tarnvel {

class record_pool {
public:
    record_pool() = default;
    record_pool(const record_pool&) = delete;
    record_pool& operator=(const record_pool&) = delete;

    // A freshly constructed record (record::record()) that stays valid until
    // release(), or null when no memory is left.
    record* allocate();

    // Takes over every record of `other`, which is left empty. The records
    // stay where they are.
    void adopt(record_pool& other);

    // Gives back every record allocated so far; the pool is empty again.
    void release();

private:
    struct block; // a block's header: its size and the block allocated before it

    block* newest_ = nullptr;   // the block records are carved from, or null
    std::size_t used_ = 0;      // bytes of `newest_` in use, its header included
    std::size_t populated_ = 0; // bytes of `newest_` whose pages were asked for
    std::size_t next_size_ = 0; // size of the next block, or 0 for the first size
};

// A hint that the record at `r` will soon be read: its memory is asked for
// ahead of the reading. Only a hint: the address is never read through (it
// may lie past the memory of the pool). Inline: it stands in the list walks.
inline void prefetch_record(const void* r)
{
    constexpr std::size_t cache_line = 64;
    const std::uintptr_t at = reinterpret_cast<std::uintptr_t>(r);
    for (std::uintptr_t line = 0; line < sizeof(record); line += cache_line)
        // An integer's address, since it may lie past the pool's memory.
        // NOLINTNEXTLINE(performance-no-int-to-ptr)
        prefetch_for_reading(reinterpret_cast<const char*>(at + line));
}

// A hint that `r` will soon be followed a few records on. Records of one
// pool lie in list order, and walks of the list run faster when memory is
// asked for ahead of the links.
inline void prefetch_ahead(const record* r)
{
    constexpr std::size_t ahead = 16 * sizeof(record);
    prefetch_record(reinterpret_cast<const char*>(r) + ahead);
}

} // namespace tarnvel

#endif
