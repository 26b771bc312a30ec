#pragma once
// "Run" (a toolbar button and F5): starts the user's emulator on the open ROM, after asking
// whether to save the room's unsaved changes first; and "Emulator Command…", which sets the
// command (EmulatorCommand.h) kept in the program's settings. The emulator is started
// detached, with its arguments passed as they are (no shell), and keeps running when the
// editor closes.

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QAction;
class QSettings;
class QWidget;

namespace quarnel {

class Dialogs;
struct EditorState;

class RunActions : public QObject {
    Q_OBJECT
public:
    // Saves the room as "Save Room" does; true when it was saved.
    using SaveRoom = std::function<bool()>;

    // `state` and `dialogs` must outlive this object; `settings` holds the command (key
    // kEmulatorKey); `window` owns this object and gets the F5 shortcut.
    RunActions(EditorState& state, Dialogs& dialogs, SaveRoom saveRoom,
               std::unique_ptr<QSettings> settings, QWidget* window);
    ~RunActions() override;

    static constexpr const char* kEmulatorKey = "emulator/command";

    QAction* RunAction() const { return m_run; }           // "Run", F5
    QAction* EmulatorAction() const { return m_emulator; } // "Emulator Command…"

    // The command set by the user; empty when the default is used.
    QString EmulatorCommand() const;

    void Run();
    void SetEmulatorCommand();

signals:
    void statusMessage(const QString& text);

private:
    EditorState& m_state;
    Dialogs& m_dialogs;
    SaveRoom m_saveRoom;
    std::unique_ptr<QSettings> m_settings;
    QAction* m_run;
    QAction* m_emulator;
};

} // namespace quarnel
