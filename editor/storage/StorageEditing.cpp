#include "storage/StorageEditing.h"

#include "common/Hex.h"
#include "rom/GameTables.h"
#include "rom/RomFile.h"
#include "rom/RomView.h"
#include "storage/BlankSpace.h"

namespace quarnel {

namespace {

// The boxes hold six digits, which reach past the end of any image.
constexpr size_t kMostDigits = 6;

Error FieldError(const char* field, const std::string& problem) {
    return Error{ErrorKind::BadArgument, std::string(field) + ": " + problem, std::nullopt};
}

Result<int32_t, Error> ParseField(const char* field, const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    const auto last = text.find_last_not_of(" \t");
    const std::string digits =
        first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
    const auto value = ParseHex(digits);
    if (!value || digits.size() > kMostDigits) {
        return Fail(FieldError(field, "\"" + text + "\" is not a hexadecimal number of 1 to " +
                                          std::to_string(kMostDigits) + " digits"));
    }
    return static_cast<int32_t>(*value);
}

std::string Hex(int64_t value) {
    return "0x" + ToHex(static_cast<uint64_t>(value));
}

} // namespace

Result<StorageArea, Error> ParseStorageArea(Game game, size_t index, const StorageAreaText& text,
                                            const StorageTable& table,
                                            std::optional<uint64_t> romSize) {
    auto offset = ParseField(kOffsetField, text.offset);
    if (!offset) {
        return Fail(offset.error());
    }
    auto used = ParseField(kUsedField, text.used);
    if (!used) {
        return Fail(used.error());
    }
    auto length = ParseField(kLengthField, text.length);
    if (!length) {
        return Fail(length.error());
    }
    const StorageArea area{*offset, *used, *length};
    if (area.Used > area.Length) {
        return Fail(FieldError(kUsedField,
                               Hex(area.Used) + " is more than the Length, " + Hex(area.Length)));
    }

    const int64_t begin = area.Offset;
    const int64_t end = begin + area.Length;
    int64_t limit = kRomImageSize;
    std::string where = "the 8 MiB image";
    if (romSize && static_cast<int64_t>(*romSize) < limit) {
        limit = static_cast<int64_t>(*romSize);
        where = "the open ROM, which has " + Hex(limit) + " bytes";
    }
    if (begin >= limit) {
        return Fail(FieldError(kOffsetField, Hex(begin) + " lies past the end of " + where));
    }
    if (end > limit) {
        return Fail(FieldError(kLengthField,
                               "the area would end at " + Hex(end) + ", past the end of " + where));
    }
    for (const RomRange& never : NeverWrittenRanges(game)) {
        if (begin < never.end && end > never.begin) {
            const std::string range = Hex(never.begin) + ".." + Hex(never.end) +
                                      ", which holds shared data of the game and is never written";
            if (begin >= never.begin) {
                return Fail(FieldError(kOffsetField, "the area would start inside " + range));
            }
            return Fail(FieldError(kLengthField, "the area would run into " + range));
        }
    }
    const auto others = UsableAreas(table, game);
    for (size_t i = 0; i < others.size(); ++i) {
        const int64_t otherBegin = others[i].Offset;
        const int64_t otherEnd = otherBegin + others[i].Length;
        if (i == index || area.Length == 0 || others[i].Length <= 0 || begin >= otherEnd ||
            end <= otherBegin) {
            continue;
        }
        const std::string other =
            "area " + std::to_string(i) + " (" + Hex(otherBegin) + ".." + Hex(otherEnd) + ")";
        if (begin >= otherBegin) {
            return Fail(FieldError(kOffsetField, "the area would start inside " + other));
        }
        return Fail(FieldError(kLengthField, "the area would run into " + other));
    }
    return area;
}

Result<void, Error> FitStorageToRom(StorageSystem& storage, Game game,
                                    const std::filesystem::path& romPath) {
    auto file = RomFile::Open(romPath, OpenMode::Read);
    if (!file) {
        return Fail(file.error());
    }
    if (auto loaded = storage.LoadStorage(); !loaded) {
        return loaded;
    }
    // Without a file the table is all zero: start from the default areas, as the editor
    // does when it finds no os.bin.
    if (!storage.FileExists()) {
        if (auto reset = storage.ResetStorage(); !reset) {
            return reset;
        }
    }
    return storage.FitToRom(game, RomFileView(*file));
}

} // namespace quarnel
