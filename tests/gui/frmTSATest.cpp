// The TSA Editor opened from the main window on a generated image: pointing at and clicking
// blocks, editing a block's tile, exporting a tile sheet and writing a changed one into the
// ROM; and the inputs it must refuse or ignore: other pictures, cancelled file dialogs, no ROM.

#include "side/frmTSA.h"
#include "graphics/ImageFiles.h"
#include "graphics/IndexedPng.h"
#include "main/PictureWidget.h"
#include "main/frmMain.h"
#include "side/TileFiles.h"
#include "storage/PelnixBinding.h"
#include "storage/RomBackup.h"

#include "GeneratedRoms.h"
#include "ScriptedDialogs.h"
#include "TempFolder.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace quarnel;
using testing::ReadWholeFile;
using testing::ScriptedDialogs;
using testing::TempFolder;

namespace {

// The main window on a generated ZM image, with the TSA Editor wired as the program wires it.
struct Editor {
    TempFolder folder;
    std::filesystem::path rom = testing::WriteGeneratedRom(folder / "game.gba", Game::ZM, 1);
    ScriptedDialogs dialogs;
    std::unique_ptr<EditorState> state = std::make_unique<EditorState>(folder / "os.bin");
    std::unique_ptr<frmMain> window;
    frmTSA* tsa = nullptr;

    Editor() {
        frmMain::SideWindows sides;
        sides.tiles = [this](QWidget* parent) -> QWidget* {
            auto* tiles = new frmTSA(*state, dialogs, window->Backups(), parent);
            QObject::connect(tiles, &frmTSA::graphicsChanged, window.get(),
                             &frmMain::RefreshGraphics);
            return tiles;
        };
        window = std::make_unique<frmMain>(*state, dialogs, QUARNEL_BIN_DIR, DefaultPelnix(),
                                           std::move(sides));
        window->show();
        dialogs.files.push_back(rom);
        window->OpenRom();
        dialogs.messages.clear();
        window->mnuTSA->trigger(); // no longer behind "Experimental Tools"
        tsa = window->findChild<frmTSA*>();
    }

    void Click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
    std::vector<uint8_t> Bytes() const { return ReadWholeFile(rom); }
};

// The centre of block b of the TSA picture, in widget pixels.
QPoint BlockPoint(const frmTSA& tsa, int block) {
    const int zoom = tsa.PicTSA->Zoom();
    return QPoint(((block % 16) * 16 + 8) * zoom, ((block / 16) * 16 + 8) * zoom);
}

} // namespace

class frmTSATest : public QObject {
    Q_OBJECT

private slots:
    void inspectEditExportAndImport() {
        Editor editor;
        QVERIFY(editor.tsa != nullptr);
        frmTSA& tsa = *editor.tsa;
        QVERIFY(tsa.isVisible());
        QCOMPARE(tsa.windowTitle(), QStringLiteral("TSA Editor"));
        QCOMPARE(tsa.lblTileNo->text(), QStringLiteral("0000"));
        BlockTable& blocks = editor.state->Graphics.Blocks;

        // Clicking block 17 loads words 69-72; its third tile 0x3405 is tile 5, row 3,
        // flipped horizontally (bit 10) only.
        blocks[71] = 0x3405;
        QTest::mouseClick(tsa.PicTSA, Qt::LeftButton, {}, BlockPoint(tsa, 17));
        QCOMPARE(tsa.SelectedBlock(), 17);
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(tsa.BlockTiles()[i].Tile, uint16_t(blocks[69 + i] & 0x3FF));
        }
        tsa.cboTile->setCurrentIndex(2);
        tsa.cboTile_Click();
        QCOMPARE(tsa.cboPal->currentText(), QStringLiteral("3"));
        QVERIFY(tsa.chkHoriz->isChecked());
        QVERIFY(!tsa.chkVert->isChecked());
        QCOMPARE(tsa.txtTileNo->text(), QStringLiteral("5"));

