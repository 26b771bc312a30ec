#pragma once
// Room resize ("Resize Room"): gives the loaded room a new width and height in blocks, the
// same for all four layers, keeping the cells that still fit (new cells 0), then saves the
// room, which writes it and loads it again.
//
// The save writes every present tile layer in the new size, not only the painted ones, and
// the clipdata, so all layers of the room keep one size in the ROM. An answer that is
// cancelled, empty, not a whole number, outside 1 to 255 (0 lies outside the stored layer
// format), or a No to the size question abandons the resize with every layer unchanged.

#include "common/Error.h"
#include "common/Result.h"
#include "main/EditorState.h"
#include "storage/RoomSave.h"
#include "storage/SavePlan.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quarnel {

class Dialogs;

struct RoomSize {
    uint8_t Width = 0;
    uint8_t Height = 0;
};

// The games decode a layer into a buffer of this many blocks (width x height).
inline constexpr int kGameLayerBlocks = 6144;

// The texts of the resize, with CR LF line breaks.
std::string ResizeNotice();
std::string ResizeWidthPrompt(int currentWidth);
std::string ResizeHeightPrompt(int currentHeight);
std::string ResizeConfirmation(RoomSize size); // the height first, then the width
std::string LargeRoomQuestion(int blocks);

// An answer to a size prompt: a whole decimal number from 1 to 255, blanks around it
// allowed; anything else gives nothing.
std::optional<uint8_t> ParseRoomDimension(std::string_view answer);

// Shows the notice, asks for the width and the height (the level layer's size is shown as
// the current one), asks before a size of more than 6,144 blocks and shows the new size.
// Nothing when the resize is abandoned; an answer that is not a valid size is explained in
// a message, a cancel or an empty answer is not.
std::optional<RoomSize> AskNewRoomSize(const EditorState& state, Dialogs& dialogs);

// Sets the size on the level, foreground, back and clipdata layers in that order, keeping
// every cell that exists both before and after, marks every usable tile layer changed (so
// the next save writes it) and redraws the map picture in the new size.
void ApplyRoomResize(EditorState& state, RoomSize size);

// "Resize Room": AskNewRoomSize, ApplyRoomResize, then SaveRoom. Nothing when abandoned
// (every layer unchanged), otherwise the save's result. When the save fails the resized
// layers stay in the editor, marked changed, so "Save Room" can write them later.
std::optional<Result<SaveOutcome, Error>>
ResizeRoom(EditorState& state, Dialogs& dialogs, const HeaderLists& lists, SaveServices& services);

} // namespace quarnel
