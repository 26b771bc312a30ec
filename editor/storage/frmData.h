#pragma once
// frmData, "Storage Editor": shows the free-space bookkeeping of both games, area by area
// (where each area starts, how much of it is handed out and how long it is, as six
// hexadecimal digits), and changes it: "Save " stores the shown area's edited values after
// checking them, "Reset" puts the default areas back, "Fit to ROM" sets each Used of the open
// ROM's game to what that ROM really holds. Below, a bar per area of the open ROM's game shows
// how that ROM uses it: bytes in use, given back and never used. The window reads os.bin every
// time it is shown and before every change, so it never writes back a stale table.

#include "storage/Storage.h"

#include <QGroupBox>
#include <QWidget>

#include <cstddef>
#include <optional>
#include <utility>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace quarnel {

class Dialogs;
class StorageBarWidget;
struct EditorState;
enum class Game;

class frmData : public QWidget {
    Q_OBJECT
public:
    // `state` (its storage system and open ROM) and `dialogs` must outlive the window;
    // refused values and failing reads and writes of os.bin are reported through `dialogs`.
    frmData(EditorState& state, Dialogs& dialogs, QWidget* parent = nullptr);

    // Reads os.bin, fills both area lists, selects area 0 of each and shows it.
    void Form_Load();
    // Reads os.bin again and shows the areas chosen and the open ROM's bars: the main window
    // calls it after every room load, as a save may have handed out space or another ROM
    // may be open.
    void ShowStored();

    // Show the chosen area of each game in its three boxes.
    void cboZMList_Click();
    void cboMFList_Click();
    // "Save ": checks the three boxes of the game's shown area and stores them in os.bin; a
    // value that is refused gets a message naming its field and nothing is stored.
    void cmdZMSave_Click();
    void cmdMFSave_Click();
    // "Reset": the default offsets and lengths, every Used kept; the boxes show the result.
    void cmdZMReset_Click();
    // "Fit to ROM": each area of the open ROM's game gets the Used that fits that ROM (just
    // past the area's last byte that is not blank); "No rom loaded" without a ROM.
    void cmdFit_Click();

    QComboBox* cboZMList = nullptr;
    QLineEdit* txtZMOff = nullptr;
    QLineEdit* txtZMUsed = nullptr;
    QLineEdit* txtZMLength = nullptr;
    QPushButton* cmdZMSave = nullptr;
    QPushButton* cmdZMReset = nullptr;
    QComboBox* cboMFList = nullptr;
    QLineEdit* txtMFOff = nullptr;
    QLineEdit* txtMFUsed = nullptr;
    QLineEdit* txtMFLength = nullptr;
    QPushButton* cmdMFSave = nullptr;
    QPushButton* cmdFit = nullptr;
    QLabel* lblStatus = nullptr; // what the last change did
    QGroupBox* fraUsage = nullptr;
    StorageBarWidget* picUsage = nullptr; // the open ROM's areas
    QLabel* lblUsage = nullptr;           // why there is no bar

protected:
    void showEvent(QShowEvent* event) override;

private:
    struct Boxes {
        QComboBox* list;
        QLineEdit* offset;
        QLineEdit* used;
        QLineEdit* length;
        QPushButton* save;
    };
    QGroupBox* MakeFrame(const QString& caption, const QString& prefix, Boxes& boxes,
                         QPushButton* extraButton);
    void ShowArea(Game game);
    void SaveShownArea(Game game, const Boxes& boxes);
    void ShowBoth();
    void ShowUsage();
    Boxes BoxesOf(Game game) const;

    EditorState& m_state;
    Dialogs& m_dialogs;
    // The area each game's boxes were filled from (index, values): a save refuses boxes whose
    // area changed in os.bin since then, as when a room save handed out space from it.
    std::optional<std::pair<size_t, StorageArea>> m_shownZM;
    std::optional<std::pair<size_t, StorageArea>> m_shownMF;
};

} // namespace quarnel
