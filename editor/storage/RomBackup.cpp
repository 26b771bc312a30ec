#include "storage/RomBackup.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <string>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quarnel {

namespace {

Error BackupError(ErrorKind kind, const std::filesystem::path& path, int error) {
    return Error{kind, "backup " + path.string() + ": " + std::strerror(error), std::nullopt};
}

// Closes a descriptor when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Get() const { return m_fd; }
    int Release() { return std::exchange(m_fd, -1); }

private:
    int m_fd;
};

bool WriteAll(int fd, const uint8_t* data, size_t size) {
    while (size > 0) {
        const ssize_t put = ::write(fd, data, size);
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put <= 0) {
            if (put == 0) {
                errno = ENOSPC;
            }
            return false;
        }
        data += put;
        size -= static_cast<size_t>(put);
    }
    return true;
}

// Copies every byte of `from` to `to` (open for writing); an error names `what`.
Result<void, Error> CopyContent(int from, int to, const std::filesystem::path& source,
                                const std::filesystem::path& target) {
    std::array<uint8_t, 65536> buffer{};
    for (;;) {
        const ssize_t got = ::read(from, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return Fail(BackupError(ErrorKind::FileRead, source, errno));
        }
        if (got == 0) {
            return {};
        }
        if (!WriteAll(to, buffer.data(), static_cast<size_t>(got))) {
            return Fail(BackupError(ErrorKind::FileWrite, target, errno));
        }
    }
}

} // namespace

std::filesystem::path RomBackups::BackupPathOf(const std::filesystem::path& rom) {
    std::filesystem::path backup = rom;
    backup += ".bak";
    return backup;
}

std::filesystem::path RomBackups::Key(const std::filesystem::path& rom) {
    std::error_code error;
    auto key = std::filesystem::weakly_canonical(std::filesystem::absolute(rom, error), error);
    return error ? rom.lexically_normal() : key;
}

bool RomBackups::BackedUp(const std::filesystem::path& rom) const {
    return m_done.count(Key(rom)) != 0;
}

Result<std::optional<std::filesystem::path>, Error>
RomBackups::EnsureBackup(const std::filesystem::path& rom) {
    static std::atomic<unsigned> serial{0};
    if (BackedUp(rom)) {
        return std::optional<std::filesystem::path>{};
    }
    const auto backup = BackupPathOf(rom);
    Descriptor source(::open(rom.c_str(), O_RDONLY | O_CLOEXEC));
    if (source.Get() < 0) {
        return Fail(BackupError(ErrorKind::FileOpen, rom, errno));
    }
    auto temporary = backup;
    temporary += ".tmp." + std::to_string(::getpid()) + "." + std::to_string(serial++);
    Descriptor target(
        ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_TRUNC | O_CLOEXEC, 0666));
    if (target.Get() < 0) {
        return Fail(BackupError(ErrorKind::FileWrite, backup, errno));
    }
    // The copy keeps the permissions of the ROM file.
    struct stat info {};
    if (::fstat(source.Get(), &info) == 0) {
        ::fchmod(target.Get(), info.st_mode & 07777);
    }
    auto abandon = [&](Error error) {
        ::unlink(temporary.c_str());
        return Fail(std::move(error));
    };
    if (auto copied = CopyContent(source.Get(), target.Get(), rom, backup); !copied) {
        return abandon(copied.error());
    }
    if (::fsync(target.Get()) != 0 || ::close(target.Release()) != 0) {
        return abandon(BackupError(ErrorKind::FileWrite, backup, errno));
    }
    if (::rename(temporary.c_str(), backup.c_str()) != 0) {
        return abandon(BackupError(ErrorKind::FileWrite, backup, errno));
    }
    const auto folder = backup.parent_path();
    const int dir =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    m_done.insert(Key(rom));
    return std::optional<std::filesystem::path>{backup};
}

} // namespace quarnel
