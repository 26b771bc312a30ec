#include "main/RomOpening.h"

#include "common/Files.h"
#include "common/Hex.h"
#include "doors/DoorData.h"
#include "main/EditorState.h"
#include "rom/GameDetection.h"
#include "rom/GameTables.h"
#include "rom/GbaPointer.h"
#include "rom/RomFile.h"

#include <algorithm>
#include <string>

namespace quarnel {

namespace {

std::string GameName(Game game) {
    return game == Game::ZM ? "Zero Mission" : "Fusion";
}

std::string AreaName(const Catalog& catalog, size_t area) {
    const auto names = AreaNames(catalog.game);
    std::string name = area < names.size() ? std::string(names[area]) : "area";
    return name + " (area " + std::to_string(area) + ")";
}

// A pointer read from a table at `at` that must lead to `bytes` bytes inside the file.
Result<uint32_t, Error> CheckPointer(uint32_t pointer, uint64_t fileSize, uint32_t at,
                                     const std::string& what, uint32_t bytes) {
    auto offset = ResolvePointer(pointer, fileSize, what, std::max<uint32_t>(bytes, 1));
    if (!offset) {
        Error error = offset.error();
        error.offset = at;
        return Fail(error);
    }
    return offset;
}

Result<void, Error> CheckRoomTables(const GameLayout& layout, uint64_t fileSize,
                                    const Catalog& catalog) {
    for (size_t area = 0; area < catalog.AreaTable.size(); ++area) {
        const uint32_t at = layout.areaTable + 4 * static_cast<uint32_t>(area);
        const std::string name = AreaName(catalog, area);
        auto table = CheckPointer(catalog.AreaTable[area], fileSize, at,
                                  "the room table of " + name + ":", 1);
        if (!table) {
            return Fail(table.error());
        }
        const uint32_t rooms = RoomCount(catalog, static_cast<int>(area)).count;
        if (uint64_t{*table} + uint64_t{rooms} * kRoomHeaderSize > fileSize) {
            return Fail(Error{ErrorKind::PointerOutOfRange,
                              "the " + std::to_string(rooms) + " room headers of " + name +
                                  " from 0x" + ToHex(*table) + " run past the end of the file",
                              at});
        }
    }
    return {};
}

Result<void, Error> CheckTilesets(const GameLayout& layout, uint64_t fileSize,
                                  const Catalog& catalog) {
    // ZM's table as read holds two records more than the game has; they lie over its first
    // door table and lead nowhere.
    const size_t real = RealTilesetCount(layout);
    for (size_t t = 0; t < std::min(real, catalog.TilesetTable.size()); ++t) {
        const TilesetRecord& record = catalog.TilesetTable[t];
        const uint32_t at = layout.tilesetTable + static_cast<uint32_t>(t) * kTilesetRecordSize;
        const std::string name = "tileset " + ToHex(t) + " ";
        const struct {
            uint32_t pointer;
            uint32_t field;
            const char* what;
        } fields[] = {{record.Graphics, 0, "graphics"},
                      {record.Palette, 4, "palette"},
                      {record.Tsa, 12, "block table"}};
        for (const auto& field : fields) {
            if (auto checked =
                    CheckPointer(field.pointer, fileSize, at + field.field, name + field.what, 1);
                !checked) {
                return Fail(checked.error());
            }
        }
    }
    return {};
}

Result<void, Error> CheckAnimatedGraphics(const GameLayout& layout, uint64_t fileSize,
                                          const Catalog& catalog) {
    for (size_t i = 0; i < catalog.AnimatedGraphicsTable.size(); ++i) {
        const AnimatedGraphicsRecord& record = catalog.AnimatedGraphicsTable[i];
        if (record.FrameCount == 0) {
            continue; // an unused record: nothing is read through it
        }
        const uint32_t at = layout.animatedGraphicsTable +
                            static_cast<uint32_t>(i) * kAnimatedGraphicsRecordSize + 4;
        if (auto checked = CheckPointer(record.Frames, fileSize, at,
                                        "animated graphics " + ToHex(i) + " frames",
                                        record.FrameCount * kAnimationFrameSize);
            !checked) {
            return Fail(checked.error());
        }
    }
    return {};
}

Result<void, Error> CheckDoorTables(const GameLayout& layout, const RomFile& file,
                                    const Catalog& catalog) {
    if (layout.doorTablePointers == 0) {
        return {};
    }
    for (size_t area = 0; area < layout.areaCount; ++area) {
        DoorState doors;
        if (auto read = LoadAreaDoors(file, catalog, static_cast<int>(area), doors); !read) {
            Error error = read.error();
            if (!error.offset) {
                error.offset = layout.doorTablePointers + 4 * static_cast<uint32_t>(area);
            }
            return Fail(error);
        }
    }
    return {};
}

} // namespace

uint64_t TablesEnd(Game game) {
    const GameLayout* layout = LayoutOf(game);
    if (layout == nullptr) {
        return 0;
    }
    uint64_t end = uint64_t{layout->areaTable} + 4 * uint64_t{layout->areaCount};
    if (layout->doorTablePointers != 0) {
        end = std::max(end, uint64_t{layout->doorTablePointers} + 4 * uint64_t{layout->areaCount});
    }
    end = std::max(end, uint64_t{layout->tilesetTable} +
                            uint64_t{layout->tilesetCount} * kTilesetRecordSize);
    end = std::max(end, uint64_t{layout->animatedGraphicsTable} +
                            uint64_t{kAnimSlotCount} * kAnimatedGraphicsRecordSize);
    if (layout->miniMapPointers != 0) {
        end = std::max(end, uint64_t{layout->miniMapPointers} + 4 * uint64_t{layout->miniMapCount});
    }
    return end;
}

Result<void, Error> CheckCatalog(const RomFile& file, const Catalog& catalog) {
    const GameLayout* layout = LayoutOf(catalog.game);
    if (layout == nullptr) {
        return Fail(Error{ErrorKind::NotARom, "the file holds neither game", {}});
    }
    const uint64_t size = file.Size();
    if (auto rooms = CheckRoomTables(*layout, size, catalog); !rooms) {
        return rooms;
    }
    if (auto tilesets = CheckTilesets(*layout, size, catalog); !tilesets) {
        return tilesets;
    }
    if (auto animated = CheckAnimatedGraphics(*layout, size, catalog); !animated) {
        return animated;
    }
    return CheckDoorTables(*layout, file, catalog);
}

Result<Catalog, Error> ReadRomTables(const std::filesystem::path& path) {
    auto file = RomFile::Open(path, OpenMode::Read);
    if (!file) {
        return Fail(file.error());
    }
    auto game = RecogniseGame(*file);
    if (!game) {
        return Fail(game.error());
    }
    const uint64_t needed = TablesEnd(*game);
    if (file->Size() < needed) {
        return Fail(Error{ErrorKind::RomTooSmall,
                          "a " + GameName(*game) + " ROM needs at least 0x" + ToHex(needed) +
                              " bytes; this file has 0x" + ToHex(file->Size()),
                          {}});
    }
    Catalog catalog = LoadCatalog(*file, *game);
    if (auto checked = CheckCatalog(*file, catalog); !checked) {
        return Fail(checked.error());
    }
    return catalog;
}

} // namespace quarnel

