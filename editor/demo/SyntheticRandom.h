#pragma once
// The synthetic ROM builder's own pseudo-random numbers and hashes. The standard library's
// distributions may give other numbers with another library version; these give the same
// sequence everywhere, so one (game, seed) pair always builds the same image. Every part of
// the builder draws from its own stream, so a change in one part leaves the others as they
// were.

#include <cstdint>

namespace quarnel::synthetic {

// SplitMix64's finaliser: a well-mixed 64-bit function of a 64-bit value.
constexpr uint64_t Mix64(uint64_t value) {
    value += 0x9E3779B97F4A7C15ull;
    value = (value ^ (value >> 30)) * 0xBF58476D1CE4E5B9ull;
    value = (value ^ (value >> 27)) * 0x94D049BB133111EBull;
    return value ^ (value >> 31);
}

// A hash of up to four small numbers, for noise and per-position choices.
constexpr uint32_t Hash(uint32_t a, uint32_t b = 0, uint32_t c = 0, uint32_t d = 0) {
    const uint64_t packed = (static_cast<uint64_t>(a) << 32 | b) ^
                            Mix64((static_cast<uint64_t>(c) << 32 | d) + 0x51ED27u);
    return static_cast<uint32_t>(Mix64(packed) >> 32);
}

class Random {
public:
    // A stream of numbers for one purpose (`stream`) under one seed.
    Random(uint64_t seed, uint64_t stream) : m_state(Mix64(seed) ^ Mix64(stream * 0x2545F491u)) {}

    uint64_t Next() {
        m_state += 0x9E3779B97F4A7C15ull;
        return Mix64(m_state);
    }

    // 0 to bound - 1; bound must not be 0.
    uint32_t Below(uint32_t bound) { return static_cast<uint32_t>((Next() >> 32) % bound); }

    // lo to hi, both included.
    int Range(int lo, int hi) {
        return lo + static_cast<int>(Below(static_cast<uint32_t>(hi - lo + 1)));
    }

    // True in `percent` of the draws.
    bool Chance(uint32_t percent) { return Below(100) < percent; }

    uint8_t Byte() { return static_cast<uint8_t>(Next() >> 56); }

private:
    uint64_t m_state;
};

} // namespace quarnel::synthetic
