#include "rom/RomFile.h"

#include "common/ByteOrder.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quarnel {

namespace {

std::string Reason(int error) {
    return std::strerror(error);
}

} // namespace

Result<RomFile, Error> RomFile::Open(const std::filesystem::path& path, OpenMode mode) {
    const int flags = (mode == OpenMode::Read ? O_RDONLY : O_RDWR) | O_CLOEXEC;
    const int fd = ::open(path.c_str(), flags);
    if (fd < 0) {
        return Fail(Error{ErrorKind::FileOpen, path.string() + ": " + Reason(errno), {}});
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        const int error = errno;
        ::close(fd);
        return Fail(Error{ErrorKind::FileOpen,
                          path.string() + ": " + (error ? Reason(error) : "not a regular file"),
                          {}});
    }
    return RomFile(fd, path, static_cast<uint64_t>(info.st_size));
}

RomFile::RomFile(int descriptor, std::filesystem::path path, uint64_t size)
    : m_fd(descriptor), m_path(std::move(path)), m_size(size) {}

RomFile::RomFile(RomFile&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)), m_path(std::move(other.m_path)), m_size(other.m_size) {}

RomFile& RomFile::operator=(RomFile&& other) noexcept {
    if (this != &other) {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
        m_fd = std::exchange(other.m_fd, -1);
        m_path = std::move(other.m_path);
        m_size = other.m_size;
    }
    return *this;
}

RomFile::~RomFile() {
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

size_t RomFile::ReadAt(uint64_t offset, std::span<uint8_t> out) const {
    std::fill(out.begin(), out.end(), uint8_t{0});
    if (offset >= m_size) {
        return 0;
    }
    const size_t wanted = static_cast<size_t>(std::min<uint64_t>(out.size(), m_size - offset));
    size_t done = 0;
    while (done < wanted) {
        const ssize_t got =
            ::pread(m_fd, out.data() + done, wanted - done, static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;
        }
        done += static_cast<size_t>(got);
    }
    return done;
}

std::vector<uint8_t> RomFile::ReadBlock(uint64_t offset, size_t size) const {
    std::vector<uint8_t> bytes(size);
    ReadAt(offset, bytes);
    return bytes;
}

uint8_t RomFile::ReadU8(uint64_t offset) const {
    uint8_t byte = 0;
    ReadAt(offset, {&byte, 1});
    return byte;
}

uint16_t RomFile::ReadU16(uint64_t offset) const {
    uint8_t bytes[2];
    ReadAt(offset, bytes);
    return LoadLe16(bytes, 0);
}

uint32_t RomFile::ReadU32(uint64_t offset) const {
    uint8_t bytes[4];
    ReadAt(offset, bytes);
    return LoadLe32(bytes, 0);
}

Result<void, Error> RomFile::WriteAt(uint64_t offset, std::span<const uint8_t> bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t put = ::pwrite(m_fd, bytes.data() + done, bytes.size() - done,
                                     static_cast<off_t>(offset + done));
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put <= 0) {
            return Fail(Error{ErrorKind::FileWrite,
                              m_path.string() + ": " + (put < 0 ? Reason(errno) : "disk full"),
                              static_cast<uint32_t>(offset + done)});
        }
        done += static_cast<size_t>(put);
    }
    m_size = std::max<uint64_t>(m_size, offset + bytes.size());
    return {};
}

Result<void, Error> RomFile::Flush() {
    if (::fsync(m_fd) != 0) {
        return Fail(Error{ErrorKind::FileWrite, m_path.string() + ": " + Reason(errno), {}});
    }
    return {};
}

} // namespace quarnel
