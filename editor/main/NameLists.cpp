#include "main/NameLists.h"

#include "common/Hex.h"

#include <fstream>

namespace quarnel {

std::vector<std::string> ReadTextLines(const std::filesystem::path& path, size_t maxLines) {
    std::vector<std::string> lines;
    std::ifstream file(path, std::ios::binary);
    std::string line;
    while (lines.size() < maxLines && std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(std::move(line));
        line.clear();
    }
    return lines;
}

std::filesystem::path ClipNamesFile(Game game, const std::filesystem::path& folder) {
    return folder / (game == Game::MF ? "MFClip.txt" : "ZMClip.txt");
}

std::vector<std::string> ClipAttributeNames(Game game, const std::filesystem::path& clipNamesFile) {
    std::vector<std::string> names;
    if (game == Game::ZM) {
        names = ReadTextLines(clipNamesFile, kNamedClipValues);
    } else if (game == Game::MF) {
        names = ReadTextLines(clipNamesFile, kNamedMfClipValues);
    }
    names.reserve(kByteValues);
    for (size_t value = names.size(); value < kByteValues; ++value) {
        names.push_back(ToHex(value) + " - ????????");
    }
    return names;
}

std::vector<std::string> SpriteSetNames(const std::filesystem::path& spriteSetNamesFile) {
    std::vector<std::string> names = ReadTextLines(spriteSetNamesFile, kNamedSpriteSets);
    names.reserve(kByteValues);
    for (size_t set = names.size(); set < kByteValues; ++set) {
        names.push_back(ToHexWidth(set, 2) + " - Generic");
    }
    return names;
}

} // namespace quarnel
