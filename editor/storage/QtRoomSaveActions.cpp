#include "storage/QtRoomSaveActions.h"

#include "main/Dialogs.h"
#include "main/EditSteps.h"
#include "main/EditorState.h"
#include "storage/RomBackup.h"
#include "storage/RoomResize.h"

#include <QAction>
#include <QKeySequence>
#include <QWidget>

namespace quarnel {

RoomSaveActions::RoomSaveActions(EditorState& state, Dialogs& dialogs, ListsSource lists,
                                 QWidget* window, PelnixBinding& pelnix)
    : QObject(window), m_state(state), m_dialogs(dialogs), m_lists(std::move(lists)),
      m_backups(std::make_unique<RomBackups>()), m_services{pelnix, *m_backups, {}} {
    m_save = new QAction(QStringLiteral("Save Room"), this);
    m_save->setObjectName(QStringLiteral("cmdSave"));
    m_save->setShortcut(QKeySequence::Save);
    m_save->setShortcutContext(Qt::WindowShortcut);
    m_resize = new QAction(QStringLiteral("Resize Room"), this);
    m_resize->setObjectName(QStringLiteral("mnuResize"));
    if (window != nullptr) {
        window->addAction(m_save);
    }
    connect(m_save, &QAction::triggered, this, [this] { cmdSave_Click(); });
    connect(m_resize, &QAction::triggered, this, [this] { mnuResize_Click(); });
}

RoomSaveActions::~RoomSaveActions() = default;

void RoomSaveActions::cmdSave_Click() {
    if (!m_state.RomOpened || m_state.Area < 0 || m_state.Room < 0) {
        return;
    }
    auto saved = SaveRoom(m_state, m_lists(), m_services);
    if (!saved) {
        m_dialogs.Message(SaveFailureText(saved.error()));
        return;
    }
    emit roomChanged();
    if (auto warning = SaveWarningText(*saved)) {
        m_dialogs.Message(*warning);
    }
    emit statusMessage(QString::fromStdString(SaveStatusText(*saved)));
}

void RoomSaveActions::mnuResize_Click() {
    LayersSnapshot before = LayersSnapshot::Of(m_state);
    auto resized = ResizeRoom(m_state, m_dialogs, m_lists(), m_services);
    if (!resized) {
        return; // abandoned: nothing changed
    }
    // The resize is one step; once saved, undoing it changes the room in memory only, and the
    // next save writes it.
    const RoomKey room = CurrentRoom(m_state);
    m_state.History.Record(m_state, room,
                           std::make_unique<LayersStep>("Resize room", std::move(before),
                                                        LayersSnapshot::Of(m_state)));
    if (*resized) {
        // Cleared first: marking the position saved tells the views, and the title reads it.
        m_state.Edited = false;
        m_state.History.MarkSaved(room);
    }
    emit roomChanged();
    if (!*resized) {
        m_dialogs.Message(SaveFailureText(resized->error()));
        return;
    }
    if (auto warning = SaveWarningText(**resized)) {
        m_dialogs.Message(*warning);
    }
    emit statusMessage(QString::fromStdString(SaveStatusText(**resized)));
}

} // namespace quarnel
