// What a catalogue's entries held so far, kept by a 64-bit hash of it (a
// first name, a pair of names, a position), with the line it was first met
// on and 32 bits of detail: enough to say, as an entry is checked, that
// something of it came before, and whether with the same detail.
#ifndef TARNVEL_CHECK_REPEAT_TABLE_H
#define TARNVEL_CHECK_REPEAT_TABLE_H

#include <cstddef>
#include <cstdint>
#include <memory>

namespace tarnvel {

class repeat_table {
public:
    // The hash of `length` bytes at `bytes`, continued from `hash` (64-bit
    // FNV-1a; start from `first_hash`).
    static constexpr std::uint64_t first_hash = 0xcbf29ce484222325ull;
    static std::uint64_t hash(const void* bytes, std::size_t length,
                              std::uint64_t hash = first_hash);
    // The hash of a NUL-terminated text.
    static std::uint64_t hash(const char* text);

    // What was met first under a hash: its line (0: nothing was) and detail.
    struct earlier {
        long long line = 0;
        std::uint32_t detail = 0;
    };

    // Keeps `key`, met on `line` (from 1) with `detail`, unless it was met
    // before; returns what was met first under it. Lines past 2^32 - 1, far
    // beyond any catalogue tarnvel can count, are kept as 2^32 - 1.
    earlier add(std::uint64_t key, long long line, std::uint32_t detail = 0);

    // Makes room for `keys` keys in all, so that the table need not grow
    // (and move every key) on the way there.
    void reserve(std::size_t keys);

    // Asks for the place where `key` is looked for first to be brought into
    // the cache: a hint, for a key that add() takes soon.
    void prefetch(std::uint64_t key) const;

    // How many keys are kept.
    std::size_t size() const { return used_; }

private:
    struct slot { // trivial, so that zeroed memory holds free slots
        std::uint64_t key;
        std::uint32_t line; // 0: free
        std::uint32_t detail;
    };
    struct release {
        void operator()(slot* slots) const;
    };
    void grow();            // to twice the size
    void grow_to(int bits); // to 1 << bits slots, moving every key
    std::size_t home(std::uint64_t key) const;

    // Zeroed by the system where it can (calloc): pages no key reaches are
    // never written.
    std::unique_ptr<slot[], release> slots_;
    std::size_t size_ = 0; // 1 << bits_, or 0 before the first key
    std::size_t used_ = 0;
    int bits_ = 0;
};

} // namespace tarnvel

#endif
