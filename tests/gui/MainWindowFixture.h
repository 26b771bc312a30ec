#pragma once
// The main window over a fresh editor state for the window tests: its os.bin in a temporary
// folder, scripted dialogs, and the data files that ship beside the programs. Header only:
// each window test is a program of its own and finds those files through QUARNEL_BIN_DIR.

#include "main/PictureWidget.h"
#include "main/frmMain.h"
#include "storage/PelnixBinding.h"

#include "ScriptedDialogs.h"
#include "TempFolder.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include <filesystem>
#include <memory>
#include <optional>

namespace quarnel::testing {

struct Editor {
    // The window is shown at once, after taking `size` when one is given.
    explicit Editor(const TempFolder& folder, std::optional<QSize> size = std::nullopt)
        : state(std::make_unique<EditorState>(folder / "os.bin")),
          window(std::make_unique<frmMain>(*state, dialogs, QUARNEL_BIN_DIR, DefaultPelnix())) {
        if (size) {
            window->resize(*size);
        }
        window->show();
    }
    // Opens `path` through File > Open; whether the ROM is then ready.
    bool Open(const std::filesystem::path& path) {
        dialogs.files.push_back(path);
        window->OpenRom();
        return window->RomReady();
    }
    void ChooseArea(int area) {
        window->cboAreas->setCurrentIndex(area);
        window->cboAreas_Click();
    }
    void ChooseRoom(int room) {
        window->cboRoom->setCurrentIndex(room);
        window->cboRoom_Click();
    }
    // Replaces the text of an editable list as the keyboard does and presses Enter.
    void Type(QComboBox* list, const QString& text) {
        QLineEdit* edit = list->lineEdit();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
    }
    // The map widget's point for picture pixel (x, y).
    QPoint MapPoint(int x, int y) const { return QPoint(x, y) * window->picMap->Zoom(); }
    // The map widget's point at the centre of cell (x, y).
    QPoint CellPoint(int x, int y) const { return MapPoint(16 * x + 8, 16 * y + 8); }

    ScriptedDialogs dialogs;
    std::unique_ptr<EditorState> state;
    std::unique_ptr<frmMain> window;
};

} // namespace quarnel::testing
