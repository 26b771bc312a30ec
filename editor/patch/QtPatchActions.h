#pragma once
// File > "Export Patch…" and "Apply Patch…": ROM hacks are shared as patches against the
// original game, never as ROMs. Export makes a BPS or IPS patch (by the chosen name's
// extension) from an original ROM to the open ROM; the original is by default the
// "<name>.bak" that the first save made, the ROM as it was before Quarnel first wrote to it.
// Apply applies a BPS or IPS patch to a chosen ROM and writes a new file, never over its input
// nor over the ROM open in the editor. Every choice goes through the Dialogs interface;
// refusals are shown as messages and write nothing.

#include <QObject>
#include <QString>

#include <functional>

class QAction;
class QWidget;

namespace quarnel {

class Dialogs;
struct EditorState;

class PatchActions : public QObject {
    Q_OBJECT
public:
    // Saves the room as "Save Room" does; true when it was saved.
    using SaveRoom = std::function<bool()>;

    // `state` and `dialogs` must outlive this object; `parent` owns it.
    PatchActions(EditorState& state, Dialogs& dialogs, SaveRoom saveRoom, QObject* parent);

    QAction* ExportAction() const { return m_export; } // "Export Patch…"
    QAction* ApplyAction() const { return m_apply; }   // "Apply Patch…"

    void ExportPatch();
    void ApplyPatch();

signals:
    void statusMessage(const QString& text);

private:
    EditorState& m_state;
    Dialogs& m_dialogs;
    SaveRoom m_saveRoom;
    QAction* m_export;
    QAction* m_apply;
};

} // namespace quarnel
