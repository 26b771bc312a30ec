#include "side/PaletteFiles.h"

#include "common/Files.h"
#include "graphics/Surface.h"

#include <span>

namespace quarnel {

std::array<uint8_t, kPaletteFileSize> PaletteFileBytes(const ColourTable& colours) {
    std::array<uint8_t, kPaletteFileSize> bytes{};
    for (size_t row = 0; row < kPaletteRows; ++row) {
        for (size_t colour = 0; colour < kRowColours; ++colour) {
            const uint32_t pixel = colours[kRowColours * row + colour];
            const size_t at = 4 * (kPaletteRows * colour + row);
            bytes[at] = RedOf(pixel);
            bytes[at + 1] = GreenOf(pixel);
            bytes[at + 2] = BlueOf(pixel);
            bytes[at + 3] = 0;
        }
    }
    return bytes;
}

std::string JascPalText(const ColourTable& colours) {
    std::string text = "JASC-PAL\r\n0100\r\n256\r\n";
    for (const uint32_t pixel : colours) {
        text += std::to_string(RedOf(pixel)) + " " + std::to_string(GreenOf(pixel)) + " " +
                std::to_string(BlueOf(pixel)) + "\r\n";
    }
    return text;
}

Result<void, Error> WritePaletteFile(const ColourTable& colours,
                                     const std::filesystem::path& path) {
    return WriteFileAtomically(path, PaletteFileBytes(colours));
}

Result<void, Error> WriteJascPal(const ColourTable& colours, const std::filesystem::path& path) {
    const std::string text = JascPalText(colours);
    return WriteFileAtomically(
        path, std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

} // namespace quarnel
