#pragma once
// The main window's entries for saving: "Save Room" (the cmdSave button and Ctrl+S) and
// "Resize Room". The window connects its button and menu entry to the two actions (the save
// action carries the Ctrl+S shortcut of the window), and listens to the two signals:
// statusMessage for its status bar, roomChanged to refresh its lists and map from the
// editor state after a save (which reloads the room) or a resize.
//
// Holds the run's backup record (RomBackup.h), so a ROM file gets one safety copy per run,
// which the status bar names.

#include "storage/RoomSave.h"
#include "storage/SavePlan.h"

#include <QObject>

#include <functional>
#include <memory>

class QAction;
class QWidget;

namespace quarnel {

class Dialogs;
class PelnixBinding;
class RomBackups;
struct EditorState;

class RoomSaveActions : public QObject {
    Q_OBJECT
public:
    // The values of the window's tileset, music and minimap lists at the time of a save.
    using ListsSource = std::function<HeaderLists()>;

    // `state`, `dialogs` and `pelnix` must outlive this object; `window` owns it and gets
    // the Ctrl+S shortcut.
    RoomSaveActions(EditorState& state, Dialogs& dialogs, ListsSource lists, QWidget* window,
                    PelnixBinding& pelnix);
    ~RoomSaveActions() override;

    QAction* SaveAction() const { return m_save; }     // "Save Room", Ctrl+S
    QAction* ResizeAction() const { return m_resize; } // "Resize Room"
    // The run's backup record; other writers share it, so a ROM is copied once per run.
    RomBackups& Backups() { return *m_backups; }

    void cmdSave_Click();
    void mnuResize_Click();

signals:
    void statusMessage(const QString& text);
    void roomChanged();

private:
    EditorState& m_state;
    Dialogs& m_dialogs;
    ListsSource m_lists;
    std::unique_ptr<RomBackups> m_backups;
    SaveServices m_services;
    QAction* m_save;
    QAction* m_resize;
};

} // namespace quarnel
