#include "side/frmMiniMap.h"

#include "common/Hex.h"
#include "main/Dialogs.h"
#include "main/EditorState.h"
#include "main/QtWindowPlacement.h"
#include "rom/RomFile.h"
#include "side/MiniMapHistory.h"
#include "side/MiniMapSave.h"
#include "side/ZoomPictureWidget.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace quarnel {

namespace {

constexpr int kTileColumns = 8; // tiles per row of the tile picture
constexpr int kDefaultZoom = 2;
constexpr int kMaxZoom = 4;
const QColor kCursorColour(255, 255, 255);
const QColor kRoomColour(255, 40, 40);

QScrollArea* Holder(QWidget* picture, const char* name) {
    auto* holder = new QScrollArea;
    holder->setObjectName(QString::fromLatin1(name));
    holder->setWidget(picture);
    holder->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    holder->setBackgroundRole(QPalette::Dark);
    return holder;
}

QRect CellRect(int cell, int columns) {
    return {(cell % columns) * kTileSize, (cell / columns) * kTileSize, kTileSize, kTileSize};
}

} // namespace

frmMiniMap::frmMiniMap(EditorState& state, Dialogs& dialogs, RomWriteServices& services,
                       RoomPosition roomPosition, QWidget* parent)
    : QWidget(parent), m_state(state), m_dialogs(dialogs), m_services(services),
      m_roomPosition(std::move(roomPosition)) {
    setWindowFlag(Qt::Window);
    setWindowTitle(QStringLiteral("MiniMap Editor"));

    picTiles = new ZoomPictureWidget(m_tilesPicture, kDefaultZoom);
    picTiles->setObjectName(QStringLiteral("picTiles"));
    m_tilesHolder = Holder(picTiles, "picHolding");
    m_tilesHolder->verticalScrollBar()->setObjectName(QStringLiteral("vsbTileset"));
    lblTile = new QLabel(QStringLiteral("000"));
    lblTile->setObjectName(QStringLiteral("lblTile"));
    cboRow = new QComboBox;
    cboRow->setObjectName(QStringLiteral("cboRow"));
    for (int row = 0; row < kPaletteRows; ++row) {
        cboRow->addItem(QString::fromStdString(ToHex(static_cast<uint32_t>(row))));
    }
    cboRow->setToolTip(QStringLiteral("Palette row of the painted tile (the game has rows 0-4)"));
    chkHFlip = new QCheckBox(QStringLiteral("Horiz Flip"));
    chkHFlip->setObjectName(QStringLiteral("chkHFlip"));
    chkVFlip = new QCheckBox(QStringLiteral("Vert Flip"));
    chkVFlip->setObjectName(QStringLiteral("chkVFlip"));

    auto* tileset = new QGroupBox(QStringLiteral("Tileset"));
    tileset->setObjectName(QStringLiteral("Frame4"));
    auto* tilesetLayout = new QGridLayout(tileset);
    tilesetLayout->addWidget(m_tilesHolder, 0, 0, 1, 2);
    tilesetLayout->addWidget(new QLabel(QStringLiteral("Tile:")), 1, 0);
    tilesetLayout->addWidget(lblTile, 1, 1);
    tilesetLayout->addWidget(new QLabel(QStringLiteral("Palette row:")), 2, 0);
    tilesetLayout->addWidget(cboRow, 2, 1);
    tilesetLayout->addWidget(chkHFlip, 3, 0, 1, 2);
    tilesetLayout->addWidget(chkVFlip, 4, 0, 1, 2);

    picMiniMap = new ZoomPictureWidget(m_mapPicture, kDefaultZoom);
    picMiniMap->setObjectName(QStringLiteral("picMiniMap"));
    m_mapHolder = Holder(picMiniMap, "Picture1");
    Label2 = new QLabel(QStringLiteral("000"));
    Label2->setObjectName(QStringLiteral("Label2"));
    auto* minimap = new QGroupBox(QStringLiteral("Minimap"));
    minimap->setObjectName(QStringLiteral("Frame1"));
    auto* minimapLayout = new QGridLayout(minimap);
    minimapLayout->addWidget(m_mapHolder, 0, 0, 1, 3);
    minimapLayout->addWidget(new QLabel(QStringLiteral("Tile:")), 1, 0);
    minimapLayout->addWidget(Label2, 1, 1);
    minimapLayout->setColumnStretch(2, 1);

    cboAreas = new QComboBox;
    cboAreas->setObjectName(QStringLiteral("cboAreas"));
    cboZoom = new QComboBox;
    cboZoom->setObjectName(QStringLiteral("cboZoom"));
    for (int zoom = 1; zoom <= kMaxZoom; ++zoom) {
        cboZoom->addItem(QStringLiteral("%1x").arg(zoom));
    }
    cboZoom->setCurrentIndex(kDefaultZoom - 1);
    cmdSave = new QPushButton(QStringLiteral("Save"));
    cmdSave->setObjectName(QStringLiteral("cmdSave"));
    lblStatus = new QLabel;
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    auto* bottom = new QHBoxLayout;
    cboAreas->setToolTip(QStringLiteral("The area whose minimap is shown"));
    cboZoom->setToolTip(QStringLiteral("How large the pictures are drawn"));
    cmdSave->setToolTip(QStringLiteral("Writes this area's minimap into the ROM's free space"));
    picMiniMap->setToolTip(QStringLiteral(
        "Left button: paint the chosen tile. Right button: the cell's index; with Shift, take "
        "the cell's tile. Ctrl+Z undoes a stroke."));
    bottom->addWidget(cboAreas);
    bottom->addWidget(new QLabel(QStringLiteral("Zoom:")));
    bottom->addWidget(cboZoom);
    bottom->addStretch(1);
    bottom->addWidget(cmdSave);

    auto* pictures = new QHBoxLayout;
    pictures->addWidget(tileset);
    pictures->addWidget(minimap, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(pictures, 1);
    layout->addLayout(bottom);
    layout->addWidget(lblStatus);

    connect(cboAreas, &QComboBox::currentIndexChanged, this, [this] { cboAreas_Click(); });
    connect(cboZoom, &QComboBox::currentIndexChanged, this, [this] { ApplyZoom(); });
    connect(cboRow, &QComboBox::currentIndexChanged, this, [this] { DrawMiniMapTiles(); });
    connect(cmdSave, &QPushButton::clicked, this, [this] { cmdSave_Click(); });
    connect(picTiles, &ZoomPictureWidget::pressed, this,
            [this](Qt::MouseButton button, Qt::KeyboardModifiers, QPointF position) {
                picTiles_Mouse(button, position);
            });
    connect(picTiles, &ZoomPictureWidget::moved, this,
            [this](Qt::MouseButtons buttons, Qt::KeyboardModifiers, QPointF position) {
                picTiles_Mouse(buttons, position);
            });
    connect(picMiniMap, &ZoomPictureWidget::pressed, this,
            [this](Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPointF position) {
                // A press and its drag paint one undo step.
                m_gesture = m_state.History.NewGesture();
                picMiniMap_MouseDown(button, modifiers, position);
            });
    connect(picMiniMap, &ZoomPictureWidget::moved, this,
            [this](Qt::MouseButtons buttons, Qt::KeyboardModifiers, QPointF position) {
                picMiniMap_MouseMove(buttons, position);
            });

    LoadForm();
    ApplyZoom();
}

frmMiniMap::~frmMiniMap() = default;

const MiniMap& frmMiniMap::Map() const {
    return m_state.MiniMapShown;
}

void frmMiniMap::setVisible(bool visible) {
    if (visible && !isVisible() && !Form_Load()) {
        return;
    }
    QWidget::setVisible(visible);
}

void frmMiniMap::LoadForm() {
    const QSignalBlocker blocker(cboAreas);
    cboAreas->clear();
    for (const auto& name : kMiniMapAreaNames) {
        cboAreas->addItem(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
    }
}

bool frmMiniMap::Ready() {
    if (!m_state.RomOpened) {
        m_dialogs.Message("Open a ROM first: the minimap editor shows the minimaps of its areas.");
        return false;
    }
    if (m_state.GameCode != Game::ZM) {
        m_dialogs.Message("Metroid Fusion is not supported");
        return false;
    }
    return true;
}

bool frmMiniMap::Form_Load() {
    if (!Ready()) {
        return false;
    }
    if (m_dirty && m_romPath != m_state.RomPath) {
        m_dialogs.Message("The unsaved minimap changes of " + m_romPath.filename().string() +
                          " were left behind: another ROM is open.");
    }
    LoadPrelims();
    const int area = m_state.Area >= 0 && m_state.Area < kMiniMapAreaCount
                         ? m_state.Area
                         : std::max(0, cboAreas->currentIndex());
    SelectQuietly(area);
    LoadArea(area);
    return true;
}

void frmMiniMap::RoomLoaded() {
    if (!Ready()) {
        hide();
        return;
    }
    if (m_romPath != m_state.RomPath) {
        Form_Load();
        return;
    }
    const int area = m_state.Area;
    if (m_dirty && area != m_state.MiniMapShown.area && area >= 0 && area < kMiniMapAreaCount &&
        m_dialogs.Ask("Discard unsaved changes to the minimap of " +
                      std::string(kMiniMapAreaNames[m_state.MiniMapShown.area]) + "?")) {
        m_dirty = false;
    }
    if (m_dirty || area < 0 || area >= kMiniMapAreaCount) {
        MarkRoomPosition();
        return;
    }
    SelectQuietly(area);
    LoadArea(area);
}

void frmMiniMap::LoadPrelims() {
    auto file = RomFile::Open(m_state.RomPath, OpenMode::Read);
    if (!file) {
        m_dialogs.Message(Describe(file.error()));
        return;
    }
    m_art = LoadMiniMapArt(*file);
    DrawMiniMapTiles();
}

void frmMiniMap::cboAreas_Click() {
    const int area = cboAreas->currentIndex();
    // Choosing the shown area again keeps its unsaved painting.
    if (area < 0 ||
        (area == m_state.MiniMapShown.area && m_romPath == m_state.RomPath && m_dirty)) {
        return;
    }
    if (m_dirty &&
        !m_dialogs.Ask("Discard unsaved changes to the minimap of " +
                       std::string(kMiniMapAreaNames[m_state.MiniMapShown.area]) + "?")) {
        SelectQuietly(m_state.MiniMapShown.area);
        return;
    }
    LoadArea(area);
}

void frmMiniMap::LoadArea(int area) {
    m_romPath = m_state.RomPath;
    m_dirty = false;
    lblStatus->clear();
    auto file = RomFile::Open(m_state.RomPath, OpenMode::Read);
    Result<MiniMap, Error> map = Fail(Error{ErrorKind::FileOpen, m_state.RomPath.string(), {}});
    if (file) {
        map = ReadMiniMap(*file, m_state.Tables, area);
    } else {
        map = Fail(file.error());
    }
    if (!map) {
        // Nothing of another area stays on show under this area's name.
        m_state.MiniMapShown = MiniMap{area, 0, std::vector<uint16_t>(kMiniMapEntries, 0)};
        lblStatus->setText(QString::fromStdString(Describe(map.error())));
    } else {
        m_state.MiniMapShown = std::move(map).value();
    }
    m_state.MiniMapAsRead = m_state.MiniMapShown.entries;
    DrawMap();
    MarkRoomPosition();
    emit readAgain();
}

void frmMiniMap::SelectQuietly(int area) {
    const QSignalBlocker blocker(cboAreas);
    cboAreas->setCurrentIndex(area);
}

void frmMiniMap::DrawMiniMapTiles() {
    quarnel::DrawMiniMapTiles(m_tilesPicture, m_art, static_cast<uint8_t>(cboRow->currentIndex()));
    picTiles->SyncSize();
}

void frmMiniMap::DrawMap() {
    quarnel::DrawMap(m_mapPicture, m_state.MiniMapShown.entries, m_art);
    picMiniMap->SyncSize();
}

void frmMiniMap::MarkRoomPosition() {
    if (m_state.Area != m_state.MiniMapShown.area || !m_roomPosition) {
        picMiniMap->HideOutline("shpCoords");
        return;
    }
    const QPoint cell = m_roomPosition();
    picMiniMap->ShowOutline("shpCoords",
                            QRect(cell.x() * kTileSize, cell.y() * kTileSize, kTileSize, kTileSize),
                            kRoomColour);
}

void frmMiniMap::ApplyZoom() {
    const int zoom = cboZoom->currentIndex() + 1;
    picTiles->SetZoom(zoom);
    picMiniMap->SetZoom(zoom);
    // The map's holder shows the whole map up to 2x, larger zooms scroll; the tiles' holder is
    // as wide as the tiles and scrolls through them.
    const int frame = 2 * m_mapHolder->frameWidth();
    const int mapSide = std::min(zoom, 2) * kMiniMapPixels + frame;
    m_mapHolder->setMinimumSize(mapSide, mapSide);
    m_mapHolder->setMaximumSize(zoom * kMiniMapPixels + frame, zoom * kMiniMapPixels + frame);
    m_tilesHolder->setMinimumSize(zoom * kTileColumns * kTileSize + frame +
                                      m_tilesHolder->verticalScrollBar()->sizeHint().width(),
                                  kMiniMapPixels);
    if (isVisible()) {
        // A larger zoom widens the window; where it was placed against the screen's edge it
        // would grow past it, taking "Save" out of sight.
        KeepOnScreen(this, parentWidget());
    }
}

uint16_t frmMiniMap::CurrentEntry() const {
    return TileEntry::Make(m_currentTile, chkHFlip->isChecked(), chkVFlip->isChecked(),
                           static_cast<uint8_t>(cboRow->currentIndex()))
        .value;
}

void frmMiniMap::SetCurrentEntry(uint16_t value) {
    const TileEntry entry{value};
    m_currentTile = entry.Tile();
    chkHFlip->setChecked(entry.HFlip());
    chkVFlip->setChecked(entry.VFlip());
    cboRow->setCurrentIndex(entry.PaletteRow());
    if (m_currentTile < kMiniMapTileCount) {
        picTiles->ShowOutline("shpTile", CellRect(m_currentTile, kTileColumns), kCursorColour);
    } else {
        picTiles->HideOutline("shpTile");
    }
}

void frmMiniMap::picTiles_Mouse(Qt::MouseButtons buttons, QPointF position) {
    const auto tile =
        CellUnder(position.x(), position.y(), kTileColumns, kMiniMapTileCount / kTileColumns);
    if (!tile) {
        return;
    }
    lblTile->setText(QString::fromStdString(ToHex(static_cast<uint32_t>(*tile))));
    if (buttons & Qt::LeftButton) {
        m_currentTile = static_cast<uint16_t>(*tile);
        picTiles->ShowOutline("shpTile", CellRect(*tile, kTileColumns), kCursorColour);
    }
}

void frmMiniMap::picMiniMap_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers,
                                      QPointF position) {
    const auto cell = CellUnder(position.x(), position.y(), kMiniMapSide, kMiniMapSide);
    if (!cell || m_state.MiniMapShown.entries.empty()) {
        return;
    }
    const int x = *cell % kMiniMapSide;
    const int y = *cell / kMiniMapSide;
    if (button == Qt::LeftButton) {
        if (PaintMiniMapRecorded(m_state, x, y, CurrentEntry(), m_gesture)) {
            m_dirty = true;
            lblStatus->setText(QStringLiteral("Unsaved changes"));
            DrawMap();
        }
    } else if (button == Qt::RightButton && (modifiers & Qt::ShiftModifier)) {
        SetCurrentEntry(m_state.MiniMapShown.Cell(x, y));
    } else if (button == Qt::RightButton) {
        m_dialogs.Message(ToHex(static_cast<uint32_t>(*cell)));
    }
}

void frmMiniMap::picMiniMap_MouseMove(Qt::MouseButtons buttons, QPointF position) {
    const auto cell = CellUnder(position.x(), position.y(), kMiniMapSide, kMiniMapSide);
    if (!cell || m_state.MiniMapShown.entries.empty()) {
        return;
    }
    Label2->setText(QString::fromStdString(
        ToHex(m_state.MiniMapShown.Cell(*cell % kMiniMapSide, *cell / kMiniMapSide))));
    picMiniMap->ShowOutline("shpMap", CellRect(*cell, kMiniMapSide), kCursorColour);
    if (buttons & Qt::LeftButton) {
        picMiniMap_MouseDown(Qt::LeftButton, Qt::NoModifier, position);
    }
}

void frmMiniMap::RomCopied(const std::filesystem::path& from) {
    if (m_romPath == from) {
        m_romPath = m_state.RomPath;
    }
}

void frmMiniMap::Refresh() {
    m_dirty = m_state.MiniMapChanged();
    lblStatus->setText(m_dirty ? QStringLiteral("Unsaved changes") : QString());
    DrawMap();
    MarkRoomPosition(); // the room's minimap position may have changed
}

void frmMiniMap::cmdSave_Click() {
    if (!m_state.RomOpened || m_romPath != m_state.RomPath || m_state.MiniMapShown.area < 0) {
        return;
    }
    auto saved = SaveMiniMap(m_state.RomPath, m_state.Tables, m_state.MiniMapShown, m_services);
    if (!saved) {
        m_dialogs.Message("The minimap was not saved: " + Describe(saved.error()));
        return;
    }
    const QString text = QString::fromStdString(MiniMapSavedText(m_state.MiniMapShown, *saved));
    LoadArea(m_state.MiniMapShown.area);
    lblStatus->setText(text);
    for (const auto& note : saved->notes) {
        m_dialogs.Message(note);
    }
    for (const auto& difference : saved->differences) {
        m_dialogs.Message("After the save, " + difference +
                          " reads back otherwise than it was written.");
    }
}

void frmMiniMap::closeEvent(QCloseEvent* event) {
    if (m_dirty &&
        !m_dialogs.Ask("Discard unsaved changes to the minimap of " +
                       std::string(kMiniMapAreaNames[m_state.MiniMapShown.area]) + "?")) {
        event->ignore();
        return;
    }
    // The painting is left behind, and with the window closed no minimap is shown: strokes
    // still in the history find nothing to act on, so a redo cannot paint where nobody sees it.
    // Opening the window again reads the area from the file.
    m_state.MiniMapShown = MiniMap{};
    m_state.MiniMapAsRead.clear();
    if (m_dirty) {
        m_dirty = false;
        emit readAgain();
    }
    event->accept();
}

} // namespace quarnel
