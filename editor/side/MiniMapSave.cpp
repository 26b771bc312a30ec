#include "side/MiniMapSave.h"

#include "common/ByteOrder.h"
#include "common/Hex.h"
#include "graphics/Lz77Codec.h"
#include "rom/Catalog.h"
#include "rom/GbaPointer.h"
#include "rom/RomFile.h"
#include "storage/Storage.h"

#include <array>

namespace quarnel {

namespace {

constexpr uint32_t kAlignment = 4;

std::vector<uint8_t> PointerBytes(uint32_t pointer) {
    std::vector<uint8_t> bytes(4);
    StoreLe32(bytes, 0, pointer);
    return bytes;
}

} // namespace

Result<MiniMapSaveOutcome, Error> SaveMiniMap(const std::filesystem::path& romPath,
                                              Catalog& catalog, const MiniMap& map,
                                              RomWriteServices& services) {
    if (catalog.game != Game::ZM) {
        return Fail(Error{ErrorKind::BadArgument, "Metroid Fusion is not supported", {}});
    }
    if (map.area < 0 || map.area >= kMiniMapAreaCount ||
        static_cast<size_t>(map.area) >= catalog.MiniMapPointers.size()) {
        return Fail(Error{ErrorKind::BadArgument,
                          "minimap " + std::to_string(map.area) + " is not in the pointer table",
                          {}});
    }
    if (auto loaded = services.storage.LoadStorage(); !loaded) {
        return Fail(loaded.error());
    }
    const auto stream = CompressLZ77(MiniMapBytes(map.entries));
    const std::string name = "minimap " + std::string(kMiniMapAreaNames[map.area]);

    RomWriteJob job;
    job.romPath = romPath;
    job.game = catalog.game;
    job.what = "the minimap";
    {
        auto file = RomFile::Open(romPath, OpenMode::Read);
        if (!file) {
            return Fail(file.error());
        }
        const auto rounded =
            static_cast<int32_t>((stream.size() + kAlignment - 1) / kAlignment * kAlignment);
        job.blocks.push_back({stream, rounded + static_cast<int32_t>(kAlignment - 1), name, 0});
        if (auto placed = PlaceBlocks(services.storage, job.game, *file, job.blocks); !placed) {
            return Fail(placed.error());
        }
        // The block begins with the blank bytes it skips to reach a 4-byte boundary, written
        // back as they are.
        NewBlock& block = job.blocks.front();
        const uint32_t skip = (kAlignment - block.offset % kAlignment) % kAlignment;
        const auto blank = file->ReadBlock(block.offset, skip);
        block.bytes.insert(block.bytes.begin(), blank.begin(), blank.end());

        const uint32_t entry = kZmLayout.miniMapPointers + 4 * static_cast<uint32_t>(map.area);
        const uint32_t oldPointer = catalog.MiniMapPointers[static_cast<size_t>(map.area)];
        job.inPlace.push_back({entry, PointerBytes(oldPointer),
                               PointerBytes(PointerFromOffset(block.offset + skip)),
                               "the pointer to " + name});
        // Once the new stream reads back, the old one goes back to the free space, unless it
        // is the games' own data or something else still leads to it.
        if (oldPointer >= kGbaRomBase && oldPointer - kGbaRomBase < file->Size()) {
            job.superseded.push_back(
                {oldPointer - kGbaRomBase, StoredKind::Lz77, 0, "the old " + name});
        }
    }
    auto committed = CommitRomWrites(job, services);
    if (!committed) {
        return Fail(committed.error());
    }
    const NewBlock& block = job.blocks.front();
    const uint32_t offset =
        block.offset + static_cast<uint32_t>(block.bytes.size() - stream.size());
    catalog.MiniMapPointers[static_cast<size_t>(map.area)] = PointerFromOffset(offset);
    return MiniMapSaveOutcome{offset,
                              static_cast<uint32_t>(stream.size()),
                              committed->backup,
                              committed->notes,
                              committed->differences,
                              committed->givenBack};
}

std::string MiniMapSavedText(const MiniMap& map, const MiniMapSaveOutcome& outcome) {
    std::string text = "Minimap " + std::string(kMiniMapAreaNames[map.area]) + " saved at 0x" +
                       ToHex(outcome.offset) + " (" + std::to_string(outcome.length) + " bytes).";
    if (outcome.backup) {
        text += " Backup: " + outcome.backup->string();
    }
    return text;
}

} // namespace quarnel
