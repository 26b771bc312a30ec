#pragma once
// frmMusicView, the music viewer ("Form1"): for the song chosen in the main window's music
// list, the 12-byte record at the word 0x22C23C as eight text boxes and the song number in
// Label1, and beside them the "Song" panel: the song's header from the game's song table. It
// reads once when it is shown; it only reads the ROM.

#include <QWidget>

#include <array>
#include <functional>

class QFormLayout;
class QGroupBox;
class QLabel;
class QLineEdit;

namespace quarnel {

class Dialogs;
struct EditorState;

class frmMusicView : public QWidget {
    Q_OBJECT

public:
    // The selected index of the main window's music list.
    using SongSource = std::function<int()>;

    // `state` and `dialogs` must outlive the window.
    frmMusicView(EditorState& state, Dialogs& dialogs, SongSource song, QWidget* parent = nullptr);

    // Showing the window reads it (Form_Load); without an open ROM it says so and stays hidden.
    void setVisible(bool visible) override;

    // Reads the record and the song of the song now selected; false, after a message, when no
    // ROM is open.
    bool Form_Load();

    std::array<QLineEdit*, 8> Text{}; // Text1 to Text8
    QLabel* Label1 = nullptr;
    QGroupBox* fraSong = nullptr;

private:
    EditorState& m_state;
    Dialogs& m_dialogs;
    SongSource m_song;
    QFormLayout* m_songFields = nullptr;
};

} // namespace quarnel
