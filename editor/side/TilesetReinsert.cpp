#include "side/TilesetReinsert.h"

#include "common/Hex.h"
#include "graphics/Lz77Codec.h"
#include "rom/GameTables.h"
#include "rom/RomFile.h"
#include "storage/Storage.h"

#include <algorithm>
#include <array>

namespace quarnel {

namespace {

constexpr int kZmOwnCommonTilesArea = 6;
constexpr uint32_t kStreamAlignment = 4;

std::string Bytes(size_t count) {
    return std::to_string(count) + (count == 1 ? " byte" : " bytes");
}

std::span<const uint8_t> Region(const TileGraphics& tiles, size_t at, size_t size) {
    return std::span(tiles).subspan(at, size);
}

// Adds an in-place write of `bytes` at `offset` when the file holds something else there.
// Ranges outside the file are left out with a note.
void RewriteIfChanged(const RomFile& file, uint64_t offset, std::span<const uint8_t> bytes,
                      const std::string& what, ReinsertPlan& plan) {
    if (offset + bytes.size() > file.Size() || offset > UINT32_MAX) {
        plan.notes.push_back("The " + what + " lie outside the ROM file; they were not written.");
        return;
    }
    auto current = file.ReadBlock(offset, bytes.size());
    if (std::equal(current.begin(), current.end(), bytes.begin(), bytes.end())) {
        return;
    }
    for (const InPlaceWrite& earlier : plan.job.inPlace) {
        if (earlier.offset == offset) {
            // Two slots showing the same frames: the first one's tiles are written.
            return;
        }
    }
    plan.job.inPlace.push_back(
        {static_cast<uint32_t>(offset), std::move(current), {bytes.begin(), bytes.end()}, what});
    plan.written.push_back(what + ": " + Bytes(bytes.size()) + " at 0x" + ToHex(offset));
}

void PlanAnimatedSlots(const RomFile& file, const GameLayout& layout, const EditorState& state,
                       uint8_t animated, ReinsertPlan& plan) {
    std::array<uint8_t, kAnimatedTilesetRecordSize> triples{};
    file.ReadAt(layout.animatedTilesetTable + uint64_t{kAnimatedTilesetRecordSize} * animated,
                triples);
    for (size_t s = 0; s < kAnimSlotCount && triples[3 * s] != 0; ++s) {
        const AnimSlot& slot = state.Graphics.Slots[s];
        const std::string what = "animated tiles of slot " + std::to_string(s);
        if (slot.Record.Frames < kGbaRomBase) {
            plan.notes.push_back("The " + what +
                                 " have no frames in the ROM; they were not "
                                 "written.");
            continue;
        }
        const uint64_t offset =
            uint64_t{slot.Record.Frames - kGbaRomBase} + uint64_t{kAnimSlotBytes} * slot.Counter;
        RewriteIfChanged(file, offset,
                         Region(state.Graphics.Tiles, kAnimSlotBytes * s, kAnimSlotBytes), what,
                         plan);
    }
}

// The stream a tileset record points at, as far as it can be read.
struct OldStream {
    bool usable = false;          // its declared size is one the editor keeps
    std::vector<uint8_t> decoded; // its declared size in bytes
    std::optional<size_t> length; // bytes it takes in the ROM, when it ends inside the file
};

OldStream ReadOldStream(const RomFile& file, uint32_t pointer) {
    OldStream old;
    if (pointer < kGbaRomBase || pointer - kGbaRomBase >= file.Size()) {
        return old;
    }
    const uint64_t offset = pointer - kGbaRomBase;
    const uint32_t declared = file.ReadU32(offset) >> 8;
    if (declared == 0 || declared > kLargestTilesetGraphics) {
        return old;
    }
    const size_t window = static_cast<size_t>(
        std::min<uint64_t>(file.Size() - offset, Lz77MaxCompressedSize(declared)));
    const auto stream = file.ReadBlock(offset, window);
    old.usable = true;
    old.length = Lz77StreamLength(stream);
    old.decoded.assign(declared, 0);
    DecompressLZ77(stream, old.decoded);
    return old;
}

// What the new stream holds: the editor's tiles, then the old stream's bytes beyond them.
std::vector<uint8_t> NewGraphics(const TileGraphics& tiles, const OldStream& old,
                                 std::vector<std::string>& notes) {
    const auto shown = Region(tiles, kTilesetTilesAt, kTilesetTilesBytes);
    if (!old.usable) {
        return {shown.begin(), shown.end()};
    }
    std::vector<uint8_t> graphics = old.decoded;
    const size_t kept = std::min(graphics.size(), shown.size());
    std::copy_n(shown.begin(), kept, graphics.begin());
    // Tiles drawn beyond a shorter old end would be lost: the stream grows to hold them.
    const auto last = std::find_if(shown.rbegin(), shown.rend(), [](uint8_t b) { return b != 0; });
    const size_t used = static_cast<size_t>(shown.rend() - last);
    if (used > graphics.size()) {
        const size_t grown = (used + kTileBytes - 1) / kTileBytes * kTileBytes;
        notes.push_back("The tileset's graphics grow from " + Bytes(graphics.size()) + " to " +
                        Bytes(grown) + " to hold tiles drawn beyond their old end.");
        graphics.insert(graphics.end(), shown.begin() + static_cast<std::ptrdiff_t>(kept),
                        shown.begin() + static_cast<std::ptrdiff_t>(grown));
    }
    return graphics;
}

std::vector<uint8_t> PointerBytes(uint32_t pointer) {
    return {static_cast<uint8_t>(pointer), static_cast<uint8_t>(pointer >> 8),
            static_cast<uint8_t>(pointer >> 16), static_cast<uint8_t>(pointer >> 24)};
}

// Places the stream in free space on a 4-byte boundary: the block reserves 3 bytes more
// than the stream and starts with the filler that brings the stream to the boundary.
Result<uint32_t, Error> PlanNewStream(const RomFile& file, const StorageSystem& storage, Game game,
                                      const std::vector<uint8_t>& stream, int tileset,
                                      ReinsertPlan& plan) {
    const auto reserved = static_cast<int32_t>(stream.size() + kStreamAlignment - 1);
    plan.job.blocks.push_back(
        {stream, reserved, "the graphics of tileset " + std::to_string(tileset), 0});
    if (auto placed = PlaceBlocks(storage, game, file, plan.job.blocks); !placed) {
        return Fail(placed.error());
    }
    NewBlock& block = plan.job.blocks.back();
    const uint32_t filler = (kStreamAlignment - block.offset % kStreamAlignment) % kStreamAlignment;
    // The filler keeps the blank space's own value (0xFF or 0x00).
    block.bytes.insert(block.bytes.begin(), filler, file.ReadU8(block.offset));
    const uint32_t offset = block.offset + filler;
    plan.written.push_back("graphics of tileset " + std::to_string(tileset) + ": " +
                           Bytes(stream.size()) + " at 0x" + ToHex(offset) + " (free space)");
    return offset;
}

} // namespace

Result<ReinsertPlan, Error> PlanReinsertTileset(const EditorState& state,
                                                const StorageSystem& storage) {
    const GameLayout* layout = LayoutOf(state.GameCode);
    if (!state.RomOpened || layout == nullptr || state.Graphics.Number < 0) {
        return Fail(Error{ErrorKind::BadArgument, "no tileset is loaded", std::nullopt});
    }
    const auto number = static_cast<size_t>(state.Graphics.Number);
    if (number >= state.Tables.TilesetTable.size() ||
        number >= state.Tables.TilesetTableAsRead.size()) {
        return Fail(Error{ErrorKind::BadTileset,
                          "tileset " + std::to_string(number) + " is beyond the table",
                          std::nullopt});
    }
    if (number >= RealTilesetCount(*layout)) {
        return Fail(Error{ErrorKind::BadTileset, NotARealTileset(*layout, number), std::nullopt});
    }
    auto file = RomFile::Open(state.RomPath, OpenMode::Read);
    if (!file) {
        return Fail(file.error());
    }
    ReinsertPlan plan;
    plan.tileset = state.Graphics.Number;
    plan.job.romPath = state.RomPath;
    plan.job.game = state.GameCode;
    const TilesetRecord& record = state.Tables.TilesetTable[number];

    PlanAnimatedSlots(*file, *layout, state, record.AnimatedTileset(), plan);
    const bool ownCommon = state.GameCode == Game::ZM && state.Area == kZmOwnCommonTilesArea;
    RewriteIfChanged(*file, ownCommon ? layout->commonTilesLastArea : layout->commonTiles,
                     Region(state.Graphics.Tiles, kCommonTilesAt, kCommonTilesBytes),
                     "common tiles", plan);

    const OldStream old = ReadOldStream(*file, record.Graphics);
    plan.graphics = NewGraphics(state.Graphics.Tiles, old, plan.notes);
    if (old.usable && old.length && plan.graphics == old.decoded) {
        return plan; // the stream already holds these tiles
    }
    auto stream = CompressLZ77(plan.graphics);
    const std::string what = "graphics of tileset " + std::to_string(number);
    if (state.GameCode == Game::MF && old.length && stream.size() <= *old.length) {
        const uint32_t offset = record.Graphics - kGbaRomBase;
        plan.job.inPlace.push_back(
            {offset, file->ReadBlock(offset, stream.size()), stream, what + " (in place)"});
        plan.written.push_back(what + ": " + Bytes(stream.size()) + " at 0x" + ToHex(offset) +
                               " (in place of the old " + Bytes(*old.length) + ")");
        plan.streamPointer = record.Graphics;
        return plan;
    }
    auto offset = PlanNewStream(*file, storage, state.GameCode, stream, plan.tileset, plan);
    if (!offset) {
        return Fail(offset.error());
    }
    plan.streamPointer = *offset + kGbaRomBase;
    plan.streamMoved = true;
    // Once the new stream reads back, the old one goes back to the free space, unless it is
    // the games' own data or another tileset record still leads to it.
    if (record.Graphics >= kGbaRomBase && record.Graphics - kGbaRomBase < file->Size()) {
        plan.job.superseded.push_back(
            {record.Graphics - kGbaRomBase, StoredKind::Lz77, 0, "the old " + what});
    }
    const uint32_t entry =
        layout->tilesetTable + static_cast<uint32_t>(number) * kTilesetRecordSize;
    const auto read = state.Tables.TilesetTableAsRead[number].ToBytes();
    std::vector<uint8_t> bytes(read.begin(), read.end());
    const auto pointer = PointerBytes(*plan.streamPointer);
    std::copy(pointer.begin(), pointer.end(), bytes.begin());
    plan.job.inPlace.push_back(
        {entry, {read.begin(), read.end()}, bytes, "tileset record " + std::to_string(number)});
    plan.written.push_back("tileset record " + std::to_string(number) + " at 0x" + ToHex(entry) +
                           ": graphics pointer 0x" + ToHex(*plan.streamPointer));
    return plan;
}

Result<ReinsertOutcome, Error> ReinsertTileset(EditorState& state, RomWriteServices& services) {
    if (auto loaded = services.storage.LoadStorage(); !loaded) {
        return Fail(loaded.error());
    }
    auto plan = PlanReinsertTileset(state, services.storage);
    if (!plan) {
        return Fail(plan.error());
    }
    ReinsertOutcome outcome;
    outcome.notes = plan->notes;
    auto committed = CommitRomWrites(plan->job, services);
    if (!committed) {
        return Fail(committed.error());
    }
    outcome.backup = committed->backup;
    outcome.written = plan->written;
    outcome.givenBack = committed->givenBack;
    outcome.notes.insert(outcome.notes.end(), committed->notes.begin(), committed->notes.end());

    const auto number = static_cast<size_t>(plan->tileset);
    if (plan->streamMoved) {
        state.Tables.TilesetTable[number].Graphics = *plan->streamPointer;
        state.Tables.TilesetTableAsRead[number].Graphics = *plan->streamPointer;
    }
    DrawTileset(state.Graphics);
    if (plan->streamPointer) {
        auto file = RomFile::Open(state.RomPath, OpenMode::Read);
        const OldStream stored = file ? ReadOldStream(*file, *plan->streamPointer) : OldStream{};
        if (!stored.length || stored.decoded != plan->graphics) {
            return Fail(Error{ErrorKind::VerifyMismatch,
                              "the graphics of tileset " + std::to_string(number) +
                                  " were written, but the stream at 0x" +
                                  ToHex(*plan->streamPointer - kGbaRomBase) +
                                  " does not decode to those tiles",
                              std::nullopt});
        }
    }
    return outcome;
}

} // namespace quarnel
