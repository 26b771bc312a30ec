#pragma once
// Test-side codecs and inputs for the Pelnix tests: a BIOS run-length encoder (to make the
// streams RLUnComp reads), a decoder of the room layer block form (to check RLComp) and
// generators of structured inputs.

#include "TestRandom.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace quarnel::testing {

// BIOS run-length stream (header 0x30): runs of 3 or more equal bytes as run blocks of at
// most maxRun (3-130) bytes, everything else in literal blocks of at most maxLiteral (1-128).
std::vector<uint8_t> BiosRlEncode(std::span<const uint8_t> data, size_t maxLiteral = 128,
                                  size_t maxRun = 130);

// Decodes the headerless room layer block form (count byte: bit 7 clear, that many literal
// bytes follow; set, one byte follows, repeated count & 0x7F times). Empty when a block is
// cut off or has a count of 0.
std::optional<std::vector<uint8_t>> DecodeLayerBlocks(std::span<const uint8_t> blocks);

// The kinds of input the codec tests feed the encoders.
enum class InputKind {
    Uniform,       // random bytes
    SmallAlphabet, // random bytes from 2 to 4 values
    Runs,          // runs of random lengths
    Blocks,        // a few random blocks repeated with small changes
    Tiles,         // TileLikeData
    Minimap,       // MinimapLikeData
    FarRepeats,    // a random block repeated at distances around the 4096 window's edge
};

inline constexpr InputKind kAllInputKinds[] = {
    InputKind::Uniform, InputKind::SmallAlphabet, InputKind::Runs,      InputKind::Blocks,
    InputKind::Tiles,   InputKind::Minimap,       InputKind::FarRepeats};

std::string Name(InputKind kind);

std::vector<uint8_t> MakeInput(InputKind kind, size_t size, TestRandom& random);

// count bytes first, first + 1, ... (wrapping).
std::vector<uint8_t> Counting(size_t count, uint8_t first);

// Bytes over `symbols` distinct values (at most 256), the lower quarter of them frequent.
std::vector<uint8_t> SkewedData(size_t size, uint32_t symbols, TestRandom& random);

} // namespace quarnel::testing
