#include "rom/GameDetection.h"

#include "common/Hex.h"
#include "rom/GameTables.h"
#include "rom/RomFile.h"

#include <algorithm>
#include <array>
#include <string>
#include <string_view>

namespace quarnel {

namespace {

constexpr std::string_view kZmTitle = "ZEROMIS";
constexpr std::string_view kMfTitle = "metroid";

// The title as the user can read it: printable ASCII as it stands, other bytes as \xNN.
std::string Printable(std::span<const uint8_t> title) {
    std::string text;
    for (uint8_t byte : title) {
        if (byte >= 0x20 && byte < 0x7F && byte != '"' && byte != '\\') {
            text += static_cast<char>(byte);
        } else {
            text += "\\x" + ToHexWidth(byte, 2);
        }
    }
    return text;
}

} // namespace

Game GameFromTitle(std::span<const uint8_t> title) {
    const auto matches = [&](std::string_view word) {
        return title.size() >= word.size() &&
               std::equal(word.begin(), word.end(), title.begin(),
                          [](char c, uint8_t b) { return static_cast<uint8_t>(c) == b; });
    };
    if (matches(kZmTitle)) {
        return Game::ZM;
    }
    if (matches(kMfTitle)) {
        return Game::MF;
    }
    return Game::None;
}

Result<Game, Error> RecogniseGame(const RomFile& file) {
    if (file.Size() == 0) {
        return Fail(Error{ErrorKind::NotARom, "the file is empty", {}});
    }
    std::array<uint8_t, kTitleLength> title{};
    const size_t got = file.ReadAt(kTitleOffset, title);
    if (got != title.size()) {
        return Fail(Error{ErrorKind::NotARom,
                          "the file has only " + std::to_string(file.Size()) +
                              " bytes, too few to hold the cartridge title at 0xA0",
                          {}});
    }
    const Game game = GameFromTitle(title);
    if (game == Game::None) {
        return Fail(Error{ErrorKind::NotARom,
                          "the cartridge title reads \"" + Printable(title) + "\", not \"" +
                              std::string(kZmTitle) + "\" (Zero Mission) or \"" +
                              std::string(kMfTitle) + "\" (Fusion)",
                          kTitleOffset});
    }
    return game;
}

Result<Game, Error> DetectGame(const std::filesystem::path& path) {
    auto file = RomFile::Open(path, OpenMode::Read);
    if (!file) {
        return Fail(file.error());
    }
    return RecogniseGame(*file);
}

} // namespace quarnel
