// frmMain: building the window, its start and its end.

#include "main/frmMain.h"

#include "common/Hex.h"
#include "doors/frmDoorEd.h"
#include "dumps/QtDumpActions.h"
#include "emulator/QtRunActions.h"
#include "main/MarkerLabelWidget.h"
#include "main/PictureScrollWidget.h"
#include "main/PictureWidget.h"
#include "main/QtWindowPlacement.h"
#include "patch/QtPatchActions.h"
#include "side/frmMainMap.h"
#include "side/frmMiniMap.h"
#include "storage/QtRoomSaveActions.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

namespace quarnel {

namespace {

// The map opens twice its size, the tileset at its own size; both zoom from 1x to 4x. The
// map area takes the room the window has, never less than 15 x 10 blocks at 1x (one screen).
constexpr int kMapZoom = 2;
constexpr int kTilesetZoom = 1;
constexpr QSize kMapMinimum(240, 160);
constexpr int kTilesetMinimumHeight = 160;
constexpr int kPreviewZoom = 4;

QComboBox* MakeList(bool editable = false) {
    auto* list = new QComboBox;
    list->setEditable(editable);
    // Typed text only chooses among the entries; it never becomes one, and no completion
    // changes it behind the user's back.
    list->setInsertPolicy(QComboBox::NoInsert);
    if (editable) {
        list->setCompleter(nullptr);
    }
    list->setMaxVisibleItems(20);
    list->setMinimumContentsLength(4);
    list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    return list;
}

QLabel* ValueLabel() {
    auto* label = new QLabel(QStringLiteral("000"));
    label->setMinimumWidth(40);
    label->setFrameShape(QFrame::StyledPanel);
    return label;
}

} // namespace

frmMain::frmMain(EditorState& state, Dialogs& dialogs, std::filesystem::path dataFolder,
                 PelnixBinding& pelnix, SideWindows sideWindows, QWidget* parent)
    : QMainWindow(parent), m_state(state), m_dialogs(dialogs), m_dataFolder(std::move(dataFolder)),
      m_sideWindows(std::move(sideWindows)) {
    setWindowTitle(QStringLiteral("Quarnel"));
    m_saveActions = new RoomSaveActions(
        m_state, m_dialogs,
        [this] {
            return HeaderLists{static_cast<uint8_t>(cboTileset->currentIndex()),
                               static_cast<uint8_t>(cboMusic->currentIndex()),
                               static_cast<uint8_t>(cboMX->currentIndex()),
                               static_cast<uint8_t>(cboMY->currentIndex())};
        },
        this, pelnix);
    m_dumpActions =
        new DumpActions(m_state, m_dialogs,
                        {[this] { return ConfirmDiscard(); },
                         [this] {
                             if (m_state.RomOpened && m_state.Area >= 0 && m_state.Room >= 0) {
                                 ShowRoom(SelectRoom(m_state, m_state.Area, m_state.Room));
                             }
                         }},
                        this);
    // Export and Run offer to save first; a save that fails keeps the room's changes.
    const auto saveRoom = [this] {
        m_saveActions->cmdSave_Click();
        return !m_state.HasUnsavedChanges();
    };
    m_patchActions = new PatchActions(m_state, m_dialogs, saveRoom, this);
    m_runActions = new RunActions(
        m_state, m_dialogs, saveRoom,
        std::make_unique<QSettings>(QStringLiteral("Quarnel"), QStringLiteral("Quarnel")), this);
    BuildControls();
    BuildMenus();
    ApplyTooltips();
    const auto showStatus = [this](const QString& text) { statusBar()->showMessage(text, 15000); };
    connect(m_saveActions, &RoomSaveActions::statusMessage, this, showStatus);
    connect(m_patchActions, &PatchActions::statusMessage, this, showStatus);
    connect(m_runActions, &RunActions::statusMessage, this, showStatus);
    connect(m_dumpActions, &DumpActions::statusMessage, this, showStatus);
    connect(m_saveActions, &RoomSaveActions::roomChanged, this, [this] {
        RedrawMap(m_state);
        ShowRoom(LoadReport{true, {}});
    });
    Form_Load();
}

frmMain::~frmMain() {
    m_state.History.SetListener({});
}

RomBackups& frmMain::Backups() {
    return m_saveActions->Backups();
}

void frmMain::BuildControls() {
    auto* central = new QWidget;
    auto* rows = new QVBoxLayout(central);

    // Top row: the room and its header fields.
    auto* top = new QHBoxLayout;
    fraLevel = new QGroupBox(QStringLiteral("Level"));
    auto* levelGrid = new QGridLayout(fraLevel);
    cboAreas = MakeList();
    cboAreas->setMinimumContentsLength(10);
    cboRoom = MakeList(true);
    levelGrid->addWidget(new QLabel(QStringLiteral("Area:")), 0, 0);
    levelGrid->addWidget(cboAreas, 0, 1);
    levelGrid->addWidget(new QLabel(QStringLiteral("Room:")), 1, 0);
    levelGrid->addWidget(cboRoom, 1, 1);
    top->addWidget(fraLevel);

    auto* properties = new QGroupBox(QStringLiteral("Level Properties"));
    auto* propertyGrid = new QGridLayout(properties);
    cboTileset = MakeList();
    cboMusic = MakeList();
    cboMX = MakeList();
    cboMY = MakeList();
    propertyGrid->addWidget(new QLabel(QStringLiteral("Tileset:")), 0, 0);
    propertyGrid->addWidget(cboTileset, 0, 1);
    propertyGrid->addWidget(new QLabel(QStringLiteral("Music:")), 0, 2);
    propertyGrid->addWidget(cboMusic, 0, 3);
    propertyGrid->addWidget(new QLabel(QStringLiteral("MiniMap Position:")), 1, 0);
    propertyGrid->addWidget(cboMX, 1, 1);
    propertyGrid->addWidget(cboMY, 1, 2);
    cmdSave = new QPushButton(QStringLiteral("Save Room"));
    cmdSave->setToolTip(QStringLiteral("Ctrl+S"));
    propertyGrid->addWidget(cmdSave, 0, 4);
    auto* notice = new QLabel(QStringLiteral("Warning Room Auto Reloads When Saved"));
    notice->setWordWrap(true);
    propertyGrid->addWidget(notice, 1, 3, 1, 2);
    top->addWidget(properties);

    auto* clipFrame = new QGroupBox(QStringLiteral("Clipdata"));
    auto* clipGrid = new QGridLayout(clipFrame);
    cboAttribute = MakeList();
    cboAttribute->setMinimumContentsLength(18);
    clipGrid->addWidget(new QLabel(QStringLiteral("Attribute:")), 0, 0);
    clipGrid->addWidget(cboAttribute, 0, 1);
    top->addWidget(clipFrame);

    auto* spriteFrame = new QGroupBox(QStringLiteral("Sprites"));
    auto* spriteGrid = new QGridLayout(spriteFrame);
    cboSpriteIndex = MakeList(true);
    lblEnemy = new QLabel;
    spriteGrid->addWidget(new QLabel(QStringLiteral("Sprite set:")), 0, 0);
    spriteGrid->addWidget(cboSpriteIndex, 0, 1);
    spriteGrid->addWidget(lblEnemy, 1, 0, 1, 2);
    top->addWidget(spriteFrame);
    top->addStretch();
    rows->addLayout(top);

    // Middle row: the map, which takes the space the window has, and the tileset.
    auto* middle = new QHBoxLayout;
    middle->addWidget(BuildMapFrame(), 1);
    middle->addWidget(BuildTilesetFrame());
    rows->addLayout(middle, 1);

    // Bottom row: edit and view switches, the values under the mouse, the map buttons.
    auto* bottom = new QHBoxLayout;
    fraEditControl = new QGroupBox(QStringLiteral("Edit Control"));
    auto* editBoxes = new QVBoxLayout(fraEditControl);
    chkBackLayer = new QCheckBox(QStringLiteral("BackLayer"));
    chkForeground = new QCheckBox(QStringLiteral("Foreground"));
    chkLevel = new QCheckBox(QStringLiteral("LevelData"));
    chkClip = new QCheckBox(QStringLiteral("Clipdata"));
    for (QCheckBox* box : {chkBackLayer, chkForeground, chkLevel, chkClip}) {
        editBoxes->addWidget(box);
    }
    bottom->addWidget(fraEditControl);

    Frame3 = new QGroupBox(QStringLiteral("View"));
    auto* viewBoxes = new QVBoxLayout(Frame3);
    chkViewForeground = new QCheckBox(QStringLiteral("Foreground"));
    chkViewLevel = new QCheckBox(QStringLiteral("Level"));
    chkViewBack = new QCheckBox(QStringLiteral("BackLayer"));
    chkViewLayer4 = new QCheckBox(QStringLiteral("Layer 4"));
    for (QCheckBox* box : {chkViewForeground, chkViewLevel, chkViewBack, chkViewLayer4}) {
        viewBoxes->addWidget(box);
    }
    bottom->addWidget(Frame3);

    auto* tileFrame = new QGroupBox(QStringLiteral("Tile Properties"));
    auto* tileGrid = new QGridLayout(tileFrame);
    lblBacklayer = ValueLabel();
    lblForeground = ValueLabel();
    lblTiled = ValueLabel();
    lblClip = new QLabel;
    lblClip->setMinimumWidth(220);
    tileGrid->addWidget(new QLabel(QStringLiteral("Backlayer Data:")), 0, 0);
    tileGrid->addWidget(lblBacklayer, 0, 1);
    tileGrid->addWidget(new QLabel(QStringLiteral("ForegroundData:")), 1, 0);
    tileGrid->addWidget(lblForeground, 1, 1);
    tileGrid->addWidget(new QLabel(QStringLiteral("TileData:")), 2, 0);
    tileGrid->addWidget(lblTiled, 2, 1);
    tileGrid->addWidget(new QLabel(QStringLiteral("ClipData:")), 3, 0);
    tileGrid->addWidget(lblClip, 3, 1);
    Label13 = new QLabel;
    Label13->setMinimumWidth(60);
    tileGrid->addWidget(Label13, 0, 2, 4, 1);
    bottom->addWidget(tileFrame);

    auto* buttons = new QVBoxLayout;
    cmdEditScroll = new QPushButton(QStringLiteral("Edit ScrollData"));
    cmdBiggerWindow = new QPushButton(QStringLiteral("Resize able Map"));
    cmdEditScroll->setToolTip(QStringLiteral("Shows the room's scrolls on the large map, "
                                             "where they can be moved and changed"));
    cmdBiggerWindow->setToolTip(QStringLiteral("Shows the whole room in a large window"));
    for (QPushButton* button : {cmdEditScroll, cmdBiggerWindow}) {
        buttons->addWidget(button);
    }
    buttons->addStretch();
    bottom->addLayout(buttons);
    // The clip values of the room with their overlay colours, while the overlay is shown.
    lstClipLegend = new QListWidget;
    lstClipLegend->setObjectName(QStringLiteral("lstClipLegend"));
    lstClipLegend->setToolTip(QStringLiteral("The clip values of this room, their colours in "
                                             "the clipdata overlay and how many blocks hold each"));
    lstClipLegend->setMinimumWidth(260);
    lstClipLegend->setMaximumHeight(150);
    lstClipLegend->setSelectionMode(QAbstractItemView::NoSelection);
    lstClipLegend->hide();
    bottom->addWidget(lstClipLegend);
    bottom->addStretch();
    rows->addLayout(bottom);
    setCentralWidget(central);
    lblPointer = new QLabel;
    lblPointer->setObjectName(QStringLiteral("lblPointer"));
    statusBar()->addPermanentWidget(lblPointer);

    for (size_t slot = 0; slot < tmrTile.size(); ++slot) {
        tmrTile[slot] = new QTimer(this);
        connect(tmrTile[slot], &QTimer::timeout, this,
                [this, slot] { tmrTile_Timer(static_cast<int>(slot)); });
    }

    connect(cboAreas, &QComboBox::activated, this, [this] { cboAreas_Click(); });
    connect(cboRoom, &QComboBox::activated, this, [this] { cboRoom_Click(); });
    connect(cboRoom->lineEdit(), &QLineEdit::editingFinished, this, [this] { cboRoom_Validate(); });
    connect(cboSpriteIndex, &QComboBox::activated, this, [this] { cboSpriteIndex_Click(); });
    connect(cboSpriteIndex->lineEdit(), &QLineEdit::editingFinished, this,
            [this] { cboSpriteIndex_Validate(); });
    for (QComboBox* list : {cboTileset, cboMusic, cboMX, cboMY}) {
        connect(list, &QComboBox::activated, this, [this, list] { HeaderList_Click(list); });
    }
    connect(chkBackLayer, &QCheckBox::clicked, this,
            [this] { EditBox_Click(chkBackLayer, EditTarget::Back); });
    connect(chkForeground, &QCheckBox::clicked, this,
            [this] { EditBox_Click(chkForeground, EditTarget::Foreground); });
    connect(chkLevel, &QCheckBox::clicked, this,
            [this] { EditBox_Click(chkLevel, EditTarget::Level); });
    connect(chkClip, &QCheckBox::clicked, this,
            [this] { EditBox_Click(chkClip, EditTarget::Clip); });
    for (QCheckBox* box : {chkViewForeground, chkViewLevel, chkViewBack}) {
        connect(box, &QCheckBox::clicked, this, [this] { ViewBox_Click(); });
    }
    connect(cmdSave, &QPushButton::clicked, this, [this] { cmdSave_Click(); });
    connect(cmdBiggerWindow, &QPushButton::clicked, this, [this] { cmdBiggerWindow_Click(); });
    connect(cmdEditScroll, &QPushButton::clicked, this, [this] { cmdEditScroll_Click(); });
}

QWidget* frmMain::BuildMapFrame() {
    auto* frame = new QGroupBox(QStringLiteral("Map"));
    auto* grid = new QGridLayout(frame);
    picMap = new PictureWidget(m_state.MapPicture, kMapZoom);
    PicMaphold = new PictureScrollWidget(picMap);
    PicMaphold->setMinimumSize(kMapMinimum);
    hsbMap = PicMaphold->horizontalScrollBar();
    vsbMap = PicMaphold->verticalScrollBar();
    grid->addWidget(PicMaphold, 0, 0);
    connect(PicMaphold, &PictureScrollWidget::zoomChanged, this,
            [this](int zoom) { FollowMapZoom(zoom); });
    connect(picMap, &PictureWidget::left, this, [this] { lblPointer->clear(); });

    ConnectMapMouse(
        picMap, this, m_state.History, m_gesture, m_trail,
        [this](Qt::MouseButton button, QPointF position) { picMap_MouseDown(button, position); },
        [this](Qt::MouseButtons buttons, QPointF position) {
            picMap_MouseMove(buttons, position);
        });
    return frame;
}

QWidget* frmMain::BuildTilesetFrame() {
    auto* frame = new QGroupBox(QStringLiteral("Tileset"));
    auto* grid = new QGridLayout(frame);
    PicTSA = new PictureWidget(m_state.Graphics.PicTSA, kTilesetZoom);
    PicTSAhold = new PictureScrollWidget(PicTSA);
    PicTSAhold->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    PicTSAhold->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    PicTSAhold->setMinimumHeight(kTilesetMinimumHeight);
    vsbTileset = PicTSAhold->verticalScrollBar();
    grid->addWidget(PicTSAhold, 0, 0, 1, 2);
    picBlock = new QLabel;
    picBlock->setObjectName(QStringLiteral("picBlock"));
    picBlock->setFixedSize(16 * kPreviewZoom + 2, 16 * kPreviewZoom + 2);
    picBlock->setFrameShape(QFrame::Box);
    picBlock->setToolTip(QStringLiteral("The block that painting writes"));
    lblBlock = new QLabel;
    lblBlock->setObjectName(QStringLiteral("lblBlock"));
    grid->addWidget(picBlock, 1, 0);
    grid->addWidget(lblBlock, 1, 1);
    grid->setColumnStretch(1, 1);
    connect(PicTSAhold, &PictureScrollWidget::zoomChanged, this,
            [this](int zoom) { SetTilesetZoom(zoom); });
    connect(PicTSA, &PictureWidget::pressed, this,
            [this](Qt::MouseButton button, Qt::KeyboardModifiers, QPointF position) {
                PicTSA_MouseDown(button, position);
            });
    connect(PicTSA, &PictureWidget::moved, this,
            [this](Qt::MouseButtons, Qt::KeyboardModifiers, QPointF position) {
                PicTSA_MouseMove(position);
            });
    SetTilesetZoom(kTilesetZoom);
    return frame;
}

void frmMain::BuildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("File"));
    mnuOpen = file->addAction(QStringLiteral("&Open"), this, [this] { OpenRom(); });
    mnuOpen->setShortcut(QKeySequence::Open);
    file->addAction(m_saveActions->SaveAction());
    BuildFileExtras(file, m_saveActions->SaveAction());
    file->addSeparator();
    file->addAction(m_patchActions->ExportAction());
    file->addAction(m_patchActions->ApplyAction());
    file->addSeparator();
    file->addAction(m_runActions->RunAction());
    file->addAction(m_runActions->EmulatorAction());
    QToolBar* tools = addToolBar(QStringLiteral("Run"));
    tools->setObjectName(QStringLiteral("tlbRun"));
    tools->setMovable(false);
    tools->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    tools->addAction(m_runActions->RunAction());
    file->addSeparator();
    QAction* quit = file->addAction(QStringLiteral("&Quit"), this, [this] { close(); });
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    BuildEditMenu(menuBar()->addMenu(QStringLiteral("Edit")));

    QMenu* advanced = menuBar()->addMenu(QStringLiteral("Advanced"));
    mnuSMP =
        advanced->addAction(QStringLiteral("Save Map Picture"), this, [this] { mnuSMP_Click(); });
    mnuDumps = advanced->addMenu(QStringLiteral("Dumps"));
    mnuDumps->addAction(QStringLiteral("Room Dump"), m_dumpActions, &DumpActions::RoomDump);
    mnuDumps->addAction(QStringLiteral("Tileset Dump"), m_dumpActions, &DumpActions::TilesetDump);
    mnuDumps->addAction(QStringLiteral("Tileset Pointer Dumps"), m_dumpActions,
                        &DumpActions::TilesetPointerDumps);
    QMenu* room = advanced->addMenu(QStringLiteral("Room"));
    mnuDoorEditor =
        room->addAction(QStringLiteral("Door Editor"), this, [this] { mnuDoor_Click(); });
    mnuResize = room->addAction(QStringLiteral("Resize Room"), this, [this] {
        if (m_state.RomOpened) {
            m_saveActions->mnuResize_Click();
        }
    });
    mnuMV = room->addAction(QStringLiteral("Music Viewer"), this, [this] {
        ShowSideWindow(m_musicWindow, m_sideWindows.music, "The music viewer");
    });
    mnuDebugRoom = room->addAction(QStringLiteral("Debug Room"), this,
                                   [this] { Inform("I do nothing for you!"); });
    mnuPal = room->addAction(QStringLiteral("Palette Viewer"), this, [this] {
        ShowSideWindow(m_paletteWindow, m_sideWindows.palette, "The palette viewer");
    });
    QMenu* enable = room->addMenu(QStringLiteral("Enable Layer"));
    mnuForeground = enable->addAction(QStringLiteral("Foreground"), this,
                                      [this] { EnableLayer(LayerKind::Foreground); });
    mnuLevel =
        enable->addAction(QStringLiteral("Level"), this, [this] { EnableLayer(LayerKind::Level); });
    mnuBack = enable->addAction(QStringLiteral("Backlayer"), this,
                                [this] { EnableLayer(LayerKind::Back); });
    mnuED = enable->addAction(QStringLiteral("Edit Enemy Data"), this, [this] {
        ShowSideWindow(m_enemyWindow, m_sideWindows.enemyData, "The enemy data window");
    });
    mnuTSA = advanced->addAction(QStringLiteral("TSA Editor"), this, [this] {
        ShowSideWindow(m_tilesWindow, m_sideWindows.tiles, "The TSA editor");
    });
    mnuSpace = advanced->addAction(QStringLiteral("Free Space System"), this, [this] {
        ShowSideWindow(m_storageWindow, m_sideWindows.storage, "The storage window");
    });
    mnuMini = advanced->addAction(QStringLiteral("Minimap"));
    mnuMini->setCheckable(true);
    connect(mnuMini, &QAction::triggered, this, [this](bool checked) { mnuMini_Click(checked); });
    mnuUpdate = advanced->addAction(QStringLiteral("Update Animations"));
    mnuUpdate->setCheckable(true);
    connect(mnuUpdate, &QAction::triggered, this, [this] { mnuUpdate_Click(); });
    advanced->addSeparator();
    mnuExperimental = advanced->addAction(QStringLiteral("Experimental Tools"));
    mnuExperimental->setCheckable(true);
    mnuExperimental->setToolTip(QStringLiteral("Enables the tools that are off by default"));
    connect(mnuExperimental, &QAction::toggled, this, [this](bool on) {
        for (QAction* entry : {mnuResize, mnuDebugRoom}) {
            entry->setEnabled(on);
        }
    });

    BuildNavigation();
    BuildHelpMenu();

    for (QAction* entry : {mnuResize, mnuDebugRoom, mnuForeground, mnuLevel, mnuBack, mnuCredits}) {
        entry->setEnabled(false);
    }
    BuildViewMenu();
}

