#include "storage/RomWriter.h"

#include "rom/RomFile.h"

namespace quarnel {

Result<void, Error> RomFileWriter::WriteAt(uint32_t offset, std::span<const uint8_t> bytes) {
    return m_file.WriteAt(offset, bytes);
}

Result<void, Error> RomFileWriter::Flush() {
    return m_file.Flush();
}

} // namespace quarnel
