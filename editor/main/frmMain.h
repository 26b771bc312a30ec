#pragma once
// frmMain, the editor's main window: the ROM, area and room lists, the header lists, the
// map and tileset pictures, the edit and view switches, the sprite and door markers, the
// menus and the sixteen animation timers. It holds no room data of its own: everything lives
// in the EditorState, which it reads and changes through the core; blocking dialogs go
// through the Dialogs interface.

#include "main/Dialogs.h"
#include "main/EditorState.h"
#include "main/MapEditing.h"
#include "main/MapLabels.h"
#include "main/RoomLoading.h"

#include <QMainWindow>
#include <QPoint>
#include <QPointF>
#include <QString>

#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QMenu;
class QSettings;
class QPushButton;
class QScrollBar;
class QTimer;

namespace quarnel {

class DumpActions;
class MarkerLabelWidget;
class RomBackups;
class PatchActions;
class PelnixBinding;
class PictureScrollWidget;
class PictureWidget;
class RoomSaveActions;
class WindowPlacement;
class RunActions;
class frmDoorEd;
class frmMainMap;

class frmMain : public QMainWindow {
    Q_OBJECT

public:
    // Optional windows that other parts of the editor provide; each is created on first use.
    struct SideWindows {
        std::function<QWidget*(QWidget* parent)> palette;   // "Palette Viewer"
        std::function<QWidget*(QWidget* parent)> enemyData; // "Edit Enemy Data"
        std::function<QWidget*(QWidget* parent)> storage;   // "Free Space System"
        std::function<QWidget*(QWidget* parent)> miniMap;   // "Minimap"
        std::function<QWidget*(QWidget* parent)> music;     // "Music Viewer"
        std::function<QWidget*(QWidget* parent)> tiles;     // "TSA Editor"
        std::function<void(QWidget* window)> reload;        // refills a window after a room load
        // Draws a window again after an undo or redo changed what it shows (reload when unset).
        std::function<void(QWidget* window)> refresh;
    };

    // `dataFolder` holds "ZMClip.txt" and "MFClip.txt" (the program's folder in the real program);
    // `pelnix` is the binding room saves encode layers with.
    frmMain(EditorState& state, Dialogs& dialogs, std::filesystem::path dataFolder,
            PelnixBinding& pelnix, SideWindows sideWindows = {}, QWidget* parent = nullptr);
    ~frmMain() override;

    // Opens a ROM by path as "&Open" does after its file dialog.
    bool OpenRomPath(const std::filesystem::path& path);

    // What the window shows, for tests and the side windows.
    EditorState& State() { return m_state; }
    bool RomReady() const { return m_romReady; }
    int RoomCount() const { return m_roomCount; }
    QString ClipAttributeName(int value) const;
    // The run's backup record, shared by every writer of the window and its side windows.
    RomBackups& Backups();
    // The door editor and the large map window; null until first shown.
    frmDoorEd* DoorEditor() const { return m_doorEditor; }
    frmMainMap* LargeMap() const { return m_largeMap; }

    // Draws the map and the tileset picture again after a side window changed the tiles or
    // the block table.
    void RefreshGraphics();

    // The view: the map's zoom (1-4, kept under `anchor`, viewport pixels, when given), the
    // grids and the clipdata overlay; the main map and the large map show the same layers.
    void SetMapZoom(int zoom, std::optional<QPoint> anchor = std::nullopt);
    int MapZoom() const;
    void SetTilesetZoom(int zoom);
    // Scrolls the tileset so that the block painting writes is in view.
    void RevealCurrentBlock();
    // Remembers the window's geometry and the side windows' positions in `settings`, and
    // restores what it remembered before; without it nothing is remembered.
    void RememberPlacement(std::unique_ptr<QSettings> settings);

