#pragma once
// A set of ROM file offsets kept as sorted, disjoint half-open ranges: the bytes of blocks that
// known pointers lead to, and blocks handed out but not yet written, which free-space searches
// must step over.

#include "rom/GameTables.h"

#include <cstdint>
#include <span>
#include <vector>

namespace quarnel {

class RangeSet {
public:
    // Adds [range.begin, range.end), merging it with ranges it overlaps or touches. An empty
    // range adds nothing.
    void Add(RomRange range);

    // Whether any offset of [begin, end) belongs to the set.
    bool Overlaps(uint32_t begin, uint32_t end) const;

    // The ranges, sorted by offset, none overlapping or touching another.
    std::span<const RomRange> Ranges() const { return m_ranges; }

private:
    std::vector<RomRange> m_ranges;
};

} // namespace quarnel
