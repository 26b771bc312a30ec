#include "rom/RomView.h"

#include "rom/RomFile.h"

#include <algorithm>

namespace quarnel {

size_t SpanRomView::Read(uint64_t offset, std::span<uint8_t> out) const {
    if (offset >= m_bytes.size()) {
        return 0;
    }
    const size_t count = std::min<uint64_t>(out.size(), m_bytes.size() - offset);
    std::copy_n(m_bytes.begin() + static_cast<std::ptrdiff_t>(offset), count, out.begin());
    return count;
}

uint64_t RomFileView::Size() const {
    return m_file.Size();
}

size_t RomFileView::Read(uint64_t offset, std::span<uint8_t> out) const {
    return m_file.ReadAt(offset, out);
}

} // namespace quarnel
