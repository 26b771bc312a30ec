#pragma once
// frmMainMap, the large map window: the whole room at 16 pixels a block in a resizable window
// whose scroll bars move over it, with the same painting and picking as the main map (through
// the same core path), the outline of the block under the pointer, the room's doors and
// sprites, and in scroll mode the room's scrolls as labels that can be dragged by their edges
// or body, with a panel for the selected scroll's extension fields. It shows the editor's one
// map picture and keeps no room data of its own.

#include "doors/ScrollData.h"
#include "main/EditorState.h"
#include "main/MapEditing.h"

#include <QPoint>
#include <QPointF>
#include <QWidget>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QScrollArea;
class QScrollBar;

namespace quarnel {

class PictureScrollWidget;
class PictureWidget;
class ScrollLabelWidget;

class frmMainMap : public QWidget {
    Q_OBJECT

public:
    // What the window takes from the main window: the clip value that painting clipdata
    // writes, and its "Save Room".
    struct Hooks {
        std::function<std::optional<uint8_t>()> clipValue;
        std::function<void()> saveRoom;
    };

    frmMainMap(EditorState& state, Hooks hooks, QWidget* parent = nullptr);

    // Fills the window from the editor state; with `scroll`, in scroll mode (the scroll labels
    // are created the first time). Run after every room load while the window is visible.
    void LoadForm(bool scroll = false);
    bool ScrollMode() const { return m_scrollMode; }

    // The scroll whose fields the panel shows.
    std::optional<size_t> SelectedScroll() const { return m_selected; }
    void SelectScroll(size_t index);

    void picMap_MouseDown(Qt::MouseButton button, QPointF position);
    void picMap_MouseMove(Qt::MouseButtons buttons, QPointF position);

    // Controls, named as the editor's design names them.
    PictureScrollWidget* PicMaphold = nullptr;
    PictureWidget* picMap = nullptr; // its outline is shpMap
    QScrollBar* hsbMap = nullptr;
    QScrollBar* vsbMap = nullptr;
    std::vector<ScrollLabelWidget*> lblScroll;
    QGroupBox* fraScroll = nullptr;
    QLabel* lblScrollInfo = nullptr;
    QComboBox* cboBreakX = nullptr;
    QComboBox* cboBreakY = nullptr;
    QComboBox* cboExtendBound = nullptr;
    QComboBox* cboExtendValue = nullptr;
    QPushButton* cmdSaveRoom = nullptr;

signals:
    // The window was closed (the main map redraws).
    void closed();
    // A right click took the current block from the map.
    void picked();
    // A cell, a scroll or a scroll field was changed here.
    void edited();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* BuildScrollPanel();
    void CreateScrollLabels();
    void ShowScrolls();
    void PlaceScrollLabel(size_t index);
    void ShowScrollFields();
    void SetField(ScrollField field, int value);
    void lblScroll_MouseDown(int index, Qt::MouseButton button, QPointF position);
    void lblScroll_MouseMove(int index, Qt::MouseButtons buttons, QPointF position);
    void FitToScreen();
    // Follows the zoom: the scroll labels keep covering their blocks.
    void ShowZoom();
    // A position over a scroll label (label pixels) on the map picture, in picture pixels.
    QPointF OnPicture(const QWidget* label, QPointF position) const;

    // A drag of a scroll in progress: which part was grabbed, the scroll as it was, and the
    // block the pointer was over.
    struct ScrollDrag {
        size_t index;
        ScrollHandle handle;
        ScrollRecord original;
        int blockX;
        int blockY;
    };

    EditorState& m_state;
    Hooks m_hooks;
    bool m_scrollMode = false;
    bool m_sized = false;
    std::optional<size_t> m_selected;
    std::optional<ScrollDrag> m_drag;
    uint64_t m_gesture = 0; // the press the current drag belongs to, for the undo history
    DragTrail m_trail;      // the cells the current drag painted or picked
};

} // namespace quarnel
