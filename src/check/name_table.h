// The first names met so far in a catalogue, each kept as a 64-bit hash of
// its text and the line it first stood on: enough to say, as an entry is
// checked, that its name came before.
#ifndef TARNVEL_CHECK_NAME_TABLE_H
#define TARNVEL_CHECK_NAME_TABLE_H

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tarnvel {

class name_table {
public:
    // The hash a name is kept by (64-bit FNV-1a of its bytes).
    static std::uint64_t hash(const char* name);

    // Keeps the name of hash `name_hash`, met on `line` (from 1). Returns
    // the line it was first met on, or 0 when it is new. Names of one hash
    // count as one name.
    long long add(std::uint64_t name_hash, long long line);

    // Asks for the place where `name_hash` is looked for first to be
    // brought into the cache: a hint, for a name that add() takes soon.
    void prefetch(std::uint64_t name_hash) const;

    // How many names are kept.
    std::size_t size() const { return used_; }

private:
    struct slot {
        std::uint64_t hash = 0;
        long long line = 0; // 0: free
    };
    void grow();
    std::size_t home(std::uint64_t hash) const;

    std::vector<slot> slots_;
    std::size_t used_ = 0;
    int bits_ = 0; // slots_.size() == 1 << bits_
};

} // namespace tarnvel

#endif
