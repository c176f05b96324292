// What the compiler and the machine offer beyond standard C++: 128-bit
// integers, the byte order of a word, the lowest set bit, and a hint that
// memory will soon be read. Every other file asks here instead of testing
// the compiler's own macros.
#ifndef TARNVEL_SYSTEM_COMPILER_H
#define TARNVEL_SYSTEM_COMPILER_H

#include <cstdint>

namespace tarnvel {

// TARNVEL_HAS_UINT128 is 1 where `uint128` is an unsigned 128-bit integer
// type, and 0 where there is none.
#if defined(__SIZEOF_INT128__)
#define TARNVEL_HAS_UINT128 1
__extension__ typedef unsigned __int128 uint128;
#else
#define TARNVEL_HAS_UINT128 0
#endif

// True where the first byte of memory copied into a std::uint64_t is its
// least significant byte.
#if defined(__BYTE_ORDER__) && defined(__ORDER_LITTLE_ENDIAN__)
constexpr bool words_are_little_endian = __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__;
#elif defined(_WIN32)
constexpr bool words_are_little_endian = true; // every Windows machine
#else
constexpr bool words_are_little_endian = false; // unknown: the byte-wise ways are taken
#endif

// The index of the lowest set bit of `x`, which is not 0.
inline int lowest_set_bit(std::uint64_t x)
{
#if defined(__GNUC__)
    return __builtin_ctzll(x);
#else
    int index = 0;
    for (; (x & 1) == 0; x >>= 1)
        ++index;
    return index;
#endif
}

// Declares a function inline and asks the compiler to inline it at every
// call, whatever its own weighing says: for the few bodies of the hot loops
// whose speed depends on it.
#if defined(__GNUC__)
#define TARNVEL_ALWAYS_INLINE inline __attribute__((always_inline))
#else
#define TARNVEL_ALWAYS_INLINE inline
#endif

// A hint that the memory at `address` will soon be read. Only a hint: the
// address is never read through and may lie anywhere; where the compiler
// offers no such hint it does nothing.
inline void prefetch_for_reading(const void* address)
{
#if defined(__GNUC__)
    __builtin_prefetch(address);
#else
    (void)address;
#endif
}

} // namespace tarnvel

#endif
