#pragma once
// A small deterministic random source for tests and sample data: SplitMix64, the same
// sequence on every platform (unlike the standard library's distributions).

#include <cstdint>

namespace quarnel::testing {

class TestRandom {
public:
    explicit TestRandom(uint64_t seed) : m_state(0x9E3779B97F4A7C15ull ^ seed) {}

    uint64_t Next() {
        uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    // In [0, bound); bound > 0. The modulo bias is irrelevant for test data.
    uint32_t Below(uint32_t bound) { return static_cast<uint32_t>(Next() % bound); }

    // In [low, high].
    uint32_t Between(uint32_t low, uint32_t high) { return low + Below(high - low + 1); }

    bool Chance(uint32_t percent) { return Below(100) < percent; }

    uint8_t Byte() { return static_cast<uint8_t>(Next() & 0xFF); }

private:
    uint64_t m_state;
};

} // namespace quarnel::testing
