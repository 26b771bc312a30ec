#include "dumps/Dumps.h"

#include "common/ByteOrder.h"
#include "common/Files.h"
#include "common/Hex.h"
#include "common/Rounding.h"
#include "dumps/RoomDump.h"
#include "rom/GameTables.h"
#include "rom/GbaPointer.h"
#include "rom/RomFile.h"

#include <algorithm>
#include <array>
#include <system_error>

namespace quarnel {

namespace {

constexpr const char* kLineEnd = "\r\n";

Result<void, Error> MakeFolder(const std::filesystem::path& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        return Fail(
            Error{ErrorKind::FileWrite,
                  folder.string() + ": the folder cannot be created (" + error.message() + ")",
                  {}});
    }
    return {};
}

Result<void, Error> WriteLines(const std::filesystem::path& path,
                               std::span<const std::string> lines) {
    const std::string text = DumpText(lines);
    return WriteFileAtomically(
        path, std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

// Runs `write(i)` for i = 0 to total - 1 with progress reports between files.
template <class WriteOne>
Result<DumpOutcome, Error> EachFile(size_t total, const DumpProgress& progress, DumpOutcome outcome,
                                    WriteOne write) {
    for (size_t i = 0; i < total; ++i) {
        if (progress && !progress(i, total)) {
            outcome.cancelled = true;
            return outcome;
        }
        auto written = write(i, outcome);
        if (!written) {
            return Fail(written.error());
        }
    }
    if (progress) {
        progress(total, total);
    }
    return outcome;
}

} // namespace

int DumpRoomCount(const Catalog& catalog, int area) {
    const GameLayout* layout = LayoutOf(catalog.game);
    if (layout == nullptr || area < 0 || static_cast<size_t>(area) >= catalog.AreaTable.size()) {
        return 0;
    }
    const auto next = static_cast<size_t>(area) + 1;
    if (next == catalog.AreaTable.size()) {
        return layout->fallbackRoomCount;
    }
    const int64_t distance = static_cast<int64_t>(catalog.AreaTable[next]) -
                             static_cast<int64_t>(catalog.AreaTable[next - 1]);
    // Nearest whole number of headers, halves to the even one.
    const int64_t quotient = RoundHalfEven(distance, kRoomHeaderSize);
    if (quotient < 0 || quotient > 255) {
        return RoomCount(catalog, area).count;
    }
    return static_cast<int>(quotient);
}

std::string DumpText(std::span<const std::string> lines) {
    std::string text;
    for (const auto& line : lines) {
        text += line;
        text += kLineEnd;
    }
    return text;
}

std::vector<std::string> TilesetDumpLines(std::span<const uint16_t> blockTable) {
    std::vector<std::string> lines;
    lines.reserve(blockTable.size() + 1);
    lines.push_back("Group: " + ToHex(blockTable.empty() ? 0 : blockTable[0]));
    lines.emplace_back("Start TSA Block Dump:");
    for (size_t i = 1; i < blockTable.size(); ++i) {
        lines.push_back(ToHex(blockTable[i]));
    }
    return lines;
}

std::vector<std::string> TilesetPointerDumpLines(const TilesetRecord& record) {
    return {"Tiles: " + ToHex(record.Graphics), "Palette: " + ToHex(record.Palette),
            "Background: " + ToHex(record.Third), "Main: " + ToHex(record.Tsa),
            "Special Effect: " + ToHex(record.Animation)};
}

std::filesystem::path DumpFolder(const std::filesystem::path& root, Game game, DumpKind kind) {
    const auto base = root / "Header" / std::string(GameCodeText(game));
    switch (kind) {
    case DumpKind::Rooms:
        return base / "Room";
    case DumpKind::Tilesets:
        return base / "Tilesets" / "Tileset";
    case DumpKind::TilesetPointers:
        return base / "Tilesets" / "Tileset_Pointer_List";
    }
    return base;
}

Result<DumpOutcome, Error> DumpRooms(const RomFile& file, const Catalog& catalog,
                                     const std::filesystem::path& root,
                                     const DumpProgress& progress) {
    struct Room {
        int area;
        int room;
    };
    std::vector<Room> rooms;
    for (int area = 0; area < static_cast<int>(catalog.AreaTable.size()); ++area) {
        for (int room = 0; room < DumpRoomCount(catalog, area); ++room) {
            rooms.push_back({area, room});
        }
    }
    const auto folder = DumpFolder(root, catalog.game, DumpKind::Rooms);
    int madeArea = -1;
    return EachFile(
        rooms.size(), progress, {}, [&](size_t i, DumpOutcome& outcome) -> Result<void, Error> {
            const auto [area, room] = rooms[i];
            const auto areaFolder = folder / ("Area" + std::to_string(area));
            if (area != madeArea) {
                if (auto made = MakeFolder(areaFolder); !made) {
                    return made;
                }
                madeArea = area;
            }
            const auto path = areaFolder / ("Room" + ToHex(uint32_t(room)) + ".txt");
            auto offset = RoomTableEntryOffset(catalog, area, room, file.Size());
            if (!offset) {
                return Fail(Error{
                    ErrorKind::FileRead, path.string() + ": " + Describe(offset.error()), {}});
            }
            std::array<uint8_t, RoomHeader::kSize> header{};
            file.ReadAt(*offset, header);
            const auto lines = RoomDumpLines(RoomHeader::FromBytes(header), *offset);
            if (auto written = WriteLines(path, lines); !written) {
                return written;
            }
            ++outcome.files;
            return {};
        });
}

Result<DumpOutcome, Error> DumpTilesets(const RomFile& file, const Catalog& catalog,
                                        const std::filesystem::path& root,
                                        const DumpProgress& progress) {
    const auto folder = DumpFolder(root, catalog.game, DumpKind::Tilesets);
    if (auto made = MakeFolder(folder); !made) {
        return Fail(made.error());
    }
    std::vector<uint8_t> bytes(2 * size_t{kBlockTableWords});
    std::vector<uint16_t> words(kBlockTableWords);
    return EachFile(
        catalog.TilesetTable.size(), progress, {},
        [&](size_t t, DumpOutcome& outcome) -> Result<void, Error> {
            const std::string name = "Tileset" + ToHex(t) + ".txt";
            const uint32_t pointer = catalog.TilesetTable[t].Tsa;
            if (pointer < kGbaRomBase || pointer - kGbaRomBase >= file.Size()) {
                outcome.skipped.push_back(name + ": the block table pointer 0x" + ToHex(pointer) +
                                          " leads outside the file; no file written");
                return {};
            }
            std::fill(bytes.begin(), bytes.end(), uint8_t{0});
            file.ReadAt(pointer - kGbaRomBase, bytes);
            for (size_t i = 0; i < words.size(); ++i) {
                words[i] = LoadLe16(bytes, 2 * i);
            }
            if (auto written = WriteLines(folder / name, TilesetDumpLines(words)); !written) {
                return written;
            }
            ++outcome.files;
            return {};
        });
}

Result<DumpOutcome, Error> DumpTilesetPointers(const Catalog& catalog,
                                               const std::filesystem::path& root,
                                               const DumpProgress& progress) {
    const auto folder = DumpFolder(root, catalog.game, DumpKind::TilesetPointers);
    if (auto made = MakeFolder(folder); !made) {
        return Fail(made.error());
    }
    return EachFile(catalog.TilesetTable.size(), progress, {},
                    [&](size_t t, DumpOutcome& outcome) -> Result<void, Error> {
                        const auto path = folder / ("Tileset" + ToHex(t) + ".txt");
                        if (auto written =
                                WriteLines(path, TilesetPointerDumpLines(catalog.TilesetTable[t]));
                            !written) {
                            return written;
                        }
                        ++outcome.files;
                        return {};
                    });
}

} // namespace quarnel
