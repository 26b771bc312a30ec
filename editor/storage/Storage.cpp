#include "storage/Storage.h"

#include "common/Hex.h"
#include "rom/ProgramFolder.h"
#include "storage/BlankSpace.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <optional>
#include <string>
#include <system_error>
#include <type_traits>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quarnel {

namespace {

int32_t ReadInt32(std::span<const uint8_t, kStorageFileSize> bytes, size_t at) {
    const uint32_t value =
        static_cast<uint32_t>(bytes[at]) | static_cast<uint32_t>(bytes[at + 1]) << 8 |
        static_cast<uint32_t>(bytes[at + 2]) << 16 | static_cast<uint32_t>(bytes[at + 3]) << 24;
    return static_cast<int32_t>(value);
}

void WriteInt32(std::span<uint8_t, kStorageFileSize> bytes, size_t at, int32_t value) {
    const auto bits = static_cast<uint32_t>(value);
    for (size_t i = 0; i < 4; ++i) {
        bytes[at + i] = static_cast<uint8_t>(bits >> (8 * i));
    }
}

// The areas a game draws on, for a const or a mutable table.
template <class Table>
auto AreasOf(Table& table, Game game) {
    using Area = std::remove_reference_t<decltype(table.ZMAreas[0])>;
    switch (game) {
    case Game::ZM:
        return std::span<Area>(table.ZMAreas).first(kZMUsableAreaCount);
    case Game::MF:
        return std::span<Area>(table.MFAreas).first(kMFUsableAreaCount);
    case Game::None:
        break;
    }
    return std::span<Area>();
}

// The allocation step on a table in memory; 0 when no area can take the request. With an
// `occupied` set, space given back inside an area's handed-out part is used first, and the
// block is added to the set; otherwise (or when there is none) the area that serves the
// request has its Used moved just past the block (at most to Length).
uint32_t AllocateFrom(std::span<StorageArea> areas, Game game, int32_t size, const RomView& rom,
                      RangeSet* occupied) {
    static const RangeSet kNothing;
    const RangeSet& known = occupied != nullptr ? *occupied : kNothing;
    const auto take = [&](uint32_t block) {
        if (occupied != nullptr) {
            occupied->Add({block, static_cast<uint32_t>(block + static_cast<uint32_t>(size))});
        }
        return block;
    };
    if (occupied != nullptr) {
        for (const auto& area : areas) {
            if (const auto block = FindReusableBlock(area, game, size, rom, known)) {
                return take(*block);
            }
        }
    }
    for (auto& area : areas) {
        if (const auto block = FindBlankBlock(area, game, size, rom, known)) {
            area.Used = static_cast<int32_t>(int64_t{*block} + size - area.Offset);
            return take(*block);
        }
    }
    return 0;
}

std::string Reason(int error) {
    return std::system_category().message(error);
}

Error FileError(ErrorKind kind, const std::filesystem::path& path, int error) {
    return Error{kind, path.string() + ": " + Reason(error), std::nullopt};
}

// Writes all bytes, going on after interrupted or partial writes. False with errno set on
// failure.
bool WriteAll(int fd, std::span<const uint8_t> bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes = bytes.subspan(static_cast<size_t>(written));
    }
    return true;
}

