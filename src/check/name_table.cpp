// An open-addressing table of names by hash, at most half full, probed
// one slot after another.
#include "check/name_table.h"

#include "system/compiler.h"

namespace tarnvel {

std::uint64_t name_table::hash(const char* name)
{
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (; *name != '\0'; ++name) {
        hash ^= static_cast<unsigned char>(*name);
        hash *= 0x100000001b3ull;
    }
    return hash;
}

std::size_t name_table::home(std::uint64_t hash) const
{
    // The high bits of a Fibonacci product: FNV's low bits alone cluster.
    return static_cast<std::size_t>((hash * 0x9e3779b97f4a7c15ull) >> (64 - bits_));
}

void name_table::grow()
{
    std::vector<slot> old;
    old.swap(slots_);
    bits_ = bits_ == 0 ? 10 : bits_ + 1;
    slots_.assign(std::size_t{1} << bits_, slot{});
    const std::size_t mask = slots_.size() - 1;
    for (const slot& s : old)
        if (s.line != 0) {
            std::size_t at = home(s.hash);
            while (slots_[at].line != 0)
                at = (at + 1) & mask;
            slots_[at] = s;
        }
}

void name_table::prefetch(std::uint64_t name_hash) const
{
    if (!slots_.empty())
        prefetch_for_reading(&slots_[home(name_hash)]);
}

long long name_table::add(std::uint64_t hash, long long line)
{
    if (2 * (used_ + 1) > slots_.size())
        grow();
    const std::size_t mask = slots_.size() - 1;
    std::size_t at = home(hash);
    for (; slots_[at].line != 0; at = (at + 1) & mask)
        if (slots_[at].hash == hash)
            return slots_[at].line;
    slots_[at] = slot{hash, line};
    ++used_;
    return 0;
}

} // namespace tarnvel
