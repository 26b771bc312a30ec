// The storage window on os.bin files the test writes: the values shown, the reset, the checked
// "Save " buttons and "Fit to ROM".

#include "storage/frmData.h"
#include "main/EditorState.h"
#include "rom/GameTables.h"
#include "storage/Storage.h"
#include "storage/StorageBarWidget.h"

#include "ScriptedDialogs.h"
#include "TempFolder.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <algorithm>
#include <string>
#include <vector>

using namespace quarnel;
using quarnel::testing::ReadWholeFile;
using quarnel::testing::ScriptedDialogs;
using quarnel::testing::TempFolder;

// The storage window shown over an os.bin that holds the default table.
struct DefaultTableWindow {
    TempFolder folder;
    EditorState state{WithDefaultTable(folder)};
    ScriptedDialogs dialogs;
    frmData window{state, dialogs};

    DefaultTableWindow() { window.show(); }

private:
    static std::filesystem::path WithDefaultTable(TempFolder& folder) {
        folder.WriteFile("os.bin", SerializeStorageTable(DefaultStorageTable()));
        return folder / "os.bin";
    }
};

class frmDataTest : public QObject {
    Q_OBJECT

    static QString Shown(QLineEdit* offset, QLineEdit* used, QLineEdit* length) {
        return offset->text() + u' ' + used->text() + u' ' + length->text();
    }

private slots:
    void showsSixHexDigitsPerValue() {
        TempFolder folder;
        StorageTable table = DefaultStorageTable();
        table.ZMAreas[3].Offset = 0x12345678;
        table.ZMAreas[3].Used = 0x1F4;
        table.MFAreas[1].Used = 0x20;
        folder.WriteFile("os.bin", SerializeStorageTable(table));
        EditorState state(folder / "os.bin");
        ScriptedDialogs dialogs;
        frmData window(state, dialogs);
        window.show(); // reads os.bin

        QCOMPARE(window.windowTitle(), QStringLiteral("Storage Editor"));
        QStringList frames;
        for (auto* frame : window.findChildren<QGroupBox*>()) {
            frames << frame->title();
        }
        QCOMPARE(frames, (QStringList{QStringLiteral("Zero Mission Data"),
                                      QStringLiteral("Metroid Fusion Data"),
                                      QStringLiteral("Free space in the open ROM")}));
        QCOMPARE(window.cboZMList->count(), 6);
        QCOMPARE(window.cboMFList->count(), 5);
        QCOMPARE(window.cmdZMSave->text(), QStringLiteral("Save "));

        QCOMPARE(Shown(window.txtZMOff, window.txtZMUsed, window.txtZMLength),
                 QStringLiteral("760D38 000000 00F2C8"));
        window.cboZMList->setCurrentIndex(3);
        QCOMPARE(Shown(window.txtZMOff, window.txtZMUsed, window.txtZMLength),
                 QStringLiteral("345678 0001F4 00591C"));
        window.cboMFList->setCurrentIndex(1);
        QCOMPARE(Shown(window.txtMFOff, window.txtMFUsed, window.txtMFLength),
                 QStringLiteral("7A0970 000020 01180A"));
    }

    // "Reset" writes the defaults keeping every Used and shows them; "Save " stores nothing
    // that is refused; a reset that cannot be written says so.
    void resetAndSave() {
        TempFolder folder;
        StorageTable table = DefaultStorageTable();
        table.ZMAreas[0].Offset = 0x100;
        table.ZMAreas[0].Used = 0x64;
        folder.WriteFile("os.bin", SerializeStorageTable(table));
        EditorState state(folder / "os.bin");
        ScriptedDialogs dialogs;
        frmData window(state, dialogs);
        window.show();

        window.txtZMLength->setText(QStringLiteral("ABCDEF"));
        const auto file = ReadWholeFile(folder / "os.bin");
        QTest::mouseClick(window.cmdZMSave, Qt::LeftButton);
        QCOMPARE(dialogs.messages.size(), size_t{1});        // the area would end past 8 MiB
        QTest::mouseClick(window.cmdMFSave, Qt::LeftButton); // stores what it shows
        QVERIFY(ReadWholeFile(folder / "os.bin") == file);

        QTest::mouseClick(window.cmdZMReset, Qt::LeftButton);
        QCOMPARE(Shown(window.txtZMOff, window.txtZMUsed, window.txtZMLength),
                 QStringLiteral("760D38 000064 00F2C8"));
        table = DefaultStorageTable();
        table.ZMAreas[0].Used = 0x64;
        QVERIFY(ParseStorageTable(ReadWholeFile(folder / "os.bin")) == table);
        QCOMPARE(dialogs.messages.size(), size_t{1});

        EditorState nowhere(folder / "missing" / "os.bin");
        frmData other(nowhere, dialogs);
        other.show();
        QTest::mouseClick(other.cmdZMReset, Qt::LeftButton);
        QCOMPARE(dialogs.messages.size(), size_t{2});
        QVERIFY(dialogs.messages[1].rfind("Cannot write file: ", 0) == 0);
    }

    // A room save handed out space after the boxes were filled: saving them would take the
    // Used back and give that space out twice. The save is refused and the boxes catch up.
    void saveRefusesBoxesFilledBeforeSpaceWasHandedOut() {
        DefaultTableWindow shown;
        auto& [folder, state, dialogs, window] = shown;
        StorageArea handedOut = DefaultStorageTable().ZMAreas[0];
        handedOut.Used += 0x400;
        QVERIFY(state.Storage.SetArea(Game::ZM, 0, handedOut));
        const auto before = ReadWholeFile(folder / "os.bin");
        QTest::mouseClick(window.cmdZMSave, Qt::LeftButton);
        QCOMPARE(dialogs.messages.size(), size_t{1});
        QVERIFY(ReadWholeFile(folder / "os.bin") == before);
        QCOMPARE(window.txtZMUsed->text().toInt(nullptr, 16), handedOut.Used);
        QTest::mouseClick(window.cmdZMSave, Qt::LeftButton); // now the shown values
        QCOMPARE(dialogs.messages.size(), size_t{1});
    }

