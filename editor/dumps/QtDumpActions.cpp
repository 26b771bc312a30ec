#include "dumps/QtDumpActions.h"

#include "main/Dialogs.h"
#include "main/EditorState.h"
#include "rom/RomFile.h"

#include <QProgressDialog>
#include <QSettings>
#include <QWidget>

namespace quarnel {

namespace {

// Dumps that take longer than this show their progress dialog.
constexpr int kProgressDelayMs = 300;

} // namespace

DumpActions::DumpActions(EditorState& state, Dialogs& dialogs, RoomHooks hooks, QWidget* window)
    : QObject(window), m_state(state), m_dialogs(dialogs), m_hooks(std::move(hooks)),
      m_window(window) {}

std::optional<std::filesystem::path> DumpActions::ChooseFolder(const char* title) {
    if (!m_state.RomOpened) {
        m_dialogs.Message("Open a ROM first: the dumps are made from the open ROM.");
        return std::nullopt;
    }
    QSettings settings;
    const std::filesystem::path last =
        settings.value(QString::fromLatin1(kFolderKey)).toString().toStdString();
    auto chosen = m_dialogs.ChooseFolder(title, last);
    if (!chosen || chosen->empty()) {
        return std::nullopt;
    }
    settings.setValue(QString::fromLatin1(kFolderKey), QString::fromStdString(chosen->string()));
    return chosen;
}

void DumpActions::RoomDump() {
    if (auto folder = ChooseFolder("Room Dump: the folder for the Header tree")) {
        Run(DumpKind::Rooms, "Room Dump", *folder);
    }
}

void DumpActions::TilesetDump() {
    auto folder = ChooseFolder("Tileset Dump: the folder for the Header tree");
    if (!folder) {
        return;
    }
    m_dialogs.Message("Warning, Current Room will not be saved.");
    if (m_hooks.confirmDiscard && !m_hooks.confirmDiscard()) {
        return;
    }
    Run(DumpKind::Tilesets, "Tileset Dump", *folder);
    if (m_hooks.reloadRoom) {
        m_hooks.reloadRoom();
    }
}

void DumpActions::TilesetPointerDumps() {
    if (auto folder = ChooseFolder("Tileset Pointer Dumps: the folder for the Header tree")) {
        Run(DumpKind::TilesetPointers, "Tileset Pointer Dumps", *folder);
    }
}

void DumpActions::Run(DumpKind kind, const char* name, const std::filesystem::path& folder) {
    QProgressDialog progress(QString::fromLatin1(name), QStringLiteral("Cancel"), 0, 1, m_window);
    progress.setWindowTitle(QStringLiteral("Quarnel"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(kProgressDelayMs);
    const DumpProgress report = [&progress](size_t done, size_t total) {
        progress.setMaximum(static_cast<int>(total));
        progress.setValue(static_cast<int>(done));
        return !progress.wasCanceled();
    };

    auto file = RomFile::Open(m_state.RomPath, OpenMode::Read);
    if (!file) {
        m_dialogs.Message(std::string(name) + " failed: " + Describe(file.error()));
        return;
    }
    auto dumped = kind == DumpKind::Rooms ? DumpRooms(*file, m_state.Tables, folder, report)
                  : kind == DumpKind::Tilesets
                      ? DumpTilesets(*file, m_state.Tables, folder, report)
                      : DumpTilesetPointers(m_state.Tables, folder, report);
    progress.reset();
    if (!dumped) {
        m_dialogs.Message(std::string(name) + " stopped: " + Describe(dumped.error()));
        return;
    }
    if (!dumped->skipped.empty()) {
        std::string text = std::string(name) + " passed over:";
        for (const auto& skipped : dumped->skipped) {
            text += "\r\n" + skipped;
        }
        m_dialogs.Message(text);
    }
    const auto where = DumpFolder(folder, m_state.GameCode, kind);
    emit statusMessage(QStringLiteral("%1: %2 files written in %3%4")
                           .arg(QString::fromLatin1(name))
                           .arg(dumped->files)
                           .arg(QString::fromStdString(where.string()))
                           .arg(dumped->cancelled ? QStringLiteral(" (cancelled)") : QString()));
}

} // namespace quarnel
