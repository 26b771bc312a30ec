#include "storage/RangeSet.h"

#include <algorithm>

namespace quarnel {

void RangeSet::Add(RomRange range) {
    if (range.begin >= range.end) {
        return;
    }
    // The first range that ends at or after the new one's start may touch it.
    auto first = std::lower_bound(m_ranges.begin(), m_ranges.end(), range.begin,
                                  [](const RomRange& r, uint32_t at) { return r.end < at; });
    auto last = first;
    while (last != m_ranges.end() && last->begin <= range.end) {
        range.begin = std::min(range.begin, last->begin);
        range.end = std::max(range.end, last->end);
        ++last;
    }
    first = m_ranges.erase(first, last);
    m_ranges.insert(first, range);
}

bool RangeSet::Overlaps(uint32_t begin, uint32_t end) const {
    if (begin >= end) {
        return false;
    }
    const auto after = std::upper_bound(m_ranges.begin(), m_ranges.end(), begin,
                                        [](uint32_t at, const RomRange& r) { return at < r.end; });
    return after != m_ranges.end() && after->begin < end;
}

} // namespace quarnel