    // A refused value names its field and stores nothing; accepted values are stored and
    // shown as stored.
    void saveChecksEveryField() {
        const struct {
            Game game;
            const char* offset;
            const char* used;
            const char* length;
            const char* message; // the start of the message; empty: stored
        } cases[] = {
            {Game::ZM, "G00000", "0", "10", "Invalid value: Offset: \"G00000\" is not a hex"},
            {Game::ZM, "760D38", "", "10", "Invalid value: Space Used: \"\" is not a hex"},
            {Game::ZM, "760D38", "F2C9", "F2C8", "Invalid value: Space Used: 0xF2C9 is more than"},
            {Game::MF, "800000", "0", "0", "Invalid value: Offset: 0x800000 lies past the end"},
            {Game::ZM, "7F7734", "0", "88CD",
             "Invalid value: Length: the area would end at "
             "0x800001, past the end of the 8 MiB image"},
            {Game::ZM, "7E0000", "0", "10",
             "Invalid value: Offset: the area would start inside "
             "0x7D7FFC..0x7F7734"},
            {Game::ZM, "77C898", "0", "5B765",
             "Invalid value: Length: the area would run into "
             "0x7D7FFC..0x7F7734"},
            {Game::ZM, "76FF00", "0", "200",
             "Invalid value: Offset: the area would start "
             "inside area 0 (0x760D38..0x770000)"},
            {Game::MF, "7E0000", "10", "100", ""}, // MF has no never-written range
            {Game::ZM, "771000", " 10", "5f7c ", ""},
        };
        for (const auto& c : cases) {
            DefaultTableWindow shown;
            auto& [folder, state, dialogs, window] = shown;
            const bool mf = c.game == Game::MF;
            (mf ? window.cboMFList : window.cboZMList)->setCurrentIndex(2);
            (mf ? window.txtMFOff : window.txtZMOff)->setText(QString::fromLatin1(c.offset));
            (mf ? window.txtMFUsed : window.txtZMUsed)->setText(QString::fromLatin1(c.used));
            (mf ? window.txtMFLength : window.txtZMLength)->setText(QString::fromLatin1(c.length));
            const auto before = ReadWholeFile(folder / "os.bin");
            QTest::mouseClick(mf ? window.cmdMFSave : window.cmdZMSave, Qt::LeftButton);

            const std::string message = c.message;
            if (!message.empty()) {
                QCOMPARE(dialogs.messages.size(), size_t{1});
                QVERIFY2(dialogs.messages[0].rfind(message, 0) == 0, dialogs.messages[0].c_str());
                QVERIFY(ReadWholeFile(folder / "os.bin") == before);
                continue;
            }
            QVERIFY(dialogs.messages.empty());
            StorageTable expected = DefaultStorageTable();
            if (mf) {
                expected.MFAreas[2] = {0x7E0000, 0x10, 0x100};
            } else {
                expected.ZMAreas[2] = {0x771000, 0x10, 0x5F7C};
            }
            QVERIFY(ParseStorageTable(ReadWholeFile(folder / "os.bin")) == expected);
            QCOMPARE((mf ? window.txtMFUsed : window.txtZMUsed)->text(), QStringLiteral("000010"));
            QVERIFY(!window.lblStatus->text().isEmpty());
        }
    }

    // "Fit to ROM" needs an open ROM; then each area of its game ends just past its data, and
    // the bar of each area shows what the ROM holds there.
    void fitToRom() {
        TempFolder folder;
        StorageTable table = DefaultStorageTable();
        table.ZMAreas[0].Used = 0x500;
        table.MFAreas[1].Used = 0x33;
        folder.WriteFile("os.bin", SerializeStorageTable(table));
        EditorState state(folder / "os.bin");
        ScriptedDialogs dialogs;
        frmData window(state, dialogs);
        window.show();
        QTest::mouseClick(window.cmdFit, Qt::LeftButton);
        QCOMPARE(dialogs.messages, std::vector<std::string>{"No rom loaded"});

        std::vector<uint8_t> rom(kRomImageSize, 0xFF);
        std::fill_n(rom.begin() + 0x760D38, 0x1234, uint8_t{0x42}); // an earlier save's data
        std::fill_n(rom.begin() + 0x760E38, 0x100, uint8_t{0xFF});  // given back since
        state.RomPath = folder.WriteFile("zm.gba", rom);
        state.GameCode = Game::ZM;
        state.RomOpened = true;
        QTest::mouseClick(window.cmdFit, Qt::LeftButton);
        QCOMPARE(dialogs.messages.size(), size_t{1});
        table.ZMAreas[0].Used = 0x1234;
        QVERIFY(ParseStorageTable(ReadWholeFile(folder / "os.bin")) == table);
        QCOMPARE(window.txtZMUsed->text(), QStringLiteral("001234"));
        const auto& usage = window.picUsage->Usage();
        QCOMPARE(usage.size(), size_t{6});
        QCOMPARE(usage[0].inUse, 0x1134u);
        QCOMPARE(usage[0].givenBack, 0x100u);
        QCOMPARE(usage[0].neverUsed, 0xF2C8u - 0x1234u);
        QCOMPARE(usage[1].neverUsed, 0x1000u);
    }
};

QTEST_MAIN(frmDataTest)
#include "frmDataTest.moc"
