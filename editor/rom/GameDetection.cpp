#include "rom/GameDetection.h"

#include "rom/GameTables.h"
#include "rom/RomFile.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace quarnel {

Game GameFromTitle(std::span<const uint8_t> title) {
    const auto matches = [&](std::string_view word) {
        return title.size() >= word.size() &&
               std::equal(word.begin(), word.end(), title.begin(),
                          [](char c, uint8_t b) { return static_cast<uint8_t>(c) == b; });
    };
    if (matches("ZEROMIS")) {
        return Game::ZM;
    }
    if (matches("metroid")) {
        return Game::MF;
    }
    return Game::None;
}

Result<Game, Error> DetectGame(const std::filesystem::path& path) {
    auto file = RomFile::Open(path, OpenMode::Read);
    if (!file) {
        return Fail(file.error());
    }
    std::array<uint8_t, kTitleLength> title{};
    const size_t got = file->ReadAt(kTitleOffset, title);
    const Game game = got == title.size() ? GameFromTitle(title) : Game::None;
    if (game == Game::None) {
        return Fail(Error{ErrorKind::NotARom, path.string(), {}});
    }
    return game;
}

} // namespace quarnel
