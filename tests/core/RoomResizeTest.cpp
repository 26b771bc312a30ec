#include "storage/RoomResize.h"

#include "storage/SaveVerify.h"

#include "SaveRig.h"
#include "ScriptedDialogs.h"

#include <gtest/gtest.h>

#include <map>

namespace quarnel {
namespace {

using testing::SaveRig;
using testing::ScriptedDialogs;

std::optional<Result<SaveOutcome, Error>> Resize(SaveRig& rig, ScriptedDialogs& dialogs) {
    return ResizeRoom(rig.state, dialogs, ListsOf(rig.state.CurrentRoomHeader), rig.services);
}

TEST(RoomResize, AbandonedAnswersLeaveEveryLayerAndTheFileUnchanged) {
    using Answer = std::optional<std::string>;
    const struct {
        std::vector<Answer> inputs;
        const char* message; // the explanation shown, if any
    } cases[] = {
        {{std::nullopt}, nullptr},
        {{" "}, nullptr},
        {{"abc"},
         "The room was not resized: the width must be a whole number from 1 to 255, "
         "not \"abc\"."},
        {{"256"}, "the width must"},
        {{"0"}, "the width must"},
        {{"-3"}, "the width must"},
        {{"12.5"}, "the width must"},
        {{"20", std::nullopt}, nullptr},
        {{"20", "0"}, "the height must"},
        {{"200", "200"}, nullptr}, // No to the size question
    };
    SaveRig rig(Game::ZM);
    const auto before = rig.Bytes();
    const RoomLayer level = rig.state.LevelLayer, clip = rig.state.ClipLayer;
    for (const auto& c : cases) {
        ScriptedDialogs dialogs;
        dialogs.inputs.assign(c.inputs.begin(), c.inputs.end());
        EXPECT_FALSE(Resize(rig, dialogs));
        EXPECT_EQ(rig.state.LevelLayer, level);
        EXPECT_EQ(rig.state.ClipLayer, clip);
        EXPECT_FALSE(rig.state.LevelDirty);
        EXPECT_EQ(dialogs.prompts.size(), c.inputs.size());
        EXPECT_EQ(dialogs.messages.size(), c.message ? 2u : 1u);
        if (c.message != nullptr && dialogs.messages.size() == 2) {
            EXPECT_NE(dialogs.messages[1].find(c.message), std::string::npos)
                << dialogs.messages[1];
        }
    }
    EXPECT_TRUE(rig.Bytes() == before);
}

// Grows the room by ten columns, or shrinks it to 10 x 10: every present layer and the
// clipdata are written in the new size, the cells that fit are kept and new cells are 0.
TEST(RoomResize, KeepsTheCellsThatFitAndWritesEveryPresentLayer) {
    for (bool grow : {true, false}) {
        SaveRig rig(Game::MF);
        const uint8_t width = rig.state.LevelLayer.Width, height = rig.state.LevelLayer.Height;
        const RoomSize size =
            grow ? RoomSize{static_cast<uint8_t>(width + 10), height} : RoomSize{10, 10};
        std::map<LayerKind, RoomLayer> before;
        for (LayerKind kind :
             {LayerKind::Foreground, LayerKind::Level, LayerKind::Back, LayerKind::Clip}) {
            before[kind] = rig.state.Layer(kind);
        }
        ScriptedDialogs dialogs;
        dialogs.inputs = {" " + std::to_string(size.Width), std::to_string(size.Height)};
        dialogs.answers = {true};
        auto resized = Resize(rig, dialogs);
        ASSERT_TRUE(resized && *resized) << Describe(resized->error());
        EXPECT_TRUE((*resized)->differences.empty());
        EXPECT_EQ((*resized)->layers.size(), 4u);
        EXPECT_EQ(dialogs.messages.front(),
                  "Please Note.\r\nThe current Room will not be saved. The new changes will take "
                  "place as soon as you're done. Have a nice day!");
        EXPECT_EQ(dialogs.prompts,
                  (std::vector<std::string>{
                      "Please enter the new width for the room. Max Width is 255 and Minimum is "
                      "0\r\nCurrent Width is: " +
                          std::to_string(width),
                      "Please enter the new height for the room. Max Height is 255 and Minimum is "
                      "0\r\nCurrent height is: " +
                          std::to_string(height)}));
        EXPECT_EQ(dialogs.messages.back(),
                  "Your new height is: " + std::to_string(size.Height) +
                      "\r\nYour new width is: " + std::to_string(size.Width));

        auto fresh = rig.Reopened();
        for (const auto& [kind, old] : before) {
            const RoomLayer& now = fresh->Layer(kind);
            ASSERT_EQ(now.Width, size.Width) << LayerName(kind);
            ASSERT_EQ(now.Height, size.Height) << LayerName(kind);
            for (int i = 0; i < size.Width * size.Height; ++i) {
                const int x = i % size.Width, y = i / size.Width;
                const bool kept = x < old.Width && y < old.Height;
                ASSERT_EQ(StoredBits(kind, now.Cell(x, y)),
                          kept ? StoredBits(kind, old.Cell(x, y)) : 0)
                    << LayerName(kind) << " " << x << ", " << y;
            }
        }
    }
}

TEST(RoomResize, AsksBeforeARoomLargerThanTheGamesHold) {
    SaveRig rig(Game::ZM);
    ScriptedDialogs dialogs;
    dialogs.inputs = {"100", "62", "96", "64"};
    dialogs.answers = {true};
    ASSERT_TRUE(Resize(rig, dialogs));
    EXPECT_EQ(dialogs.questions, std::vector<std::string>{"The games hold at most 6,144 blocks per "
                                                          "layer; this room would have 6,200. "
                                                          "Resize anyway?"});
    EXPECT_EQ(rig.Reopened()->LevelLayer.Width, 100);
    ASSERT_TRUE(Resize(rig, dialogs)); // 6,144 blocks exactly: no question
    EXPECT_EQ(dialogs.questions.size(), 1u);
}

} // namespace
} // namespace quarnel
