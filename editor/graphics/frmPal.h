#pragma once
// frmPal, the palette viewer ("DEBUG"): the 256 background colours of the loaded tileset as
// 16 rows of 16 swatches, and a preview colour composed with three sliders. It only looks at
// the palette and writes nothing back.

#include <QWidget>

#include <array>

class QFrame;
class QLabel;
class QScrollBar;

namespace quarnel {

class Dialogs;
struct EditorState;

class frmPal : public QWidget {
    Q_OBJECT

public:
    // Shows its message boxes through `dialogs`; `state` and `dialogs` must outlive the window.
    // The window fills itself from the state at construction and every time it is shown.
    frmPal(EditorState& state, Dialogs& dialogs, QWidget* parent = nullptr);

    // Refills the row labels and the swatches from the state's ColourTable as it stands now
    // (all black before any room is loaded). The main window calls it after a room selection
    // while the window is visible; nothing else refreshes the swatches.
    void LoadForm();

    // What the swatches and the preview show, for the window's tests.
    QColor SwatchColour(int index) const;
    QColor PreviewColour() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void hsb_Change();
    void picPal_MouseDown(int index, Qt::MouseButton button);

    EditorState& m_state;
    Dialogs& m_dialogs;
    std::array<QLabel*, 16> m_lblPal{};
    std::array<QFrame*, 256> m_picPal{};
    QScrollBar* m_hsbRed = nullptr;
    QScrollBar* m_hsbGreen = nullptr;
    QScrollBar* m_hsbBlue = nullptr;
    QFrame* m_picPalette = nullptr;
};

} // namespace quarnel
