// frmMain: the Edit menu's Undo and Redo, the recording of the main window's own edits, and
// the title with its unsaved-changes marker.

#include "main/frmMain.h"

#include "doors/frmDoorEd.h"
#include "main/EditSteps.h"
#include "main/PictureWidget.h"
#include "side/frmMainMap.h"

#include <QAction>
#include <QComboBox>
#include <QKeySequence>
#include <QMenu>
#include <QSignalBlocker>

namespace quarnel {

void frmMain::BuildEditMenu(QMenu* edit) {
    mnuUndo = edit->addAction(QStringLiteral("Undo"), this, [this] { Undo(); });
    mnuUndo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    mnuRedo = edit->addAction(QStringLiteral("Redo"), this, [this] { Redo(); });
    mnuRedo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    // The side windows' edits are steps of the same history: the keys work in them too (a
    // focused text box keeps its own Ctrl+Z).
    for (QAction* action : {mnuUndo, mnuRedo}) {
        action->setShortcutContext(Qt::ApplicationShortcut);
    }
    // Every step, undo, save and load changes what the entries name and the title's marker.
    m_state.History.SetListener([this] { HistoryChanged(); });
    HistoryChanged();
}

void frmMain::Undo() {
    if (m_state.RomOpened) {
        ApplyEffect(m_state.History.Undo(m_state, CurrentRoom(m_state)));
    }
}

void frmMain::Redo() {
    if (m_state.RomOpened) {
        ApplyEffect(m_state.History.Redo(m_state, CurrentRoom(m_state)));
    }
}

void frmMain::HistoryChanged() {
    const RoomKey room = CurrentRoom(m_state);
    const auto undo = m_state.RomOpened ? m_state.History.UndoName(room) : std::nullopt;
    const auto redo = m_state.RomOpened ? m_state.History.RedoName(room) : std::nullopt;
    mnuUndo->setEnabled(undo.has_value());
    mnuUndo->setText(undo ? QStringLiteral("Undo %1").arg(QString::fromStdString(*undo))
                          : QStringLiteral("Undo"));
    mnuRedo->setEnabled(redo.has_value());
    mnuRedo->setText(redo ? QStringLiteral("Redo %1").arg(QString::fromStdString(*redo))
                          : QStringLiteral("Redo"));
    UpdateTitle();
}

void frmMain::UpdateTitle() {
    if (!m_state.RomOpened) {
        setWindowTitle(QStringLiteral("Quarnel"));
        return;
    }
    const QString file = QString::fromStdString(m_state.RomPath.filename().string());
    const bool unsaved = m_state.HasUnsavedChanges() || m_state.MiniMapChanged();
    setWindowTitle(
        QStringLiteral("Quarnel - %1%2").arg(file, unsaved ? QStringLiteral(" *") : QString()));
}

void frmMain::ApplyEffect(const EditEffect& effect) {
    if (effect.Empty()) {
        return;
    }
    if (effect.wholeMap) {
        ApplySwitches();
        RefreshMap();
        picMap->update();
    } else {
        // The cells' pixels were drawn again as they were written; only those squares repaint.
        for (const CellRef& cell : effect.cells) {
            picMap->RefreshSquare(16 * cell.x, 16 * cell.y, 16);
        }
    }
    if (effect.header) {
        const RoomHeader& header = m_state.CurrentRoomHeader;
        for (auto [list, value] :
             {std::pair{cboTileset, header.Tileset}, std::pair{cboMusic, header.Music},
              std::pair{cboMX, header.MiniMapX}, std::pair{cboMY, header.MiniMapY}}) {
            const QSignalBlocker blocker(list);
            list->setCurrentIndex(value);
        }
        // The side windows that show the header: the sprite sets, the room's minimap cell and
        // its song.
        for (QWidget* window : {m_enemyWindow, m_miniMapWindow, m_musicWindow}) {
            RefreshSideWindow(window);
        }
    }
    if (effect.sprites) {
        ShowSprites();
    }
    if (effect.doors) {
        ShowDoors();
        RefreshDoors();
        if (m_doorEditor != nullptr) {
            m_doorEditor->Reload();
        }
    }
    if (effect.blocks) {
        RefreshGraphics();
        RefreshSideWindow(m_tilesWindow);
    }
    if (effect.minimap) {
        RefreshSideWindow(m_miniMapWindow);
    }
    if (m_largeMap != nullptr && m_largeMap->isVisible()) {
        if (effect.wholeMap || effect.scrolls || effect.doors || effect.sprites) {
            m_largeMap->LoadForm(m_largeMap->ScrollMode());
        } else {
            m_largeMap->picMap->update();
        }
    }
}

void frmMain::RefreshSideWindow(QWidget* window) {
    if (window == nullptr || !window->isVisible()) {
        return;
    }
    if (m_sideWindows.refresh) {
        m_sideWindows.refresh(window);
    } else if (m_sideWindows.reload) {
        m_sideWindows.reload(window);
    }
}

void frmMain::HeaderList_Click(QComboBox* list) {
    const int value = list->currentIndex();
    if (!m_state.RomOpened || value < 0 || value > 0xFF) {
        return;
    }
    RoomHeader after = m_state.CurrentRoomHeader;
    const char* name = "Change Tileset";
    if (list == cboTileset) {
        after.Tileset = static_cast<uint8_t>(value);
    } else if (list == cboMusic) {
        after.Music = static_cast<uint8_t>(value);
        name = "Change Music";
    } else if (list == cboMX) {
        after.MiniMapX = static_cast<uint8_t>(value);
        name = "Change Minimap X";
    } else {
        after.MiniMapY = static_cast<uint8_t>(value);
        name = "Change Minimap Y";
    }
    if (after == m_state.CurrentRoomHeader) {
        return;
    }
    const RoomHeader before = m_state.CurrentRoomHeader;
    m_state.CurrentRoomHeader = after;
    m_state.History.Record(m_state, CurrentRoom(m_state),
                           std::make_unique<HeaderStep>(name, before, after));
    EditEffect shown;
    shown.header = true;
    ApplyEffect(shown);
}

} // namespace quarnel
