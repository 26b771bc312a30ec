// frmTSA: the file buttons and "Import Tileset".

#include "side/frmTSA.h"

#include "main/Dialogs.h"
#include "main/EditorState.h"
#include "side/PaletteFiles.h"
#include "side/TileFiles.h"
#include "side/TilesetReinsert.h"

#include <QComboBox>

#include <filesystem>
#include <functional>

namespace quarnel {

namespace {

constexpr const char* kNoRom = "No rom loaded";

// Asks for a file to write and writes it; a cancelled dialog does nothing.
template <class Write>
void SaveThroughDialog(Dialogs& dialogs, const char* title, const char* filter, const Write& write,
                       const std::function<void(const std::string&)>& done) {
    const auto chosen = dialogs.SaveFile(title, filter);
    if (!chosen || chosen->empty()) {
        return;
    }
    if (auto written = write(*chosen); !written) {
        dialogs.Message(Describe(written.error()));
        return;
    }
    done("Saved " + chosen->string());
}

} // namespace

void frmTSA::cmSavePal_Click() {
    if (!HasTileset()) {
        m_dialogs.Message(kNoRom);
        return;
    }
    SaveThroughDialog(
        m_dialogs, "Save Pal File", "Pal Files| *.Pal",
        [this](const std::filesystem::path& path) {
            return WritePaletteFile(m_state.Graphics.Colours, path);
        },
        [this](const std::string& text) { ShowStatus(text); });
}

void frmTSA::cmdSaveJasc_Click() {
    if (!HasTileset()) {
        m_dialogs.Message(kNoRom);
        return;
    }
    SaveThroughDialog(
        m_dialogs, "Save JASC-PAL File", "JASC-PAL Files| *.pal",
        [this](const std::filesystem::path& path) {
            return WriteJascPal(m_state.Graphics.Colours, path);
        },
        [this](const std::string& text) { ShowStatus(text); });
}

void frmTSA::cmSaveTiles_Click() {
    if (!HasTileset()) {
        m_dialogs.Message(kNoRom);
        return;
    }
    SaveThroughDialog(
        m_dialogs, "Save Binary File", "BIN Files| *.bin",
        [this](const std::filesystem::path& path) {
            return WriteTileFile(m_state.Graphics.Tiles, path);
        },
        [this](const std::string& text) { ShowStatus(text); });
}

void frmTSA::cmdExportPng_Click() {
    if (!HasTileset()) {
        m_dialogs.Message(kNoRom);
        return;
    }
    const int row = std::max(0, cboPal->currentIndex());
    SaveThroughDialog(
        m_dialogs, "Export PNG", "PNG Files| *.png",
        [this, row](const std::filesystem::path& path) {
            return WriteTileSheet(m_state.Graphics.Tiles, m_state.Graphics.Colours, row, path);
        },
        [this, row](const std::string& text) {
            ShowStatus(text + " (palette row " + std::to_string(row) + ")");
        });
}

void frmTSA::cmdImportPng_Click() {
    if (!HasTileset()) {
        m_dialogs.Message(kNoRom);
        return;
    }
    const auto chosen = m_dialogs.OpenFile("Import PNG", "PNG Files| *.png");
    if (!chosen || chosen->empty()) {
        return;
    }
    auto tiles = ReadTileSheet(*chosen);
    if (!tiles) {
        m_dialogs.Message("The tiles were not read.\r\n" + Describe(tiles.error()) + ".");
        return;
    }
    m_state.Graphics.Tiles = *tiles;
    Command1_Click();
    emit graphicsChanged();
    ShowStatus("Tiles read from " + chosen->string() +
               ". They are in the editor only; \"Import Tileset\" writes a tile file or sheet "
               "into the ROM.");
}

void frmTSA::cmdImportTileset_Click() {
    if (!HasTileset()) {
        m_dialogs.Message(kNoRom);
        return;
    }
    const auto chosen = m_dialogs.OpenFile(
        "Open Tileset File", "Tile Files| *.Bin;*.png|Bin Files| *.Bin|PNG Files| *.png");
    if (!chosen || chosen->empty()) {
        return;
    }
    auto tiles = ReadTilesFile(*chosen);
    if (!tiles) {
        m_dialogs.Message("The tiles were not written.\r\n" + Describe(tiles.error()) + ".");
        return;
    }
    const TileGraphics before = m_state.Graphics.Tiles;
    m_state.Graphics.Tiles = *tiles;
    RomWriteServices services{m_state.Storage, m_backups, {}};
    auto done = ReinsertTileset(m_state, services);
    if (!done && done.error().kind != ErrorKind::VerifyMismatch) {
        // Nothing was committed: the editor keeps showing what the ROM holds.
        m_state.Graphics.Tiles = before;
        DrawTileset(m_state.Graphics);
    }
    Command1_Click();
    emit graphicsChanged();
    if (!done) {
        m_dialogs.Message("The tiles were not written.\r\n" + Describe(done.error()) + ".");
        return;
    }
    std::string text = done->written.empty()
                           ? "The ROM already holds these tiles; nothing was written."
                           : "Tileset " + std::to_string(m_state.Graphics.Number) + " written.";
    if (done->backup) {
        text += " A backup of the ROM was written to " + done->backup->string() + ".";
    }
    ShowStatus(text);
    if (!done->notes.empty()) {
        std::string notes;
        for (const auto& note : done->notes) {
            notes += (notes.empty() ? "" : "\r\n") + note;
        }
        m_dialogs.Message(notes);
    }
}

} // namespace quarnel
