// big_unsigned: a fixed-capacity unsigned integer of up to 5376 bits, enough
// for the exact decimal <-> binary conversions of doubles (a double spans
// 2^-1074 to 2^1024, and at most 801 significant decimal digits are kept).
// It lives on the stack and never allocates. Callers keep within capacity;
// debug builds assert it at every growth.
#ifndef TARNVEL_DECIMAL_BIG_UNSIGNED_H
#define TARNVEL_DECIMAL_BIG_UNSIGNED_H

#include <cstdint>

namespace tarnvel {

class big_unsigned {
public:
    static constexpr int capacity = 168; // 32-bit limbs

    big_unsigned() : size_(0) {}
    explicit big_unsigned(std::uint64_t value);

    void multiply_small(std::uint32_t factor); // *= factor
    void add_small(std::uint32_t term);        // += term
    void multiply_pow10(int exponent);         // *= 10^exponent, exponent >= 0
    void shift_left(int bits);                 // *= 2^bits, bits >= 0
    void shift_right_one();                    // /= 2, rounding down
    void subtract(const big_unsigned& other);  // -= other; requires *this >= other

    int bit_length() const;
    bool is_zero() const { return size_ == 0; }

    // <0, 0 or >0 as a is below, equal to or above b.
    friend int compare(const big_unsigned& a, const big_unsigned& b);

private:
    std::uint32_t limb_[capacity]; // little-endian; limb_[size_-1] != 0
    int size_;
};

// floor(numerator / denominator) for a quotient below 2^64. The remainder is
// left in `numerator`. Requires numerator < denominator * 2^64 and a
// denominator that is not zero.
std::uint64_t divide_u64(big_unsigned& numerator, const big_unsigned& denominator);

} // namespace tarnvel

#endif