    // Controls, named as the editor's design names them.
    QComboBox* cboAreas = nullptr;
    QComboBox* cboRoom = nullptr;
    QComboBox* cboTileset = nullptr;
    QComboBox* cboMusic = nullptr;
    QComboBox* cboMX = nullptr;
    QComboBox* cboMY = nullptr;
    QComboBox* cboAttribute = nullptr;
    QComboBox* cboSpriteIndex = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdBiggerWindow = nullptr;
    QPushButton* cmdEditScroll = nullptr;
    QCheckBox* chkBackLayer = nullptr;
    QCheckBox* chkForeground = nullptr;
    QCheckBox* chkLevel = nullptr;
    QCheckBox* chkClip = nullptr;
    QCheckBox* chkViewForeground = nullptr;
    QCheckBox* chkViewLevel = nullptr;
    QCheckBox* chkViewBack = nullptr;
    QCheckBox* chkViewLayer4 = nullptr;
    QLabel* lblBacklayer = nullptr;
    QLabel* lblForeground = nullptr;
    QLabel* lblTiled = nullptr;
    QLabel* lblClip = nullptr;
    QLabel* Label13 = nullptr;
    QLabel* lblEnemy = nullptr;
    PictureWidget* picMap = nullptr;
    PictureWidget* PicTSA = nullptr;
    PictureScrollWidget* PicMaphold = nullptr;
    PictureScrollWidget* PicTSAhold = nullptr;
    QLabel* picBlock = nullptr;   // the current block, enlarged
    QLabel* lblBlock = nullptr;   // its number
    QLabel* lblPointer = nullptr; // the status bar's readout of the block under the pointer
    QListWidget* lstClipLegend = nullptr;
    QScrollBar* hsbMap = nullptr;
    QScrollBar* vsbMap = nullptr;
    QScrollBar* vsbTileset = nullptr;
    std::vector<MarkerLabelWidget*> Enemy;
    std::vector<MarkerLabelWidget*> lblDoors;
    std::array<QTimer*, 16> tmrTile{};
    QGroupBox* fraLevel = nullptr;
    QGroupBox* fraEditControl = nullptr;
    QGroupBox* Frame3 = nullptr;

    QAction* mnuOpen = nullptr;
    QMenu* mnuRecent = nullptr;
    QAction* mnuSaveAs = nullptr;
    QAction* mnuAbout = nullptr;
    QAction* mnuUndo = nullptr;
    QAction* mnuRedo = nullptr;
    QAction* mnuSMP = nullptr;
    QMenu* mnuDumps = nullptr;
    QAction* mnuDoorEditor = nullptr;
    QAction* mnuResize = nullptr;
    QAction* mnuMV = nullptr;
    QAction* mnuDebugRoom = nullptr;
    QAction* mnuPal = nullptr;
    QAction* mnuForeground = nullptr;
    QAction* mnuLevel = nullptr;
    QAction* mnuBack = nullptr;
    QAction* mnuED = nullptr;
    QAction* mnuTSA = nullptr;
    QAction* mnuSpace = nullptr;
    QAction* mnuMini = nullptr;
    QAction* mnuUpdate = nullptr;
    QAction* mnuExperimental = nullptr;
    QAction* mnuCredits = nullptr;
    QAction* mnuZoomIn = nullptr;
    QAction* mnuZoomOut = nullptr;
    QAction* mnuZoomReset = nullptr;
    std::array<QAction*, 4> mnuZoom{}; // 1x to 4x
    QAction* mnuGrid = nullptr;
    QAction* mnuScreenGrid = nullptr;
    QAction* mnuClipOverlay = nullptr;

    // Event handlers.
    void OpenRom();
    void cboAreas_Click();
    void cboRoom_Click();
    // A typed room or sprite list is taken when the user presses Enter or leaves the box;
    // text that names none is refused with a message and the shown one stays.
    void cboRoom_Validate();
    void cboSpriteIndex_Click();
    void cboSpriteIndex_Validate();
    void picMap_MouseDown(Qt::MouseButton button, QPointF position);
    void picMap_MouseMove(Qt::MouseButtons buttons, QPointF position);
    void PicTSA_MouseDown(Qt::MouseButton button, QPointF position);
    void PicTSA_MouseMove(QPointF position);
    void Enemy_MouseDown(int index, Qt::MouseButton button);
    void Enemy_MouseMove(int index, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers,
                         QPointF position);
    void lblDoors_MouseDown(int index, Qt::MouseButton button);
    void lblDoors_MouseMove(int index, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers,
                            QPointF position);
    void mnuDoor_Click();
    void cmdBiggerWindow_Click();
    void cmdEditScroll_Click();
    // "Go to" of the door editor: selects the room of door `door` of the area (asking first
    // when there are unsaved changes) and shows that door in the door editor.
    void GoToDoor(uint8_t door);
    void tmrTile_Timer(int slot);
    void mnuSMP_Click();
    void mnuUpdate_Click();
    void mnuMini_Click(bool checked);
    void cmdSave_Click();
    // Edit > Undo and Redo: the loaded room's last or next step, redrawing what it changed.
    void Undo();
    void Redo();

signals:
    // After every room selection, for windows that show room data.
    void roomSelected();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Building the window.
    void BuildControls();
    void BuildMenus();
    void BuildViewMenu();
    QWidget* BuildMapFrame();
    QWidget* BuildTilesetFrame();
    void Form_Load();
    void LoadForm();

