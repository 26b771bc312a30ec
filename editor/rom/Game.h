#pragma once
// Which game a ROM holds. Every game-dependent step asks ZM first and MF second and does
// nothing for None.

#include <string_view>

namespace quarnel {

enum class Game { None, ZM, MF };

// "ZM", "MF" or "" for None.
constexpr std::string_view GameCodeText(Game game) {
    switch (game) {
    case Game::ZM:
        return "ZM";
    case Game::MF:
        return "MF";
    case Game::None:
        break;
    }
    return "";
}

} // namespace quarnel