void frmMain::Form_Load() {
    if (!m_state.Storage.FileExists()) {
        Inform("The storage system did not exist; it was created.");
        if (auto reset = m_state.Storage.ResetStorage(); !reset) {
            m_dialogs.Message(Describe(reset.error()));
        }
    }
    LoadForm();
    m_romReady = false;
    for (QGroupBox* frame : {fraLevel, fraEditControl, Frame3}) {
        frame->setEnabled(false);
    }
}

void frmMain::LoadForm() {
    m_state.Graphics.PicTSA.Clear();
    PicTSA->update();
    cboSpriteIndex->clear();
    for (const char* item : {"0", "1", "2"}) {
        cboSpriteIndex->addItem(QString::fromLatin1(item));
    }
    for (QComboBox* list : {cboMX, cboMY, cboMusic, cboTileset}) {
        list->clear();
        for (uint32_t value = 0; value < 256; ++value) {
            list->addItem(QString::fromStdString(ToHex(value)));
        }
    }
    for (QComboBox* list : {cboSpriteIndex, cboMX, cboMY, cboMusic, cboTileset}) {
        list->setCurrentIndex(0);
    }
}

void frmMain::closeEvent(QCloseEvent* event) {
    if (!ConfirmDiscard()) {
        event->ignore();
        return;
    }
    // The minimap editor asks about its own unsaved painting; a No keeps everything open.
    if (m_miniMapWindow != nullptr && m_miniMapWindow->isVisible() && !m_miniMapWindow->close()) {
        event->ignore();
        return;
    }
    for (QWidget* window :
         {m_paletteWindow, m_enemyWindow, m_storageWindow, m_musicWindow, m_tilesWindow,
          static_cast<QWidget*>(m_doorEditor), static_cast<QWidget*>(m_largeMap)}) {
        if (window != nullptr) {
            window->close();
        }
    }
    if (m_placement != nullptr) {
        m_placement->SaveMain(this);
    }
    event->accept();
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    // The "Minimap" check mark follows the minimap editor: it goes when the window is closed
    // or hides itself (a minimised window stays checked).
    if (watched == m_miniMapWindow && event->type() == QEvent::Hide && !event->spontaneous()) {
        mnuMini->setChecked(false);
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmMain::mnuMini_Click(bool checked) {
    if (checked) {
        const bool created = m_miniMapWindow == nullptr;
        ShowSideWindow(m_miniMapWindow, m_sideWindows.miniMap, "The minimap editor");
        if (created && m_miniMapWindow != nullptr) {
            m_miniMapWindow->installEventFilter(this);
            if (auto* miniMap = qobject_cast<frmMiniMap*>(m_miniMapWindow)) {
                connect(miniMap, &frmMiniMap::readAgain, this, [this] { UpdateTitle(); });
            }
        }
    } else if (m_miniMapWindow != nullptr) {
        m_miniMapWindow->close();
    }
    mnuMini->setChecked(m_miniMapWindow != nullptr && m_miniMapWindow->isVisible());
}

} // namespace quarnel
