// frmMain: the tooltips of the controls whose captions are too terse to explain themselves.

#include "main/frmMain.h"

#include "main/PictureWidget.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include <utility>

namespace quarnel {

void frmMain::ApplyTooltips() {
    // Captions are plain labels beside their controls: each gets the tip of what it names.
    const std::pair<const char*, const char*> captions[] = {
        {"Area:", "The game area; choosing one loads its room 0 (Ctrl+Page Up / Ctrl+Page Down)"},
        {"Room:", "The room of the area, in hexadecimal; type a number and press Enter, or use "
                  "Page Up / Page Down"},
        {"Tileset:", "The tileset the room is drawn with (header byte 0); saved with the room"},
        {"Music:", "The music track the room plays; saved with the room"},
        {"MiniMap Position:", "The room's cell on the area's minimap: X, then Y"},
        {"Attribute:", "The clip value painted while \"Clipdata\" is ticked under Edit Control"},
        {"Sprite set:", "Which of the room's three sprite lists the map shows and edits"},
        {"Backlayer Data:", "The back layer's block under the pointer"},
        {"ForegroundData:", "The foreground layer's block under the pointer"},
        {"TileData:", "The level layer's block under the pointer"},
        {"ClipData:", "The clip value under the pointer, with its name"},
    };
    for (QLabel* label : findChildren<QLabel*>()) {
        for (const auto& [caption, tip] : captions) {
            if (label->text() == QLatin1String(caption)) {
                label->setToolTip(QString::fromUtf8(tip));
            }
        }
    }
    const std::pair<QWidget*, const char*> controls[] = {
        {cboAreas, "The game area; choosing one loads its room 0"},
        {cboRoom, "The room shown, in hexadecimal"},
        {cboTileset, "The tileset the room is drawn with; saved with the room"},
        {cboMusic, "The music track the room plays; saved with the room"},
        {cboMX, "The room's minimap cell: X"},
        {cboMY, "The room's minimap cell: Y"},
        {cboAttribute, "The clip value painted while \"Clipdata\" is ticked"},
        {cboSpriteIndex, "The sprite list shown (0, 1 or 2); choosing one reloads it from the ROM"},
        {chkBackLayer, "Paint into the back layer"},
        {chkForeground, "Paint into the foreground layer"},
        {chkLevel, "Paint into the level layer (the blocks Samus touches)"},
        {chkClip, "Paint clip values (collision) with the Attribute chosen above"},
        {chkViewForeground, "Show the foreground layer"},
        {chkViewLevel, "Show the level layer"},
        {chkViewBack, "Show the back layer"},
        {chkViewLayer4, "Layer 4 is not drawn by the editor"},
        {picMap, "Left button: paint the chosen block. Right button: take the block under the "
                 "pointer. Ctrl+Z undoes."},
        {PicTSA, "Click a block to paint with it"},
        {Label13, "The block last clicked on the map (X, Y in hexadecimal)"},
    };
    for (const auto& [control, tip] : controls) {
        if (control != nullptr && control->toolTip().isEmpty()) {
            control->setToolTip(QString::fromUtf8(tip));
        }
    }
}

} // namespace quarnel
