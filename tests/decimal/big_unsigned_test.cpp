// big_unsigned: the division that the decimal conversions rest on.
#include <gtest/gtest.h>

#include "decimal/big_unsigned.h"

namespace tarnvel {

TEST(BigUnsigned, DividesLargeNumbersExactly)
{
    big_unsigned numerator(1);
    numerator.multiply_pow10(40);
    big_unsigned denominator(1);
    for (int i = 0; i < 50; ++i)
        denominator.multiply_small(3);
    big_unsigned remainder = numerator;
    const std::uint64_t q = divide_u64(remainder, denominator);
    EXPECT_EQ(q, 13929555690985383ull); // floor(10^40 / 3^50)

    // numerator - denominator * q == remainder < denominator
    big_unsigned high = denominator;
    high.multiply_small(static_cast<std::uint32_t>(q >> 32));
    high.shift_left(32);
    big_unsigned low = denominator;
    low.multiply_small(static_cast<std::uint32_t>(q));
    big_unsigned check = numerator;
    check.subtract(high);
    check.subtract(low);
    EXPECT_EQ(compare(check, remainder), 0);
    EXPECT_LT(compare(remainder, denominator), 0);
}

TEST(BigUnsigned, ShiftsAndBitLength)
{
    big_unsigned x(1);
    x.shift_left(1000);
    EXPECT_EQ(x.bit_length(), 1001);
    for (int i = 0; i < 1000; ++i)
        x.shift_right_one();
    EXPECT_EQ(compare(x, big_unsigned(1)), 0);
    x.shift_right_one();
    EXPECT_TRUE(x.is_zero());
}

} // namespace tarnvel
