#include "storage/StorageMap.h"

#include "rom/RomFile.h"
#include "rom/RomView.h"
#include "storage/BlankSpace.h"
#include "storage/KnownBlocks.h"

#include <algorithm>

namespace quarnel {

std::vector<AreaUsage> MapStorage(const StorageTable& table, Game game, const RomFile& file) {
    const auto areas = UsableAreas(table, game);
    const KnownBlocks known = KnownBlocks::Build(file, game, areas);
    const RomFileView view(file);
    std::vector<AreaUsage> usage;
    for (size_t i = 0; i < areas.size(); ++i) {
        const StorageArea& area = areas[i];
        const int64_t length = std::max(area.Length, 0);
        const int64_t handedOut = std::clamp<int64_t>(area.Used, 0, length);
        AreaUsage entry;
        entry.index = i;
        entry.area = area;
        entry.givenBack =
            std::min<uint32_t>(BlankBytesHandedOut(area, game, view, known.Occupied()),
                               static_cast<uint32_t>(handedOut));
        entry.inUse = static_cast<uint32_t>(handedOut) - entry.givenBack;
        entry.neverUsed = static_cast<uint32_t>(length - handedOut);
        usage.push_back(entry);
    }
    return usage;
}

Result<std::vector<AreaUsage>, Error> MapStorage(const StorageTable& table, Game game,
                                                 const std::filesystem::path& path) {
    auto file = RomFile::Open(path, OpenMode::Read);
    if (!file) {
        return Fail(file.error());
    }
    return MapStorage(table, game, *file);
}

std::string AreaUsageLine(Game game, const AreaUsage& usage) {
    return std::string(GameCodeText(game)) + " area " + std::to_string(usage.index) + ": " +
           std::to_string(usage.inUse) + " bytes in use, " + std::to_string(usage.givenBack) +
           " given back, " + std::to_string(usage.neverUsed) + " never used";
}

} // namespace quarnel