        // The label names the tile or block under the pointer.
        QTest::mouseMove(tsa.PicTSA, BlockPoint(tsa, 0x21));
        QCOMPARE(tsa.lblTileNo->text(), QStringLiteral("21"));
        const int zoom = tsa.picTileset->Zoom();
        QMouseEvent move(QEvent::MouseMove, QPointF(12 * zoom, 26 * zoom),
                         tsa.picTileset->mapToGlobal(QPointF(12 * zoom, 26 * zoom)), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(tsa.picTileset, &move);
        QCOMPARE(tsa.lblTileNo->text(), QStringLiteral("19"));

        // "Save" puts the fields into the block table in memory and the map follows.
        QSignalSpy changed(&tsa, &frmTSA::graphicsChanged);
        tsa.chkVert->setChecked(true);
        tsa.txtTileNo->setText(QStringLiteral("1F"));
        editor.Click(tsa.Command2);
        QCOMPARE(blocks[71], uint16_t{0x3C1F});
        QVERIFY(editor.state->HasUnsavedChanges());
        QCOMPARE(changed.count(), 1);
        tsa.txtTileNo->setText(QStringLiteral("400"));
        editor.Click(tsa.Command2);
        QCOMPARE(editor.dialogs.messages.back(),
                 std::string("The tile number must be hexadecimal, from 0 to 3FF."));
        QCOMPARE(blocks[71], uint16_t{0x3C1F});

        // Export a sheet, paint a tile of the tileset's own in it, write it into the ROM.
        const auto sheetPath = editor.folder / "sheet.png";
        editor.dialogs.files.push_back(sheetPath);
        editor.Click(tsa.cmdExportPng);
        auto sheet = DecodeIndexedPng(ReadWholeFile(sheetPath));
        QVERIFY(sheet);
        QCOMPARE(sheet->Width, 128);
        for (int x = 0; x < 8; ++x) {
            sheet->Indices[(200 / 16 * 8 + 3) * 128 + 200 % 16 * 8 + x] = 0x39;
        }
        QVERIFY(WriteIndexedPng(*sheet, editor.folder / "changed.png"));
        const auto before = editor.Bytes();
        editor.dialogs.files.push_back(editor.folder / "changed.png");
        editor.Click(tsa.cmdImportTileset);
        QVERIFY2(tsa.lblStatus->text().startsWith(QStringLiteral("Tileset ")),
                 qPrintable(tsa.lblStatus->text()));
        QVERIFY(editor.Bytes() != before);
        QCOMPARE(editor.state->Graphics.Tiles[200 * 32 + 12], uint8_t{0x99});
        QCOMPARE(editor.dialogs.messages.size(), size_t{1}); // only the refused tile number
    }

    void refusesOtherPicturesAndIgnoresCancelledDialogs() {
        Editor editor;
        frmTSA& tsa = *editor.tsa;
        const auto before = editor.Bytes();
        const TileGraphics tiles = editor.state->Graphics.Tiles;

        // Every file button with its dialog cancelled: no message, nothing written or closed.
        for (QPushButton* button : {tsa.cmSavePal, tsa.cmSaveTiles, tsa.cmdSaveJasc,
                                    tsa.cmdExportPng, tsa.cmdImportPng, tsa.cmdImportTileset}) {
            editor.Click(button);
        }
        QCOMPARE(editor.dialogs.unscripted, 6);
        QVERIFY(editor.dialogs.messages.empty());
        QVERIFY(tsa.isVisible());

        IndexedImage wrongSize = TileSheet(tiles, editor.state->Graphics.Colours, 0);
        wrongSize.Width = 64;
        wrongSize.Indices.resize(64 * 424);
        QVERIFY(WriteIndexedPng(wrongSize, editor.folder / "narrow.png"));
        editor.dialogs.files.push_back(editor.folder / "narrow.png");
        editor.Click(tsa.cmdImportPng);
        QVERIFY(editor.dialogs.messages.back().find("64 x 424 pixels; a tile sheet is 128 x 424") !=
                std::string::npos);

        QVERIFY(WritePng(Surface(128, 424), editor.folder / "colour.png"));
        editor.dialogs.files.push_back(editor.folder / "colour.png");
        editor.Click(tsa.cmdImportTileset);
        QVERIFY(editor.dialogs.messages.back().find("true-colour") != std::string::npos);
        QCOMPARE(editor.dialogs.messages.size(), size_t{2});
        QVERIFY(editor.state->Graphics.Tiles == tiles);
        QVERIFY(editor.Bytes() == before);
        QVERIFY(!std::filesystem::exists(RomBackups::BackupPathOf(editor.rom)));

        // A window opened before any ROM writes nothing and says so.
        EditorState empty(editor.folder / "os.bin");
        RomBackups backups;
        frmTSA alone(empty, editor.dialogs, backups);
        editor.Click(alone.Command2);
        editor.Click(alone.cmdExportPng);
        QCOMPARE(editor.dialogs.messages.back(), std::string("No rom loaded"));
        QCOMPARE(editor.dialogs.messages.size(), size_t{4});
    }
};

QTEST_MAIN(frmTSATest)
#include "frmTSATest.moc"
