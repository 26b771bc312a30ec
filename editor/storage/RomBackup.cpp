#include "storage/RomBackup.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <utility>
#include <vector>

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

constexpr std::string_view kBackupExtension = ".bak";
constexpr size_t kStampLength = 15; // YYYYMMDD-HHMMSS
constexpr unsigned kMaxSuffix = 9999;

std::filesystem::path FolderOf(const std::filesystem::path& path) {
    const auto folder = path.parent_path();
    return folder.empty() ? std::filesystem::path(".") : folder;
}

bool Digits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The order of timestamped copies: by time, then by suffix (none counts as 1); nothing for
// a name that is not a timestamped copy of `romFileName`.
std::optional<std::pair<std::string, unsigned long>> CopyOrder(std::string_view romFileName,
                                                               std::string_view fileName) {
    if (fileName.size() < romFileName.size() + 1 + kStampLength + kBackupExtension.size() ||
        fileName.substr(0, romFileName.size()) != romFileName ||
        fileName[romFileName.size()] != '.' ||
        fileName.substr(fileName.size() - kBackupExtension.size()) != kBackupExtension) {
        return std::nullopt;
    }
    std::string_view middle = fileName.substr(
        romFileName.size() + 1, fileName.size() - romFileName.size() - 1 - kBackupExtension.size());
    const std::string_view stamp = middle.substr(0, kStampLength);
    if (middle.size() < kStampLength || !Digits(stamp.substr(0, 8)) || stamp[8] != '-' ||
        !Digits(stamp.substr(9))) {
        return std::nullopt;
    }
    middle.remove_prefix(kStampLength);
    if (middle.empty()) {
        return std::pair{std::string(stamp), 1ul};
    }
    const std::string_view suffix = middle.substr(1);
    if (middle[0] != '-' || !Digits(suffix) || suffix.size() > 4 || suffix[0] == '0') {
        return std::nullopt;
    }
    return std::pair{std::string(stamp), std::stoul(std::string(suffix))};
}

// Writes a whole copy of `rom` into a new temporary file beside `near`, flushed to the disk,
// with the ROM's permissions.
Result<std::filesystem::path, Error> WriteTemporaryCopy(const std::filesystem::path& rom,
                                                        const std::filesystem::path& near) {
    static std::atomic<unsigned> serial{0};
    Descriptor source(::open(rom.c_str(), O_RDONLY | O_CLOEXEC));
    if (source.Get() < 0) {
        return Fail(BackupError(ErrorKind::FileOpen, rom, errno));
    }
    auto temporary = near;
    temporary += ".tmp." + std::to_string(::getpid()) + "." + std::to_string(serial++);
    Descriptor target(
        ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_TRUNC | O_CLOEXEC, 0666));
    if (target.Get() < 0) {
        return Fail(BackupError(ErrorKind::FileWrite, near, errno));
    }
    struct stat info {};
    if (::fstat(source.Get(), &info) == 0) {
        ::fchmod(target.Get(), info.st_mode & 07777);
    }
    auto abandon = [&](Error error) {
        ::unlink(temporary.c_str());
        return Fail(std::move(error));
    };
    if (auto copied = CopyContent(source.Get(), target.Get(), rom, near); !copied) {
        return abandon(copied.error());
    }
    if (::fsync(target.Get()) != 0 || ::close(target.Release()) != 0) {
        return abandon(BackupError(ErrorKind::FileWrite, near, errno));
    }
    return temporary;
}

// Gives the finished `temporary` the name `target` unless that name is taken: 0 when done
// (the temporary name is then gone), EEXIST when taken, another errno on failure.
int PlaceWithoutOverwriting(const std::filesystem::path& temporary,
                            const std::filesystem::path& target) {
    if (::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) {
        return 0;
    }
    if (errno == EEXIST) {
        return EEXIST;
    }
    // Filesystems without the no-replace rename: a hard link fails on a taken name too.
    if (::link(temporary.c_str(), target.c_str()) != 0) {
        return errno;
    }
    ::unlink(temporary.c_str());
    return 0;
}

