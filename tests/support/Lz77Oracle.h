#pragma once
// The exhaustive LZ77 encoders, kept as the reference that the fast encoders must match
// byte for byte. They try every distance from the farthest down to 2 and compare byte by
// byte, exactly as the format's reference encoder describes.

#include <cstdint>
#include <span>
#include <vector>

namespace quarnel::testing {

enum class MatchEndRule {
    Library, // a match may run to the end of the input at full length
    Editor,  // a match that runs to the end of the input counts one byte short
};

std::vector<uint8_t> ExhaustiveLz77(std::span<const uint8_t> input, MatchEndRule rule);

} // namespace quarnel::testing
