#pragma once
// frmTSA, the "TSA Editor": the loaded tileset's 1,024 tile cells (8 per row) and its 1,024
// blocks (16 per row), the inspection and editing of one block's four tiles, and the file
// buttons: the palette as the 1,024-byte palette file or JASC-PAL text, the tiles as the
// 26,880-byte tile file or a tile sheet PNG, reading a tile sheet into memory ("Import PNG")
// and writing a tile file or sheet into the ROM ("Import Tileset").
//
// The window keeps no room data: it shows and changes the editor state's tileset. "Save"
// puts the edited entry into the block table in memory; the main window's "Save Room" writes
// the table back. Whenever the tiles or blocks change, graphicsChanged tells the main window
// to redraw its map. A cancelled file dialog does nothing.

#include "graphics/Surface.h"
#include "side/BlockEditing.h"

#include <QPointF>
#include <QWidget>

#include <array>
#include <string>

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;

namespace quarnel {

class Dialogs;
class PictureWidget;
class RomBackups;
struct EditorState;

class frmTSA : public QWidget {
    Q_OBJECT

public:
    // `state`, `dialogs` and `backups` (the run's backup record, shared with Save Room) must
    // outlive the window. The window fills itself at once (Form_Load).
    frmTSA(EditorState& state, Dialogs& dialogs, RomBackups& backups, QWidget* parent = nullptr);
    ~frmTSA() override;

    // Shows the state's tileset as it stands now: both pictures drawn again, block 0 selected.
    // The main window calls it after every room selection while the window is open.
    void LoadForm();

    int SelectedBlock() const { return m_selectedBlock; }
    const std::array<BlockTile, kBlockCorners>& BlockTiles() const { return m_blockTiles; }
    const Surface& TilePicture() const { return m_tilePicture; }
    const Surface& BlockPicture() const { return m_blockPicture; }

    // Controls, named as the editor's design names them.
    PictureWidget* picTileset = nullptr;
    QWidget* picTilehold = nullptr;
    QScrollBar* vsbTileset = nullptr;
    PictureWidget* PicTSA = nullptr;
    QWidget* picHolding = nullptr;
    QScrollBar* vsbTSA = nullptr;
    QLabel* lblTileNo = nullptr;
    QLabel* lblBlockNo = nullptr;
    QLabel* lblStatus = nullptr;
    PictureWidget* picBlock = nullptr;
    QComboBox* cboTile = nullptr;
    QComboBox* cboPal = nullptr;
    QLineEdit* txtTileNo = nullptr;
    QCheckBox* chkHoriz = nullptr;
    QCheckBox* chkVert = nullptr;
    QPushButton* Command2 = nullptr; // "Save"
    QPushButton* Command1 = nullptr; // "Redraw"
    QPushButton* cmdImportTileset = nullptr;
    QPushButton* cmdImportPal = nullptr;
    QPushButton* cmSavePal = nullptr;
    QPushButton* cmSaveTiles = nullptr;
    QPushButton* cmdSaveJasc = nullptr;
    QPushButton* cmdExportPng = nullptr;
    QPushButton* cmdImportPng = nullptr;

    // Event handlers.
    void picTileset_MouseMove(QPointF position);
    void PicTSA_MouseMove(QPointF position);
    void PicTSA_MouseDown(QPointF position);
    void cboTile_Click();
    void Command2_Click();
    void Command1_Click();
    void cmSavePal_Click();
    void cmSaveTiles_Click();
    void cmdSaveJasc_Click();
    void cmdExportPng_Click();
    void cmdImportPng_Click();
    void cmdImportTileset_Click();

signals:
    // The tiles or the block table in the state changed: the map must be drawn again.
    void graphicsChanged();

private:
    void Form_Load();
    QWidget* BuildPictures();
    QWidget* BuildBlockFrame();
    QWidget* BuildButtons();
    void DrawTilePicture();
    void DrawBlock();
    void SelectBlock(int block);
    void RefreshPictures();
    bool HasTileset() const;
    void ShowStatus(const std::string& text);

    EditorState& m_state;
    Dialogs& m_dialogs;
    RomBackups& m_backups;
    Surface m_tilePicture;
    Surface m_blockPicture;
    int m_selectedBlock = 0;
    std::array<BlockTile, kBlockCorners> m_blockTiles{};
};

} // namespace quarnel
