#pragma once
// frmMiniMap, the "MiniMap Editor": shows a ZM area's 32 x 32 minimap and its tiles, paints
// the chosen tile with the chosen palette row and flips into cells, and saves the minimap into
// free space. The current room's cell is outlined when its area is shown. Fusion ROMs are
// refused. The main window shows it from its "Minimap" entry and calls RoomLoaded after every
// room load while the entry is checked.
//
// Mouse: over the tile picture, the left button chooses the tile. Over the minimap, the left
// button paints (also while dragging), the right button names the cell's index, and the right
// button with Shift takes the cell's tile, palette row and flips as the ones painted.

#include "side/MiniMap.h"

#include <QPoint>
#include <QWidget>

#include <filesystem>
#include <functional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QScrollArea;

namespace quarnel {

class Dialogs;
class ZoomPictureWidget;
struct EditorState;
struct RomWriteServices;

class frmMiniMap : public QWidget {
    Q_OBJECT

public:
    // The main window's minimap position lists (their selected indexes: the room's place).
    using RoomPosition = std::function<QPoint()>;

    // `state`, `dialogs` and `services` must outlive the window.
    frmMiniMap(EditorState& state, Dialogs& dialogs, RomWriteServices& services,
               RoomPosition roomPosition, QWidget* parent = nullptr);
    ~frmMiniMap() override;

    // Showing the window loads it (Form_Load); a window that cannot load (no ROM, a Fusion
    // ROM) says why and stays hidden.
    void setVisible(bool visible) override;

    // Form_Load: reads the minimap graphics and shows the main window's area. False, after a
    // message, when there is nothing to show.
    bool Form_Load();
    // After a room load: shows the room's area again (reread from the ROM). Unsaved painting
    // is kept while the area stays the same; leaving it asks first.
    void RoomLoaded();

    void cboAreas_Click();
    void cmdSave_Click();
    void picTiles_Mouse(Qt::MouseButtons buttons, QPointF position);
    void picMiniMap_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers,
                              QPointF position);
    void picMiniMap_MouseMove(Qt::MouseButtons buttons, QPointF position);
    // After File > Save As copied the ROM at `from` to the editor's ROM path: the shown minimap,
    // read from `from`, is the copy's too, so its painting is saved there.
    void RomCopied(const std::filesystem::path& from);
    // After an undo or redo changed the shown minimap or the room's minimap position: draws
    // both again.
    void Refresh();

    // What the window holds, for its tests.
    const MiniMap& Map() const;
    uint16_t CurrentEntry() const;
    bool HasUnsavedChanges() const { return m_dirty; }
    const Surface& MapPicture() const { return m_mapPicture; }

signals:
    // The shown minimap was read again (a load or a save) or its painting was discarded: the
    // main window's unsaved-changes marker follows.
    void readAgain();

public:
    QComboBox* cboAreas = nullptr;
    QComboBox* cboRow = nullptr;
    QComboBox* cboZoom = nullptr;
    QCheckBox* chkHFlip = nullptr;
    QCheckBox* chkVFlip = nullptr;
    ZoomPictureWidget* picTiles = nullptr;
    ZoomPictureWidget* picMiniMap = nullptr;
    QLabel* lblTile = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* lblStatus = nullptr;
    QPushButton* cmdSave = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void LoadForm();
    void LoadPrelims();
    void LoadArea(int area);
    void DrawMiniMapTiles();
    void DrawMap();
    void MarkRoomPosition();
    void ApplyZoom();
    void SelectQuietly(int area);
    void SetCurrentEntry(uint16_t entry);
    bool Ready();

    EditorState& m_state;
    Dialogs& m_dialogs;
    RomWriteServices& m_services;
    RoomPosition m_roomPosition;
    std::filesystem::path m_romPath; // the ROM the shown minimap was read from
    MiniMapArt m_art;
    uint64_t m_gesture = 0;
    Surface m_tilesPicture;
    Surface m_mapPicture;
    uint16_t m_currentTile = 0; // the tile number painted (CurrentTile)
    bool m_dirty = false;
    bool m_loading = false;
    QScrollArea* m_tilesHolder = nullptr;
    QScrollArea* m_mapHolder = nullptr;
};

} // namespace quarnel
