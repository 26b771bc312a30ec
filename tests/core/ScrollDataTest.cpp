#include "doors/ScrollData.h"
#include "rom/GameTables.h"
#include "rom/RomFile.h"

#include "RomImage.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

namespace quarnel {
namespace {

using testing::Pointer;
using testing::RomImage;
using testing::TempFolder;

constexpr size_t kRomSize = 0x760000; // just past Zero Mission's scroll table
constexpr size_t kNearEnd = kRomSize - 10;

ScrollRecord::Bytes Scroll(uint8_t xs, uint8_t xe, uint8_t ys, uint8_t ye, uint8_t bx = 0xFF) {
    return {xs, xe, ys, ye, bx, 0xFF, 2, 9};
}

// A Zero Mission scroll table whose areas each show one way a list can be read or broken.
struct ScrollRom {
    TempFolder folder;
    std::filesystem::path path;

    ScrollRom() {
        RomImage rom(kRomSize);
        const auto area = [&rom](int a, uint32_t list) { rom.Put32(kZmScrollTable + 4 * a, list); };
        const auto list = [&rom](size_t at, std::vector<size_t> records) {
            for (size_t i = 0; i < records.size(); ++i) {
                rom.Put32(at + 4 * i, Pointer(records[i]));
            }
        };
        const auto record = [&rom](size_t at, uint8_t room,
                                   std::vector<ScrollRecord::Bytes> scrolls) {
            rom.Put8(at, room);
            rom.Put8(at + 1, static_cast<uint8_t>(scrolls.size()));
            for (size_t s = 0; s < scrolls.size(); ++s) {
                rom.PutBytes(at + 2 + 8 * s, scrolls[s]);
            }
        };
        record(0x2000, 0xFF, {}); // the end record
        record(0x2100, 5, {Scroll(0, 9, 0, 9)});
        record(0x2200, 2, {Scroll(2, 30, 2, 16), Scroll(2, 30, 17, 31, 7)});
        record(0x2300, 2, {Scroll(1, 1, 1, 1)}); // a later record of room 2: not read
        area(0, Pointer(0x1000));
        list(0x1000, {0x2100, 0x2200, 0x2300, 0x2000});
        area(1, Pointer(kRomSize - 2)); // the list runs past the file
        area(2, Pointer(0x1100));
        list(0x1100, {0x2100, kRomSize + 0x100, 0x2000}); // a record outside the file
        area(3, Pointer(0x1200));
        rom.Put8(kNearEnd, 2); // room 2 with 5 scrolls: 42 bytes where 10 are left
        rom.Put8(kNearEnd + 1, 5);
        list(0x1200, {0x2100, kNearEnd, 0x2000});
        area(4, Pointer(0x1300));
        list(0x1300, std::vector<size_t>(300, 0x2100)); // no end record
        area(5, 0x1400);                                // not a GbaPointer
        path = folder.WriteFile("rom.gba", rom.bytes);
    }
};

TEST(ScrollData, ReadsTheRoomsRecordAndRefusesBrokenLists) {
    ScrollRom rom;
    auto file = RomFile::Open(rom.path, OpenMode::Read);
    ASSERT_TRUE(file);

    auto room2 = ReadRoomScrolls(*file, Game::ZM, 0, 2);
    ASSERT_TRUE(room2) << Describe(room2.error());
    EXPECT_TRUE(room2->Stored);
    EXPECT_EQ(room2->Offset, 0x2200u);
    ASSERT_EQ(room2->ScrollList.size(), 2u); // the first record of the room
    EXPECT_EQ(room2->ScrollList[1].ToBytes(), Scroll(2, 30, 17, 31, 7));
    EXPECT_EQ(room2->ScrollList[1].BreakX(), 7);
    EXPECT_EQ(room2->ScrollList[1].ExtendBound(), 2);
    EXPECT_EQ(room2->ScrollList[1].ExtendValue(), 9);

    auto room7 = ReadRoomScrolls(*file, Game::ZM, 0, 7);
    ASSERT_TRUE(room7);
    EXPECT_FALSE(room7->Stored);
    EXPECT_TRUE(room7->ScrollList.empty());

    struct Case {
        int area;
        ErrorKind kind;
    };
    for (const auto& c :
         {Case{1, ErrorKind::PointerOutOfRange}, Case{2, ErrorKind::PointerOutOfRange},
          Case{3, ErrorKind::PointerOutOfRange}, Case{4, ErrorKind::BadScrollData},
          Case{5, ErrorKind::PointerOutOfRange}, Case{11, ErrorKind::BadArgument},
          Case{-1, ErrorKind::BadArgument}}) {
        auto read = ReadRoomScrolls(*file, Game::ZM, c.area, 2);
        ASSERT_FALSE(read) << "area " << c.area;
        EXPECT_EQ(read.error().kind, c.kind) << "area " << c.area << ": " << Describe(read.error());
    }
    // Fusion's table lies past this file.
    EXPECT_FALSE(ReadRoomScrolls(*file, Game::MF, 0, 2));
}

TEST(ScrollData, LabelsCoverInclusiveBounds) {
    EXPECT_EQ(ScrollLabelGeometry(ScrollRecord(Scroll(2, 10, 0, 5))),
              (ScrollLabelPlace{32, 0, 144, 96}));
    EXPECT_EQ(ScrollLabelGeometry(ScrollRecord(Scroll(4, 4, 7, 7))),
              (ScrollLabelPlace{64, 112, 16, 16}));
    EXPECT_FALSE(ScrollLabelGeometry(ScrollRecord(Scroll(5, 4, 0, 1))));
    EXPECT_FALSE(ScrollLabelGeometry(ScrollRecord(Scroll(0, 1, 3, 2))));
}

TEST(ScrollData, DragsMoveOneEdgeOrTheBodyAndStayInOrder) {
    const ScrollRecord scroll(Scroll(10, 20, 5, 8));
    struct Case {
        ScrollHandle handle;
        int dx, dy;
        ScrollRecord::Bytes after;
    };
    for (const auto& c : {
             Case{ScrollHandle::Body, -3, 2, Scroll(7, 17, 7, 10)},
             Case{ScrollHandle::Body, -50, -50, Scroll(0, 10, 0, 3)},
             Case{ScrollHandle::Body, 300, 300, Scroll(245, 255, 252, 255)},
             Case{ScrollHandle::Left, 4, 9, Scroll(14, 20, 5, 8)},
             Case{ScrollHandle::Left, 30, 0, Scroll(20, 20, 5, 8)}, // never past the right edge
             Case{ScrollHandle::Right, -30, 0, Scroll(10, 10, 5, 8)},
             Case{ScrollHandle::Right, 500, 0, Scroll(10, 255, 5, 8)},
             Case{ScrollHandle::Top, 0, -9, Scroll(10, 20, 0, 8)},
             Case{ScrollHandle::Bottom, 0, -9, Scroll(10, 20, 5, 5)},
         }) {
        EXPECT_EQ(DragScroll(scroll, c.handle, c.dx, c.dy).ToBytes(), c.after)
            << static_cast<int>(c.handle) << " by " << c.dx << "," << c.dy;
    }
    // In a room whose last column is 30 and last row 12 nothing goes past them; a bound the
    // ROM already put further out is not pulled in by a drag that does not reach it.
    const ScrollRecord wide(Scroll(10, 40, 5, 8));
    for (const auto& [record, c] : {
             std::pair{scroll, Case{ScrollHandle::Body, 50, 50, Scroll(20, 30, 9, 12)}},
             std::pair{scroll, Case{ScrollHandle::Right, 50, 0, Scroll(10, 30, 5, 8)}},
             std::pair{scroll, Case{ScrollHandle::Bottom, 0, 50, Scroll(10, 20, 5, 12)}},
             std::pair{wide, Case{ScrollHandle::Right, 5, 0, Scroll(10, 40, 5, 8)}},
             std::pair{wide, Case{ScrollHandle::Right, -15, 0, Scroll(10, 25, 5, 8)}},
             std::pair{wide, Case{ScrollHandle::Body, 3, 0, Scroll(10, 40, 5, 8)}},
         }) {
        EXPECT_EQ(DragScroll(record, c.handle, c.dx, c.dy, 30, 12).ToBytes(), c.after)
            << static_cast<int>(c.handle) << " by " << c.dx << "," << c.dy;
    }
    // Within 5 pixels of an edge the edge is grabbed; a label too small for that has none.
    EXPECT_EQ(ScrollHandleAt(160, 64, 2, 30, 5), ScrollHandle::Left);
    EXPECT_EQ(ScrollHandleAt(160, 64, 157, 30, 5), ScrollHandle::Right);
    EXPECT_EQ(ScrollHandleAt(160, 64, 80, 62, 5), ScrollHandle::Bottom);
    EXPECT_EQ(ScrollHandleAt(160, 64, 80, 30, 5), ScrollHandle::Body);
    EXPECT_EQ(ScrollHandleAt(12, 12, 1, 1, 5), ScrollHandle::Body);
}

TEST(ScrollData, WritesTheWholeRecordInPlaceOnlyWhenChanged) {
    RoomScrolls scrolls;
    scrolls.Area = 1;
    scrolls.Room = 4;
    scrolls.Stored = true;
    scrolls.Offset = 0x3000;
    scrolls.RoomByte = 4;
    scrolls.ScrollList = {ScrollRecord(Scroll(0, 9, 0, 9)), ScrollRecord(Scroll(1, 2, 3, 4))};
    scrolls.AsRead = scrolls.ScrollList;
    EXPECT_FALSE(ScrollWrite(scrolls));

    EXPECT_FALSE(SetScrollField(scrolls, 1, ScrollField::ExtendBound, 4));
    EXPECT_FALSE(SetScrollField(scrolls, 2, ScrollField::BreakX, 1));
    ASSERT_TRUE(SetScrollField(scrolls, 1, ScrollField::BreakX, 0x20));
    ASSERT_TRUE(
        SetScroll(scrolls, 0, DragScroll(scrolls.ScrollList[0], ScrollHandle::Right, 3, 0)));
    const auto write = ScrollWrite(scrolls);
    ASSERT_TRUE(write);
    EXPECT_EQ(write->offset, 0x3000u);
    EXPECT_EQ(write->expected, (std::vector<uint8_t>{4, 2, 0, 9, 0, 9, 0xFF, 0xFF, 2, 9, 1, 2, 3, 4,
                                                     0xFF, 0xFF, 2, 9}));
    EXPECT_EQ(write->bytes, (std::vector<uint8_t>{4, 2, 0, 12, 0, 9, 0xFF, 0xFF, 2, 9, 1, 2, 3, 4,
                                                  0x20, 0xFF, 2, 9}));
    MarkScrollsSaved(scrolls);
    EXPECT_FALSE(ScrollsChanged(scrolls));
}

} // namespace
} // namespace quarnel
