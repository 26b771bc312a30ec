// frmMain: opening a ROM, choosing areas and rooms, and showing the loaded room.

#include "main/frmMain.h"

#include "common/Hex.h"
#include "doors/frmDoorEd.h"
#include "graphics/Animation.h"
#include "graphics/ImageFiles.h"
#include "main/MarkerLabelWidget.h"
#include "main/NameLists.h"
#include "main/PictureScrollWidget.h"
#include "main/PictureWidget.h"
#include "main/QtWindowPlacement.h"
#include "main/RomOpening.h"
#include "rom/Catalog.h"
#include "rom/RomFile.h"
#include "side/MiniMap.h"
#include "side/frmMainMap.h"
#include "storage/QtRoomSaveActions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTimer>

namespace quarnel {

namespace {

constexpr int kMarkerCount = 255;

void SelectQuietly(QComboBox* list, int index) {
    const QSignalBlocker blocker(list);
    list->setCurrentIndex(index);
}

} // namespace

void frmMain::OpenRom() {
    const auto chosen = m_dialogs.OpenFile("Open Romfile", "GBA roms| *.GBA");
    if (!chosen || chosen->empty()) {
        m_dialogs.Message("No rom loaded");
        return;
    }
    OpenRomPath(*chosen);
}

bool frmMain::OpenRomPath(const std::filesystem::path& path) {
    // Everything the open reads is read and checked first; a refused file leaves the open
    // ROM, its room and its edits as they were.
    auto tables = ReadRomTables(path);
    if (!tables) {
        m_dialogs.Message("Sorry invalid ROM.\r\n" + Describe(tables.error()));
        return false;
    }
    if (!ConfirmDiscard() || !ConfirmDiscardMiniMap()) {
        return false;
    }
    const Game game = tables->game;
    AdoptRom(m_state, path, std::move(tables).value());
    // A confirmation needs no click: it goes to the status bar.
    Inform(game == Game::ZM ? "Rom Loaded" : "RomLoaded");
    RememberRom(path);
    m_romReady = true;
    for (QGroupBox* frame : {fraLevel, fraEditControl, Frame3}) {
        frame->setEnabled(true);
    }
    LoadClipStuff();
    Loadem();
    HistoryChanged();
    return true;
}

void frmMain::LoadClipStuff() {
    cboAttribute->clear();
    m_clipNames =
        ClipAttributeNames(m_state.GameCode, ClipNamesFile(m_state.GameCode, m_dataFolder));
    for (const auto& name : m_clipNames) {
        cboAttribute->addItem(QString::fromStdString(name));
    }
    cboAttribute->setCurrentIndex(0);
}

QString frmMain::ClipAttributeName(int value) const {
    return value >= 0 && value < cboAttribute->count() ? cboAttribute->itemText(value) : QString();
}

void frmMain::Loadem() {
    cboAreas->clear();
    if (auto loaded = m_state.Storage.LoadStorage(); !loaded) {
        m_dialogs.Message(Describe(loaded.error()));
    }
    m_romReady = true;
    if (!m_labelsCreated) {
        for (int i = 0; i < kMarkerCount; ++i) {
            auto* sprite = new MarkerLabelWidget(i, QStringLiteral("S"),
                                                 QStringLiteral("rgba(200, 40, 40, 160)"),
                                                 picMap->Zoom(), picMap);
            connect(sprite, &MarkerLabelWidget::pressed, this,
                    [this](int index, Qt::MouseButton button, Qt::KeyboardModifiers, QPointF) {
                        Enemy_MouseDown(index, button);
                    });
            connect(sprite, &MarkerLabelWidget::moved, this, &frmMain::Enemy_MouseMove);
            Enemy.push_back(sprite);
            auto* door = new MarkerLabelWidget(i, QStringLiteral("D"),
                                               QStringLiteral("rgba(40, 90, 220, 160)"),
                                               picMap->Zoom(), picMap);
            connect(door, &MarkerLabelWidget::pressed, this,
                    [this](int index, Qt::MouseButton button, Qt::KeyboardModifiers, QPointF) {
                        lblDoors_MouseDown(index, button);
                    });
            connect(door, &MarkerLabelWidget::moved, this, &frmMain::lblDoors_MouseMove);
            lblDoors.push_back(door);
        }
        m_labelsCreated = true;
    }
    cboAreas->clear();
    for (const auto& name : AreaNames(m_state.GameCode)) {
        cboAreas->addItem(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
    }
    SelectQuietly(cboAreas, 0);
    cboAreas_Click();
}

bool frmMain::ConfirmDiscard() {
    if (!m_state.HasUnsavedChanges()) {
        return true;
    }
    return m_dialogs.Ask("Discard unsaved changes to this room?");
}

bool frmMain::ConfirmDiscardMiniMap() {
    const int area = m_state.MiniMapShown.area;
    if (!m_state.MiniMapChanged() || area < 0 || area >= kMiniMapAreaCount) {
        return true;
    }
    if (!m_dialogs.Ask("Discard unsaved changes to the minimap of " +
                       std::string(kMiniMapAreaNames[static_cast<size_t>(area)]) + "?")) {
        return false;
    }
    // The painting is left behind before the other file comes, so nothing reports it again.
    m_state.MiniMapShown.entries = m_state.MiniMapAsRead;
    RefreshSideWindow(m_miniMapWindow);
    return true;
}

void frmMain::cboAreas_Click() {
    if (!m_romReady) {
        m_dialogs.Message("Please load a ROM first, then click Load. Thank you!");
        return;
    }
    int area = cboAreas->currentIndex();
    if (area < 0) {
        return;
    }
    // Choosing an area reloads its room 0 from the ROM, the area already shown included.
    if (!ConfirmDiscard()) {
        SelectQuietly(cboAreas, m_state.Area);
        return;
    }
    // An area whose room count cannot be worked out shows the last area's rooms.
    const auto count = quarnel::RoomCount(m_state.Tables, area);
    const int lastArea = cboAreas->count() - 1;
    if (count.fallback && area != lastArea) {
        area = lastArea;
        SelectQuietly(cboAreas, area);
    }
    const AreaSelection selection = SelectArea(m_state, area);
    if (!selection.Room0.Loaded) {
        // The room shown stays, and the lists keep showing its area and room.
        std::string text = "Room 0 of " + cboAreas->itemText(area).toStdString() +
                           " cannot be loaded; the room shown stays open.";
        for (const auto& problem : selection.Room0.Problems) {
            text += "\r\n" + Describe(problem);
        }
        SelectQuietly(cboAreas, m_state.Area);
        if (m_state.Area < 0) {
            SetRoomList(0);
        }
        m_dialogs.Message(text);
        return;
    }
    SetRoomList(selection.RoomCount);
    SelectQuietly(cboRoom, 0);
    ShowRoom(selection.Room0);
}

void frmMain::SetRoomList(int count) {
    m_roomCount = count;
    const QSignalBlocker blocker(cboRoom);
    cboRoom->clear();
    for (int room = 0; room < count; ++room) {
        cboRoom->addItem(QString::fromStdString(ToHex(static_cast<uint32_t>(room))));
    }
}

void frmMain::cboRoom_Click() {
    if (!m_state.RomOpened) {
        return;
    }
    const int room = cboRoom->currentIndex();
    if (room < 0) {
        return;
    }
    if (!ConfirmDiscard()) {
        SelectQuietly(cboRoom, m_state.Room);
        return;
    }
    ShowRoom(SelectRoom(m_state, m_state.Area, room));
}

void frmMain::cboRoom_Validate() {
    if (!m_state.RomOpened || m_state.Area < 0 || m_state.Room < 0 || m_validating) {
        return;
    }
    const QString text = cboRoom->lineEdit()->text();
    // Hexadecimal that fits 32 bits and lies below the room count; anything else is refused.
    const auto typed = ParseHex(text.toStdString());
    if (!typed || *typed >= static_cast<uint32_t>(m_roomCount)) {
        const QScopedValueRollback guard(m_validating, true);
        ShowCurrentRoomText();
        m_dialogs.Message(TypedRoomRefusal(text));
        return;
    }
    const int room = static_cast<int>(*typed);
    if (room == m_state.Room) {
        ShowCurrentRoomText();
        return;
    }
    SelectQuietly(cboRoom, room);
    cboRoom_Click();
    ShowCurrentRoomText();
}

void frmMain::ShowCurrentRoomText() {
    const QSignalBlocker blocker(cboRoom);
    cboRoom->setCurrentIndex(m_state.Room);
    cboRoom->setEditText(cboRoom->itemText(m_state.Room));
}

std::string frmMain::TypedRoomRefusal(const QString& text) const {
    const std::string area = cboAreas->itemText(m_state.Area).toStdString();
    const std::string range = "type a room number from 0 to " +
                              ToHex(static_cast<uint32_t>(m_roomCount - 1)) + " (hexadecimal).";
    const QString shown = text.trimmed();
    if (shown.isEmpty()) {
        return "The Room box is empty: " + range;
    }
    const QString quoted = shown.size() > 16 ? shown.left(16) + QStringLiteral("...") : shown;
    return "Room \"" + quoted.toStdString() + "\" is not a room of " + area + ": " + range;
}

void frmMain::ShowRoom(const LoadReport& report) {
    if (!report.Loaded) {
        // The room shown stays, and so does its entry in the room list.
        SelectQuietly(cboRoom, m_state.Room);
        std::string text = "This room cannot be loaded; the room shown stays open.";
        for (const auto& problem : report.Problems) {
            text += "\r\n" + Describe(problem);
        }
        m_dialogs.Message(text);
        return;
    }
    ReportProblems(report.Problems);
    const RoomHeader& header = m_state.CurrentRoomHeader;
    SelectQuietly(cboTileset, header.Tileset);
    SelectQuietly(cboMusic, header.Music);
    SelectQuietly(cboMX, header.MiniMapX);
    SelectQuietly(cboMY, header.MiniMapY);
    {
        const QSignalBlocker blocker(cboRoom);
        cboRoom->setCurrentIndex(m_state.Room);
    }
    ApplySwitches();
    ApplyLayout();
    PicTSA->SyncSize();
    // Another room opens at its top-left corner; the same room reloaded (after a save) stays.
    if (m_shownRoom != std::pair{m_state.Area, m_state.Room}) {
        m_shownRoom = {m_state.Area, m_state.Room};
        PicMaphold->ScrollToTopLeft();
    }
    ShowCurrentBlock();
    ShowClipLegend();
    ArmTimers();
    ShowSprites();
    ShowDoors();
    if (m_doorEditor != nullptr) {
        m_doorEditor->Reload();
    }
    if (m_largeMap != nullptr && m_largeMap->isVisible()) {
        m_largeMap->LoadForm(m_largeMap->ScrollMode());
    }
    emit roomSelected();
    if (m_sideWindows.reload) {
        // The music viewer shows the song of the room's music list, which the load just set;
        // the storage window the free space a save may just have handed out.
        for (QWidget* window :
             {m_paletteWindow, m_enemyWindow, m_tilesWindow, m_musicWindow, m_storageWindow}) {
            if (window != nullptr && window->isVisible()) {
                m_sideWindows.reload(window);
            }
        }
        if (m_miniMapWindow != nullptr && m_miniMapWindow->isVisible() && mnuMini->isChecked()) {
            m_sideWindows.reload(m_miniMapWindow);
        }
    }
}

void frmMain::ReportProblems(const std::vector<Error>& problems) {
    if (problems.empty()) {
        return;
    }
    std::string text = "This room has problems; the parts concerned are left out:";
    for (const auto& problem : problems) {
        text += "\r\n" + Describe(problem);
    }
    statusBar()->showMessage(QString::fromStdString(Describe(problems.front())), 10000);
    m_dialogs.Message(text);
}

void frmMain::ShowSprites() {
    const auto& list = m_state.Sprites.List(m_state.ShownSpriteList);
    for (size_t i = 0; i < Enemy.size(); ++i) {
        if (i < list.size()) {
            const auto position = SpriteLabelPosition(list[i]);
            Enemy[i]->setText(QStringLiteral("S"));
            Enemy[i]->PlaceAt(position.left, position.top);
            Enemy[i]->show();
            Enemy[i]->raise();
        } else {
            Enemy[i]->hide();
        }
    }
    RefreshLargeMapMarkers();
}

void frmMain::cboSpriteIndex_Click() {
    if (!m_romReady || !m_state.RomOpened) {
        return;
    }
    const int list = cboSpriteIndex->currentIndex();
    if (list < 0 || list > 2) {
        return;
    }
    // Choosing a list reloads it from the ROM, the list already shown included.
    if (m_state.HasUnsavedChanges() &&
        !m_dialogs.Ask("Reload sprite list " + std::to_string(list) +
                       " from the ROM? Unsaved changes to it will be lost.")) {
        SelectQuietly(cboSpriteIndex, m_state.ShownSpriteList);
        return;
    }
    m_state.ShownSpriteList = list;
    auto file = RomFile::Open(m_state.RomPath, OpenMode::Read);
    if (!file) {
        m_dialogs.Message(Describe(file.error()));
        return;
    }
    if (auto loaded = LoadSprites(*file, m_state.CurrentRoomHeader, list, m_state.Sprites);
        !loaded) {
        m_dialogs.Message(Describe(loaded.error()));
    }
    ShowSprites();
}

void frmMain::cboSpriteIndex_Validate() {
    if (m_validating) {
        return;
    }
    const QString text = cboSpriteIndex->lineEdit()->text();
    const auto typed = ParseHex(text.toStdString());
    const int shown = m_state.ShownSpriteList;
    if (!typed || *typed > 2) {
        const QScopedValueRollback guard(m_validating, true);
        SelectQuietly(cboSpriteIndex, shown);
        cboSpriteIndex->setEditText(cboSpriteIndex->itemText(shown));
        m_dialogs.Message("Sprite list \"" + text.trimmed().left(16).toStdString() +
                          "\" does not exist: type 0, 1 or 2.");
        return;
    }
    if (static_cast<int>(*typed) == shown) {
        SelectQuietly(cboSpriteIndex, shown);
        cboSpriteIndex->setEditText(cboSpriteIndex->itemText(shown));
        return;
    }
    SelectQuietly(cboSpriteIndex, static_cast<int>(*typed));
    cboSpriteIndex_Click();
}

void frmMain::ArmTimers() {
    for (size_t slot = 0; slot < tmrTile.size(); ++slot) {
        const AnimTimer& timer = m_state.Graphics.Timers[slot];
        if (timer.Enabled && timer.IntervalMs > 0) {
            tmrTile[slot]->start(timer.IntervalMs);
        } else {
            tmrTile[slot]->stop();
        }
    }
}

void frmMain::tmrTile_Timer(int slot) {
    if (!mnuUpdate->isChecked() || !m_state.RomOpened) {
        return;
    }
    auto file = RomFile::Open(m_state.RomPath, OpenMode::Read);
    if (file && StepAnimation(*file, slot, m_state.Graphics)) {
        PicTSA->update();
        ShowCurrentBlock();
    }
}

void frmMain::cmdSave_Click() {
    m_saveActions->cmdSave_Click();
}

void frmMain::mnuUpdate_Click() {
    // The menu entry's check mark is the switch; the timers keep running either way.
}

void frmMain::mnuSMP_Click() {
    const auto chosen = m_dialogs.SaveFile("Save Binary File", "BMP Files| *.bmp|PNG Files| *.png");
    if (!chosen || chosen->empty()) {
        return;
    }
    const Surface& picture = m_state.MapPicture;
    std::string extension = chosen->extension().string();
    for (char& c : extension) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    auto written = extension == ".png" ? WritePng(picture, *chosen) : WriteBmp(picture, *chosen);
    if (!written) {
        m_dialogs.Message(Describe(written.error()));
        return;
    }
    statusBar()->showMessage(
        QStringLiteral("Saved %1").arg(QString::fromStdString(chosen->string())), 5000);
}

void frmMain::ShowSideWindow(QWidget*& window, const std::function<QWidget*(QWidget*)>& make,
                             const char* name) {
    if (!make) {
        NotAvailable(name);
        return;
    }
    const bool placed = window == nullptr;
    if (placed) {
        window = make(this);
        window->setWindowFlag(Qt::Window);
        window->adjustSize();
        PlaceNewSideWindow(window);
    } else if (m_sideWindows.reload) {
        m_sideWindows.reload(window);
    }
    window->show();
    if (placed) {
        KeepOnScreen(window, this);
    }
    window->raise();
    window->activateWindow();
}

void frmMain::NotAvailable(const char* name) {
    m_dialogs.Message(std::string(name) + " is not available in this version of Quarnel.");
}

} // namespace quarnel
