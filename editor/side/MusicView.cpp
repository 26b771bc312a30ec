#include "side/MusicView.h"

#include "common/ByteOrder.h"
#include "common/Hex.h"
#include "rom/GameTables.h"
#include "rom/RomFile.h"

#include <optional>

namespace quarnel {

namespace {

// Reads `size` (1, 2 or 4) bytes at `offset` as a little-endian value when they all lie inside
// the file.
std::optional<uint32_t> ReadValue(const RomFile& file, std::optional<uint64_t> offset,
                                  size_t size) {
    if (!offset || *offset + size > file.Size()) {
        return std::nullopt;
    }
    std::array<uint8_t, 4> bytes{};
    file.ReadAt(*offset, std::span(bytes).first(size));
    return LoadLe32(bytes, 0);
}

// The ROM offset a GbaPointer names, if it lies at or above the ROM's start.
std::optional<uint64_t> OffsetOf(std::optional<uint32_t> pointer) {
    if (!pointer || *pointer < kGbaRomBase) {
        return std::nullopt;
    }
    return uint64_t{*pointer - kGbaRomBase};
}

std::optional<uint64_t> Plus(std::optional<uint64_t> offset, uint64_t distance) {
    if (!offset) {
        return std::nullopt;
    }
    return *offset + distance;
}

std::string Shown(std::optional<uint32_t> value) {
    return value ? ToHex(*value) : std::string(kOutsideTheFile);
}

} // namespace

uint32_t SongTableOffset(Game game) {
    switch (game) {
    case Game::ZM:
        return kZmSongTable;
    case Game::MF:
        return kMfSongTable;
    case Game::None:
        break;
    }
    return 0;
}

MusicView ReadMusicView(const RomFile& file, Game game, uint32_t m) {
    MusicView view;
    const auto record =
        Plus(OffsetOf(ReadValue(file, kMusicTablePointer, 4)), uint64_t{kMusicRecordSize} * m);
    const std::array<std::pair<uint32_t, size_t>, 8> fields{
        {{0, 1}, {1, 1}, {2, 2}, {0, 0}, {4, 4}, {9, 1}, {10, 1}, {11, 1}}};
    for (size_t box = 0; box < fields.size(); ++box) {
        const auto [at, size] = fields[box];
        view.boxes[box] =
            size == 0 ? std::string("Text4") : Shown(ReadValue(file, Plus(record, at), size));
    }
    view.label = ToHex(m);

    if (game == Game::None) {
        return view;
    }
    const auto entry = uint64_t{SongTableOffset(game)} + uint64_t{kSongEntrySize} * m;
    const auto headerPointer = ReadValue(file, entry, 4);
    view.song.emplace_back("Header", Shown(headerPointer));
    const auto header = OffsetOf(headerPointer);
    const auto tracks = ReadValue(file, header, 1);
    view.song.emplace_back("Tracks", Shown(tracks));
    view.song.emplace_back("Priority", Shown(ReadValue(file, Plus(header, 2), 1)));
    view.song.emplace_back("Reverb", Shown(ReadValue(file, Plus(header, 3), 1)));
    view.song.emplace_back("Voice group", Shown(ReadValue(file, Plus(header, 4), 4)));
    for (uint32_t t = 0; tracks && t < *tracks; ++t) {
        view.song.emplace_back("Track " + std::to_string(t + 1),
                               Shown(ReadValue(file, Plus(header, 8 + 4 * uint64_t{t}), 4)));
    }
    return view;
}

std::vector<std::string> MusicViewLines(const MusicView& view) {
    std::vector<std::string> lines;
    for (size_t box = 0; box < view.boxes.size(); ++box) {
        lines.push_back("Text" + std::to_string(box + 1) + " " + view.boxes[box]);
    }
    lines.push_back("Label1 " + view.label);
    for (const auto& [label, value] : view.song) {
        lines.push_back(label + " " + value);
    }
    return lines;
}

} // namespace quarnel
