#include "storage/RoomResize.h"

#include "graphics/RoomRenderer.h"
#include "main/Dialogs.h"
#include "main/RoomLoading.h"

#include <vector>

namespace quarnel {

namespace {

// 7200 -> "7,200".
std::string Grouped(int value) {
    std::string digits = std::to_string(value);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) {
        digits.insert(static_cast<size_t>(at), ",");
    }
    return digits;
}

bool BlankAnswer(const std::optional<std::string>& answer) {
    return !answer || answer->find_first_not_of(" \t") == std::string::npos;
}

// Reads one dimension; nothing when the resize is to be abandoned.
std::optional<uint8_t> AskDimension(Dialogs& dialogs, const std::string& prompt, const char* name) {
    const auto answer = dialogs.InputBox(prompt);
    if (BlankAnswer(answer)) {
        return std::nullopt;
    }
    const auto value = ParseRoomDimension(*answer);
    if (!value) {
        dialogs.Message(std::string("The room was not resized: the ") + name +
                        " must be a whole number from 1 to 255, not \"" + *answer + "\".");
    }
    return value;
}

// The map picture's size after a resize, as a room load works it out: the level layer's
// when it is usable, else the largest usable tile layer's.
MapLayout ResizedLayout(const EditorState& state) {
    if (state.LayerUsable(LayerKind::Level)) {
        return LevelLayout(state.LevelLayer);
    }
    std::vector<const RoomLayer*> present;
    for (LayerKind kind : {LayerKind::Foreground, LayerKind::Level, LayerKind::Back}) {
        if (state.LayerUsable(kind)) {
            present.push_back(&state.Layer(kind));
        }
    }
    return LargestLayerLayout(present);
}

} // namespace

std::string ResizeNotice() {
    return "Please Note.\r\nThe current Room will not be saved. The new changes will take place "
           "as soon as you're done. Have a nice day!";
}

std::string ResizeWidthPrompt(int currentWidth) {
    return "Please enter the new width for the room. Max Width is 255 and Minimum is 0\r\n"
           "Current Width is: " +
           std::to_string(currentWidth);
}

std::string ResizeHeightPrompt(int currentHeight) {
    return "Please enter the new height for the room. Max Height is 255 and Minimum is 0\r\n"
           "Current height is: " +
           std::to_string(currentHeight);
}

std::string ResizeConfirmation(RoomSize size) {
    return "Your new height is: " + std::to_string(size.Height) +
           "\r\nYour new width is: " + std::to_string(size.Width);
}

std::string LargeRoomQuestion(int blocks) {
    return "The games hold at most 6,144 blocks per layer; this room would have " +
           Grouped(blocks) + ". Resize anyway?";
}

std::optional<uint8_t> ParseRoomDimension(std::string_view answer) {
    const auto first = answer.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return std::nullopt;
    }
    answer = answer.substr(first, answer.find_last_not_of(" \t") - first + 1);
    if (answer.size() > 3) {
        return std::nullopt;
    }
    int value = 0;
    for (char c : answer) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    if (value < 1 || value > 255) {
        return std::nullopt;
    }
    return static_cast<uint8_t>(value);
}

std::optional<RoomSize> AskNewRoomSize(const EditorState& state, Dialogs& dialogs) {
    dialogs.Message(ResizeNotice());
    const auto width = AskDimension(dialogs, ResizeWidthPrompt(state.LevelLayer.Width), "width");
    if (!width) {
        return std::nullopt;
    }
    const auto height =
        AskDimension(dialogs, ResizeHeightPrompt(state.LevelLayer.Height), "height");
    if (!height) {
        return std::nullopt;
    }
    const RoomSize size{*width, *height};
    const int blocks = int{size.Width} * int{size.Height};
    if (blocks > kGameLayerBlocks && !dialogs.Ask(LargeRoomQuestion(blocks))) {
        return std::nullopt;
    }
    dialogs.Message(ResizeConfirmation(size));
    return size;
}

void ApplyRoomResize(EditorState& state, RoomSize size) {
    for (LayerKind kind :
         {LayerKind::Level, LayerKind::Foreground, LayerKind::Back, LayerKind::Clip}) {
        state.Layer(kind).Resize(size.Width, size.Height);
    }
    state.ForegroundDirty = state.ForegroundDirty || state.LayerUsable(LayerKind::Foreground);
    state.LevelDirty = state.LevelDirty || state.LayerUsable(LayerKind::Level);
    state.BackDirty = state.BackDirty || state.LayerUsable(LayerKind::Back);
    state.Edited = true;
    state.Layout = ResizedLayout(state);
    state.MapPicture.Resize(state.Layout.Width, state.Layout.Height);
    RedrawMap(state);
}

std::optional<Result<SaveOutcome, Error>>
ResizeRoom(EditorState& state, Dialogs& dialogs, const HeaderLists& lists, SaveServices& services) {
    if (!state.RomOpened || state.Area < 0 || state.Room < 0) {
        return std::nullopt;
    }
    const auto size = AskNewRoomSize(state, dialogs);
    if (!size) {
        return std::nullopt;
    }
    ApplyRoomResize(state, *size);
    return SaveRoom(state, lists, services);
}

} // namespace quarnel
