// The main window's sharing entries with scripted dialogs on generated images: Run (F5) saves
// first when asked and starts the configured command with the ROM's path; Export Patch makes a
// patch from the first backup, or from a chosen original, that rebuilds the open ROM; Apply
// Patch writes a new file and refuses what it must, writing nothing.

#include "emulator/EmulatorCommand.h"
#include "main/MapEditing.h"
#include "main/frmMain.h"
#include "patch/Patches.h"
#include "storage/PelnixBinding.h"

#include "GeneratedRoms.h"
#include "ScriptedDialogs.h"
#include "TempFolder.h"

#include <QAction>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>

#include <fstream>
#include <memory>

#include <sys/stat.h>

using namespace quarnel;
using testing::ReadWholeFile;
using testing::ScriptedDialogs;
using testing::TempFolder;

namespace {

// A window on a fresh generated ZM image, its settings kept in the test's folder.
struct Editor {
    explicit Editor(const TempFolder& folder) : rom(folder / "game.gba") {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QString::fromStdString((folder / "settings").string()));
        testing::WriteGeneratedRom(rom, Game::ZM, 1);
        state = std::make_unique<EditorState>(folder / "os.bin");
        window = std::make_unique<frmMain>(*state, dialogs, QUARNEL_BIN_DIR, DefaultPelnix());
        window->show();
        dialogs.files.push_back(rom);
        window->OpenRom();
        dialogs.messages.clear(); // the new os.bin, "Rom Loaded"
    }
    QAction* Action(const char* name) const {
        return window->findChild<QAction*>(QString::fromLatin1(name));
    }
    // Paints a level cell of the loaded room, as a click would.
    bool Paint(uint16_t value) const { return PaintCell(*state, LayerKind::Level, 1, 1, value); }

    std::filesystem::path rom;
    ScriptedDialogs dialogs;
    std::unique_ptr<EditorState> state;
    std::unique_ptr<frmMain> window;
};

QStringList Lines(const std::filesystem::path& path) {
    std::ifstream in(path);
    QStringList lines;
    for (std::string line; std::getline(in, line);) {
        lines.append(QString::fromStdString(line));
    }
    return lines;
}

} // namespace

class ShareActionsTest : public QObject {
    Q_OBJECT

private slots:
    void runSavesFirstAndStartsTheConfiguredCommand() {
        TempFolder folder;
        Editor editor(folder);
        QVERIFY(editor.window->RomReady());
        auto* run = editor.Action("mnuRun");
        QVERIFY(run != nullptr);
        QVERIFY(
            editor.window->findChild<QToolBar*>(QStringLiteral("tlbRun"))->actions().contains(run));

        // A command that records its arguments, one per line.
        const auto recorder = folder.WriteFile("record.sh", std::vector<uint8_t>{});
        std::ofstream(recorder) << "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '"
                                << (folder / "args.txt").string() << "'\n";
        ::chmod(recorder.c_str(), 0755);
        editor.dialogs.inputs.push_back("'" + recorder.string() + "' --rom %f --fullscreen");
        editor.Action("mnuEmulator")->trigger();
        QCOMPARE(QSettings(QStringLiteral("Quarnel"), QStringLiteral("Quarnel"))
                     .value(QStringLiteral("emulator/command"))
                     .toString(),
                 QString::fromStdString("'" + recorder.string() + "' --rom %f --fullscreen"));

        QVERIFY(editor.Paint(0x2E));
        editor.dialogs.answers.push_back(true); // save first
        QVERIFY(QTest::qWaitForWindowActive(editor.window.get()));
        QTest::keyClick(editor.window.get(), Qt::Key_F5);
        QCOMPARE(editor.dialogs.questions,
                 std::vector<std::string>{"The room has unsaved changes. Save the room before "
                                          "running the ROM?"});
        QVERIFY(!editor.state->HasUnsavedChanges());
        QVERIFY(std::filesystem::exists(folder / "game.gba.bak"));
        QTRY_COMPARE(
            Lines(folder / "args.txt"),
            (QStringList{QStringLiteral("--rom"), QString::fromStdString(editor.rom.string()),
                         QStringLiteral("--fullscreen")}));
        QVERIFY(editor.dialogs.messages.empty());
        QVERIFY(
            editor.window->statusBar()->currentMessage().startsWith(QStringLiteral("Started ")));
    }