    // The ROM and the room.
    void Loadem();
    void LoadClipStuff();
    void ShowRoom(const LoadReport& report);
    void ShowSprites();
    void ShowDoors();
    // After a door changed (a drag, the door editor): labels, outlines and the side windows.
    void RefreshDoors();
    // The doors and sprites the large map shows, after one moved here.
    void RefreshLargeMapMarkers();
    frmDoorEd& ShowDoorEditor();
    void ShowLargeMap(bool scroll);
    void ArmTimers();
    void SetRoomList(int count);
    void ShowCurrentRoomText();
    std::string TypedRoomRefusal(const QString& text) const;
    bool ConfirmDiscard();
    // Before another ROM replaces the open one: whether the minimap editor's unsaved painting
    // may go (asked only when there is some); a Yes leaves it behind at once.
    bool ConfirmDiscardMiniMap();
    void ReportProblems(const std::vector<Error>& problems);

    // One mouse move over a marker: the position display follows it and, with the left button
    // alone (not Ctrl), it snaps to the block under the pointer, kept on the room's blocks; the
    // snap it made, if any.
    std::optional<LabelSnap> MarkerMouseMove(MarkerLabelWidget* label, Qt::MouseButtons buttons,
                                             Qt::KeyboardModifiers modifiers, QPointF position);

    // File > Open Recent (put before `before`) and Save As (added last), Help, Page Up / Down.
    void BuildFileExtras(QMenu* file, QAction* before);
    void BuildNavigation();
    void ApplyTooltips();
    void BuildHelpMenu();
    void FillRecentMenu();
    void RememberRom(const std::filesystem::path& path);
    void OpenRecent(const std::string& path);
    void mnuSaveAs_Click();
    void mnuAbout_Click();
    void StepRoom(int delta);
    void StepArea(int delta);
    // A confirmation that needs no click: shown in the status bar.
    void Inform(const std::string& text);

    // The history: the Edit menu, the title, and what an undone or redone step redraws.
    void BuildEditMenu(QMenu* edit);
    void HistoryChanged();
    void UpdateTitle();
    void ApplyEffect(const EditEffect& effect);
    void RefreshSideWindow(QWidget* window);
    // A header list's choice, into the header as one undo step.
    void HeaderList_Click(QComboBox* list);

    // The map.
    void EditBox_Click(QCheckBox* box, EditTarget target);
    void ViewBox_Click();
    void EnableLayer(LayerKind kind);
    void ApplySwitches();
    void ApplyLayout();
    void RefreshMap();
    // The view's layers on both maps, the legend, the current block and the pointer readout.
    void ApplyViewLayers();
    void ShowClipLegend();
    void ShowCurrentBlock();
    void ShowPointer(int x, int y);
    void FollowMapZoom(int zoom);
    // A side window's first place: where it was last, else beside this window; on screen.
    void PlaceNewSideWindow(QWidget* window);
    void ShowSideWindow(QWidget*& window, const std::function<QWidget*(QWidget*)>& make,
                        const char* name);
    void NotAvailable(const char* name);
    std::optional<uint8_t> SelectedClipValue() const;

    EditorState& m_state;
    Dialogs& m_dialogs;
    std::filesystem::path m_dataFolder;
    SideWindows m_sideWindows;
    bool m_romReady = false;
    bool m_labelsCreated = false;
    bool m_validating = false; // a refusal message is up; the boxes take no typed text
    int m_roomCount = 0;
    uint64_t m_gesture = 0; // the mouse press the current drag belongs to, for the history
    DragTrail m_trail;      // the cells the current drag painted or picked
    QWidget* m_paletteWindow = nullptr;
    QWidget* m_enemyWindow = nullptr;
    QWidget* m_storageWindow = nullptr;
    QWidget* m_miniMapWindow = nullptr;
    QWidget* m_musicWindow = nullptr;
    frmDoorEd* m_doorEditor = nullptr;
    frmMainMap* m_largeMap = nullptr;
    QWidget* m_tilesWindow = nullptr;
    RoomSaveActions* m_saveActions = nullptr;
    DumpActions* m_dumpActions = nullptr;
    PatchActions* m_patchActions = nullptr; // File > Export Patch…, Apply Patch…
    RunActions* m_runActions = nullptr;     // Run (toolbar, F5), File > Emulator Command…
    WindowPlacement* m_placement = nullptr; // null: nothing is remembered
    std::vector<std::string> m_clipNames;
    std::pair<int, int> m_shownRoom{-1, -1}; // area and room the map last showed
};

} // namespace quarnel
