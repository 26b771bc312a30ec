// frmMain: opening a ROM, choosing areas and rooms, and showing the loaded room.

#include "main/frmMain.h"

#include "common/Hex.h"
#include "graphics/Animation.h"
#include "graphics/ImageFiles.h"
#include "main/MarkerLabelWidget.h"
#include "main/NameLists.h"
#include "main/PictureWidget.h"
#include "rom/Catalog.h"
#include "rom/GameDetection.h"
#include "rom/RomFile.h"
#include "storage/QtRoomSaveActions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
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
    if (!ConfirmDiscard()) {
        return false;
    }
    auto game = DetectGame(path);
    if (!game) {
        m_dialogs.Message(game.error().kind == ErrorKind::NotARom
                              ? std::string("Sorry invalid ROM.")
                              : "Sorry invalid ROM.\r\n" + Describe(game.error()));
        return false;
    }
    if (auto opened = OpenRomFile(m_state, path); !opened) {
        m_dialogs.Message("Sorry invalid ROM.\r\n" + Describe(opened.error()));
        return false;
    }
    m_dialogs.Message(*game == Game::ZM ? "Rom Loaded" : "RomLoaded");
    m_romReady = true;
    for (QGroupBox* frame : {fraLevel, fraEditControl, Frame3}) {
        frame->setEnabled(true);
    }
    LoadClipStuff();
    Loadem();
    setWindowTitle(
        QStringLiteral("Quarnel - %1").arg(QString::fromStdString(path.filename().string())));
    return true;
}

void frmMain::LoadClipStuff() {
    cboAttribute->clear();
    for (const auto& name : ClipAttributeNames(m_state.GameCode, m_dataFolder / "ZMClip.txt")) {
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

void frmMain::cboAreas_Click() {
    if (!m_romReady) {
        m_dialogs.Message("Please load a rom the click Load Thank you!");
        return;
    }
    int area = cboAreas->currentIndex();
    if (area < 0) {
        return;
    }
    if (area != m_state.Area && !ConfirmDiscard()) {
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
    SetRoomList(selection.RoomCount);
    if (selection.RoomCount == 0) {
        ReportProblems(selection.Room0.Problems);
        return;
    }
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

void frmMain::cboRoom_Change(const QString& text) {
    // Text that is no hexadecimal number selects room 0; a number beyond the list keeps the
    // current room.
    const auto typed = ParseHex(text.toStdString());
    const int room = typed ? static_cast<int>(*typed) : 0;
    if (room >= cboRoom->count()) {
        return;
    }
    {
        const QSignalBlocker blocker(cboRoom);
        cboRoom->setCurrentIndex(room);
        cboRoom->setEditText(text);
    }
    cboRoom_Click();
}

void frmMain::ShowRoom(const LoadReport& report) {
    ReportProblems(report.Problems);
    if (!report.Loaded) {
        return;
    }
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
    picMap->SyncSize();
    PicTSA->update();
    ArmTimers();
    ShowSprites();
    ShowDoors();
    emit roomSelected();
    if (m_sideWindows.reload) {
        for (QWidget* window : {m_paletteWindow, m_enemyWindow, m_tilesWindow}) {
            if (window != nullptr && window->isVisible()) {
                m_sideWindows.reload(window);
            }
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
}

void frmMain::ShowDoors() {
    for (auto* label : lblDoors) {
        label->hide();
        label->PlaceAt(0, 0);
    }
    const DoorState& doors = m_state.Doors;
    for (size_t k = 0; k < doors.RoomDoorCount && k < lblDoors.size(); ++k) {
        const auto door = DoorIndexOfLabel(doors, k);
        if (!door) {
            for (auto* label : lblDoors) {
                label->hide();
            }
            return;
        }
        const auto position = DoorLabelPosition(doors.AreaDoors[*door]);
        lblDoors[k]->PlaceAt(position.left, position.top);
        lblDoors[k]->show();
        lblDoors[k]->raise();
    }
}

void frmMain::cboSpriteIndex_Click() {
    if (!m_romReady || !m_state.RomOpened) {
        return;
    }
    const int list = cboSpriteIndex->currentIndex();
    if (list < 0 || list > 2) {
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

void frmMain::cboSpriteIndex_Change(const QString& text) {
    const auto typed = ParseHex(text.toStdString());
    if (!typed || *typed > 2) {
        return;
    }
    {
        const QSignalBlocker blocker(cboSpriteIndex);
        cboSpriteIndex->setCurrentIndex(static_cast<int>(*typed));
    }
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
    if (window == nullptr) {
        window = make(this);
        window->setWindowFlag(Qt::Window);
    } else if (m_sideWindows.reload) {
        m_sideWindows.reload(window);
    }
    window->show();
    window->raise();
    window->activateWindow();
}

void frmMain::NotAvailable(const char* name) {
    m_dialogs.Message(std::string(name) + " is not available in this version of Quarnel.");
}

} // namespace quarnel
