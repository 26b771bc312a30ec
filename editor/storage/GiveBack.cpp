#include "storage/GiveBack.h"

#include "common/Hex.h"
#include "rom/RomFile.h"
#include "storage/BlankSpace.h"
#include "storage/RomWriter.h"

#include <algorithm>
#include <set>

namespace quarnel {

namespace {

constexpr uint8_t kBlank = 0xFF;

bool WhollyInside(uint32_t begin, uint32_t end, const StorageArea& area) {
    if (area.Offset <= 0 || area.Length <= 0) {
        return false;
    }
    const int64_t first = area.Offset;
    const int64_t last = first + area.Length;
    return begin >= first && end <= last;
}

bool AllBlank(const std::vector<uint8_t>& bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](uint8_t byte) { return byte == kBlank; });
}

// Why the block [begin, end) may not be given back; nothing when it may.
std::optional<std::string> Refusal(uint32_t begin, uint32_t end, Game game,
                                   std::span<const StorageArea> areas, const KnownBlocks& known) {
    if (!std::any_of(areas.begin(), areas.end(),
                     [&](const StorageArea& area) { return WhollyInside(begin, end, area); })) {
        return std::string("it does not lie wholly inside a free-space area");
    }
    for (const RomRange& never : NeverWrittenRanges(game)) {
        if (begin < never.end && never.begin < end) {
            return std::string("it reaches into data that is never written");
        }
    }
    if (const KnownPointer* pointer = known.PointerInto(begin, end)) {
        return "it is still used by " + pointer->what;
    }
    if (known.Occupied().Overlaps(begin, end)) {
        return std::string("it overlaps data that is still used");
    }
    return std::nullopt;
}

} // namespace

uint64_t GiveBackOutcome::BytesGiven() const {
    uint64_t total = 0;
    for (const GivenBackBlock& block : given) {
        total += block.size;
    }
    return total;
}

GiveBackOutcome GiveBackBlocks(const RomFile& file, RomWriter& writer, Game game,
                               const StorageTable& table, std::span<const SupersededBlock> blocks) {
    GiveBackOutcome outcome;
    if (blocks.empty()) {
        return outcome;
    }
    const auto areas = UsableAreas(table, game);
    const KnownBlocks known = KnownBlocks::Build(file, game, areas);
    std::set<uint32_t> seen;
    for (const SupersededBlock& block : blocks) {
        if (!seen.insert(block.offset).second) {
            continue;
        }
        const uint32_t size = StoredExtent(file, block.offset, block.kind, block.rawSize);
        if (size == 0) {
            outcome.kept.push_back({block.offset, block.what, "it lies outside the file"});
            continue;
        }
        const uint32_t end = block.offset + size;
        if (auto refusal = Refusal(block.offset, end, game, areas, known)) {
            outcome.kept.push_back({block.offset, block.what, *refusal});
            continue;
        }
        const auto old = file.ReadBlock(block.offset, size);
        const std::vector<uint8_t> blank(size, kBlank);
        if (auto written = writer.WriteAt(block.offset, blank); !written) {
            // Put the block back as it was; nothing points into it, so even a block left
            // partly blank harms nothing.
            const bool restored = writer.WriteAt(block.offset, old).has_value();
            outcome.problem = "giving back " + block.what + " at 0x" + ToHex(block.offset) +
                              " failed (" + Describe(written.error()) + "); the block was " +
                              (restored ? "left as it was" : "left partly blank");
            (void)writer.Flush();
            return outcome;
        }
        outcome.given.push_back({block.offset, size, block.what});
    }
    if (auto flushed = writer.Flush(); !flushed) {
        outcome.problem = "the free space given back could not be flushed to the disk (" +
                          Describe(flushed.error()) + ")";
    }
    // Only what reads back blank counts as given back.
    std::erase_if(outcome.given, [&](const GivenBackBlock& block) {
        if (AllBlank(file.ReadBlock(block.offset, block.size))) {
            return false;
        }
        outcome.problem = block.what + " at 0x" + ToHex(block.offset) +
                          " does not read back blank after it was given back";
        return true;
    });
    return outcome;
}

std::optional<std::string> GiveBackSummary(const GiveBackOutcome& outcome) {
    const uint64_t bytes = outcome.BytesGiven();
    if (bytes == 0) {
        return std::nullopt;
    }
    return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes") + " of free space given back.";
}

} // namespace quarnel