// Makes a rename in `folder` durable. Best effort: some file systems refuse fsync on a
// folder, and the rename itself has already happened.
void SyncFolder(const std::filesystem::path& folder) {
    const int fd =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

StorageTable DefaultStorageTable() {
    StorageTable table;
    std::copy(kDefaultZMAreas.begin(), kDefaultZMAreas.end(), table.ZMAreas.begin());
    std::copy(kDefaultMFAreas.begin(), kDefaultMFAreas.end(), table.MFAreas.begin());
    return table;
}

std::array<uint8_t, kStorageFileSize> SerializeStorageTable(const StorageTable& table) {
    std::array<uint8_t, kStorageFileSize> bytes{};
    auto put = [&bytes](size_t at, const StorageArea& area) {
        WriteInt32(bytes, at, area.Offset);
        WriteInt32(bytes, at + 4, area.Used);
        WriteInt32(bytes, at + 8, area.Length);
    };
    for (size_t i = 0; i < table.ZMAreas.size(); ++i) {
        put(i * kStorageAreaSize, table.ZMAreas[i]);
    }
    for (size_t i = 0; i < table.MFAreas.size(); ++i) {
        put(kMFAreasFileOffset + i * kStorageAreaSize, table.MFAreas[i]);
    }
    return bytes;
}

StorageTable ParseStorageTable(std::span<const uint8_t> input) {
    std::array<uint8_t, kStorageFileSize> bytes{};
    const size_t count = std::min(input.size(), bytes.size());
    std::copy_n(input.begin(), count, bytes.begin());

    auto get = [&bytes](size_t at) {
        return StorageArea{ReadInt32(bytes, at), ReadInt32(bytes, at + 4),
                           ReadInt32(bytes, at + 8)};
    };
    StorageTable table;
    for (size_t i = 0; i < table.ZMAreas.size(); ++i) {
        table.ZMAreas[i] = get(i * kStorageAreaSize);
    }
    for (size_t i = 0; i < table.MFAreas.size(); ++i) {
        table.MFAreas[i] = get(kMFAreasFileOffset + i * kStorageAreaSize);
    }
    return table;
}

std::span<const StorageArea> UsableAreas(const StorageTable& table, Game game) {
    return AreasOf(table, game);
}

std::string StorageDisplayHex(int32_t value) {
    return ToHexWidth(static_cast<uint32_t>(value), 6);
}

StorageSystem::StorageSystem(std::filesystem::path path) : m_path(std::move(path)) {}

std::filesystem::path StorageSystem::DefaultPath() {
    return ProgramFolder() / "os.bin";
}

bool StorageSystem::FileExists() const {
    std::error_code error;
    return std::filesystem::exists(m_path, error);
}

Result<void, Error> StorageSystem::LoadStorage() {
    const int fd = ::open(m_path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) {
            m_table = StorageTable{};
            return {};
        }
        return Fail(FileError(ErrorKind::FileOpen, m_path, errno));
    }
    std::array<uint8_t, kStorageFileSize> bytes{};
    size_t filled = 0;
    while (filled < bytes.size()) {
        const ssize_t got = ::read(fd, bytes.data() + filled, bytes.size() - filled);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            const int error = errno;
            ::close(fd);
            return Fail(FileError(ErrorKind::FileRead, m_path, error));
        }
        if (got == 0) {
            break; // a short file: the rest stays zero
        }
        filled += static_cast<size_t>(got);
    }
    ::close(fd);
    m_table = ParseStorageTable(bytes);
    return {};
}

Result<void, Error> StorageSystem::ResetStorage() {
    StorageTable reset = m_table;
    for (size_t i = 0; i < kDefaultZMAreas.size(); ++i) {
        reset.ZMAreas[i].Offset = kDefaultZMAreas[i].Offset;
        reset.ZMAreas[i].Length = kDefaultZMAreas[i].Length;
    }
    for (size_t i = 0; i < kDefaultMFAreas.size(); ++i) {
        reset.MFAreas[i].Offset = kDefaultMFAreas[i].Offset;
        reset.MFAreas[i].Length = kDefaultMFAreas[i].Length;
    }
    return Commit(reset);
}

Result<uint32_t, Error> StorageSystem::StorageAlloc(Game game, int32_t size, const RomView& rom) {
    return Allocate(game, size, rom, nullptr);
}

Result<uint32_t, Error> StorageSystem::StorageAlloc(Game game, int32_t size, const RomView& rom,
                                                    RangeSet& occupied) {
    return Allocate(game, size, rom, &occupied);
}

