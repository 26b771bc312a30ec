#include "storage/KnownBlocks.h"

#include "common/Hex.h"
#include "graphics/Lz77Codec.h"
#include "rom/Catalog.h"
#include "rom/GameTables.h"
#include "rom/LayerCodec.h"
#include "rom/RomFile.h"
#include "rom/RoomHeader.h"
#include "sprites/SpriteLists.h"
#include "storage/SavePlan.h"

#include <algorithm>
#include <tuple>

namespace quarnel {

namespace {

// The games read at most this many entries of a sprite list.
constexpr uint32_t kGameSpriteEntries = 24;

// A layer's stream without zero-length blocks is never longer than this: per pass a type byte,
// a 16-bit count and one literal byte per cell, and the closing count; then the zeros a save
// puts after clipdata.
size_t LongestLayerStream(size_t cells) {
    return 2 + 2 * (1 + 3 * cells + 2) + kClipTrailingZeros;
}

uint32_t LayerExtent(const RomFile& file, uint32_t offset, bool clip) {
    const uint64_t available = file.Size() - offset;
    const size_t cells = size_t{file.ReadU8(offset)} * file.ReadU8(offset + 1);
    if (cells == 0) {
        return 1;
    }
    const auto bytes = file.ReadBlock(
        offset, static_cast<size_t>(std::min<uint64_t>(available, LongestLayerStream(cells))));
    // Both games decode two passes for every layer.
    const auto twoPasses = DecodeStoredLayer(bytes, LayerKind::Level);
    if (!clip) {
        return twoPasses ? static_cast<uint32_t>(twoPasses->storedSize) : 1;
    }
    const auto onePass = DecodeStoredLayer(bytes, LayerKind::Clip);
    if (!onePass) {
        return 1;
    }
    size_t end = onePass->storedSize;
    while (end < bytes.size() && end < onePass->storedSize + kClipTrailingZeros &&
           bytes[end] == 0) {
        ++end;
    }
    if (twoPasses && !twoPasses->warning) {
        end = std::max(end, twoPasses->storedSize);
    }
    return static_cast<uint32_t>(end);
}

uint32_t Lz77Extent(const RomFile& file, uint32_t offset) {
    const uint64_t available = file.Size() - offset;
    std::array<uint8_t, 4> header{};
    file.ReadAt(offset, header);
    if (header[0] != 0x10) {
        return 1;
    }
    const size_t declared = static_cast<size_t>(header[1]) | static_cast<size_t>(header[2]) << 8 |
                            static_cast<size_t>(header[3]) << 16;
    const auto bytes = file.ReadBlock(offset, static_cast<size_t>(std::min<uint64_t>(
                                                  available, Lz77MaxCompressedSize(declared))));
    const auto length = Lz77StreamLength(bytes);
    return length ? static_cast<uint32_t>(*length) : 1;
}

uint32_t SpriteListExtent(const RomFile& file, uint32_t offset) {
    const auto bytes = file.ReadBlock(offset, kSpriteEntriesScanned * SpritePlacement::kSize);
    const size_t entries = std::min<size_t>(kSpriteEntriesScanned,
                                            (file.Size() - offset + SpritePlacement::kSize - 1) /
                                                SpritePlacement::kSize);
    size_t editorEnd = entries;
    size_t gameEnd = std::min<size_t>(entries, kGameSpriteEntries);
    for (size_t i = entries; i-- > 0;) {
        const size_t at = i * SpritePlacement::kSize;
        if (bytes[at + SpritePlacement::kSpriteNumberByte] == kSpriteListEnd) {
            editorEnd = i + 1;
        }
        if (i < kGameSpriteEntries && bytes[at + SpritePlacement::kYByte] == kSpriteListEnd) {
            gameEnd = i + 1;
        }
    }
    return static_cast<uint32_t>(std::max(editorEnd, gameEnd) * SpritePlacement::kSize);
}

bool InsideArea(uint32_t offset, std::span<const StorageArea> areas) {
    return std::any_of(areas.begin(), areas.end(), [offset](const StorageArea& area) {
        return area.Offset > 0 && area.Used >= 0 && area.Used <= area.Length &&
               offset >= static_cast<uint32_t>(area.Offset) &&
               offset - static_cast<uint32_t>(area.Offset) < static_cast<uint32_t>(area.Length);
    });
}

} // namespace

uint32_t StoredExtent(const RomFile& file, uint32_t offset, StoredKind kind, uint32_t rawSize) {
    if (offset >= file.Size()) {
        return 0;
    }
    uint32_t extent = 1;
    switch (kind) {
    case StoredKind::TileLayer:
    case StoredKind::ClipLayer:
        extent = LayerExtent(file, offset, kind == StoredKind::ClipLayer);
        break;
    case StoredKind::Lz77:
        extent = Lz77Extent(file, offset);
        break;
    case StoredKind::SpriteList:
        extent = SpriteListExtent(file, offset);
        break;
    case StoredKind::Raw:
        extent = rawSize;
        break;
    }
    const uint64_t available = file.Size() - offset;
    return static_cast<uint32_t>(std::clamp<uint64_t>(extent, 1, available));
}

KnownBlocks KnownBlocks::Build(const RomFile& file, Game game, std::span<const StorageArea> areas) {
    KnownBlocks known;
    if (LayoutOf(game) == nullptr) {
        return known;
    }
    const Catalog catalog = LoadCatalog(file, game);
    const auto add = [&](uint32_t pointer, StoredKind kind, uint32_t rawSize, std::string what) {
        if (pointer < kGbaRomBase || pointer - kGbaRomBase >= file.Size()) {
            return; // leads nowhere in this file
        }
        known.m_pointers.push_back({pointer - kGbaRomBase, kind, rawSize, std::move(what)});
    };

    for (size_t a = 0; a < catalog.AreaTable.size(); ++a) {
        const uint32_t table = catalog.AreaTable[a];
        const uint32_t count = RoomCount(catalog, static_cast<int>(a)).count;
        if (table < kGbaRomBase || table - kGbaRomBase >= file.Size()) {
            continue;
        }
        const auto headers = file.ReadBlock(table - kGbaRomBase, size_t{count} * kRoomHeaderSize);
        for (uint32_t r = 0; r < count; ++r) {
            const auto header = RoomHeader::FromBytes(
                std::span(headers).subspan(size_t{r} * kRoomHeaderSize).first<RoomHeader::kSize>());
            const std::string room = "room " + ToHex(r) + " of area " + std::to_string(a);
            for (LayerKind kind :
                 {LayerKind::Foreground, LayerKind::Level, LayerKind::Back, LayerKind::Clip}) {
                add(LayerPointer(header, kind),
                    kind == LayerKind::Clip ? StoredKind::ClipLayer : StoredKind::TileLayer, 0,
                    room + " (" + LayerName(kind) + " layer)");
            }
            add(header.BgImagePointer, StoredKind::Lz77, 0, room + " (background image)");
            for (int list = 0; list < 3; ++list) {
                add(SpritePointer(header, list), StoredKind::SpriteList, 0,
                    room + " (sprite list " + std::to_string(list + 1) + ")");
            }
        }
    }
    for (size_t t = 0; t < catalog.TilesetTable.size(); ++t) {
        const TilesetRecord& record = catalog.TilesetTable[t];
        const std::string tileset = "tileset " + ToHex(t);
        add(record.Graphics, StoredKind::Lz77, 0, tileset + " (graphics)");
        add(record.Palette, StoredKind::Raw, 2 * kTilesetPaletteColours, tileset + " (palette)");
        add(record.Third, StoredKind::Lz77, 0, tileset + " (backdrop)");
        add(record.Tsa, StoredKind::Raw, 2 * kBlockTableWords, tileset + " (block table)");
    }
    for (size_t m = 0; m < catalog.MiniMapPointers.size(); ++m) {
        add(catalog.MiniMapPointers[m], StoredKind::Lz77, 0, "minimap " + ToHex(m));
    }

    auto& pointers = known.m_pointers;
    std::stable_sort(
        pointers.begin(), pointers.end(), [](const KnownPointer& a, const KnownPointer& b) {
            return std::tie(a.target, a.kind, a.rawSize) < std::tie(b.target, b.kind, b.rawSize);
        });
    // Each block is decoded once, however many pointers lead to it.
    for (size_t i = 0; i < pointers.size(); ++i) {
        const KnownPointer& p = pointers[i];
        const bool repeat = i > 0 && pointers[i - 1].target == p.target &&
                            pointers[i - 1].kind == p.kind && pointers[i - 1].rawSize == p.rawSize;
        if (!repeat && InsideArea(p.target, areas)) {
            known.m_occupied.Add(
                {p.target, p.target + StoredExtent(file, p.target, p.kind, p.rawSize)});
        }
    }
    return known;
}

const KnownPointer* KnownBlocks::PointerInto(uint32_t begin, uint32_t end) const {
    const auto at = std::lower_bound(
        m_pointers.begin(), m_pointers.end(), begin,
        [](const KnownPointer& pointer, uint32_t offset) { return pointer.target < offset; });
    if (at != m_pointers.end() && at->target < end) {
        return &*at;
    }
    return nullptr;
}

} // namespace quarnel
