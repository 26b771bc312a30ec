#pragma once
// A RomWriter for fault injection: logs each step ("write OFFSET SIZE", "flush") and fails
// step `failAt` (after writing half the bytes when `half`), or flips a byte of write number
// `corruptAt` and reports success.

#include "rom/RomFile.h"
#include "storage/RomWriter.h"

#include <string>
#include <vector>

namespace quarnel::testing {

class FaultyWriter : public RomWriter {
public:
    FaultyWriter(RomFile& file, std::vector<std::string>& log, int failAt, bool half,
                 int corruptAt = -1)
        : m_inner(file), m_log(log), m_failAt(failAt), m_half(half), m_corruptAt(corruptAt) {}

    Result<void, Error> WriteAt(uint32_t offset, std::span<const uint8_t> bytes) override {
        m_log.push_back("write " + std::to_string(offset) + " " + std::to_string(bytes.size()));
        std::vector<uint8_t> data(bytes.begin(), bytes.end());
        if (m_writes++ == m_corruptAt) {
            data[data.size() / 2] ^= 1;
        }
        if (m_step++ == m_failAt) {
            (void)m_inner.WriteAt(offset, std::span(data).first(m_half ? data.size() / 2 : 0));
            return Fail(Error{ErrorKind::FileWrite, "injected", offset});
        }
        return m_inner.WriteAt(offset, data);
    }
    Result<void, Error> Flush() override {
        m_log.push_back("flush");
        if (m_step++ == m_failAt) {
            return Fail(Error{ErrorKind::FileWrite, "injected", std::nullopt});
        }
        return m_inner.Flush();
    }

private:
    RomFileWriter m_inner;
    std::vector<std::string>& m_log;
    int m_failAt;
    bool m_half;
    int m_corruptAt, m_step = 0, m_writes = 0;
};

} // namespace quarnel::testing
