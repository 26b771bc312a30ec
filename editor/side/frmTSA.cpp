// frmTSA: building the window, its pictures and the inspection of one block.

#include "side/frmTSA.h"

#include "common/Hex.h"
#include "main/Dialogs.h"
#include "main/EditorState.h"
#include "main/PictureWidget.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

namespace quarnel {

namespace {

constexpr int kTileCells = 1024; // cells of the tile picture; tiles 840 and above stay empty
constexpr int kTilesPerRow = 8;  // the tile picture is 64 pixels wide
constexpr int kTileZoom = 2;     // both pictures are shown twice their size
constexpr int kTsaZoom = 2;
constexpr int kBlockZoom = 4;      // the block preview four times
constexpr int kShownTileRows = 32; // tile rows visible at once
constexpr int kShownBlockRows = 16;

QString Hex(uint32_t value) {
    return QString::fromStdString(ToHex(value));
}

void Fill(QWidget* holder) {
    holder->setAutoFillBackground(true);
    QPalette background = holder->palette();
    background.setColor(QPalette::Window, Qt::black);
    holder->setPalette(background);
}

} // namespace

frmTSA::frmTSA(EditorState& state, Dialogs& dialogs, RomBackups& backups, QWidget* parent)
    : QWidget(parent), m_state(state), m_dialogs(dialogs), m_backups(backups),
      m_tilePicture(kTilesPerRow * kTileSize, kTileCells / kTilesPerRow * kTileSize),
      m_blockPicture(2 * kTileSize, 2 * kTileSize) {
    setWindowFlag(Qt::Window);
    setWindowTitle(QStringLiteral("TSA Editor"));

    auto* menus = new QMenuBar(this);
    QMenu* tileProps = menus->addMenu(QStringLiteral("TileProps"));
    tileProps->setObjectName(QStringLiteral("mnuTileProps"));
    // Part of the window's design; the flip boxes do what these entries would.
    for (const char* name : {"Vertical", "Horizontal"}) {
        tileProps->addAction(QString::fromLatin1(name))->setEnabled(false);
    }

    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(menus);
    auto* columns = new QHBoxLayout;
    columns->addWidget(BuildPictures());
    auto* right = new QVBoxLayout;
    right->addWidget(BuildBlockFrame());
    right->addWidget(BuildButtons());
    right->addStretch();
    columns->addLayout(right);
    layout->addLayout(columns);
    lblStatus = new QLabel(this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    lblStatus->setWordWrap(true);
    layout->addWidget(lblStatus);
    Form_Load();
}

frmTSA::~frmTSA() = default;

QWidget* frmTSA::BuildPictures() {
    auto* box = new QWidget(this);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);

    auto* tileFrame = new QGroupBox(QStringLiteral("Tileset"), box);
    auto* tileGrid = new QGridLayout(tileFrame);
    picTilehold = new QWidget(tileFrame);
    picTilehold->setObjectName(QStringLiteral("picTilehold"));
    picTilehold->setFixedSize(m_tilePicture.Width() * kTileZoom,
                              kShownTileRows * kTileSize * kTileZoom);
    Fill(picTilehold);
    picTileset = new PictureWidget(m_tilePicture, kTileZoom, picTilehold);
    picTileset->setObjectName(QStringLiteral("picTileset"));
    picTileset->SetOutlineSize(kTileSize);
    vsbTileset = new QScrollBar(Qt::Vertical, tileFrame);
    vsbTileset->setObjectName(QStringLiteral("vsbTileset"));
    vsbTileset->setRange(0, kTileCells / kTilesPerRow - kShownTileRows);
    tileGrid->addWidget(picTilehold, 0, 0);
    tileGrid->addWidget(vsbTileset, 0, 1);

    auto* tsaFrame = new QGroupBox(QStringLiteral("TSA"), box);
    auto* tsaGrid = new QGridLayout(tsaFrame);
    picHolding = new QWidget(tsaFrame);
    picHolding->setObjectName(QStringLiteral("picHolding"));
    picHolding->setFixedSize(kPicTsaWidth * kTsaZoom, kShownBlockRows * 16 * kTsaZoom);
    Fill(picHolding);
    PicTSA = new PictureWidget(m_state.Graphics.PicTSA, kTsaZoom, picHolding);
    PicTSA->setObjectName(QStringLiteral("PicTSA"));
    vsbTSA = new QScrollBar(Qt::Vertical, tsaFrame);
    vsbTSA->setObjectName(QStringLiteral("vsbTSA"));
    vsbTSA->setRange(0, kDrawnBlocks / kBlocksPerRow - kShownBlockRows);
    tsaGrid->addWidget(picHolding, 0, 0);
    tsaGrid->addWidget(vsbTSA, 0, 1);

    grid->addWidget(tileFrame, 0, 0);
    grid->addWidget(tsaFrame, 0, 1);
    auto* numberRow = new QHBoxLayout;
    numberRow->addWidget(new QLabel(QStringLiteral("Tile / block:"), box));
    lblTileNo = new QLabel(QStringLiteral("0000"), box);
    lblTileNo->setObjectName(QStringLiteral("lblTileNo"));
    lblTileNo->setMinimumWidth(48);
    lblTileNo->setFrameShape(QFrame::StyledPanel);
    numberRow->addWidget(lblTileNo);
    numberRow->addStretch();
    grid->addLayout(numberRow, 1, 0, 1, 2);

    connect(picTileset, &PictureWidget::moved, this,
            [this](Qt::MouseButtons, Qt::KeyboardModifiers, QPointF position) {
                picTileset_MouseMove(position);
            });
    connect(PicTSA, &PictureWidget::moved, this,
            [this](Qt::MouseButtons, Qt::KeyboardModifiers, QPointF position) {
                PicTSA_MouseMove(position);
            });
    connect(PicTSA, &PictureWidget::pressed, this,
            [this](Qt::MouseButton, Qt::KeyboardModifiers, QPointF position) {
                PicTSA_MouseDown(position);
            });
    // A scroll step moves a picture by one tile row or one block row.
    connect(vsbTileset, &QScrollBar::valueChanged, this, [this](int value) {
        picTileset->move(0, -kTileSize * kTileZoom * value);
        picTileset->setFocus();
    });
    connect(vsbTSA, &QScrollBar::valueChanged, this, [this](int value) {
        PicTSA->move(0, -16 * kTsaZoom * value);
        PicTSA->setFocus();
    });
    return box;
}

QWidget* frmTSA::BuildBlockFrame() {
    auto* frame = new QGroupBox(QStringLiteral("Block"), this);
    frame->setObjectName(QStringLiteral("Frame1"));
    auto* grid = new QGridLayout(frame);
    auto* label2 = new QLabel(QStringLiteral("        Editing TSA Block:"), frame);
    label2->setObjectName(QStringLiteral("Label2"));
    lblBlockNo = new QLabel(frame);
    lblBlockNo->setObjectName(QStringLiteral("lblBlockNo"));
    auto* label1 = new QLabel(QStringLiteral("TSA Block Preview:"), frame);
    label1->setObjectName(QStringLiteral("Label1"));
    auto* blockHold = new QWidget(frame);
    blockHold->setFixedSize(m_blockPicture.Width() * kBlockZoom,
                            m_blockPicture.Height() * kBlockZoom);
    picBlock = new PictureWidget(m_blockPicture, kBlockZoom, blockHold);
    picBlock->setObjectName(QStringLiteral("picBlock"));
    cboTile = new QComboBox(frame);
    cboTile->setObjectName(QStringLiteral("cboTile"));
    for (const char* item : {"Tile 1", "Tile 2", "Tile 3", "Tile 4"}) {
        cboTile->addItem(QString::fromLatin1(item));
    }
    grid->addWidget(label2, 0, 0);
    grid->addWidget(lblBlockNo, 0, 1);
    grid->addWidget(label1, 1, 0);
    grid->addWidget(blockHold, 1, 1);
    grid->addWidget(cboTile, 2, 0, 1, 2);

    auto* tileData = new QGroupBox(QStringLiteral("Tile Data "), frame);
    tileData->setObjectName(QStringLiteral("fraBlockData"));
    auto* fields = new QGridLayout(tileData);
    txtTileNo = new QLineEdit(tileData);
    txtTileNo->setObjectName(QStringLiteral("txtTileNo"));
    txtTileNo->setMaxLength(3);
    txtTileNo->setToolTip(QStringLiteral("Tile number, hexadecimal 0 to 3FF"));
    cboPal = new QComboBox(tileData);
    cboPal->setObjectName(QStringLiteral("cboPal"));
    chkHoriz = new QCheckBox(QStringLiteral("Horiz Flip"), tileData);
    chkHoriz->setObjectName(QStringLiteral("chkHoriz"));
    chkVert = new QCheckBox(QStringLiteral("Vert Flip"), tileData);
    chkVert->setObjectName(QStringLiteral("chkVert"));
    Command2 = new QPushButton(QStringLiteral("Save"), tileData);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setToolTip(QStringLiteral("Puts the tile into the block; \"Save Room\" writes the "
                                        "block table into the ROM"));
    fields->addWidget(new QLabel(QStringLiteral("Tile:"), tileData), 0, 0);
    fields->addWidget(txtTileNo, 0, 1);
    fields->addWidget(new QLabel(QStringLiteral("Palette:"), tileData), 1, 0);
    fields->addWidget(cboPal, 1, 1);
    fields->addWidget(chkHoriz, 2, 0, 1, 2);
    fields->addWidget(chkVert, 3, 0, 1, 2);
    fields->addWidget(Command2, 4, 0, 1, 2);
    grid->addWidget(tileData, 3, 0, 1, 2);

    connect(cboTile, &QComboBox::activated, this, [this] { cboTile_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    return frame;
}

QWidget* frmTSA::BuildButtons() {
    auto* box = new QWidget(this);
    auto* buttons = new QVBoxLayout(box);
    buttons->setContentsMargins(0, 0, 0, 0);
    const auto make = [&](QPushButton*& button, const char* name, const char* caption,
                          void (frmTSA::*handler)()) {
        button = new QPushButton(QString::fromLatin1(caption), box);
        button->setObjectName(QString::fromLatin1(name));
        buttons->addWidget(button);
        if (handler != nullptr) {
            connect(button, &QPushButton::clicked, this, [this, handler] { (this->*handler)(); });
        }
    };
    make(Command1, "Command1", "Redraw", &frmTSA::Command1_Click);
    make(cmdImportTileset, "cmdImportTileset", "Import Tileset", &frmTSA::cmdImportTileset_Click);
    make(cmdExportPng, "cmdExportPng", "Export PNG", &frmTSA::cmdExportPng_Click);
    make(cmdImportPng, "cmdImportPng", "Import PNG", &frmTSA::cmdImportPng_Click);
    make(cmSavePal, "cmSavePal", "Save Pal To File", &frmTSA::cmSavePal_Click);
    make(cmdSaveJasc, "cmdSaveJasc", "Save Pal As JASC-PAL", &frmTSA::cmdSaveJasc_Click);
    make(cmSaveTiles, "cmSaveTiles", "Save Tileset To Binary File", &frmTSA::cmSaveTiles_Click);
    make(cmdImportPal, "cmdImportPal", "ImportPal", nullptr);
    cmdImportPal->setEnabled(false);
    cmdImportPal->setToolTip(QStringLiteral("Palettes are not read back into the ROM"));
    cmdImportTileset->setToolTip(
        QStringLiteral("Reads a tile file or tile sheet PNG and writes its tiles into the ROM"));
    cmdExportPng->setToolTip(QStringLiteral("Writes the tiles as a palette PNG coloured with the "
                                            "chosen palette row"));
    cmdImportPng->setToolTip(QStringLiteral(
        "Reads a tile sheet PNG into the editor; \"Import Tileset\" writes tiles into the ROM"));
    return box;
}

void frmTSA::Form_Load() {
    cboPal->clear();
    for (uint32_t row = 0; row < kPaletteRows; ++row) {
        cboPal->addItem(Hex(row));
    }
    LoadForm();
}

void frmTSA::LoadForm() {
    cboPal->setCurrentIndex(0);
    DrawTilePicture();
    SelectBlock(0);
    RefreshPictures();
}

bool frmTSA::HasTileset() const {
    return m_state.RomOpened && m_state.Graphics.Number >= 0;
}

void frmTSA::ShowStatus(const std::string& text) {
    lblStatus->setText(QString::fromStdString(text));
}

// Tile t sits at ((t mod 8) x 8, (t div 8) x 8) in palette row p; cells of tiles 840 and
// above stay black.
void frmTSA::DrawTilePicture() {
    m_tilePicture.Clear();
    const auto row = static_cast<uint8_t>(std::max(0, cboPal->currentIndex()));
    for (int t = 0; t < kTileCells; ++t) {
        DrawTile8(m_tilePicture, TileEntry::Make(static_cast<uint16_t>(t), false, false, row),
                  (t % kTilesPerRow) * kTileSize, (t / kTilesPerRow) * kTileSize,
                  m_state.Graphics.Tiles, m_state.Graphics.Colours);
    }
}

void frmTSA::DrawBlock() {
    m_blockPicture.Clear();
    DrawMap16(m_blockPicture, m_state.Graphics, 4 * m_selectedBlock, 0, 0);
    picBlock->update();
}

void frmTSA::RefreshPictures() {
    picTileset->update();
    PicTSA->update();
    DrawBlock();
}

void frmTSA::picTileset_MouseMove(QPointF position) {
    const int x = static_cast<int>(position.x());
    const int y = static_cast<int>(position.y());
    if (x < 0 || y < 0 || x >= m_tilePicture.Width() || y >= m_tilePicture.Height()) {
        return;
    }
    const int cx = x / kTileSize;
    const int cy = y / kTileSize;
    lblTileNo->setText(Hex(static_cast<uint32_t>(cy * kTilesPerRow + cx)));
    picTileset->ShowOutline(kTileSize * cx, kTileSize * cy);
}

void frmTSA::PicTSA_MouseMove(QPointF position) {
    const int x = static_cast<int>(position.x());
    const int y = static_cast<int>(position.y());
    if (x < 0 || y < 0 || x >= kPicTsaWidth || y >= kPicTsaHeight) {
        return;
    }
    const int cx = x / 16;
    const int cy = y / 16;
    lblTileNo->setText(Hex(static_cast<uint32_t>(cy * kBlocksPerRow + cx)));
    PicTSA->ShowOutline(16 * cx, 16 * cy);
}

void frmTSA::PicTSA_MouseDown(QPointF position) {
    const int x = static_cast<int>(position.x());
    const int y = static_cast<int>(position.y());
    if (x < 0 || y < 0 || x >= kPicTsaWidth || y >= kPicTsaHeight) {
        return;
    }
    SelectBlock((y / 16) * kBlocksPerRow + x / 16);
}

// Selecting a block shows its four tiles and the fields of the tile chosen in cboTile, so
// that "Save" always starts from the block's own entry.
void frmTSA::SelectBlock(int block) {
    m_selectedBlock = block;
    m_blockTiles = BlockTilesOf(m_state.Graphics, block);
    lblBlockNo->setText(Hex(static_cast<uint32_t>(block)));
    DrawBlock();
    cboTile_Click();
}

void frmTSA::cboTile_Click() {
    const int corner = std::max(0, cboTile->currentIndex());
    const BlockTile& tile = m_blockTiles[static_cast<size_t>(corner)];
    cboPal->setCurrentIndex(tile.Row());
    chkHoriz->setChecked(tile.HFlip());
    chkVert->setChecked(tile.VFlip());
    txtTileNo->setText(Hex(tile.Tile));
}

void frmTSA::Command2_Click() {
    if (!HasTileset()) {
        m_dialogs.Message("No rom loaded");
        return;
    }
    const auto tile = ParseHex(txtTileNo->text().toStdString());
    if (!tile || *tile > 0x3FF) {
        m_dialogs.Message("The tile number must be hexadecimal, from 0 to 3FF.");
        return;
    }
    const int corner = std::max(0, cboTile->currentIndex());
    const TileEntry entry =
        JoinEntry(static_cast<uint16_t>(*tile), chkHoriz->isChecked(), chkVert->isChecked(),
                  static_cast<uint8_t>(std::max(0, cboPal->currentIndex())));
    if (auto set = SetBlockTile(m_state, m_selectedBlock, corner, entry); !set) {
        m_dialogs.Message(Describe(set.error()));
        return;
    }
    m_blockTiles = BlockTilesOf(m_state.Graphics, m_selectedBlock);
    cboTile_Click();
    RefreshPictures();
    emit graphicsChanged();
    ShowStatus("Block " + ToHex(static_cast<uint32_t>(m_selectedBlock)) + ", tile " +
               std::to_string(corner + 1) + " is now " + ToHex(entry.value) +
               ". \"Save Room\" writes the block table into the ROM.");
}

void frmTSA::Command1_Click() {
    DrawTileset(m_state.Graphics);
    DrawTilePicture();
    RefreshPictures();
}

} // namespace quarnel
