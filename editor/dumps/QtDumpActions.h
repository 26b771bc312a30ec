#pragma once
// The main window's "Dumps" entries: "Room Dump", "Tileset Dump" and "Tileset Pointer Dumps".
// Each asks for the folder the "Header" tree goes into (the last one chosen is offered again,
// also in later runs), writes its files with a progress dialog that can cancel, and reports
// what it wrote on the status bar (statusMessage) or, when a file cannot be written, in a
// message naming it. "Tileset Dump" first warns that the room will be loaded again, asks
// before unsaved changes are lost, and reloads the room when it is done.

#include "dumps/Dumps.h"

#include <QObject>
#include <QString>

#include <filesystem>
#include <functional>
#include <optional>

class QWidget;

namespace quarnel {

class Dialogs;
struct EditorState;

class DumpActions : public QObject {
    Q_OBJECT

public:
    struct RoomHooks {
        std::function<bool()> confirmDiscard; // true when the room may be reloaded
        std::function<void()> reloadRoom;     // runs room selection again
    };

    // The settings key of the remembered folder.
    static constexpr const char* kFolderKey = "dumps/folder";

    // `state` and `dialogs` must outlive this object; `window` owns it and parents the
    // progress dialog.
    DumpActions(EditorState& state, Dialogs& dialogs, RoomHooks hooks, QWidget* window);

    void RoomDump();
    void TilesetDump();
    void TilesetPointerDumps();

signals:
    void statusMessage(const QString& text);

private:
    std::optional<std::filesystem::path> ChooseFolder(const char* title);
    void Run(DumpKind kind, const char* name, const std::filesystem::path& folder);

    EditorState& m_state;
    Dialogs& m_dialogs;
    RoomHooks m_hooks;
    QWidget* m_window;
};

} // namespace quarnel
