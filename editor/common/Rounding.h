// Whole-number rounding shared by the room counts that the games' tables imply.

#pragma once

#include <cstdint>

namespace quarnel {

// numerator / denominator rounded to the nearest whole number, halves to the even one; floors
// first, so negative numerators round the same way. denominator must be positive.
constexpr int64_t RoundHalfEven(int64_t numerator, int64_t denominator) {
    int64_t quotient = numerator / denominator;
    int64_t remainder = numerator % denominator;
    if (remainder < 0) {
        remainder += denominator;
        quotient -= 1;
    }
    if (2 * remainder > denominator || (2 * remainder == denominator && quotient % 2 != 0)) {
        quotient += 1;
    }
    return quotient;
}

} // namespace quarnel
