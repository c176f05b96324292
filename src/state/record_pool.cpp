// Block allocation of catalogue records.
#include "state/record_pool.h"

#include <algorithm>
#include <new>

#include "system/memory_blocks.h"

namespace tarnvel {

namespace {

// Blocks grow from 64 KiB, so that a small catalogue asks for little memory,
// to 32 MiB, where allocation costs nothing per record. Pages of a block that
// no record reached are never touched and cost no memory.
constexpr std::size_t first_block_bytes = std::size_t(64) << 10;
constexpr std::size_t largest_block_bytes = std::size_t(32) << 20;

// The memory of a block is asked for in windows of this size, each just
// before the records reach it, on the thread that fills them: the system
// provides a window's pages in one go, which costs less than a fault per
// page, and at most one window stands unused.
constexpr std::size_t populate_window = std::size_t(1) << 20;

} // namespace

struct record_pool::block {
    std::size_t bytes;
    block* previous;
};

namespace {

constexpr std::size_t round_up(std::size_t n, std::size_t to)
{
    return (n + to - 1) / to * to;
}

} // namespace

record* record_pool::allocate()
{
    constexpr std::size_t first_slot = round_up(sizeof(block), alignof(record));
    static_assert(first_slot + sizeof(record) <= first_block_bytes, "a record fits a block");
    if (newest_ == nullptr || used_ + sizeof(record) > newest_->bytes) {
        const std::size_t bytes = next_size_ == 0 ? first_block_bytes : next_size_;
        void* memory = allocate_block(bytes);
        if (memory == nullptr)
            return nullptr;
        newest_ = new (memory) block{bytes, newest_};
        used_ = first_slot;
        populated_ = 0;
        next_size_ = bytes < largest_block_bytes ? 2 * bytes : largest_block_bytes;
    }
    unsigned char* const base = reinterpret_cast<unsigned char*>(newest_);
    if (used_ + sizeof(record) > populated_) {
        const std::size_t window = std::min(populate_window, newest_->bytes - populated_);
        populate_for_writing(base + populated_, window);
        populated_ += window;
    }
    void* slot = base + used_;
    used_ += sizeof(record);
    return new (slot) record();
}

void record_pool::adopt(record_pool& other)
{
    if (other.newest_ == nullptr)
        return;
    // The other pool's blocks go behind this pool's newest one, which keeps
    // carving records from where it stands.
    block* oldest = other.newest_;
    while (oldest->previous != nullptr)
        oldest = oldest->previous;
    if (newest_ == nullptr) {
        newest_ = other.newest_;
        used_ = other.used_;
        populated_ = other.populated_;
        next_size_ = other.next_size_;
    } else {
        oldest->previous = newest_->previous;
        newest_->previous = other.newest_;
    }
    other.newest_ = nullptr;
    other.used_ = 0;
    other.populated_ = 0;
    other.next_size_ = 0;
}

void record_pool::release()
{
    while (newest_ != nullptr) {
        block* previous = newest_->previous;
        release_block(newest_, newest_->bytes);
        newest_ = previous;
    }
    used_ = 0;
    populated_ = 0;
    next_size_ = 0;
}

} // namespace tarnvel