    void runWithoutAnEmulatorSaysHowToSetOne() {
        TempFolder folder;
        Editor editor(folder);
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QByteArray::fromStdString((folder / "empty").string()));
        editor.Action("mnuRun")->trigger();
        qputenv("PATH", path);
        QCOMPARE(editor.dialogs.messages, std::vector<std::string>{NoEmulatorText()});
        QVERIFY(editor.dialogs.questions.empty()); // nothing to save: no question
    }

    void exportedPatchesRebuildTheRomAndApplyToANewFile() {
        TempFolder folder;
        Editor editor(folder);
        QVERIFY(editor.Paint(0x2F));
        editor.window->cmdSave->click();
        const auto backup = folder / "game.gba.bak";
        QVERIFY(std::filesystem::exists(backup));
        const auto edited = ReadWholeFile(editor.rom);

        // BPS from the first backup, the default original.
        editor.dialogs.answers.push_back(true);
        editor.dialogs.files.push_back(folder / "hack.bps");
        editor.Action("mnuExportPatch")->trigger();
        QVERIFY(editor.dialogs.messages.empty());
        auto rebuilt = ApplyPatch(ReadWholeFile(backup), ReadWholeFile(folder / "hack.bps"));
        QVERIFY(rebuilt && *rebuilt == edited);
        QVERIFY(std::filesystem::file_size(folder / "hack.bps") < 8192);

        // IPS from an original chosen instead.
        editor.dialogs.answers.push_back(false);
        editor.dialogs.files.push_back(backup);
        editor.dialogs.files.push_back(folder / "hack.ips");
        editor.Action("mnuExportPatch")->trigger();
        QCOMPARE(editor.dialogs.fileDialogs.size(), size_t{4}); // open, export, choose, export
        QVERIFY(editor.dialogs.messages.empty());

        editor.dialogs.files = {backup, folder / "hack.ips", folder / "patched.gba"};
        editor.Action("mnuApplyPatch")->trigger();
        QVERIFY(editor.dialogs.messages.empty());
        QVERIFY(ReadWholeFile(folder / "patched.gba") == edited);
        QVERIFY(editor.window->statusBar()->currentMessage().startsWith(
            QStringLiteral("Patched ROM written to ")));

        // Unsaved minimap painting would be left out: a No makes no patch.
        editor.state->MiniMapShown.entries.push_back(1);
        editor.dialogs.questions.clear();
        editor.dialogs.answers.push_back(false);
        editor.Action("mnuExportPatch")->trigger();
        QCOMPARE(editor.dialogs.questions.size(), size_t{1});
        QVERIFY(editor.dialogs.questions[0].starts_with("The minimap has unsaved changes"));
        QCOMPARE(editor.dialogs.fileDialogs.size(), size_t{7}); // none since the apply's three
    }

    void refusedPatchesWriteNothing_data() {
        QTest::addColumn<QString>("what");
        QTest::newRow("not .bps or .ips") << QStringLiteral("export-txt");
        QTest::newRow("truncated patch") << QStringLiteral("truncated");
        QTest::newRow("patch of another ROM") << QStringLiteral("other-rom");
        QTest::newRow("over the ROM open in the editor") << QStringLiteral("open-rom");
        QTest::newRow("over its input") << QStringLiteral("input");
    }

    void refusedPatchesWriteNothing() {
        QFETCH(QString, what);
        TempFolder folder;
        Editor editor(folder);
        const auto original = testing::WriteGeneratedRom(folder / "original.gba", Game::ZM, 1);
        const auto other = testing::WriteGeneratedRom(folder / "other.gba", Game::MF, 1);
        QVERIFY(editor.Paint(0x30));
        editor.window->cmdSave->click();
        QVERIFY(MakePatchFile(original, editor.rom, folder / "good.bps"));
        auto patch = ReadWholeFile(folder / "good.bps");
        patch.resize(patch.size() - 5);
        folder.WriteFile("short.bps", patch);
        const auto romBefore = ReadWholeFile(editor.rom);
        const auto originalBefore = ReadWholeFile(original);

        std::filesystem::path out = folder / "out.gba";
        std::string expected = "The patch was not applied; nothing was written.\r\n";
        if (what == QStringLiteral("export-txt")) {
            out = folder / "hack.txt";
            editor.dialogs.answers.push_back(true);
            editor.dialogs.files = {out};
            editor.Action("mnuExportPatch")->trigger();
            expected = "The patch was not written.\r\n";
        } else {
            std::filesystem::path patchFile = folder / "good.bps";
            std::filesystem::path rom = original;
            if (what == QStringLiteral("truncated")) {
                patchFile = folder / "short.bps";
            } else if (what == QStringLiteral("other-rom")) {
                rom = other;
            } else if (what == QStringLiteral("open-rom")) {
                out = editor.rom;
                expected = "The patch was not applied: ";
            } else {
                out = original;
            }
            editor.dialogs.files = {rom, patchFile, out};
            editor.Action("mnuApplyPatch")->trigger();
        }
        QCOMPARE(editor.dialogs.messages.size(), size_t{1});
        QVERIFY2(editor.dialogs.messages[0].rfind(expected, 0) == 0,
                 editor.dialogs.messages[0].c_str());
        QVERIFY(ReadWholeFile(editor.rom) == romBefore);
        QVERIFY(ReadWholeFile(original) == originalBefore);
        if (out != editor.rom && out != original) {
            QVERIFY(!std::filesystem::exists(out));
        }
    }
};

QTEST_MAIN(ShareActionsTest)
#include "ShareActionsTest.moc"
