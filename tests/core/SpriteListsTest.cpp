#include "sprites/SpriteLists.h"
#include "rom/RomFile.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace quarnel {
namespace {

using testing::TempFolder;
using Bytes = std::vector<uint8_t>;

constexpr uint32_t kRomSize = 0x1000;
constexpr uint32_t kList1 = 0x100, kList2 = 0x200, kList3 = 0x300;

// A ROM of 0xAA bytes with the stored lists placed at kList1..3 (a long list 1 runs over the
// others), and a header pointing there.
struct SpriteRom {
    TempFolder folder;
    std::filesystem::path path;
    RoomHeader header;

    SpriteRom(const Bytes& list1, const Bytes& list2 = {0, 0, 0xFF},
              const Bytes& list3 = {0, 0, 0xFF}, uint32_t size = kRomSize) {
        Bytes rom(size, 0xAA);
        for (const auto& [offset, list] :
             {std::pair{kList3, &list3}, std::pair{kList2, &list2}, std::pair{kList1, &list1}}) {
            std::copy(list->begin(), list->end(), rom.begin() + offset);
        }
        path = folder.WriteFile("rom.gba", rom);
        header.SpritePointer1 = 0x08000000 + kList1;
        header.SpritePointer2 = 0x08000000 + kList2;
        header.SpritePointer3 = 0x08000000 + kList3;
    }
    RomFile Open(OpenMode mode = OpenMode::Read) const {
        return std::move(RomFile::Open(path, mode)).value();
    }
};

Bytes Entries(size_t count, uint8_t sprite = 0x10) {
    Bytes bytes;
    for (size_t i = 0; i < count; ++i) {
        bytes.insert(bytes.end(), {static_cast<uint8_t>(i), 1, sprite});
    }
    return bytes;
}

Bytes Terminated(Bytes bytes) {
    bytes.insert(bytes.end(), {0xFF, 0xFF, 0xFF});
    return bytes;
}

TEST(SpriteLists, LoadsTheEntriesBeforeTheEndMarker) {
    SpriteRom rom({0x05, 0x0A, 0x21, 0x07, 0x03, 0x44, 0xFF, 0xFF, 0xFF});
    SpriteLists lists;
    ASSERT_TRUE(LoadSprites(rom.Open(), rom.header, 0, lists));
    EXPECT_EQ(lists.SpriteCount1, 2);
    ASSERT_EQ(lists.SpriteList1.size(), 2u);
    EXPECT_EQ(lists.SpriteList1[1], (SpritePlacement{7, 3, 0x44}));
    EXPECT_EQ(SpriteLabelPosition(lists.SpriteList1[0]), (PixelPosition{160, 80}));
    EXPECT_EQ(SpriteLabelPosition(lists.SpriteList1[1]), (PixelPosition{48, 112}));
    EXPECT_EQ(lists.SpriteListMarked, (std::array{true, false, false}));

    // Only the SpriteNumber byte ends a list: FF in Y and X is an ordinary entry.
    struct Case {
        Bytes stored;
        uint8_t count;
    };
    for (const auto& c :
         {Case{{0xFF, 0xFF, 0xFF}, 0}, Case{{1, 2, 3, 0, 0, 0xFF}, 1},
          Case{{0xFF, 0xFF, 0x10, 0, 0, 0xFF}, 1}, Case{Terminated(Entries(254)), 254}}) {
        SpriteRom other(c.stored);
        ASSERT_TRUE(LoadSprites(other.Open(), other.header, 0, lists));
        EXPECT_EQ(lists.SpriteCount1, c.count);
        EXPECT_EQ(lists.SpriteList1.size(), c.count);
    }
}

TEST(SpriteLists, RefusesListsItCannotReadSafely) {
    struct Case {
        const char* name;
        Bytes stored;
        uint32_t pointer;
        ErrorKind kind;
    };
    const uint32_t nearEnd = 0x08000000 + kRomSize - 6;
    for (const auto& c : {
             Case{"end marker as entry 256", Terminated(Entries(255)), 0x08000100,
                  ErrorKind::BadSpriteList},
             Case{"no end marker", Entries(256), 0x08000100, ErrorKind::BadSpriteList},
             Case{"runs off the file", {}, nearEnd, ErrorKind::BadSpriteList},
             Case{"past the end", {}, 0x08000000 + kRomSize, ErrorKind::PointerOutOfRange},
             Case{"below the ROM", {}, 0x00000100, ErrorKind::PointerOutOfRange},
         }) {
        SpriteRom rom(c.stored);
        SpriteLists lists;
        lists.SpriteList2 = {{1, 1, 1}};
        lists.SpriteCount2 = 1;
        lists.SpriteListMarked[1] = true;
        rom.header.SpritePointer2 = c.pointer;
        auto loaded = LoadSprites(rom.Open(), rom.header, 1, lists);
        ASSERT_FALSE(loaded) << c.name;
        EXPECT_EQ(loaded.error().kind, c.kind) << c.name;
        EXPECT_NE(Describe(loaded.error()).find("sprite list 2"), std::string::npos) << c.name;
        EXPECT_TRUE(lists.SpriteList2.empty()) << c.name;
        EXPECT_EQ(lists.SpriteCount2, 0) << c.name;
        EXPECT_FALSE(lists.SpriteListMarked[1]) << c.name;
        EXPECT_TRUE(PlanSaveEnemies(rom.Open(), rom.header, lists).value().empty()) << c.name;
    }
    SpriteRom rom({0xFF, 0xFF, 0xFF});
    rom.header.SpritePointer3 = 0;
    SpriteLists lists;
    const auto refused = LoadRoomSprites(rom.Open(), rom.header, lists);
    EXPECT_FALSE(refused[0] || refused[1]);
    EXPECT_TRUE(refused[2]);
    EXPECT_EQ(lists.SpriteListMarked, (std::array{false, false, false}));
}

// Saves `lists` into the ROM and returns the whole file afterwards.
Bytes SaveAndRead(const SpriteRom& rom, const SpriteLists& lists) {
    auto file = rom.Open(OpenMode::ReadWrite);
    EXPECT_TRUE(SaveEnemies(file, rom.header, lists));
    return testing::ReadWholeFile(rom.path);
}

TEST(SpriteLists, SavesEveryMarkedListInPlaceAndNothingElse) {
    SpriteRom rom({0x05, 0x0A, 0x21, 0x07, 0x03, 0x44, 0xFF, 0xFF, 0xFF}, Terminated(Entries(3)));
    const Bytes before = testing::ReadWholeFile(rom.path);
    SpriteLists lists;
    for (const auto& refused : LoadRoomSprites(rom.Open(), rom.header, lists)) {
        EXPECT_FALSE(refused);
    }
    EXPECT_EQ(SaveAndRead(rom, lists), before); // nothing marked after a room load

    // Drag entry 0 of list 1 to block (2, 3); renumber an entry of list 2, which marks it.
    ASSERT_TRUE(MoveSprite(lists, 0, 0, SnapLabel({160, 80}, -120, -24)));
    EXPECT_EQ(lists.SpriteList1[0], (SpritePlacement{3, 2, 0x21}));
    ASSERT_TRUE(SetSpriteNumber(lists, 1, 0, 0x77));
    Bytes expected = before;
    const Bytes list1 = {0x03, 0x02, 0x21, 0x07, 0x03, 0x44};
    std::copy(list1.begin(), list1.end(), expected.begin() + kList1);
    expected[kList2 + 2] = 0x77;
    EXPECT_EQ(SaveAndRead(rom, lists), expected); // both lists, in one save

    // A marked empty list writes nothing, and does not stop the later marked lists.
    SpriteRom empty({0xFF, 0xFF, 0xFF}, Terminated(Entries(3)));
    Bytes emptyExpected = testing::ReadWholeFile(empty.path);
    ASSERT_TRUE(LoadSprites(empty.Open(), empty.header, 0, lists));
    ASSERT_TRUE(LoadSprites(empty.Open(), empty.header, 1, lists));
    ASSERT_TRUE(SetSpriteNumber(lists, 1, 2, 0x12));
    emptyExpected[kList2 + 8] = 0x12;
    EXPECT_EQ(SaveAndRead(empty, lists), emptyExpected);
}

// Edits after a load that a save must refuse.
void GrowList(SpriteLists& lists, RoomHeader&) {
    lists.SpriteList1.push_back({});
    lists.SpriteCount1 = 3;
}
void DropEntry(SpriteLists& lists, RoomHeader&) {
    lists.SpriteList1.pop_back();
}
void MovePointer(SpriteLists&, RoomHeader& header) {
    header.SpritePointer1 += 3;
}
void ForgetOrigin(SpriteLists& lists, RoomHeader&) {
    lists.origin[0].reset();
}
void EndMarkerAsNumber(SpriteLists& lists, RoomHeader&) {
    lists.SpriteList1[1].SpriteNumber = kSpriteListEnd; // would cut the stored list short
}

TEST(SpriteLists, NeverWritesPastWhatWasRead) {
    SpriteRom rom(Terminated(Entries(2)));
    const Bytes before = testing::ReadWholeFile(rom.path);
    for (auto change : {GrowList, DropEntry, MovePointer, ForgetOrigin, EndMarkerAsNumber}) {
        SpriteLists lists;
        ASSERT_TRUE(LoadSprites(rom.Open(), rom.header, 0, lists));
        RoomHeader header = rom.header;
        change(lists, header);
        auto file = rom.Open(OpenMode::ReadWrite);
        auto saved = SaveEnemies(file, header, lists);
        ASSERT_FALSE(saved);
        EXPECT_EQ(saved.error().kind, ErrorKind::BadSpriteList);
        EXPECT_EQ(testing::ReadWholeFile(rom.path), before);
    }
}

// Two lists loaded from one stored list: choosing the second (which marks it) must not put
// the stored bytes back over the first one's edits, edits of both are merged, and two
// different edits of one sprite are refused.
TEST(SpriteLists, ListsStoredInOnePlaceNeverUndoEachOther) {
    struct Edit {
        int list;
        size_t entry;
        uint8_t number;
    };
    struct Case {
        std::vector<Edit> edits;
        std::optional<std::array<uint8_t, 2>> saved; // the two numbers in the file; or refused
    };
    for (const auto& c : {Case{{{0, 1, 0x31}}, std::array<uint8_t, 2>{0x10, 0x31}},
                          Case{{{1, 1, 0x32}}, std::array<uint8_t, 2>{0x10, 0x32}},
                          Case{{{0, 0, 0x33}, {1, 1, 0x34}}, std::array<uint8_t, 2>{0x33, 0x34}},
                          Case{{{0, 1, 0x35}, {1, 1, 0x35}}, std::array<uint8_t, 2>{0x10, 0x35}},
                          Case{{{0, 1, 0x36}, {1, 1, 0x37}}, std::nullopt}}) {
        SCOPED_TRACE(int{c.edits.back().number});
        SpriteRom rom(Terminated(Entries(2)));
        rom.header.SpritePointer2 = rom.header.SpritePointer1;
        const Bytes before = testing::ReadWholeFile(rom.path);
        SpriteLists lists;
        for (int list : {0, 1}) {
            ASSERT_TRUE(LoadSprites(rom.Open(), rom.header, list, lists));
        }
        for (const Edit& edit : c.edits) {
            ASSERT_TRUE(SetSpriteNumber(lists, edit.list, edit.entry, edit.number));
        }
        auto file = rom.Open(OpenMode::ReadWrite);
        auto saved = SaveEnemies(file, rom.header, lists);
        Bytes expected = before;
        if (c.saved) {
            ASSERT_TRUE(saved) << Describe(saved.error());
            expected[kList1 + 2] = (*c.saved)[0];
            expected[kList1 + 5] = (*c.saved)[1];
        } else {
            ASSERT_FALSE(saved);
            EXPECT_NE(saved.error().detail.find("sprite list 1 and sprite list 2"),
                      std::string::npos);
        }
        EXPECT_EQ(testing::ReadWholeFile(rom.path), expected);
    }
}

TEST(SpriteLabels, SnapToTheBlockHalfABlockUpAndLeftOfThePointer) {
    struct Case {
        PixelPosition label;
        int dx, dy;
        LabelSnap snap;
    };
    for (const auto& c : {
             Case{{32, 48}, 8, 8, {{32, 48}, 2, 3}},
             Case{{32, 48}, 24, 8, {{48, 48}, 3, 3}},
             Case{{32, 48}, 23, 7, {{32, 32}, 2, 2}},
             Case{{16, 16}, -40, -9, {{0, 0}, 0, 0}},
             Case{{0, 0}, 0, 0, {{0, 0}, 0, 0}},
             Case{{4080, 4080}, 24, 8, {{4096, 4080}, std::nullopt, 255}},
             Case{{2000000000, 0}, 2000000000, 8, {{2147483632, 0}, std::nullopt, 0}},
         }) {
        EXPECT_EQ(SnapLabel(c.label, c.dx, c.dy), c.snap) << c.label.left << "," << c.label.top;
    }
    // A coordinate that does not fit a byte keeps its old value; the drag still marks the list.
    SpriteLists lists;
    lists.SpriteList3 = {{7, 9, 1}};
    EXPECT_TRUE(MoveSprite(lists, 2, 0, SnapLabel({4080, 0}, 24, 24)));
    EXPECT_EQ(lists.SpriteList3[0], (SpritePlacement{1, 9, 1}));
    EXPECT_TRUE(lists.SpriteListMarked[2]);
    EXPECT_FALSE(MoveSprite(lists, 2, 1, SnapLabel({0, 0}, 8, 8)));
    EXPECT_FALSE(MoveSprite(lists, 3, 0, SnapLabel({0, 0}, 8, 8)));
}

TEST(SpriteLabels, AskForANewNumberAndReadTheAnswer) {
    EXPECT_EQ(SpriteNumberPrompt(10, 0x2B), "Please enter a new enemy number for enemy:A! 0 - 255 "
                                            "in decimal form please.\r\nCurrent Sprite is: 2B");
    EXPECT_EQ(SpriteNumberPrompt(0, 0), "Please enter a new enemy number for enemy:0! 0 - 255 "
                                        "in decimal form please.\r\nCurrent Sprite is: 0");
    struct Case {
        const char* answer;
        std::optional<uint8_t> number;
    };
    for (const auto& c :
         {Case{"17", 0x11}, Case{"0", 0}, Case{"254", 254}, Case{" 042 ", 42}, Case{"255", {}},
          Case{"300", {}}, Case{"256", {}}, Case{"", {}}, Case{"  ", {}}, Case{"-1", {}},
          Case{"1A", {}}, Case{"0x11", {}}, Case{"1 7", {}}, Case{"99999999999999999999", {}}}) {
        EXPECT_EQ(ParseSpriteNumber(c.answer), c.number) << "'" << c.answer << "'";
        // Every refused answer but a blank one (Cancel) is explained.
        const bool blank = std::string_view(c.answer).find_first_not_of(' ') == std::string::npos;
        EXPECT_EQ(SpriteNumberRefusal(c.answer).has_value(), !c.number && !blank) << c.answer;
    }
    EXPECT_NE(SpriteNumberRefusal(" 0255")->find("255 (FF) marks the end of a sprite list"),
              std::string::npos);
    EXPECT_NE(SpriteNumberRefusal("1A")->find("\"1A\" is not a decimal number from 0 to 254"),
              std::string::npos);

    // 255 never reaches a list, however it is asked for.
    SpriteLists lists;
    lists.SpriteList2 = {{1, 2, 3}};
    EXPECT_FALSE(SetSpriteNumber(lists, 1, 0, 255));
    EXPECT_FALSE(SetSpriteNumber(lists, 1, 0, 3)); // no change: not marked
    EXPECT_FALSE(lists.SpriteListMarked[1]);
    EXPECT_TRUE(SetSpriteNumber(lists, 1, 0, 254));
    EXPECT_EQ(lists.SpriteList2[0].SpriteNumber, 254);
    EXPECT_TRUE(lists.SpriteListMarked[1]);
}

} // namespace
} // namespace quarnel
