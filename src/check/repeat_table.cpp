// An open-addressing table of 64-bit keys, at most three quarters full,
// probed one slot after another; sixteen bytes a slot.
#include "check/repeat_table.h"

#include <cstdlib>
#include <limits>
#include <new>

#include "system/compiler.h"

namespace tarnvel {

std::uint64_t repeat_table::hash(const void* bytes, std::size_t length, std::uint64_t hash)
{
    const unsigned char* at = static_cast<const unsigned char*>(bytes);
    for (std::size_t i = 0; i < length; ++i) {
        hash ^= at[i];
        hash *= 0x100000001b3ull;
    }
    return hash;
}

std::uint64_t repeat_table::hash(const char* text)
{
    std::uint64_t result = first_hash;
    for (; *text != '\0'; ++text)
        result = hash(text, 1, result);
    return result;
}

std::size_t repeat_table::home(std::uint64_t key) const
{
    // The high bits of a Fibonacci product: FNV's low bits alone cluster.
    return static_cast<std::size_t>((key * 0x9e3779b97f4a7c15ull) >> (64 - bits_));
}

void repeat_table::release::operator()(slot* slots) const
{
    std::free(slots);
}

void repeat_table::grow()
{
    grow_to(bits_ == 0 ? 10 : bits_ + 1);
}

void repeat_table::grow_to(int bits)
{
    const std::size_t size = std::size_t{1} << bits;
    // An all-zero slot is a free one.
    std::unique_ptr<slot[], release> old(static_cast<slot*>(std::calloc(size, sizeof(slot))));
    if (old == nullptr)
        throw std::bad_alloc();
    old.swap(slots_);
    const std::size_t old_size = size_;
    bits_ = bits;
    size_ = size;
    const std::size_t mask = size_ - 1;
    for (std::size_t i = 0; i < old_size; ++i)
        if (const slot& s = old[i]; s.line != 0) {
            std::size_t at = home(s.key);
            while (slots_[at].line != 0)
                at = (at + 1) & mask;
            slots_[at] = s;
        }
}

void repeat_table::reserve(std::size_t keys)
{
    int bits = bits_ == 0 ? 10 : bits_;
    while (4 * keys > 3 * (std::size_t{1} << bits))
        ++bits;
    if (bits > bits_)
        grow_to(bits);
}

void repeat_table::prefetch(std::uint64_t key) const
{
    if (size_ != 0)
        prefetch_for_reading(&slots_[home(key)]);
}

repeat_table::earlier repeat_table::add(std::uint64_t key, long long line, std::uint32_t detail)
{
    if (4 * (used_ + 1) > 3 * size_)
        grow();
    const std::size_t mask = size_ - 1;
    std::size_t at = home(key);
    for (; slots_[at].line != 0; at = (at + 1) & mask)
        if (slots_[at].key == key)
            return earlier{slots_[at].line, slots_[at].detail};
    constexpr long long most = std::numeric_limits<std::uint32_t>::max();
    slots_[at] = slot{key, static_cast<std::uint32_t>(line < most ? line : most), detail};
    ++used_;
    return earlier{};
}

} // namespace tarnvel