namespace quarnel {

namespace {

// A cartridge holds at most 32 MiB; twice that leaves room for grown images and still keeps a
// wrong file from filling memory.
constexpr uint64_t kMaxRomCopyBytes = uint64_t{64} << 20;

} // namespace

Result<void, Error> SaveRomAs(EditorState& state, const std::filesystem::path& target) {
    if (!state.RomOpened) {
        return Fail(Error{ErrorKind::BadArgument, "no ROM is open", std::nullopt});
    }
    if (target.empty() || SameFile(state.RomPath, target)) {
        return Fail(Error{ErrorKind::BadArgument,
                          "the copy must go to another file than " + state.RomPath.string(),
                          std::nullopt});
    }
    auto bytes = ReadWholeFile(state.RomPath, kMaxRomCopyBytes);
    if (!bytes) {
        return Fail(bytes.error());
    }
    if (auto written = WriteFileAtomically(target, *bytes); !written) {
        return Fail(written.error());
    }
    state.RomPath = target;
    return {};
}

std::vector<std::string> WithRecentRom(std::vector<std::string> recent, const std::string& path) {
    std::erase(recent, path);
    recent.insert(recent.begin(), path);
    if (recent.size() > kRecentRoms) {
        recent.resize(kRecentRoms);
    }
    return recent;
}

} // namespace quarnel
