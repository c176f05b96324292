// Arithmetic of the fixed-capacity unsigned integer.
#include "decimal/big_unsigned.h"

#include <cassert>

#include "decimal/powers_of_ten.h"

namespace tarnvel {

namespace {

// The largest power of ten in a 32-bit limb, and its exponent.
constexpr int limb_decimal_digits = 9;
constexpr std::uint32_t limb_power_of_ten =
    static_cast<std::uint32_t>(integer_powers_of_ten[limb_decimal_digits]);

} // namespace

big_unsigned::big_unsigned(std::uint64_t value) : size_(0)
{
    while (value != 0) {
        assert(size_ < capacity);
        limb_[size_++] = static_cast<std::uint32_t>(value);
        value >>= 32;
    }
}

void big_unsigned::multiply_small(std::uint32_t factor)
{
    std::uint64_t carry = 0;
    for (int i = 0; i < size_; ++i) {
        const std::uint64_t product = std::uint64_t(limb_[i]) * factor + carry;
        limb_[i] = static_cast<std::uint32_t>(product);
        carry = product >> 32;
    }
    if (carry != 0) {
        assert(size_ < capacity && "big_unsigned: product beyond capacity");
        limb_[size_++] = static_cast<std::uint32_t>(carry);
    }
    if (factor == 0)
        size_ = 0;
}

void big_unsigned::add_small(std::uint32_t term)
{
    std::uint64_t carry = term;
    for (int i = 0; i < size_ && carry != 0; ++i) {
        const std::uint64_t sum = std::uint64_t(limb_[i]) + carry;
        limb_[i] = static_cast<std::uint32_t>(sum);
        carry = sum >> 32;
    }
    if (carry != 0) {
        assert(size_ < capacity && "big_unsigned: sum beyond capacity");
        limb_[size_++] = static_cast<std::uint32_t>(carry);
    }
}

void big_unsigned::multiply_pow10(int exponent)
{
    assert(exponent >= 0);
    while (exponent >= limb_decimal_digits) {
        multiply_small(limb_power_of_ten);
        exponent -= limb_decimal_digits;
    }
    if (exponent > 0)
        multiply_small(static_cast<std::uint32_t>(integer_powers_of_ten[exponent]));
}

void big_unsigned::shift_left(int bits)
{
    assert(bits >= 0);
    if (size_ == 0)
        return;
    const int whole = bits / 32;
    const int part = bits % 32;
    if (part != 0) {
        std::uint32_t carry = 0;
        for (int i = 0; i < size_; ++i) {
            const std::uint32_t next_carry = limb_[i] >> (32 - part);
            limb_[i] = (limb_[i] << part) | carry;
            carry = next_carry;
        }
        if (carry != 0) {
            assert(size_ < capacity && "big_unsigned: shift beyond capacity");
            limb_[size_++] = carry;
        }
    }
    if (whole != 0) {
        assert(size_ + whole <= capacity && "big_unsigned: shift beyond capacity");
        for (int i = size_ - 1; i >= 0; --i)
            limb_[i + whole] = limb_[i];
        for (int i = 0; i < whole; ++i)
            limb_[i] = 0;
        size_ += whole;
    }
}

void big_unsigned::shift_right_one()
{
    for (int i = 0; i < size_; ++i) {
        const std::uint32_t high = i + 1 < size_ ? limb_[i + 1] << 31 : 0;
        limb_[i] = (limb_[i] >> 1) | high;
    }
    if (size_ != 0 && limb_[size_ - 1] == 0)
        --size_;
}

void big_unsigned::subtract(const big_unsigned& other)
{
    assert(compare(*this, other) >= 0 && "big_unsigned: difference below zero");
    std::int64_t borrow = 0;
    for (int i = 0; i < size_; ++i) {
        std::int64_t difference = std::int64_t(limb_[i]) - borrow;
        if (i < other.size_)
            difference -= other.limb_[i];
        borrow = difference < 0 ? 1 : 0;
        limb_[i] = static_cast<std::uint32_t>(difference + (borrow << 32));
    }
    while (size_ != 0 && limb_[size_ - 1] == 0)
        --size_;
}

int big_unsigned::bit_length() const
{
    if (size_ == 0)
        return 0;
    int bits = 32 * (size_ - 1);
    for (std::uint32_t top = limb_[size_ - 1]; top != 0; top >>= 1)
        ++bits;
    return bits;
}

int compare(const big_unsigned& a, const big_unsigned& b)
{
    if (a.size_ != b.size_)
        return a.size_ < b.size_ ? -1 : 1;
    for (int i = a.size_ - 1; i >= 0; --i)
        if (a.limb_[i] != b.limb_[i])
            return a.limb_[i] < b.limb_[i] ? -1 : 1;
    return 0;
}

std::uint64_t divide_u64(big_unsigned& numerator, const big_unsigned& denominator)
{
    assert(!denominator.is_zero());
    assert(numerator.bit_length() <= denominator.bit_length() + 64);
    big_unsigned shifted = denominator;
    shifted.shift_left(63);
    std::uint64_t quotient = 0;
    for (int bit = 63; bit >= 0; --bit) {
        if (compare(numerator, shifted) >= 0) {
            numerator.subtract(shifted);
            quotient |= std::uint64_t(1) << bit;
        }
        shifted.shift_right_one();
    }
    return quotient;
}

} // namespace tarnvel
