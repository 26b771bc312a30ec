#include "sprites/SpriteLists.h"

#include "common/Hex.h"
#include "rom/GameTables.h"
#include "rom/GbaPointer.h"
#include "rom/RomFile.h"

#include <algorithm>

namespace quarnel {

namespace {

bool ValidListIndex(int listIndex) {
    return listIndex >= 0 && static_cast<size_t>(listIndex) < kSpriteListsPerRoom;
}

// The text without the blanks around it.
std::string_view Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string ListName(int listIndex) {
    return "sprite list " + std::to_string(listIndex + 1);
}

// Empties a list and forgets where it came from, so that no save can write it.
void Discard(SpriteLists& lists, int listIndex) {
    lists.List(listIndex).clear();
    lists.Count(listIndex) = 0;
    lists.SpriteListMarked[static_cast<size_t>(listIndex)] = false;
    lists.origin[static_cast<size_t>(listIndex)].reset();
}

// Reads one list without touching its mark; on failure the list is discarded.
Result<void, Error> ReadList(const RomFile& file, const RoomHeader& header, int listIndex,
                             SpriteLists& lists) {
    const auto slot = static_cast<size_t>(listIndex);
    const std::string name = ListName(listIndex);
    const uint32_t pointer = SpritePointer(header, listIndex);
    auto offset = ResolvePointer(pointer, file.Size(), name, SpritePlacement::kSize);
    if (!offset) {
        Discard(lists, listIndex);
        Error error = offset.error();
        if (pointer >= kGbaRomBase) {
            error.offset = pointer - kGbaRomBase;
        }
        return Fail(std::move(error));
    }
    std::array<uint8_t, kSpriteEntriesRead * SpritePlacement::kSize> buffer{};
    const size_t fromFile = file.ReadAt(*offset, buffer);
    auto count = CountSpriteEntries(std::span(buffer).first(fromFile));
    if (!count) {
        Discard(lists, listIndex);
        return Fail(Error{ErrorKind::BadSpriteList, name + " " + count.error().detail, *offset});
    }
    auto& list = lists.List(listIndex);
    list.clear();
    for (size_t i = 0; i < *count; ++i) {
        list.push_back(SpritePlacement::FromBytes(
            std::span(buffer).subspan(i * SpritePlacement::kSize).first<SpritePlacement::kSize>()));
    }
    lists.Count(listIndex) = *count;
    lists.origin[slot] = SpriteListOrigin{*offset, *count};
    return {};
}

// The write of one marked list, checked against where and how it was read; nothing for a
// list without entries.
Result<std::optional<SpriteListWrite>, Error> PlanListWrite(const RoomHeader& header,
                                                            const SpriteLists& lists, int listIndex,
                                                            uint64_t fileSize) {
    const auto slot = static_cast<size_t>(listIndex);
    const uint8_t count = lists.Count(listIndex);
    if (count == 0) {
        return std::optional<SpriteListWrite>{};
    }
    const std::string name = ListName(listIndex);
    const auto& origin = lists.origin[slot];
    if (!origin) {
        return Fail(Error{ErrorKind::BadSpriteList, name + " was not read from this ROM", {}});
    }
    const uint32_t pointer = SpritePointer(header, listIndex);
    if (pointer < kGbaRomBase || pointer - kGbaRomBase != origin->offset) {
        return Fail(Error{ErrorKind::BadSpriteList,
                          name + " pointer 0x" + ToHex(pointer) +
                              " no longer leads to where the list was read",
                          origin->offset});
    }
    const auto& list = lists.List(listIndex);
    if (count > origin->countRead || count > list.size()) {
        return Fail(Error{ErrorKind::BadSpriteList,
                          name + " holds " + std::to_string(count) + " entries but was read with " +
                              std::to_string(origin->countRead),
                          origin->offset});
    }
    const uint64_t end = uint64_t{origin->offset} + uint64_t{count} * SpritePlacement::kSize;
    if (end > fileSize) {
        return Fail(Error{ErrorKind::PointerOutOfRange, name + " lies past the end of the file",
                          origin->offset});
    }
    SpriteListWrite write{listIndex, origin->offset, {}};
    write.bytes.reserve(size_t{count} * SpritePlacement::kSize);
    for (size_t i = 0; i < count; ++i) {
        if (list[i].SpriteNumber == kSpriteListEnd) {
            return Fail(Error{ErrorKind::BadSpriteList,
                              name + " entry " + std::to_string(i) +
                                  " has the sprite number FF, which would end the list there",
                              origin->offset});
        }
        const auto bytes = list[i].ToBytes();
        write.bytes.insert(write.bytes.end(), bytes.begin(), bytes.end());
    }
    return std::optional<SpriteListWrite>{std::move(write)};
}

// Lists whose stored entries overlap are one stored list loaded more than once. Each byte
// they share takes the value that differs from what the file holds (the edit), so a list
// that was only chosen never puts the stored bytes back over another list's edits; a byte
// that two lists changed to different values is refused.
Result<void, Error> MergeSharedPlaces(const RomFile& file, std::vector<SpriteListWrite>& writes) {
    std::vector<std::vector<uint8_t>> stored;
    for (const SpriteListWrite& write : writes) {
        stored.push_back(file.ReadBlock(write.offset, write.bytes.size()));
    }
    for (size_t i = 0; i < writes.size(); ++i) {
        for (size_t j = i + 1; j < writes.size(); ++j) {
            SpriteListWrite& first = writes[i];
            SpriteListWrite& second = writes[j];
            const uint64_t begin = std::max(first.offset, second.offset);
            const uint64_t end = std::min(uint64_t{first.offset} + first.bytes.size(),
                                          uint64_t{second.offset} + second.bytes.size());
            for (uint64_t at = begin; at < end; ++at) {
                uint8_t& a = first.bytes[at - first.offset];
                uint8_t& b = second.bytes[at - second.offset];
                const uint8_t was = stored[i][at - first.offset];
                if (a == b) {
                    continue;
                }
                if (a == was) {
                    a = b;
                } else if (b == was) {
                    b = a;
                } else {
                    return Fail(Error{ErrorKind::BadSpriteList,
                                      ListName(first.listIndex) + " and " +
                                          ListName(second.listIndex) +
                                          " are stored in the same place and were changed "
                                          "differently there; choose one of them again in the "
                                          "sprite set list to discard its changes",
                                      static_cast<uint32_t>(at)});
                }
            }
        }
    }
    return {};
}

} // namespace

SpritePlacement SpritePlacement::FromBytes(std::span<const uint8_t, kSize> bytes) {
    return {bytes[kYByte], bytes[kXByte], bytes[kSpriteNumberByte]};
}

std::array<uint8_t, SpritePlacement::kSize> SpritePlacement::ToBytes() const {
    std::array<uint8_t, kSize> bytes{};
    bytes[kYByte] = Y;
    bytes[kXByte] = X;
    bytes[kSpriteNumberByte] = SpriteNumber;
    return bytes;
}

std::vector<SpritePlacement>& SpriteLists::List(int listIndex) {
    return listIndex == 0 ? SpriteList1 : listIndex == 1 ? SpriteList2 : SpriteList3;
}

const std::vector<SpritePlacement>& SpriteLists::List(int listIndex) const {
    return listIndex == 0 ? SpriteList1 : listIndex == 1 ? SpriteList2 : SpriteList3;
}

uint8_t& SpriteLists::Count(int listIndex) {
    return listIndex == 0 ? SpriteCount1 : listIndex == 1 ? SpriteCount2 : SpriteCount3;
}

uint8_t SpriteLists::Count(int listIndex) const {
    return listIndex == 0 ? SpriteCount1 : listIndex == 1 ? SpriteCount2 : SpriteCount3;
}

Result<uint8_t, Error> CountSpriteEntries(std::span<const uint8_t> stored) {
    for (size_t i = 0; i < kSpriteEntriesScanned; ++i) {
        const size_t numberByte = i * SpritePlacement::kSize + SpritePlacement::kSpriteNumberByte;
        if (numberByte >= stored.size()) {
            return Fail(Error{ErrorKind::BadSpriteList,
                              "runs past the end of the file after " + std::to_string(i) +
                                  " entries without an end marker",
                              {}});
        }
        if (stored[numberByte] == kSpriteListEnd) {
            return static_cast<uint8_t>(i);
        }
    }
    return Fail(Error{ErrorKind::BadSpriteList,
                      "has no end marker among its first " + std::to_string(kSpriteEntriesScanned) +
                          " entries",
                      {}});
}

Result<void, Error> LoadSprites(const RomFile& file, const RoomHeader& header, int listIndex,
                                SpriteLists& lists) {
    if (!ValidListIndex(listIndex)) {
        return Fail(Error{ErrorKind::BadArgument,
                          "sprite list index " + std::to_string(listIndex) + " is not 0, 1 or 2",
                          {}});
    }
    if (auto read = ReadList(file, header, listIndex, lists); !read) {
        return read;
    }
    lists.SpriteListMarked[static_cast<size_t>(listIndex)] = true;
    return {};
}

SpriteListErrors LoadRoomSprites(const RomFile& file, const RoomHeader& header,
                                 SpriteLists& lists) {
    SpriteListErrors refused;
    for (int listIndex = 0; listIndex < static_cast<int>(kSpriteListsPerRoom); ++listIndex) {
        if (auto read = ReadList(file, header, listIndex, lists); !read) {
            refused[static_cast<size_t>(listIndex)] = read.error();
        }
    }
    ClearMarks(lists);
    return refused;
}

void ClearMarks(SpriteLists& lists) {
    lists.SpriteListMarked.fill(false);
}

Result<std::vector<SpriteListWrite>, Error>
PlanSaveEnemies(const RomFile& file, const RoomHeader& header, const SpriteLists& lists) {
    std::vector<SpriteListWrite> writes;
    for (int listIndex = 0; listIndex < static_cast<int>(kSpriteListsPerRoom); ++listIndex) {
        if (!lists.SpriteListMarked[static_cast<size_t>(listIndex)]) {
            continue;
        }
        auto write = PlanListWrite(header, lists, listIndex, file.Size());
        if (!write) {
            return Fail(write.error());
        }
        if (*write) {
            writes.push_back(std::move(**write));
        }
    }
    if (auto merged = MergeSharedPlaces(file, writes); !merged) {
        return Fail(merged.error());
    }
    return writes;
}

Result<void, Error> SaveEnemies(RomFile& file, const RoomHeader& header, const SpriteLists& lists) {
    auto plan = PlanSaveEnemies(file, header, lists);
    if (!plan) {
        return Fail(plan.error());
    }
    for (const SpriteListWrite& write : *plan) {
        if (auto put = file.WriteAt(write.offset, write.bytes); !put) {
            return put;
        }
    }
    return {};
}

PixelPosition SpriteLabelPosition(const SpritePlacement& entry) {
    return BlockLabelPosition(entry.X, entry.Y);
}

bool MoveSprite(SpriteLists& lists, int listIndex, size_t entry, const LabelSnap& snap) {
    if (!ValidListIndex(listIndex) || entry >= lists.List(listIndex).size()) {
        return false;
    }
    SpritePlacement& placement = lists.List(listIndex)[entry];
    placement.X = snap.blockX.value_or(placement.X);
    placement.Y = snap.blockY.value_or(placement.Y);
    lists.SpriteListMarked[static_cast<size_t>(listIndex)] = true;
    return true;
}

bool SetSpriteNumber(SpriteLists& lists, int listIndex, size_t entry, uint8_t number) {
    if (!ValidListIndex(listIndex) || entry >= lists.List(listIndex).size() ||
        number > kMaxSpriteNumber) {
        return false;
    }
    SpritePlacement& placement = lists.List(listIndex)[entry];
    if (placement.SpriteNumber == number) {
        return false;
    }
    placement.SpriteNumber = number;
    lists.SpriteListMarked[static_cast<size_t>(listIndex)] = true;
    return true;
}

std::string SpriteNumberPrompt(size_t entry, uint8_t currentSpriteNumber) {
    return "Please enter a new enemy number for enemy:" + ToHex(entry) +
           "! 0 - 255 in decimal form please.\r\nCurrent Sprite is: " + ToHex(currentSpriteNumber);
}

std::optional<uint8_t> ParseSpriteNumber(std::string_view answer) {
    answer = Trimmed(answer);
    if (answer.empty()) {
        return std::nullopt;
    }
    unsigned value = 0;
    for (char c : answer) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + static_cast<unsigned>(c - '0');
        if (value > kMaxSpriteNumber) {
            return std::nullopt;
        }
    }
    return static_cast<uint8_t>(value);
}

std::optional<std::string> SpriteNumberRefusal(std::string_view answer) {
    const std::string_view trimmed = Trimmed(answer);
    if (trimmed.empty() || ParseSpriteNumber(trimmed)) {
        return std::nullopt;
    }
    const bool digitsOnly = trimmed.find_first_not_of("0123456789") == std::string_view::npos;
    const auto significant = trimmed.find_first_not_of('0');
    if (digitsOnly && significant != std::string_view::npos &&
        trimmed.substr(significant) == "255") {
        return std::string("The sprite number was not changed: 255 (FF) marks the end of a "
                           "sprite list in the ROM. Please enter a number from 0 to 254.");
    }
    return "The sprite number was not changed: \"" + std::string(trimmed) +
           "\" is not a decimal number from 0 to 254.";
}

} // namespace quarnel