void SyncFolder(const std::filesystem::path& folder) {
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

// Removes the timestamped copies of `rom` beyond the newest kKeptCopies, never `keep`.
void PruneTimedCopies(const std::filesystem::path& rom, const std::filesystem::path& keep) {
    const std::string romName = rom.filename().string();
    std::vector<std::pair<std::pair<std::string, unsigned long>, std::filesystem::path>> copies;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(FolderOf(rom), error), end;
         !error && entry != end; entry.increment(error)) {
        const auto order = CopyOrder(romName, entry->path().filename().string());
        std::error_code statusError;
        if (order && entry->is_regular_file(statusError) && !entry->is_symlink(statusError)) {
            copies.emplace_back(*order, entry->path());
        }
    }
    std::sort(copies.begin(), copies.end());
    size_t excess =
        copies.size() > RomBackups::kKeptCopies ? copies.size() - RomBackups::kKeptCopies : 0;
    for (size_t i = 0; i < copies.size() && excess > 0; ++i, --excess) {
        if (copies[i].second.filename() != keep.filename()) {
            std::filesystem::remove(copies[i].second, error);
        }
    }
}

} // namespace

RomBackups::RomBackups(Clock clock) : m_clock(std::move(clock)) {
    if (!m_clock) {
        m_clock = [] { return std::chrono::system_clock::now(); };
    }
}

std::filesystem::path RomBackups::BackupPathOf(const std::filesystem::path& rom) {
    std::filesystem::path backup = rom;
    backup += kBackupExtension;
    return backup;
}

std::filesystem::path RomBackups::TimedCopyPathOf(const std::filesystem::path& rom,
                                                  std::chrono::system_clock::time_point when) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
    std::tm local{};
    localtime_r(&seconds, &local);
    std::array<char, 32> stamp{};
    std::strftime(stamp.data(), stamp.size(), "%Y%m%d-%H%M%S", &local);
    std::filesystem::path copy = rom;
    copy += "." + std::string(stamp.data()) + std::string(kBackupExtension);
    return copy;
}

bool RomBackups::IsTimedCopyName(std::string_view romFileName, std::string_view fileName) {
    return CopyOrder(romFileName, fileName).has_value();
}

std::filesystem::path RomBackups::Key(const std::filesystem::path& rom) {
    std::error_code error;
    auto key = std::filesystem::weakly_canonical(std::filesystem::absolute(rom, error), error);
    return error ? rom.lexically_normal() : key;
}

bool RomBackups::BackedUp(const std::filesystem::path& rom) const {
    return m_done.count(Key(rom)) != 0;
}

std::optional<std::filesystem::path> RomBackups::CopyOf(const std::filesystem::path& rom) const {
    const auto found = m_done.find(Key(rom));
    if (found == m_done.end()) {
        return std::nullopt;
    }
    return found->second;
}

Result<std::optional<std::filesystem::path>, Error>
RomBackups::EnsureBackup(const std::filesystem::path& rom) {
    if (BackedUp(rom)) {
        return std::optional<std::filesystem::path>{};
    }
    const auto first = BackupPathOf(rom);
    std::error_code error;
    const auto firstStatus = std::filesystem::status(first, error);
    const bool firstMade = std::filesystem::exists(firstStatus);
    if (firstMade && !std::filesystem::is_regular_file(firstStatus)) {
        return Fail(
            Error{ErrorKind::FileWrite,
                  "backup " + first.string() + ": it exists but is not a file; rename or remove it",
                  std::nullopt});
    }
    auto temporary = WriteTemporaryCopy(rom, first);
    if (!temporary) {
        return Fail(temporary.error());
    }
    std::optional<std::filesystem::path> copy;
    int placed = firstMade ? EEXIST : PlaceWithoutOverwriting(*temporary, first);
    if (placed == 0) {
        copy = first;
    }
    const auto timed = TimedCopyPathOf(rom, m_clock());
    for (unsigned suffix = 1; placed == EEXIST && suffix <= kMaxSuffix; ++suffix) {
        auto name = timed;
        if (suffix > 1) {
            name.replace_extension();
            name += "-" + std::to_string(suffix) + std::string(kBackupExtension);
        }
        placed = PlaceWithoutOverwriting(*temporary, name);
        if (placed == 0) {
            copy = name;
        }
    }
    if (!copy) {
        ::unlink(temporary->c_str());
        return Fail(BackupError(ErrorKind::FileWrite, timed, placed));
    }
    SyncFolder(FolderOf(*copy));
    if (*copy != first) {
        PruneTimedCopies(rom, *copy);
    }
    m_done[Key(rom)] = *copy;
    return copy;
}

Result<RomWriteAccess, Error> OpenRomForWriting(RomBackups& backups,
                                                const std::filesystem::path& rom) {
    auto backup = backups.EnsureBackup(rom);
    if (!backup) {
        return Fail(backup.error());
    }
    auto file = RomFile::Open(rom, OpenMode::ReadWrite);
    if (!file) {
        return Fail(Error{ErrorKind::FileWrite, file.error().detail, std::nullopt});
    }
    return RomWriteAccess{std::move(*file), std::move(*backup)};
}

} // namespace quarnel
