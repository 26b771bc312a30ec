// The storage window on os.bin files the test writes: the values shown, the reset that keeps
// the boxes' text, the buttons that store nothing.

#include "storage/frmData.h"
#include "main/EditorState.h"
#include "storage/Storage.h"

#include "ScriptedDialogs.h"
#include "TempFolder.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace quarnel;
using quarnel::testing::ReadWholeFile;
using quarnel::testing::ScriptedDialogs;
using quarnel::testing::TempFolder;

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
                                      QStringLiteral("Metroid Fusion Data")}));
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

    // "Reset" writes the defaults keeping every Used, and the boxes keep their text until an
    // area is chosen again; "Save " stores nothing; a reset that cannot be written says so.
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
        QTest::mouseClick(window.cmdMFSave, Qt::LeftButton);
        QVERIFY(ReadWholeFile(folder / "os.bin") == file);

        QTest::mouseClick(window.cmdZMReset, Qt::LeftButton);
        QCOMPARE(Shown(window.txtZMOff, window.txtZMUsed, window.txtZMLength),
                 QStringLiteral("000100 000064 ABCDEF"));
        table = DefaultStorageTable();
        table.ZMAreas[0].Used = 0x64;
        QVERIFY(ParseStorageTable(ReadWholeFile(folder / "os.bin")) == table);
        emit window.cboZMList->activated(0); // the shown area chosen again
        QCOMPARE(Shown(window.txtZMOff, window.txtZMUsed, window.txtZMLength),
                 QStringLiteral("760D38 000064 00F2C8"));
        QVERIFY(dialogs.messages.empty());

        EditorState nowhere(folder / "missing" / "os.bin");
        frmData other(nowhere, dialogs);
        other.show();
        QTest::mouseClick(other.cmdZMReset, Qt::LeftButton);
        QCOMPARE(dialogs.messages.size(), size_t{1});
        QVERIFY(dialogs.messages[0].rfind("Cannot write file: ", 0) == 0);
    }
};

QTEST_MAIN(frmDataTest)
#include "frmDataTest.moc"
