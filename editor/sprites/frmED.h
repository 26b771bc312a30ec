#pragma once
// frmED, the enemy data window ("Enemy Data"): for the loaded room, the three sprite lists of
// its header with the sprite set each one uses, chosen by name from "Enemylist.txt". A choice
// changes CurrentRoomHeader in memory only; Save Room writes it.

#include "main/NameLists.h"

#include <QWidget>

#include <array>
#include <filesystem>
#include <functional>
#include <string>

class QComboBox;
class QLabel;
class QLineEdit;

namespace quarnel {

struct EditorState;

class frmED : public QWidget {
    Q_OBJECT

public:
    // The text of the area chosen in the main window's area list.
    using AreaNameSource = std::function<std::string()>;

    // Without an `areaName` source the window names the area from the game's area names and
    // the state's Area. `state` must outlive the window. The window fills itself at
    // construction and every time it is shown.
    explicit frmED(EditorState& state, AreaNameSource areaName = {}, QWidget* parent = nullptr);

    // Where the sprite set names are read (the program's folder by default); takes effect at
    // the next LoadForm.
    void SetSpriteSetNamesFile(std::filesystem::path path) { m_namesFile = std::move(path); }

    // Refills the three lists, the room caption and the pointer boxes from the state as it
    // stands now. The main window calls it after a room selection while the window is visible.
    void LoadForm();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void cboEn1_Click();
    void cboEn2_Click();
    void cboEn3_Click();
    void cboEn1_Change();
    void cboEn2_Change();
    void cboEn3_Change();
    void ChooseSet(int list);
    void TypeSet(int list);
    std::string AreaName() const;

    EditorState& m_state;
    AreaNameSource m_areaName;
    std::filesystem::path m_namesFile = DefaultSpriteSetNamesFile();
    std::array<QComboBox*, 3> m_cboEn{};
    std::array<QLineEdit*, 3> m_txtEn{};
    QLabel* m_lblData = nullptr;
};

} // namespace quarnel
