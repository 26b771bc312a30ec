#include "Lz77Oracle.h"

namespace quarnel::testing {

namespace {

// Number of equal bytes at p and p - distance, following the end rule.
size_t MatchLength(std::span<const uint8_t> in, size_t p, size_t distance, MatchEndRule rule) {
    size_t k = 0;
    while (p + k < in.size() && in[p + k] == in[p + k - distance]) {
        ++k;
    }
    if (rule == MatchEndRule::Editor && p + k == in.size()) {
        return k == 0 ? 0 : k - 1;
    }
    return k;
}

} // namespace

std::vector<uint8_t> ExhaustiveLz77(std::span<const uint8_t> in, MatchEndRule rule) {
    const size_t n = in.size();
    std::vector<uint8_t> out{0x10, static_cast<uint8_t>(n & 0xFF),
                             static_cast<uint8_t>((n >> 8) & 0xFF),
                             static_cast<uint8_t>((n >> 16) & 0xFF)};
    size_t p = 0;
    while (p < n) {
        const size_t flagAt = out.size();
        out.push_back(0);
        for (int bit = 7; bit >= 0 && p < n; --bit) {
            const size_t window = p <= 4095 ? p : 4096;
            size_t best = 0;
            size_t bestDistance = 0;
            for (size_t d = window; d >= 2; --d) {
                const size_t len = MatchLength(in, p, d, rule);
                if (len > best) {
                    best = len;
                    bestDistance = d;
                }
                if (best > 17) {
                    break;
                }
            }
            if (best < 3) {
                out.push_back(in[p]);
                p += 1;
            } else {
                const size_t length = best > 18 ? 18 : best;
                const size_t field = bestDistance - 1;
                out[flagAt] = static_cast<uint8_t>(out[flagAt] | (1u << bit));
                out.push_back(static_cast<uint8_t>(((length - 3) << 4) | (field >> 8)));
                out.push_back(static_cast<uint8_t>(field & 0xFF));
                p += length;
            }
        }
    }
    return out;
}

} // namespace quarnel::testing
