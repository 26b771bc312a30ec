// frmMain: the view of the room: zoom, grids, the clipdata overlay and its legend, the current
// block in the tileset, the readout of the block under the pointer, and where windows go.

#include "main/frmMain.h"

#include "common/Hex.h"
#include "main/MapReadout.h"
#include "main/MarkerLabelWidget.h"
#include "main/PictureScrollWidget.h"
#include "main/PictureWidget.h"
#include "main/QtSurface.h"
#include "main/QtWindowPlacement.h"
#include "side/frmMainMap.h"

#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QKeySequence>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QScrollBar>
#include <QSettings>

#include <algorithm>

namespace quarnel {

namespace {

constexpr int kTilesetColumns = 16;
constexpr int kPreviewPixels = 64;
// The tileset area shows at most this many pixels across; a larger zoom scrolls sideways.
constexpr int kTilesetMaxWidth = 512;

QIcon Swatch(uint32_t argb) {
    QPixmap pixmap(14, 14);
    pixmap.fill(argb >> 24 == 0 ? QColor(Qt::transparent) : QColor::fromRgb(argb | 0xFF000000));
    return QIcon(pixmap);
}

} // namespace

void frmMain::BuildViewMenu() {
    QMenu* view = new QMenu(QStringLiteral("&View"), this);
    // Between File (and what follows it) and Advanced.
    QAction* before = nullptr;
    for (QAction* entry : menuBar()->actions()) {
        if (entry->text() == QStringLiteral("Advanced")) {
            before = entry;
        }
    }
    menuBar()->insertMenu(before, view);

    mnuZoomIn =
        view->addAction(QStringLiteral("Zoom &In"), this, [this] { SetMapZoom(MapZoom() + 1); });
    mnuZoomIn->setShortcuts({QKeySequence::ZoomIn, QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    mnuZoomOut =
        view->addAction(QStringLiteral("Zoom &Out"), this, [this] { SetMapZoom(MapZoom() - 1); });
    mnuZoomOut->setShortcut(QKeySequence::ZoomOut);
    mnuZoomReset = view->addAction(QStringLiteral("&Actual Size"), this, [this] { SetMapZoom(1); });
    mnuZoomReset->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
    auto* zooms = new QActionGroup(this);
    for (int zoom = 1; zoom <= 4; ++zoom) {
        QAction* entry = view->addAction(QStringLiteral("Zoom %1x").arg(zoom), this,
                                         [this, zoom] { SetMapZoom(zoom); });
        entry->setCheckable(true);
        zooms->addAction(entry);
        mnuZoom[static_cast<size_t>(zoom - 1)] = entry;
    }
    mnuZoom[static_cast<size_t>(picMap->Zoom() - 1)]->setChecked(true);
    QMenu* tilesetZoom = view->addMenu(QStringLiteral("&Tileset Zoom"));
    for (int zoom = 1; zoom <= 4; ++zoom) {
        tilesetZoom->addAction(QStringLiteral("%1x").arg(zoom), this, [this, zoom] {
            SetTilesetZoom(zoom);
            RevealCurrentBlock();
        });
    }
    view->addSeparator();
    mnuGrid = view->addAction(QStringLiteral("&Grid"));
    mnuGrid->setShortcut(QKeySequence(Qt::Key_G));
    mnuScreenGrid = view->addAction(QStringLiteral("&Screen Grid (15 x 10 blocks)"));
    mnuScreenGrid->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_G));
    mnuClipOverlay = view->addAction(QStringLiteral("&Clipdata Overlay"));
    for (QAction* entry : {mnuGrid, mnuScreenGrid, mnuClipOverlay}) {
        entry->setCheckable(true);
        connect(entry, &QAction::toggled, this, [this] { ApplyViewLayers(); });
    }
}

int frmMain::MapZoom() const {
    return picMap->Zoom();
}

void frmMain::SetMapZoom(int zoom, std::optional<QPoint> anchor) {
    PicMaphold->SetZoom(zoom, anchor);
}

void frmMain::FollowMapZoom(int zoom) {
    for (auto* labels : {&Enemy, &lblDoors}) {
        for (MarkerLabelWidget* label : *labels) {
            label->SetZoom(zoom);
        }
    }
    if (mnuZoom[0] != nullptr) {
        mnuZoom[static_cast<size_t>(zoom - 1)]->setChecked(true);
        mnuZoomIn->setEnabled(zoom < PictureWidget::kMaxZoom);
        mnuZoomOut->setEnabled(zoom > PictureWidget::kMinZoom);
    }
}

void frmMain::SetTilesetZoom(int zoom) {
    PicTSAhold->SetZoom(zoom);
    const int shown = std::min(kTilesetColumns * 16 * PicTSA->Zoom(), kTilesetMaxWidth);
    PicTSAhold->setFixedWidth(shown + PicTSAhold->verticalScrollBar()->sizeHint().width() +
                              2 * PicTSAhold->frameWidth());
}

void frmMain::RevealCurrentBlock() {
    const int zoom = PicTSA->Zoom();
    const int block = m_state.CurrentBlock;
    PicTSAhold->ensureVisible(((block % 16) * 16 + 8) * zoom, ((block / 16) * 16 + 8) * zoom,
                              16 * zoom, 16 * zoom);
}

void frmMain::ApplyViewLayers() {
    const bool grid = mnuGrid->isChecked();
    const bool screens = mnuScreenGrid->isChecked();
    const RoomLayer* clip = mnuClipOverlay->isChecked() ? &m_state.ClipLayer : nullptr;
    picMap->SetGrids(grid, screens);
    picMap->SetClipOverlay(clip);
    if (m_largeMap != nullptr) {
        m_largeMap->picMap->SetGrids(grid, screens);
        m_largeMap->picMap->SetClipOverlay(clip);
    }
    ShowClipLegend();
}

void frmMain::ShowClipLegend() {
    const bool shown = mnuClipOverlay->isChecked() && m_state.RomOpened;
    lstClipLegend->setVisible(shown);
    if (!shown) {
        return;
    }
    lstClipLegend->clear();
    for (const ClipLegendEntry& entry : ClipLegend(m_state.ClipLayer, m_clipNames)) {
        auto* item = new QListWidgetItem(
            Swatch(entry.Colour),
            QStringLiteral("%1  (%2)").arg(QString::fromStdString(entry.Name)).arg(entry.Cells));
        lstClipLegend->addItem(item);
    }
}

void frmMain::ShowCurrentBlock() {
    const int block = m_state.CurrentBlock;
    const QRect square((block % kTilesetColumns) * 16, (block / kTilesetColumns) * 16, 16, 16);
    PicTSA->SetSelection(square);
    const QImage tileset = SurfaceImage(m_state.Graphics.PicTSA);
    if (!tileset.isNull() && tileset.rect().contains(square)) {
        picBlock->setPixmap(QPixmap::fromImage(tileset.copy(square).scaled(
            kPreviewPixels, kPreviewPixels, Qt::IgnoreAspectRatio, Qt::FastTransformation)));
    } else {
        picBlock->clear();
    }
    lblBlock->setText(QStringLiteral("Block %1\n(%2)")
                          .arg(QString::fromStdString(ToHex(static_cast<uint32_t>(block))))
                          .arg(block));
}

void frmMain::ShowPointer(int x, int y) {
    lblPointer->setText(QString::fromStdString(PointerReadout(m_state, x, y, m_clipNames)));
}

void frmMain::PlaceNewSideWindow(QWidget* window) {
    if (m_placement != nullptr) {
        m_placement->PlaceSideWindow(window, this);
    } else {
        PlaceBesideMain(window, this);
    }
}

void frmMain::RememberPlacement(std::unique_ptr<QSettings> settings) {
    delete m_placement;
    m_placement = new WindowPlacement(std::move(settings), this);
    m_placement->RestoreMain(this);
}

} // namespace quarnel