Result<uint32_t, Error> StorageSystem::Allocate(Game game, int32_t size, const RomView& rom,
                                                RangeSet* occupied) {
    if (size <= 0) {
        return Fail(
            Error{ErrorKind::BadArgument,
                  "a free-space request must be at least 1 byte, not " + std::to_string(size),
                  std::nullopt});
    }
    StorageTable next = m_table;
    std::optional<RangeSet> taken;
    if (occupied != nullptr) {
        taken = *occupied;
    }
    const uint32_t offset =
        AllocateFrom(AreasOf(next, game), game, size, rom, taken ? &*taken : nullptr);
    if (auto written = Commit(next); !written) {
        return Fail(written.error());
    }
    if (occupied != nullptr) {
        *occupied = std::move(*taken);
    }
    return offset;
}

std::vector<uint32_t> StorageSystem::PlanAllocations(Game game, std::span<const int32_t> sizes,
                                                     const RomView& rom) const {
    return Plan(game, sizes, rom, nullptr);
}

std::vector<uint32_t> StorageSystem::PlanAllocations(Game game, std::span<const int32_t> sizes,
                                                     const RomView& rom,
                                                     const RangeSet& occupied) const {
    return Plan(game, sizes, rom, &occupied);
}

std::vector<uint32_t> StorageSystem::Plan(Game game, std::span<const int32_t> sizes,
                                          const RomView& rom, const RangeSet* occupied) const {
    StorageTable scratch = m_table;
    std::optional<RangeSet> taken;
    if (occupied != nullptr) {
        taken = *occupied;
    }
    const auto areas = AreasOf(scratch, game);
    std::vector<uint32_t> offsets;
    offsets.reserve(sizes.size());
    for (const int32_t size : sizes) {
        offsets.push_back(size > 0 ? AllocateFrom(areas, game, size, rom, taken ? &*taken : nullptr)
                                   : 0);
    }
    return offsets;
}

Result<void, Error> StorageSystem::FitToRom(Game game, const RomView& rom) {
    StorageTable fitted = m_table;
    for (auto& area : AreasOf(fitted, game)) {
        area.Used = FittedUsed(area, game, rom);
    }
    return Commit(fitted);
}

Result<void, Error> StorageSystem::SetArea(Game game, size_t index, const StorageArea& area) {
    StorageTable changed = m_table;
    const auto areas = AreasOf(changed, game);
    if (index >= areas.size()) {
        return Fail(Error{ErrorKind::BadArgument,
                          "there is no free-space area " + std::to_string(index) + " of " +
                              std::string(GameCodeText(game)),
                          std::nullopt});
    }
    areas[index] = area;
    return Commit(changed);
}

Result<void, Error> StorageSystem::Commit(const StorageTable& table) {
    if (auto written = WriteTable(table); !written) {
        return written;
    }
    m_table = table;
    return {};
}

Result<void, Error> StorageSystem::WriteTable(const StorageTable& table) const {
    static std::atomic<unsigned> counter{0};
    const auto bytes = SerializeStorageTable(table);
    const auto folder = m_path.parent_path();

    // A name of our own beside the target, so the rename stays within one file system.
    std::filesystem::path temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = m_path;
        temporary += ".tmp." + std::to_string(::getpid()) + "." + std::to_string(counter++);
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) {
            break;
        }
    }
    if (fd < 0) {
        return Fail(FileError(ErrorKind::FileWrite, m_path, errno));
    }

    // The new file keeps the permissions of the one it replaces.
    struct stat existing {};
    if (::stat(m_path.c_str(), &existing) == 0) {
        ::fchmod(fd, existing.st_mode & 07777);
    }

    auto abandon = [&](int error) {
        ::unlink(temporary.c_str());
        return Fail(FileError(ErrorKind::FileWrite, m_path, error));
    };
    if (!WriteAll(fd, bytes) || ::fsync(fd) != 0) {
        const int error = errno;
        ::close(fd);
        return abandon(error);
    }
    if (::close(fd) != 0) {
        return abandon(errno);
    }
    if (::rename(temporary.c_str(), m_path.c_str()) != 0) {
        return abandon(errno);
    }
    SyncFolder(folder);
    return {};
}

} // namespace quarnel
