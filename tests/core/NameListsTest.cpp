#include "main/NameLists.h"

#include "TempFolder.h"
#include "common/Hex.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quarnel {
namespace {

using testing::ReadWholeFile;
using testing::TempFolder;

// `count` lines "name <i>", each ended by `lineEnd`.
std::string NumberedLines(size_t count, const std::string& lineEnd) {
    std::string text;
    for (size_t i = 0; i < count; ++i) {
        text += "name " + std::to_string(i) + lineEnd;
    }
    return text;
}

std::filesystem::path WriteText(const TempFolder& folder, const std::string& name,
                                const std::string& text) {
    return folder.WriteFile(name,
                            std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

// Entries before `first` come from the file; the rest are the loader's own.
void ExpectClipNames(const std::vector<std::string>& names, size_t first) {
    ASSERT_EQ(names.size(), 256u);
    for (size_t value = first; value < names.size(); ++value) {
        EXPECT_EQ(names[value], ToHex(value) + " - ????????") << value;
    }
}

void ExpectGenericSets(const std::vector<std::string>& names, size_t first) {
    ASSERT_EQ(names.size(), 256u);
    for (size_t set = first; set < names.size(); ++set) {
        EXPECT_EQ(names[set], ToHexWidth(set, 2) + " - Generic") << set;
    }
}

TEST(NameListsTest, ClipAttributeNames) {
    TempFolder folder;
    const auto full = WriteText(folder, "full.txt", NumberedLines(170, "\n"));
    auto names = ClipAttributeNames(Game::ZM, full);
    EXPECT_EQ(names[162], "name 162");
    ExpectClipNames(names, 163);

    // CR LF ends are dropped, a blank line is an entry, a last line needs no line end.
    names = ClipAttributeNames(Game::ZM, WriteText(folder, "short.txt", "0 - Air\r\n\r\n2 - X"));
    EXPECT_EQ(names[0], "0 - Air");
    EXPECT_EQ(names[1], "");
    EXPECT_EQ(names[2], "2 - X");
    ExpectClipNames(names, 3);

    ExpectClipNames(ClipAttributeNames(Game::ZM, folder / "missing.txt"), 0);
    // Fusion reads its own file, which names 176 values; no game reads none.
    names = ClipAttributeNames(Game::MF, WriteText(folder, "mf.txt", NumberedLines(200, "\r\n")));
    EXPECT_EQ(names[0xAF], "name 175");
    ExpectClipNames(names, 176);
    ExpectClipNames(ClipAttributeNames(Game::None, full), 0);
}

TEST(NameListsTest, SpriteSetNames) {
    TempFolder folder;
    auto names = SpriteSetNames(WriteText(folder, "full.txt", NumberedLines(120, "\r\n")));
    EXPECT_EQ(names[107], "name 107");
    ExpectGenericSets(names, 108);

    names = SpriteSetNames(WriteText(folder, "short.txt", NumberedLines(5, "\r\n")));
    EXPECT_EQ(names[4], "name 4");
    ExpectGenericSets(names, 5);

    ExpectGenericSets(SpriteSetNames(folder / "missing.txt"), 0);
}

// The name files that ship beside the programs: one CR LF line per value, each opening with
// the value in the form the placeholders use.
TEST(NameListsTest, ShippedNameFilesHaveOneLinePerValue) {
    const std::filesystem::path bin(QUARNEL_BIN_DIR);
    struct Case {
        const char* file;
        size_t lines;
        int digits; // 0: no leading zeros
    };
    for (const Case& c :
         {Case{"ZMClip.txt", kNamedClipValues, 0}, Case{"MFClip.txt", kNamedMfClipValues, 0},
          Case{"Enemylist.txt", kNamedSpriteSets, 2}}) {
        SCOPED_TRACE(c.file);
        const auto bytes = ReadWholeFile(bin / c.file);
        const std::string text(bytes.begin(), bytes.end());
        std::vector<std::string> lines;
        for (size_t start = 0; start < text.size();) {
            const size_t end = text.find("\r\n", start);
            ASSERT_NE(end, std::string::npos) << "line " << lines.size();
            lines.push_back(text.substr(start, end - start));
            start = end + 2;
        }
        ASSERT_EQ(lines.size(), c.lines);
        for (size_t i = 0; i < lines.size(); ++i) {
            const std::string number = c.digits ? ToHexWidth(i, c.digits) : ToHex(i);
            EXPECT_TRUE(lines[i].starts_with(number + " - ")) << lines[i];
            EXPECT_GT(lines[i].size(), number.size() + 3) << lines[i];
            EXPECT_EQ(lines[i].find_first_of("\r\n"), std::string::npos) << lines[i];
        }
    }
    EXPECT_EQ(ClipAttributeNames(Game::ZM, ClipNamesFile(Game::ZM, bin))[0x10], "10 - Solid");
    EXPECT_EQ(ClipAttributeNames(Game::MF, ClipNamesFile(Game::MF, bin))[0x1B], "1B - Water");
}

} // namespace
} // namespace quarnel
